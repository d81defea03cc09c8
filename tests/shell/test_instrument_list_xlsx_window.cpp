#include "exchange/xlsx_files.h"
#include "shell_test_project.h"

#include "base/message_service.h"
#include "db/scripted_file_dialogs.h"
#include "shell/instrument_list_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

// File > "Export instrument list..." and "Import instrument list..." with
// XLSX workbooks: the dialogs offer them, a workbook is written without the
// text dialect's question, and a workbook is previewed and imported; a
// damaged one is refused before any preview.
class TestInstrumentListXlsxWindow : public QObject {
    Q_OBJECT
private slots:
    void workbookExportedAndImportedThroughTheDialogs();
    void damagedWorkbookIsRefusedBeforeThePreview();
};

namespace {

// Messages and questions kept for the test; Enter answers the questions.
class Messages {
public:
    Messages()
    {
        m_previous = MessageService::setPresenter([this](const MessageRequest &request) {
            (request.buttons == MessageButtons::Ok ? shown : questions) << request.text;
            return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : request.defaultAnswer;
        });
    }
    ~Messages() { MessageService::setPresenter(m_previous); }
    QStringList shown;
    QStringList questions;

private:
    MessageService::Presenter m_previous;
};

bool OffersWorkbooks(const FileDialogRequest &request)
{
    return std::any_of(request.filters.begin(), request.filters.end(),
                       [](const FileDialogFilter &filter) { return filter.extension == QLatin1String("xlsx"); });
}

} // namespace

void TestInstrumentListXlsxWindow::workbookExportedAndImportedThroughTheDialogs()
{
    ShellTestProject source;
    QVERIFY(source.open());
    Messages messages;
    ScriptedFileDialogs dialogs;
    InstrumentListCommands commands(source.session.Document(), source.session.Catalogues());
    commands.SetPreviewPresenter([](const ImportReport &) { return true; });
    const QString list = source.dir.filePath("loops.csv");
    QFile file(list);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Plant,Type,Ch1.Name,Ch2.Name,Ch1.RangeEnd,Ch1.Description\r\n"
               "North,Z 7230/211-2,PT-1,PT-2,120,'=1+2\r\n");
    file.close();
    dialogs.choose(list);
    QVERIFY(commands.Import());
    QVERIFY(OffersWorkbooks(dialogs.requests().back()));

    const QString workbook = source.dir.filePath("loops.xlsx");
    dialogs.choose(workbook);
    QVERIFY(commands.Export());
    QVERIFY(OffersWorkbooks(dialogs.requests().back()));
    // A workbook keeps numbers as numbers: nothing to ask about separators.
    QVERIFY2(messages.questions.isEmpty(), qPrintable(messages.questions.join('\n')));
    const QJsonArray rows = XlsxFiles::Read(workbook).value("rows").toArray();
    QCOMPARE(rows.size(), 2);
    const QJsonArray header = rows[0].toArray();
    const QJsonArray module = rows[1].toArray();
    // The headers are the pages' labels in the user's language: the two
    // columns are found by the channel's range end and description.
    int rangeEnd = -1;
    int description = -1;
    for (int column = 0; column < header.size(); ++column) {
        const QString name = header[column].toArray()[0].toString();
        rangeEnd = name.startsWith(QLatin1String("Ch1 ")) && name.endsWith(QLatin1String("range end")) ? column : rangeEnd;
        description = module[column].toArray()[0].toString() == QLatin1String("=1+2") ? column : description;
    }
    QVERIFY2(rangeEnd >= 0 && description >= 0, qPrintable(QJsonDocument(header).toJson(QJsonDocument::Compact)));
    QCOMPARE(module[0].toArray()[0].toString(), QStringLiteral("North"));
    QCOMPARE(module[rangeEnd].toArray()[0].toDouble(), 120.0);
    QCOMPARE(module[rangeEnd].toArray()[1].toString(), QStringLiteral("n"));
    QCOMPARE(module[description].toArray()[0].toString(), QStringLiteral("=1+2"));
    QCOMPARE(module[description].toArray()[1].toString(), QStringLiteral("s"));

    // Into another project: previewed, confirmed, imported.
    ShellTestProject target;
    QVERIFY(target.open());
    InstrumentListCommands targetCommands(target.session.Document(), target.session.Catalogues());
    std::vector<ImportReport> previews;
    targetCommands.SetPreviewPresenter([&previews](const ImportReport &report) {
        previews.push_back(report);
        return true;
    });
    dialogs.choose(workbook);
    QVERIFY(targetCommands.Import());
    QCOMPARE(previews.size(), size_t(1));
    QCOMPARE(previews[0].added.size(), size_t(1));
    QCOMPARE(previews[0].added[0].line, 2);
    QCOMPARE(target.modules7230(), 1);
    QVERIFY(messages.shown.last().contains("'loops.xlsx' imported"));
}

void TestInstrumentListXlsxWindow::damagedWorkbookIsRefusedBeforeThePreview()
{
    QTemporaryDir samples;
    QVERIFY(XlsxFiles::Samples(samples.path()));
    ShellTestProject project;
    QVERIFY(project.open());
    Messages messages;
    ScriptedFileDialogs dialogs;
    InstrumentListCommands commands(project.session.Document(), project.session.Catalogues());
    int previews = 0;
    commands.SetPreviewPresenter([&previews](const ImportReport &) { return ++previews > 0; });
    for (const char *name : {"bomb.xlsx", "no_workbook.xlsx", "truncated.xlsx"}) {
        const QString path = samples.filePath(name);
        dialogs.choose(path);
        QVERIFY(!commands.Import());
        QVERIFY2(messages.shown.last().startsWith("Can't read the file '" + path + "': "),
                 qPrintable(messages.shown.last()));
    }
    QVERIFY(messages.shown.last().contains("ZIP package"));
    QCOMPARE(previews, 0);
    QCOMPARE(project.modules7230(), 0);
}

QTEST_MAIN(TestInstrumentListXlsxWindow)
#include "test_instrument_list_xlsx_window.moc"
