#include "shell/instrument_list_commands.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "db/project_file_dialogs.h"
#include "log/output_log.h"
#include "exchange/csv_table.h"
#include "exchange/instrument_list.h"
#include "exchange/instrument_list_strings.h"
#include "exchange/list_file.h"
#include "exchange/xlsx_strings.h"
#include "tree/item.h"
#include "tree/my7100_doc.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

using namespace InstrumentListStrings;

namespace {
// A list file is CSV text or an XLSX workbook; the report is text.
QString AskFile(FileDialogRequest::Kind kind, int title, bool listFile = true)
{
    FileDialogRequest request;
    request.kind = kind;
    request.title = Str(title);
    request.filters = listFile ? FileDialogService::BuildFilters(
                                     {{InstrumentListCommands::CsvExtension, InstrumentListCommands::CsvFilterName},
                                      {XlsxStrings::XlsxExtension, XlsxStrings::XlsxFilterName}})
                               : FileDialogService::BuildFilters({{InstrumentListCommands::ReportExtension, InstrumentListCommands::ReportFilterName}});
    request.defaultExtension = Str(listFile ? InstrumentListCommands::CsvExtension : InstrumentListCommands::ReportExtension);
    return FileDialogService::show(request);
}

// The folder selected in the tree, when the user wants only its modules;
// null for the whole project.
Item *AskFolder(CMy7100Doc &document)
{
    Item *selected = document.FindItem(document.CurrentItem());
    if (!selected || !CMy7100Doc::IsFolder(*selected))
        return nullptr;
    const MessageAnswer answer = MessageService::show({StrF(InstrumentListCommands::ExportSelectedOnly,
                                                            {document.GetPath(*selected)}),
                                                       MessageIcon::Question, MessageButtons::YesNo,
                                                       MessageAnswer::Yes});
    return answer == MessageAnswer::Yes ? selected : nullptr;
}

// The form of the list: for spreadsheets (UTF-8 marked as such, and
// semicolons with decimal commas where the locale writes decimal commas)
// when the user says so; the locale's habit is the answer Enter gives.
CsvDialect AskDialect()
{
    const CsvDialect spreadsheet = CsvDialect::ForSpreadsheets(QLocale());
    const int text = spreadsheet.decimalComma ? InstrumentListCommands::ForSpreadsheetsWithCommas
                                              : InstrumentListCommands::ForSpreadsheets;
    const MessageAnswer habit = spreadsheet.decimalComma ? MessageAnswer::Yes : MessageAnswer::No;
    const MessageAnswer answer =
        MessageService::show({Str(text), MessageIcon::Question, MessageButtons::YesNo, habit});
    return answer == MessageAnswer::Yes ? spreadsheet : CsvDialect();
}

void Refuse(const QString &text)
{
    WriteLogLine(text);
    MessageService::error(text);
}
} // namespace

bool InstrumentListCommands::IsEnabled(int id) const
{
    return IsCommand(id) && m_document.IsOpen();
}

void InstrumentListCommands::Run(int id)
{
    if (id == ExportCommand)
        Export();
    else if (id == ImportCommand)
        Import();
}

bool InstrumentListCommands::Export()
{
    const QString path = AskFile(FileDialogRequest::Kind::Save, ExportTitle);
    if (path.isEmpty())
        return false;
    Item *under = AskFolder(m_document);
    // A workbook keeps numbers as numbers: only text asks for its dialect.
    const ListFile::Form form = ListFile::FormOfName(path);
    const CsvDialect dialect = form == ListFile::Form::Xlsx ? CsvDialect() : AskDialect();
    const InstrumentListExport::Result rows = InstrumentListExport(m_document, m_catalogues).Rows(under, false);
    if (!rows.ok)
        return false;
    const EncodedFile list = ListFile::Encode(rows.records, form, dialect);
    if (!list.error.isEmpty()) {
        Refuse(list.error);
        return false;
    }
    // The file dialog asked before an existing file is replaced.
    const OutputFile::Target target{path, OutputFile::Content::Text, true, m_document.PathName()};
    if (const QString refusal = WriteListFile(target, list.bytes); !refusal.isEmpty()) {
        Refuse(refusal);
        return false;
    }
    WriteLogLine(StrF(ExportWritten, {rows.modules, path}));
    return true;
}

bool InstrumentListCommands::Import()
{
    // Pages with changes not applied would be read again over them.
    if (!m_document.AskSaveChanges())
        return false;
    const QString path = AskFile(FileDialogRequest::Kind::Open, ImportTitle);
    if (path.isEmpty())
        return false;
    // A pipe would hold the window in open() until something writes into it.
    if (const std::optional<QString> refusal = InputFile::Refusal(path)) {
        Refuse(*refusal);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Refuse(StrF(CannotRead, {path, file.errorString()}));
        return false;
    }
    const QByteArray bytes = file.readAll();
    InstrumentListImport import(m_document, m_catalogues);
    const ImportReport preview = import.Run(bytes, false, path);
    if (!preview.fileError.isEmpty()) {
        Refuse(preview.fileError);
        return false;
    }
    // Nobody to confirm: nothing is written.
    if (!m_preview || !m_preview(preview) || !preview.accepted())
        return false;
    const ImportReport done = import.Run(bytes, true, path);
    const QString summary = done.Summary(QFileInfo(path).fileName());
    if (!done.written) {
        for (const ImportRefusal &refusal : done.refused)
            WriteLogLine(ImportReport::RefusalText(refusal));
        Refuse(summary);
        return false;
    }
    // The log names what changed, not only how much.
    for (const QString &line : done.Lines())
        WriteLogLine(line);
    WriteLogLine(summary);
    MessageService::information(summary);
    return true;
}

bool InstrumentListCommands::SaveReport(const ImportReport &report, const QString &openProject)
{
    const QString path = AskFile(FileDialogRequest::Kind::Save, SaveReportButton, false);
    if (path.isEmpty())
        return false;
    // The file dialog asked before an existing file is replaced.
    const OutputFile::Target target{path, OutputFile::Content::Text, true, openProject};
    if (const QString refusal = OutputFile::WriteBytes(target, report.Text(QString()).toUtf8()); !refusal.isEmpty()) {
        Refuse(refusal);
        return false;
    }
    WriteLogLine(StrF(ReportWritten, {path}));
    return true;
}
