#include "shell_test_project.h"

#include "base/message_service.h"
#include "db/scripted_file_dialogs.h"
#include "shell/instrument_list_commands.h"
#include "shell/widgets/instrument_list_preview.h"
#include "tree/my7100_doc.h"

#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>

#include <sys/stat.h>

// File > "Export instrument list..." and "Import instrument list...": the
// file dialogs, the preview that must be confirmed, and the preview dialog.
class TestInstrumentListWindow : public QObject {
    Q_OBJECT
private slots:
    void importAppliesOnlyAfterConfirmation();
    void refusedRowsAreShownAndNothingIsWritten();
    void exportWritesTheChosenFile();
    void exportOffersTheSpreadsheetFormOfTheLocale();
    void previewDialogOffersImportOnlyWithoutRefusals();
};

namespace {

// Messages answered OK (questions No) and kept for the test.
class Messages {
public:
    Messages()
    {
        m_previous = MessageService::setPresenter([this](const MessageRequest &request) {
            shown << request.text;
            return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
        });
    }
    ~Messages() { MessageService::setPresenter(m_previous); }
    QStringList shown;

private:
    MessageService::Presenter m_previous;
};

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QByteArray kGoodList = "Plant,Type,Ch1.Name,Ch2.Name,Ch1.RangeEnd\r\n"
                             "North,Z 7230/211-2,PT-1,PT-2,120\r\n"
                             ",Z 7230/211-2,PT-3,PT-4,80\r\n";
} // namespace

void TestInstrumentListWindow::importAppliesOnlyAfterConfirmation()
{
    ShellTestProject project;
    QVERIFY(project.open());
    Messages messages;
    const QString list = project.dir.filePath("loops.csv");
    WriteFile(list, kGoodList);
    InstrumentListCommands commands(project.session.Document(), project.session.Catalogues());
    std::vector<ImportReport> previews;
    bool confirm = false;
    commands.SetPreviewPresenter([&](const ImportReport &report) {
        previews.push_back(report);
        return confirm;
    });
    ScriptedFileDialogs dialogs;
    dialogs.choose(list);
    QVERIFY(!commands.Import());
    QCOMPARE(previews.size(), size_t(1));
    QCOMPARE(previews[0].added.size(), size_t(2));
    QCOMPARE(previews[0].addedFolders, QStringList({"\\\\Project\\North"}));
    QVERIFY(!previews[0].written);
    QCOMPARE(project.modules7230(), 0);

    confirm = true;
    dialogs.choose(list);
    QVERIFY(commands.Import());
    QCOMPARE(project.modules7230(), 2);
    QVERIFY(messages.shown.last().contains("2 modules added"));
    // The open dialog asked for a list file.
    QCOMPARE(dialogs.requests().back().kind, FileDialogRequest::Kind::Open);
    QCOMPARE(dialogs.requests().back().filters.first().extension, QString("csv"));
    // The tree shows what was imported.
    QVERIFY(FindItemByPath(project.session.Document(), "\\\\Project\\North\\7230/211-2 - [PT-1] [PT-2]"));
}

void TestInstrumentListWindow::refusedRowsAreShownAndNothingIsWritten()
{
    ShellTestProject project;
    QVERIFY(project.open());
    Messages messages;
    const QString list = project.dir.filePath("bad.csv");
    WriteFile(list, kGoodList + ",Z 7230/211-2,PT-5,PT-6,99999\r\n");
    InstrumentListCommands commands(project.session.Document(), project.session.Catalogues());
    std::vector<ImportReport> previews;
    // Even a confirmation does not write what has refused rows.
    commands.SetPreviewPresenter([&](const ImportReport &report) {
        previews.push_back(report);
        return true;
    });
    ScriptedFileDialogs dialogs;
    dialogs.choose(list);
    QVERIFY(!commands.Import());
    QCOMPARE(previews.size(), size_t(1));
    QCOMPARE(previews[0].refused.size(), size_t(1));
    QCOMPARE(previews[0].refused[0].line, 4);
    QCOMPARE(previews[0].refused[0].column, QString("Ch1.RangeEnd"));
    QCOMPARE(project.modules7230(), 0);
    // A file that cannot be read is refused before any preview.
    WriteFile(list, "Plant,Type\r\n\"open");
    dialogs.choose(list);
    QVERIFY(!commands.Import());
    QCOMPARE(previews.size(), size_t(1));
    QVERIFY(messages.shown.last().contains("never closed"));

    // A pipe chosen in the dialog is refused at once: the window never waits
    // in open() for another program to write into it.
    const QString pipe = project.dir.filePath("pipe.csv");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    dialogs.choose(pipe);
    QVERIFY(!commands.Import());
    QCOMPARE(previews.size(), size_t(1));
    QVERIFY(messages.shown.last().contains(pipe));
    QVERIFY(messages.shown.last().contains("not a plain file"));
    QCOMPARE(project.modules7230(), 0);
}

void TestInstrumentListWindow::exportWritesTheChosenFile()
{
    ShellTestProject project;
    QVERIFY(project.open());
    Messages messages;
    const QString list = project.dir.filePath("loops.csv");
    WriteFile(list, kGoodList);
    InstrumentListCommands commands(project.session.Document(), project.session.Catalogues());
    commands.SetPreviewPresenter([](const ImportReport &) { return true; });
    QVERIFY(commands.IsEnabled(InstrumentListCommands::ExportCommand));
    ScriptedFileDialogs dialogs;
    dialogs.choose(list);
    QVERIFY(commands.Import());
    const QString exported = project.dir.filePath("out.csv");
    dialogs.choose(exported);
    QVERIFY(commands.Export());
    QCOMPARE(dialogs.requests().back().kind, FileDialogRequest::Kind::Save);
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("Plant,Cabinet,Carrier,Type,Module,"));
    QVERIFY(bytes.contains("North,,,Z 7230/211-2,7230/211-2 - [PT-1] [PT-2],"));
    // Cancel in the file dialog writes nothing.
    QVERIFY(!commands.Export());
    // Never over the project itself.
    dialogs.choose(project.path);
    QVERIFY(!commands.Export());
    QVERIFY(messages.shown.last().contains("is the open project and is not overwritten"));
}

void TestInstrumentListWindow::exportOffersTheSpreadsheetFormOfTheLocale()
{
    ShellTestProject project;
    QVERIFY(project.open());
    InstrumentListCommands commands(project.session.Document(), project.session.Catalogues());
    commands.SetPreviewPresenter([](const ImportReport &) { return true; });
    ScriptedFileDialogs dialogs;
    const QString list = project.dir.filePath("loops.csv");
    WriteFile(list, kGoodList);
    dialogs.choose(list);
    {
        Messages messages;
        QVERIFY(commands.Import());
    }
    // Enter answers the question: the locale's habit.
    QStringList questions;
    const MessageService::Presenter previous = MessageService::setPresenter([&](const MessageRequest &request) {
        if (request.buttons == MessageButtons::YesNo)
            questions << request.text;
        return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : request.defaultAnswer;
    });
    const QLocale before;
    const auto exported = [&](const QLocale &locale) {
        QLocale::setDefault(locale);
        const QString path = project.dir.filePath(locale.name() + ".csv");
        dialogs.choose(path);
        const bool written = commands.Export();
        QFile file(path);
        return written && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray german = exported(QLocale(QLocale::German, QLocale::Germany));
    const QByteArray english = exported(QLocale(QLocale::English, QLocale::UnitedStates));
    QLocale::setDefault(before);
    MessageService::setPresenter(previous);
    QCOMPARE(questions.size(), 2);
    QVERIFY(questions[0].contains("semicolons and decimal commas"));
    QVERIFY(german.startsWith("\xEF\xBB\xBFPlant;Cabinet;Carrier;Type;Module;"));
    QVERIFY2(german.contains(";120,000;"), german.constData());
    QVERIFY(english.startsWith("Plant,Cabinet,Carrier,Type,Module,"));
    QVERIFY(english.contains(",120.000,"));
    // The German list reads back without a change.
    const ImportReport again =
        InstrumentListImport(project.session.Document(), project.session.Catalogues()).Run(german, false);
    QVERIFY(again.accepted());
    QVERIFY(again.added.empty());
    QVERIFY(again.changed.empty());
}

void TestInstrumentListWindow::previewDialogOffersImportOnlyWithoutRefusals()
{
    TestSupport::loadEnglish();
    ImportReport report;
    report.rows = 2;
    report.added.push_back({2, "\\\\Project\\7230/211-2 - [A] [B]", {}});
    report.changed.push_back({3, "\\\\Project\\7230/211-2 - [C] [D]", {{"Ch1.RangeEnd", "100.00", "150.00"}}});
    {
        InstrumentListPreviewDialog dialog(report, report.Summary(QString()));
        QVERIFY(dialog.importButton()->isEnabled());
        QVERIFY(dialog.cancelButton()->isDefault());
        QCOMPARE(dialog.importButton()->accessibleName(), QString("Import"));
        QStringList lines;
        for (int row = 0; row < dialog.lines()->count(); ++row)
            lines << dialog.lines()->item(row)->text();
        QVERIFY(lines.contains("Added: \\\\Project\\7230/211-2 - [A] [B]"));
        QVERIFY(lines.contains("    Ch1.RangeEnd: '100.00' -> '150.00'"));
        dialog.show();
        QTest::mouseClick(dialog.importButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    report.refused.push_back({4, "Type", "The module type 'X' is in none of the module type tables."});
    InstrumentListPreviewDialog dialog(report, report.Summary(QString()));
    QVERIFY(!dialog.importButton()->isEnabled());
    QVERIFY(dialog.findChild<QWidget *>("refusedHint"));
    QCOMPARE(dialog.lines()->item(dialog.lines()->count() - 1)->text(),
             QString("Refused: Line 4, column Type: The module type 'X' is in none of the module type tables."));
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestInstrumentListWindow)
#include "test_instrument_list_window.moc"
