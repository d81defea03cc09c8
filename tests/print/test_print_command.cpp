#include "print_test_support.h"
#include "base/settings.h"
#include "tools/tool_test_support.h"

#include <QSettings>
#include <QtTest>

using namespace ToolTest;

// zelnorctl print on real project files: the three reports as PDF, what it
// refuses, and the paper orientation stored for the printer.
class TestPrintCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void theThreeReportsAreWritten();
    void theDataCardIsRefusedOutside7230();
    void badUsageChangesNothing();
    void theStoredOrientationHoldsForTheNextRun();

private:
    QString module7230() const { return "\\\\Project\\Boiler house\\7230/211-2 - [TT-101] [TT-102]"; }
    QString module7210() const { return "\\\\Project\\Boiler house\\7210/101-1 - [FT-201]"; }
    QString module7220() const { return "\\\\Project\\7220/12-0 - [LT-301]"; }
    QString file(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_project;
};

void TestPrintCommand::initTestCase()
{
    TestSupport::useBuiltProgramPaths();
    m_project = NewProject(m_dir);
    QCOMPARE(Ctl({"add", m_project, "\\\\Project", "plant", "Boiler house"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", m_project, "\\\\Project\\Boiler house", "7", "TT-101", "TT-102"}).exitCode,
             0);
    QCOMPARE(Ctl({"add-module", m_project, "\\\\Project\\Boiler house", "34", "FT-201"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", m_project, "\\\\Project", "65", "LT-301"}).exitCode, 0);
}

void TestPrintCommand::init()
{
    QSettings(QString::fromLatin1(SettingsSection::kOrganisation),
              QString::fromLatin1(SettingsSection::kApplication))
        .remove(QStringLiteral("Printer"));
}

void TestPrintCommand::theThreeReportsAreWritten()
{
    const TestSupport::ToolRun output = Ctl({"print", m_project, "--pdf", file("project.pdf")});
    QCOMPARE(output.exitCode, 0);
    QVERIFY2(output.out.contains("Wrote 1 page(s) to " + file("project.pdf")), qPrintable(output.out));
    const QString project = PdfTools::Text(file("project.pdf"));
    QVERIFY(project.contains("Project output"));
    QVERIFY(project.contains("7230/211-2 - [TT-101] [TT-102]"));
    QVERIFY(project.contains(QRegularExpression("FT-201\\s*\\n")));

    // A signal stands for its module.
    const TestSupport::ToolRun information =
        Ctl({"print", m_project, "--pdf", file("module.pdf"), "--module", module7230() + "\\..\\"});
    QCOMPARE(information.exitCode, 1);
    QCOMPARE(
        Ctl({"print", m_project, "--pdf", file("module.pdf"), "--module", "\\\\Signals\\TT-102"}).exitCode,
        0);
    const QString module = PdfTools::Text(file("module.pdf"));
    QVERIFY(module.contains("Module informations"));
    QVERIFY(module.contains(QRegularExpression("Name\\s+TT-101\\s+TT-102")));

    QCOMPARE(
        Ctl({"print", m_project, "--pdf", file("card.pdf"), "--module", module7230(), "--card"}).exitCode, 0);
    QCOMPARE(PdfTools::Pages(file("card.pdf")), 1);
    const QString card = PdfTools::Text(file("card.pdf"));
    QVERIFY(card.contains("Device info"));
    QVERIFY(card.contains("Z 7230/211-2"));
    // The card has no header and no title block.
    QVERIFY(!card.contains("Module informations"));
    QVERIFY(!card.contains("Page:"));
}

void TestPrintCommand::theDataCardIsRefusedOutside7230()
{
    for (const QString &module : {module7210(), module7220()}) {
        const QString pdf = file("refused.pdf");
        const TestSupport::ToolRun run =
            Ctl({"print", m_project, "--pdf", pdf, "--module", module, "--card"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("The module data card is made only for modules of the family 7230; '" +
                                  module + "' is not one."),
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(pdf));
        // Their module information is made.
        QCOMPARE(Ctl({"print", m_project, "--pdf", pdf, "--module", module}).exitCode, 0);
        QVERIFY(QFile::remove(pdf));
    }
}

void TestPrintCommand::badUsageChangesNothing()
{
    const QString pdf = file("bad.pdf");
    const TestSupport::ToolRun orientation =
        Ctl({"print", m_project, "--pdf", pdf, "--orientation", "sideways"});
    QCOMPARE(orientation.exitCode, 2);
    QVERIFY(orientation.err.contains("The orientation must be portrait or landscape, not 'sideways'."));
    const TestSupport::ToolRun card = Ctl({"print", m_project, "--pdf", pdf, "--card"});
    QCOMPARE(card.exitCode, 2);
    QVERIFY(card.err.contains("--card needs --module MODULE-PATH."));
    QCOMPARE(Ctl({"print", m_project}).exitCode, 2);
    const TestSupport::ToolRun folder =
        Ctl({"print", m_project, "--pdf", pdf, "--module", "\\\\Project\\Boiler house"});
    QCOMPARE(folder.exitCode, 1);
    const TestSupport::ToolRun unwritable = Ctl({"print", m_project, "--pdf", file("no/such/folder/x.pdf")});
    QCOMPARE(unwritable.exitCode, 2);
    QVERIFY(unwritable.err.contains("could not be written: No such file or directory"));
    QVERIFY(!QFile::exists(pdf));
    // A file that is not a project is refused and stays as it was.
    QFile text(file("notes.prj"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a project\n");
    text.close();
    const QByteArray before = Checksum(file("notes.prj"));
    QCOMPARE(Ctl({"print", file("notes.prj"), "--pdf", pdf}).exitCode, 2);
    QCOMPARE(Checksum(file("notes.prj")), before);
    QVERIFY(!QFile::exists(pdf));
}

void TestPrintCommand::theStoredOrientationHoldsForTheNextRun()
{
    const QString landscape = "842 x 595";
    const QString portrait = "595 x 842";
    QCOMPARE(Ctl({"print", m_project, "--pdf", file("default.pdf")}).exitCode, 0);
    QCOMPARE(PdfTools::PageSize(file("default.pdf")), landscape);
    // What "Properties" stores is read by the next program that prints.
    PrinterSettings::SetOrientation(QPageLayout::Portrait);
    QCOMPARE(Ctl({"print", m_project, "--pdf", file("stored.pdf")}).exitCode, 0);
    QCOMPARE(PdfTools::PageSize(file("stored.pdf")), portrait);
    QCOMPARE(PrinterSettings::Orientation(), QPageLayout::Portrait);
    // The option wins for its run and stores nothing.
    QCOMPARE(Ctl({"print", m_project, "--pdf", file("option.pdf"), "--orientation", "landscape"}).exitCode,
             0);
    QCOMPARE(PdfTools::PageSize(file("option.pdf")), landscape);
    QCOMPARE(PrinterSettings::Orientation(), QPageLayout::Portrait);
    // Landscape is the default, which is removed rather than written.
    PrinterSettings::SetOrientation(QPageLayout::Landscape);
    QSettings store(QString::fromLatin1(SettingsSection::kOrganisation),
                    QString::fromLatin1(SettingsSection::kApplication));
    QVERIFY(!store.contains("Printer/Orientation"));
}

QTEST_MAIN(TestPrintCommand)
#include "test_print_command.moc"
