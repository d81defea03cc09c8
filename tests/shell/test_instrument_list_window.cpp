#include "shell_test_project.h"

#include "base/message_service.h"
#include "db/scripted_file_dialogs.h"
#include "shell/instrument_list_commands.h"
#include "shell/widgets/instrument_list_preview.h"
#include "support/captured_log.h"
#include "tree/multiply_test_support.h"
#include "tree/my7100_doc.h"

#include <QComboBox>
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
    void previewFiltersItsLinesAndSavesItsReport();
    void importChecksFirstAndLogsWhatChanged();
    void exportOfTheSelectedFolder();
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

// Two modules, one in the plant "North", imported as confirmed.
bool ImportGoodList(ShellTestProject &project, InstrumentListCommands &commands, ScriptedFileDialogs &dialogs)
{
    const QString list = project.dir.filePath("loops.csv");
    QFile file(list);
    if (!file.open(QIODevice::WriteOnly) || file.write(kGoodList) != kGoodList.size())
        return false;
    file.close();
    commands.SetPreviewPresenter([](const ImportReport &) { return true; });
    dialogs.choose(list);
    Messages messages;
    return commands.Import();
}
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
    bool plantShownInPreview = false;
    commands.SetPreviewPresenter([&](const ImportReport &report) {
        previews.push_back(report);
        // The tree does not show what the preview only tried.
        plantShownInPreview = plantShownInPreview ||
                              FindItemByPath(project.session.Document(), "\\\\Project\\North") != nullptr;
        return confirm;
    });
    ScriptedFileDialogs dialogs;
    dialogs.choose(list);
    QVERIFY(!commands.Import());
    QVERIFY(!plantShownInPreview);
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
    ScriptedFileDialogs dialogs;
    QVERIFY(ImportGoodList(project, commands, dialogs));
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
        // Nothing is written yet: what would be done.
        QVERIFY(lines.contains("Would add: \\\\Project\\7230/211-2 - [A] [B]"));
        QVERIFY(!lines.filter("Added").size());
        QVERIFY(lines.contains("    Ch1.RangeEnd: '100.00' -> '150.00'"));
        dialog.show();
        QTest::mouseClick(dialog.importButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    report.Refuse(4, "Type", "The module type 'X' is in none of the module type tables.");
    InstrumentListPreviewDialog dialog(report, report.Summary(QString()));
    QVERIFY(!dialog.importButton()->isEnabled());
    QVERIFY(dialog.findChild<QWidget *>("refusedHint"));
    // Refusals first: they are what must be put right.
    QCOMPARE(dialog.lines()->item(0)->text(),
             QString("Refused: Line 4, column Type: The module type 'X' is in none of the module type tables."));
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

namespace {
QStringList Shown(const QListWidget &list)
{
    QStringList lines;
    for (int row = 0; row < list.count(); ++row)
        lines << list.item(row)->text();
    return lines;
}
} // namespace

void TestInstrumentListWindow::previewFiltersItsLinesAndSavesItsReport()
{
    TestSupport::loadEnglish();
    QTemporaryDir dir;
    ImportReport report;
    report.rows = 3;
    report.added.push_back({2, "\\\\Project\\7230/211-2 - [A] [B]", {}});
    report.changed.push_back({3, "\\\\Project\\7230/211-2 - [C] [D]", {{"Ch1.RangeEnd", "100.00", "150.00"}}});
    report.moved.push_back({5, "\\\\Project\\E", "\\\\Project\\North\\E"});
    report.Refuse(4, "Ch1.RangeEnd", "Too large.");
    report.Refuse(4, "Ch1.WorkingModeID", "No such mode.");
    InstrumentListPreviewDialog dialog(report, report.Summary(QString()),
                                       [&](const ImportReport &shown) { InstrumentListCommands::SaveReport(shown, {}); });
    QComboBox *filter = dialog.filter();
    QCOMPARE(filter->objectName(), QString("previewFilter"));
    QCOMPARE(filter->accessibleName(), QString("Show"));
    QCOMPARE(Shown(*dialog.lines()).size(), 6);
    filter->setCurrentIndex(filter->findText("Moved"));
    QCOMPARE(Shown(*dialog.lines()), QStringList({"Would move: \\\\Project\\E -> \\\\Project\\North\\E"}));
    filter->setCurrentIndex(filter->findText("Refused"));
    QCOMPARE(Shown(*dialog.lines()), QStringList({"Refused: Line 4, column Ch1.RangeEnd: Too large.",
                                                  "Refused: Line 4, column Ch1.WorkingModeID: No such mode."}));
    filter->setCurrentIndex(filter->findText("Changed"));
    QCOMPARE(Shown(*dialog.lines()), QStringList({"Would change: \\\\Project\\7230/211-2 - [C] [D]",
                                                  "    Ch1.RangeEnd: '100.00' -> '150.00'"}));
    filter->setCurrentIndex(filter->findText("Added"));
    QCOMPARE(Shown(*dialog.lines()), QStringList({"Would add: \\\\Project\\7230/211-2 - [A] [B]"}));
    // One row refused for two cells is one refused row.
    QVERIFY2(report.Summary(QString()).contains("1 of 3"), qPrintable(report.Summary(QString())));

    // Saved as a text file: the summary, then every line, whatever is shown.
    Messages messages;
    ScriptedFileDialogs dialogs;
    const QString saved = dir.filePath("report.txt");
    dialogs.choose(saved);
    QCOMPARE(dialog.saveButton()->objectName(), QString("saveReportButton"));
    QVERIFY(dialog.saveButton()->isEnabled());
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    QCOMPARE(dialogs.requests().back().kind, FileDialogRequest::Kind::Save);
    QCOMPARE(dialogs.requests().back().filters.first().extension, QString("txt"));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList text = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(text.size(), 7);
    QCOMPARE(text.first(), report.Summary(QString()));
    QCOMPARE(text[1], QString("Refused: Line 4, column Ch1.RangeEnd: Too large."));
    QVERIFY(text.contains("    Ch1.RangeEnd: '100.00' -> '150.00'"));
    // A folder in place of the file: a message, nothing written.
    dialogs.choose(dir.path());
    QVERIFY(!InstrumentListCommands::SaveReport(report, {}));
    QVERIFY(!messages.shown.isEmpty());
}

void TestInstrumentListWindow::importChecksFirstAndLogsWhatChanged()
{
    ShellTestProject project;
    QVERIFY(project.open());
    Messages messages;
    const QString list = project.dir.filePath("loops.csv");
    WriteFile(list, kGoodList);
    InstrumentListCommands commands(project.session.Document(), project.session.Catalogues());
    commands.SetPreviewPresenter([](const ImportReport &) { return true; });
    ScriptedFileDialogs dialogs;
    RecordedProgress progress;
    CapturedLog log;
    dialogs.choose(list);
    QVERIFY(commands.Import());
    // The rows are checked, then imported.
    QCOMPARE(progress.kinds, std::vector<ProgressKind>({ProgressKind::Checking, ProgressKind::Importing}));
    QVERIFY2(log.lines.contains("Added folder: \\\\Project\\North"), qPrintable(log.lines.join('\n')));
    QVERIFY(log.lines.contains("Added: \\\\Project\\North\\7230/211-2 - [PT-1] [PT-2]"));
    // Again with one range changed: the log names that value, and only that
    // module's parameters are applied.
    log.lines.clear();
    WriteFile(list, "Plant,Type,Ch1.Name,Ch2.Name,Ch1.RangeEnd\r\n"
                    "North,Z 7230/211-2,PT-1,PT-2,130\r\n"
                    ",Z 7230/211-2,PT-3,PT-4,80\r\n");
    dialogs.choose(list);
    QVERIFY(commands.Import());
    QVERIFY2(log.lines.contains("Changed: \\\\Project\\North\\7230/211-2 - [PT-1] [PT-2]"),
             qPrintable(log.lines.join('\n')));
    QVERIFY(log.lines.contains("    Ch1.RangeEnd: '120.000' -> '130.000'"));
    QCOMPARE(log.lines.filter("parameters applied").size(), 1);
    QVERIFY(log.lines.filter("parameters applied").front().contains("PT-1"));
}

void TestInstrumentListWindow::exportOfTheSelectedFolder()
{
    ShellTestProject project;
    QVERIFY(project.open());
    InstrumentListCommands commands(project.session.Document(), project.session.Catalogues());
    ScriptedFileDialogs dialogs;
    QVERIFY(ImportGoodList(project, commands, dialogs));
    CMy7100Doc &document = project.session.Document();
    Item *north = FindItemByPath(document, "\\\\Project\\North");
    QVERIFY(north);
    QVERIFY(document.Select(north->handle()));
    // Asked whether only the selected folder goes out; Yes is the answer Enter gives.
    QStringList questions;
    const MessageService::Presenter previous = MessageService::setPresenter([&](const MessageRequest &request) {
        if (request.buttons == MessageButtons::YesNo)
            questions << request.text;
        if (request.text.contains("Export only"))
            return request.defaultAnswer;
        return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    });
    const QString part = project.dir.filePath("north.csv");
    dialogs.choose(part);
    const bool written = commands.Export();
    MessageService::setPresenter(previous);
    QVERIFY(written);
    QVERIFY2(questions.first().contains("\\\\Project\\North"), qPrintable(questions.join('|')));
    QFile file(part);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains("PT-1"));
    QVERIFY(!bytes.contains("PT-3"));
}

QTEST_MAIN(TestInstrumentListWindow)
#include "test_instrument_list_window.moc"
