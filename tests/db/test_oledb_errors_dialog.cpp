#include "db/data_error.h"
#include "db/db_strings.h"
#include "db/widgets/oledb_errors_dialog.h"
#include "base/settings.h"
#include "support/test_support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

class TestOLEDBErrorsDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void init() { WriteSetting("OLEDBErr.DispDetailsErrors", 0); }
    void opensCollapsedWithStandInTexts();
    void storedSettingOpensExpandedAndToggleStoresIt();
    void loadedSettingsAreReadAndChangedInPlace();
    void selectingASourceShowsItsRecord();
    void expandingNearTheBottomKeepsTheDialogOnTheDesktop();
    void reportShowsTheDialogWithTheMessageChain();
};

namespace {
template <typename T> T *child(QWidget &dialog, const char *name)
{
    T *widget = dialog.findChild<T *>(name);
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}
} // namespace

void TestOLEDBErrorsDialog::opensCollapsedWithStandInTexts()
{
    COLEDBErrorsDialog dialog(QString(), {});
    QCOMPARE(
        child<QLabel>(dialog, "topText")->text(),
        QString(
            "No aplication error message available. To get more information about OLEDB error see details."));
    QCOMPARE(child<QPushButton>(dialog, "detailsButton")->text(), QString("&Details >>"));
    QVERIFY(!dialog.detailsShown());
    QVERIFY(dialog.collapsedHeight() < dialog.fullHeight());
    QCOMPARE(dialog.height(), dialog.collapsedHeight());
    auto *sources = child<QListWidget>(dialog, "sourceList");
    QCOMPARE(sources->count(), 1);
    QCOMPARE(sources->item(0)->text(), QString("Unspecified error"));
    QCOMPARE(child<QPlainTextEdit>(dialog, "descriptionEdit")->toPlainText(),
             QString("An error occurred.  However, no specific error information was available."));
    QVERIFY(child<QLineEdit>(dialog, "codeEdit")->text().isEmpty());
}

void TestOLEDBErrorsDialog::storedSettingOpensExpandedAndToggleStoresIt()
{
    WriteSetting("OLEDBErr.DispDetailsErrors", 1);
    COLEDBErrorsDialog dialog("Can't open rowset.\n", {{"QSQLITE", "no such table: Racks", "1"}});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *button = child<QPushButton>(dialog, "detailsButton");
    QVERIFY(dialog.detailsShown());
    QCOMPARE(button->text(), QString("&Details <<"));
    QVERIFY(child<QListWidget>(dialog, "sourceList")->isVisible());
    QCOMPARE(dialog.height(), dialog.fullHeight());

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!dialog.detailsShown());
    QCOMPARE(button->text(), QString("&Details >>"));
    QVERIFY(!child<QListWidget>(dialog, "sourceList")->isVisible());
    QCOMPARE(dialog.height(), dialog.collapsedHeight());
    QCOMPARE(ReadSetting("OLEDBErr.DispDetailsErrors").toInt(), 0);

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(ReadSetting("OLEDBErr.DispDetailsErrors").toInt(), 1);
    QCOMPARE(dialog.height(), dialog.fullHeight());
}

void TestOLEDBErrorsDialog::loadedSettingsAreReadAndChangedInPlace()
{
    GeneralSettings settings;
    settings.load();
    settings.setValue("OLEDBErr.DispDetailsErrors", 1);
    COLEDBErrorsDialog dialog("x", {}, nullptr, &settings);
    QVERIFY(dialog.detailsShown());
    dialog.toggleDetails();
    QCOMPARE(settings.intValue("OLEDBErr.DispDetailsErrors"), 0);
    dialog.toggleDetails();
    QCOMPARE(settings.intValue("OLEDBErr.DispDetailsErrors"), 1);
    // Written with the other settings, not behind the program's back.
    QCOMPARE(ReadSetting("OLEDBErr.DispDetailsErrors").toInt(), 0);
    settings.save();
    QCOMPARE(ReadSetting("OLEDBErr.DispDetailsErrors").toInt(), 1);
}

void TestOLEDBErrorsDialog::selectingASourceShowsItsRecord()
{
    COLEDBErrorsDialog dialog("x",
                              {{"QSQLITE", "first failure", "11"}, {"QPSQL", "second failure", "42P01"}});
    auto *sources = child<QListWidget>(dialog, "sourceList");
    QCOMPARE(sources->count(), 2);
    QCOMPARE(sources->currentRow(), 0);
    QCOMPARE(child<QPlainTextEdit>(dialog, "descriptionEdit")->toPlainText(), QString("first failure"));
    QCOMPARE(child<QLineEdit>(dialog, "codeEdit")->text(), QString("11"));
    sources->setCurrentRow(1);
    QCOMPARE(child<QPlainTextEdit>(dialog, "descriptionEdit")->toPlainText(), QString("second failure"));
    QCOMPARE(child<QLineEdit>(dialog, "codeEdit")->text(), QString("42P01"));
}

void TestOLEDBErrorsDialog::expandingNearTheBottomKeepsTheDialogOnTheDesktop()
{
    COLEDBErrorsDialog dialog("x", {{"QSQLITE", "failure", "1"}});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QRect desktop = dialog.screen()->availableGeometry();
    dialog.move(desktop.left() + 10, desktop.bottom() - dialog.frameGeometry().height() - 2);
    QVERIFY(dialog.frameGeometry().bottom() <= desktop.bottom());
    QTest::mouseClick(child<QPushButton>(dialog, "detailsButton"), Qt::LeftButton);
    QVERIFY(dialog.detailsShown());
    QTRY_VERIFY(dialog.frameGeometry().bottom() <= desktop.bottom());
    QVERIFY(dialog.frameGeometry().top() >= desktop.top());
    QVERIFY(dialog.y() < desktop.bottom() - dialog.collapsedHeight() - 2);
}

void TestOLEDBErrorsDialog::reportShowsTheDialogWithTheMessageChain()
{
    COLEDBErrorsDialog::install();
    QString shownTop;
    QTimer::singleShot(0, [&shownTop] {
        auto *dialog = qobject_cast<COLEDBErrorsDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shownTop = dialog->findChild<QLabel *>("topText")->text();
        dialog->accept();
    });
    COLEDBException error({{"QSQLITE", "locked", "5"}});
    AddMessage(error, DbStrings::CantOpenRowset);
    AddMessage(error, DbStrings::CantConnect, {"a.prj"});
    ReportDataError(error);
    DataErrorReporter::setPresenter({});
    QCOMPARE(shownTop, QString("Can't open rowset.\nCan't connect to data source 'a.prj'.\n"));
}

QTEST_MAIN(TestOLEDBErrorsDialog)
#include "test_oledb_errors_dialog.moc"
