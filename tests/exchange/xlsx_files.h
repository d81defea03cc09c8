#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

#include <optional>

// Workbooks written and read by an independent program (xlsx_files.py,
// through the system's Python with openpyxl), for the tests of the
// instrument list's XLSX form. ZW_PYTHON and ZW_XLSX_FILES name them.
namespace XlsxFiles {

// The script's standard output; nothing (with a warning) when it failed.
inline std::optional<QByteArray> Run(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(ZW_PYTHON), QStringList{QStringLiteral(ZW_XLSX_FILES)} + args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("xlsx_files.py %s failed: %s", qPrintable(args.join(' ')), process.readAllStandardError().constData());
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}

// The first sheet: {"title", "sheets", "rows": [[[value, type, number format], ...], ...]}.
inline QJsonObject Read(const QString &workbook)
{
    return QJsonDocument::fromJson(Run({QStringLiteral("read"), workbook}).value_or(QByteArray())).object();
}

// A workbook of the rows (texts as text cells, numbers as number cells,
// null or "" left empty) with a second sheet; true when it was written.
inline bool Write(const QJsonArray &rows, const QString &workbook)
{
    const QString list = workbook + QStringLiteral(".json");
    QFile file(list);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(rows).toJson()) < 0)
        return false;
    file.close();
    return Run({QStringLiteral("write"), list, workbook}) && QFile::exists(workbook);
}

// The sample packages (see xlsx_files.py) into the folder.
inline bool Samples(const QString &folder)
{
    return Run({QStringLiteral("samples"), folder}) && QFile::exists(folder + QStringLiteral("/bomb.xlsx"));
}

inline QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace XlsxFiles
