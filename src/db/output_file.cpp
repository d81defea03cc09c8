#include "db/output_file.h"

#include "db/project_strings.h"
#include "base/string_table.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace OutputFile {
namespace {

QByteArray Head(const QString &path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}

bool IsSameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.absoluteFilePath() == second.absoluteFilePath() ||
           (first.exists() && second.exists() && first.canonicalFilePath() == second.canonicalFilePath());
}

bool HoldsContent(const QString &path, Content content)
{
    switch (content) {
    case Content::Pdf:
        return Head(path, 5) == QByteArrayLiteral("%PDF-");
    case Content::Project:
        return IsProjectFile(path);
    case Content::Text:
        return !Head(path, 4096).contains('\0');
    }
    return false;
}

} // namespace

bool IsProjectFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("prj"), Qt::CaseInsensitive) == 0 ||
        suffix.compare(QLatin1String("udl"), Qt::CaseInsensitive) == 0)
        return true;
    return Head(path, 16) == QByteArray("SQLite format 3", 16);
}

std::optional<QString> Refusal(const Target &target)
{
    const QFileInfo info(target.path);
    if (IsSameFile(target.path, target.openProject))
        return StrF(ProjectStrings::TargetIsOpenProject, {target.path});
    // Only stat is asked: a pipe is never opened, so it cannot block.
    if (info.exists() && !info.isFile())
        return StrF(ProjectStrings::NotAPlainFile, {target.path});
    // A report named as a project would be taken for one.
    if (target.content != Content::Project && IsProjectFile(target.path))
        return StrF(ProjectStrings::TargetIsProject, {target.path});
    if (!info.exists())
        return std::nullopt;
    if (!target.replaceAllowed && !HoldsContent(target.path, target.content))
        return StrF(ProjectStrings::TargetHoldsOther, {target.path});
    return std::nullopt;
}

bool WriteReplacing(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (!write(file) || file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool WriteTextLines(const QString &path, const QStringList &lines, QString *error)
{
    return WriteReplacing(
        path,
        [&](QIODevice &device) {
            QTextStream out(&device);
            for (const QString &line : lines)
                out << line << '\n';
            out.flush();
            // A full disk shows only when the lines are written out.
            return out.status() == QTextStream::Ok;
        },
        error);
}

} // namespace OutputFile
