#include "ctl_instrument_list.h"

#include "ctl_output.h"
#include "ctl_project.h"

#include "base/string_table.h"
#include "db/data_error.h"
#include "exchange/csv_table.h"
#include "exchange/instrument_list.h"
#include "exchange/instrument_list_import.h"
#include "exchange/instrument_list_strings.h"
#include "exchange/list_file.h"

#include <QFile>
#include <QFileInfo>

namespace CtlInstrumentList {

using namespace InstrumentListStrings;

int Export(const QString &path, const QString &file, const QString &under, const ExportForm &form, bool force)
{
    if (form.delimiter != QLatin1String(",") && form.delimiter != QLatin1String(";")) {
        Err() << StrF(DelimiterUnknown, {form.delimiter}) << Qt::endl;
        return ExitUnusable;
    }
    CsvDialect dialect;
    dialect.separator = form.delimiter.front();
    dialect.decimalComma = form.decimalComma;
    dialect.byteOrderMark = form.bom;
    const OutputFile::Target target = CommandTarget(file, OutputFile::Content::Text, force, path);
    // Refused before the project is opened.
    if (const std::optional<int> refused = RefuseEarly(target))
        return *refused;
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    try {
        Item *item = under.isEmpty() ? nullptr : project.FindItem(under);
        if (!under.isEmpty() && !item)
            return ExitRefused;
        const InstrumentListExport::Result rows =
            InstrumentListExport(project.Document(), project.Catalogues()).Rows(item, form.codes);
        if (!rows.ok)
            return ExitRefused;
        const EncodedFile encoded =
            ListFile::Encode(rows.records, form.xlsx ? ListFile::Form::Xlsx : ListFile::Form::Csv, dialect);
        if (!encoded.error.isEmpty()) {
            Err() << encoded.error << Qt::endl;
            return ExitUnusable;
        }
        const OutputFile::Target list = ListFile::WithHeadOf(target, encoded.bytes);
        const int code = WriteTarget(list, [&] { return OutputFile::WriteBytes(list, encoded.bytes); });
        if (code == ExitOk && !OutputFile::IsStandardOutput(target.path))
            Out() << StrF(ExportWritten, {rows.modules, target.path}) << Qt::endl;
        return code;
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        return ExitRefused;
    }
}

int Import(const QString &path, const QString &file, bool dryRun)
{
    if (const std::optional<QString> refusal = InputFile::Refusal(file)) {
        Err() << *refusal << Qt::endl;
        return ExitUnusable;
    }
    QFile list(file);
    if (!list.open(QIODevice::ReadOnly)) {
        Err() << StrF(CannotRead, {file, list.errorString()}) << Qt::endl;
        return ExitUnusable;
    }
    const QByteArray bytes = list.readAll();
    CtlProject project;
    if (!project.Open(path))
        return ExitUnusable;
    const ImportReport report =
        InstrumentListImport(project.Document(), project.Catalogues()).Run(bytes, !dryRun, file);
    for (const QString &line : report.Lines())
        Out() << line << '\n';
    Out() << Qt::flush;
    const QString summary = report.Summary(QFileInfo(file).fileName());
    if (!report.fileError.isEmpty()) {
        Err() << summary << Qt::endl;
        // A project open for reading only refuses, as every command that
        // writes; so does a folder another program deleted meanwhile.
        return project.Document().IsReadOnly() || report.stoppedByDeletion ? ExitRefused : ExitUnusable;
    }
    if (!report.refused.empty()) {
        Err() << summary << Qt::endl;
        return ExitRefused;
    }
    Out() << summary << Qt::endl;
    return ExitOk;
}

} // namespace CtlInstrumentList
