#include "pages/pages_test_support.h"

#include "base/language.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// Every text of every parameter page fits its control in all five
// languages, at the size the right pane has on a 1366 x 768 screen. With
// ZW_PAGE_SHOTS set to a folder the pages are also saved there as pictures.
class TestParamsPageLayout : public QObject {
    Q_OBJECT
private slots:
    void cleanupTestCase() { TestSupport::loadEnglish(); }
    void noTextIsClipped_data();
    void noTextIsClipped();
    void theButtonsStandInViewOfALowPane();

private:
    static QStringList Clipped(QWidget *form);
};

QStringList TestParamsPageLayout::Clipped(QWidget *form)
{
    QStringList clipped;
    for (QWidget *widget : form->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(form))
            continue;
        int needed = 0;
        QString text;
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            needed = label->minimumSizeHint().width();
            text = label->text();
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            needed = button->sizeHint().width();
            text = button->text();
        } else if (auto *box = qobject_cast<QGroupBox *>(widget)) {
            needed = box->minimumSizeHint().width();
            text = box->title();
        } else if (auto *choice = qobject_cast<QComboBox *>(widget)) {
            needed = choice->sizeHint().width();
            text = choice->currentText();
        }
        if (widget->width() < needed)
            clipped << QString("%1 '%2' %3 < %4").arg(widget->objectName(), text).arg(widget->width()).arg(needed);
    }
    return clipped;
}

void TestParamsPageLayout::noTextIsClipped_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("width");
    const char *codes[] = {"EN", "GE", "FR", "RU", "SP"};
    const char *families[] = {"7230", "7210", "7220"};
    for (int language = 1; language <= 5; ++language) {
        for (int family = 0; family < 3; ++family) {
            // The right pane at 100 % and at 150 % scale.
            for (int width : {960, 620})
                QTest::newRow(QString("%1 %2 %3").arg(codes[language - 1], families[family]).arg(width).toUtf8())
                    << language << family << width;
        }
    }
}

void TestParamsPageLayout::noTextIsClipped()
{
    QFETCH(int, language);
    QFETCH(int, family);
    QFETCH(int, width);
    QVERIFY(Language::load(language));
    PagesProject project;
    const QString condition = family == Family7220 ? "OutputSignal = 1 AND LimitValue <> 0"
                                                   : "OutputSignal = 1 AND LimitValue <> 0 AND Channels = 1" +
                                                         QString(family == Family7210 ? " AND HaveImpulseOutput <> 0"
                                                                                      : "");
    CChanelTabView &view = project.showModule(project.typeWhere(ModuleFamily(family), condition), "LAYOUT");
        view.resize(width, 470);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QString shots = qEnvironmentVariable("ZW_PAGE_SHOTS");
    for (int i = 0; i < view.GetPageCount(); ++i) {
        QVERIFY(view.SetActivePage(i));
        auto *page = static_cast<CChanelPage *>(view.GetPage(i));
        QApplication::processEvents();
        const QStringList clipped = Clipped(page->form(0));
        QVERIFY2(clipped.isEmpty(), qPrintable(page->caption() + ": " + clipped.join("; ")));
        if (!shots.isEmpty())
            view.grab().save(QString("%1/%2_page%3.png").arg(shots, QString(QTest::currentDataTag()).replace(" ", "_")).arg(i));
    }
}

// The top right pane of a first start on 1366 x 768: every page of a
// two-channel module shows Apply, Reset, Download and Upload without being
// scrolled; the page's controls scroll above them instead.
void TestParamsPageLayout::theButtonsStandInViewOfALowPane()
{
    PagesProject project;
    CChanelTabView &view =
        project.showModule(project.typeWhere(Family7230, "OutputSignal = 1 AND LimitValue <> 0"), "LOW");
    view.resize(740, 340);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int i = 0; i < view.GetPageCount(); ++i) {
        QVERIFY(view.SetActivePage(i));
        auto *page = static_cast<CChanelPage *>(view.GetPage(i));
        QApplication::processEvents();
        const PageButtonRow &row = page->form(page->currentTab())->buttons();
        for (QPushButton *button : {row.apply, row.reset, row.download, row.upload}) {
            QVERIFY(button && button->isVisible());
            QVERIFY2(button->visibleRegion().boundingRect() == button->rect(),
                     qPrintable(QString("%1: %2").arg(page->caption(), button->text())));
        }
    }
}

QTEST_MAIN(TestParamsPageLayout)
#include "test_params_page_layout.moc"
