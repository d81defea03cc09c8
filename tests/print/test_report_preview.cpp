#include "print_test_support.h"

#include "db/data_error.h"
#include "print/widgets/report_preview.h"
#include "base/settings.h"

#include <QAbstractButton>
#include <QAction>
#include <QPrintPreviewWidget>
#include <QSettings>
#include <QToolBar>
#include <QtTest>

// The print preview over a real project: its toolbar, paging, and
// "Properties" that stores the orientation and lays the report out anew.
class TestReportPreview : public QObject {
    Q_OBJECT
private slots:
    void init();
    void thePreviewShowsTheReportWithItsToolbar();
    void theToolbarButtonsShowTheirAccessKeys();
    void propertiesStoreTheOrientationAndReopenTheSameReport();
    void aReportThatCannotBeReadSaysCommandFailed();

private:
    // The preview's pages, once it has laid them out.
    static int PreviewPages(C7100Preview &preview)
    {
        preview.PreviewWidget()->updatePreview();
        return preview.PreviewWidget()->pageCount();
    }
};

void TestReportPreview::init()
{
    QSettings(QString::fromLatin1(SettingsSection::kOrganisation),
              QString::fromLatin1(SettingsSection::kApplication))
        .remove(QStringLiteral("Printer"));
}

void TestReportPreview::thePreviewShowsTheReportWithItsToolbar()
{
    ReportProject project;
    project.generate(10, 60);
    project.openWithCatalogues();
    ReportCommands commands(project.document, project.catalogues);
    QWidget window;
    ReportPreviewLauncher launcher(commands, &window);
    QVERIFY(launcher.Run(ReportCommands::PrintProject));
    C7100Preview *preview = launcher.Preview();
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(launcher.Printer().pageLayout().orientation(), QPageLayout::Landscape);
    const int pages = PreviewPages(*preview);
    QVERIFY(pages > 2);
    QCOMPARE(pages, preview->Report().PageCount());
    auto *bar = preview->findChild<QToolBar *>("552");
    QVERIFY(bar);
    QStringList texts;
    for (QAction *action : bar->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({"Print...", "&Next Page", "Pre&v Page", "Two Page", "Zoom &In", "Zoom &Out",
                                 "Properties", "&Close"}));
    for (QAction *action : bar->actions()) {
        QWidget *button = bar->widgetForAction(action);
        QVERIFY(button && !button->accessibleName().isEmpty() && !button->objectName().isEmpty());
    }
    QCOMPARE(preview->CurrentPage(), 1);
    bar->findChild<QAction *>("58114")->trigger();
    QCOMPARE(preview->CurrentPage(), 2);
    bar->findChild<QAction *>("58115")->trigger();
    QCOMPARE(preview->CurrentPage(), 1);
    QAction *twoPage = bar->findChild<QAction *>("58113");
    twoPage->trigger();
    QCOMPARE(preview->PreviewWidget()->viewMode(), QPrintPreviewWidget::FacingPagesView);
    QCOMPARE(twoPage->text(), QString("One Page"));
    QPointer<C7100Preview> closing = preview;
    bar->findChild<QAction *>("58112")->trigger();
    QTRY_VERIFY(closing.isNull());
}

// The buttons read as the dialog bar's texts, dots and access keys included,
// and Alt with the marked letter presses the button.
void TestReportPreview::theToolbarButtonsShowTheirAccessKeys()
{
    ReportProject project;
    project.generate(10, 60);
    project.openWithCatalogues();
    ReportCommands commands(project.document, project.catalogues);
    QWidget window;
    ReportPreviewLauncher launcher(commands, &window);
    QVERIFY(launcher.Run(ReportCommands::PrintProject));
    C7100Preview *preview = launcher.Preview();
    QVERIFY(preview && PreviewPages(*preview) > 2);
    auto *bar = preview->findChild<QToolBar *>("552");
    QVERIFY(bar);
    QStringList shown;
    for (QAction *action : bar->actions())
        if (auto *button = qobject_cast<QAbstractButton *>(bar->widgetForAction(action)))
            shown << button->text();
    QCOMPARE(shown, QStringList({"Print...", "&Next Page", "Pre&v Page", "Two Page", "Zoom &In", "Zoom &Out",
                                 "Properties", "&Close"}));
    preview->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(preview));
    QCOMPARE(preview->CurrentPage(), 1);
    QTest::keyClick(preview, Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(preview->CurrentPage(), 2);
    QTest::keyClick(preview, Qt::Key_V, Qt::AltModifier);
    QTRY_COMPARE(preview->CurrentPage(), 1);
}

void TestReportPreview::propertiesStoreTheOrientationAndReopenTheSameReport()
{
    ReportProject project;
    project.generate(10, 60);
    project.openWithCatalogues();
    ReportCommands commands(project.document, project.catalogues);
    QWidget window;
    ReportPreviewLauncher launcher(commands, &window);
    QVERIFY(launcher.Run(ReportCommands::PrintProject));
    QPointer<C7100Preview> first = launcher.Preview();
    const int landscapePages = PreviewPages(*first);
    first->ApplyProperties(QPageLayout::Portrait);
    QTRY_VERIFY(first.isNull());
    C7100Preview *second = launcher.Preview();
    QVERIFY(second && second->isVisible());
    QCOMPARE(second->Report().Mode(), PrintMode::ProjectOutput);
    QCOMPARE(launcher.Printer().pageLayout().orientation(), QPageLayout::Portrait);
    // Laid out anew: the taller page holds more rows.
    const int portraitPages = PreviewPages(*second);
    QVERIFY2(portraitPages < landscapePages,
             qPrintable(QString("%1 %2").arg(portraitPages).arg(landscapePages)));
    QCOMPARE(PrinterSettings::Orientation(), QPageLayout::Portrait);

    // A module's information keeps its mode through "Properties"; the next
    // report starts on the stored paper.
    Item *module = project.addModule(project.projectItem(), Family7230, 7, "TT-901", "TT-902");
    QVERIFY(module && project.document.Select(module->handle()));
    QVERIFY(launcher.Run(ReportCommands::ModuleInformation));
    QPointer<C7100Preview> information = launcher.Preview();
    QCOMPARE(launcher.Printer().pageLayout().orientation(), QPageLayout::Portrait);
    information->ApplyProperties(QPageLayout::Landscape);
    QTRY_VERIFY(information.isNull());
    QCOMPARE(launcher.Preview()->Report().Mode(), PrintMode::ModuleInformation);
    QCOMPARE(launcher.Printer().pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(PrinterSettings::Orientation(), QPageLayout::Landscape);
}

void TestReportPreview::aReportThatCannotBeReadSaysCommandFailed()
{
    ReportProject project;
    project.openWithCatalogues();
    ReportCommands commands(project.document, project.catalogues);
    QWidget window;
    ReportPreviewLauncher launcher(commands, &window);
    Item *module = project.addModule(project.projectItem(), Family7230, 7, "TT-101", "TT-102");
    Item *plant = project.addFolder(project.projectItem(), TreeNames::Plant, "Boiler house");
    QVERIFY(module && plant);
    // A disabled command opens nothing and says nothing.
    ScriptedMessages messages;
    QVERIFY(project.document.Select(plant->handle()));
    QVERIFY(!launcher.Run(ReportCommands::ModuleDataCard));
    QVERIFY(!launcher.Preview());
    QVERIFY(messages.shown().empty());
    // The module's signals are gone behind the program's back.
    QStringList reported;
    const DataErrorReporter::Presenter previous = DataErrorReporter::setPresenter(
        [&reported](const QString &top, const std::vector<ProviderErrorRecord> &) { reported << top; });
    project.exec("ALTER TABLE Signals RENAME TO SignalsGone");
    QVERIFY(project.document.Select(module->handle()));
    QVERIFY(!launcher.Run(ReportCommands::ModuleInformation));
    DataErrorReporter::setPresenter(previous);
    QVERIFY(!launcher.Preview());
    QCOMPARE(reported.size(), 1);
    QCOMPARE(messages.texts(), QStringList{"Command failed."});
}

QTEST_MAIN(TestReportPreview)
#include "test_report_preview.moc"
