#include "db/output_file.h"

#include "db/project_strings.h"
#include "base/string_table.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <unistd.h>

namespace {

using InputFile::StatOf;
using InputFile::Status;

bool IsPlainFile(const QString &path)
{
    const std::optional<Status> status = StatOf(path, true);
    return status && S_ISREG(status->st_mode);
}

// The first bytes of a plain file; nothing is opened that is no plain file.
QByteArray Head(const QString &path, qint64 size)
{
    if (!IsPlainFile(path))
        return QByteArray();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}


bool HasSuffix(const QString &path, std::initializer_list<const char *> suffixes)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const char *extension : suffixes) {
        if (suffix.compare(QLatin1String(extension), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool HasProjectSuffix(const QString &path)
{
    return HasSuffix(path, {"prj", "vor", "udl"});
}

bool IsDatabase(const QString &path)
{
    return Head(path, 16) == QByteArray("SQLite format 3", 16);
}

bool IsDataLinkFile(const QString &path)
{
    const QByteArray head = Head(path, 18);
    return head.startsWith("[oledb]") || head.startsWith(QByteArrayLiteral("\xFF\xFE[\0o\0l\0e\0d\0b\0]\0"));
}

// Whether writing would take the place of a project of another kind than
// the one written.
bool TakesProjectsPlace(const OutputFile::Target &target)
{
    switch (target.content) {
    case OutputFile::Content::Project:
        // A database under a data link's name would be read as a link to a
        // shared project, and the link it replaced would be lost.
        return HasSuffix(target.path, {"udl"}) || IsDataLinkFile(target.path);
    case OutputFile::Content::DataLink:
        return HasSuffix(target.path, {"prj", "vor"}) || IsDatabase(target.path);
    case OutputFile::Content::Pdf:
    case OutputFile::Content::Text:
        break;
    }
    return OutputFile::IsProjectFile(target.path);
}

bool HoldsOwnContent(const OutputFile::Target &target)
{
    switch (target.content) {
    case OutputFile::Content::Pdf:
        return Head(target.path, 5) == QByteArrayLiteral("%PDF-");
    case OutputFile::Content::Project:
        return OutputFile::IsProjectFile(target.path);
    case OutputFile::Content::DataLink:
        return IsDataLinkFile(target.path);
    case OutputFile::Content::Text:
        return !target.ownHead.isEmpty() && Head(target.path, target.ownHead.size()) == target.ownHead;
    }
    return false;
}

QString WriteFailure(const QString &path, const QString &reason)
{
    return StrF(ProjectStrings::CantWriteFile, {path, reason});
}

// Built whole first: a PDF needs a device it can tell its position on, and
// a pipe is none.
QString WriteStandardOutput(const std::function<bool(QIODevice &)> &write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer))
        return WriteFailure(QStringLiteral("-"), buffer.errorString());
    QFile out;
    if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle) ||
        out.write(buffer.data()) != buffer.size())
        return WriteFailure(QStringLiteral("-"), out.errorString());
    return QString();
}

} // namespace

namespace OutputFile {

// By the file itself, so that another spelling, a link or a second name of
// the open project is taken for it too.
bool IsSameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath())
        return true;
    const std::optional<Status> first = StatOf(a, true);
    const std::optional<Status> second = StatOf(b, true);
    return first && second && first->st_dev == second->st_dev && first->st_ino == second->st_ino;
}

bool IsProjectFile(const QString &path)
{
    if (HasProjectSuffix(path))
        return true;
    const QFileInfo info(path);
    if (info.isSymLink() && HasProjectSuffix(info.symLinkTarget()))
        return true;
    return IsDatabase(path);
}

std::optional<QFileDevice::Permissions> PermissionsFor(const Target &target)
{
    if (target.secret)
        return QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (IsPlainFile(target.path))
        return QFileInfo(target.path).permissions();
    return std::nullopt;
}

bool IsStandardOutput(const QString &path)
{
    return path == QLatin1String("-");
}

std::optional<QString> Refusal(const Target &target)
{
    if (IsStandardOutput(target.path))
        return std::nullopt;
    if (IsSameFile(target.path, target.openProject))
        return StrF(ProjectStrings::TargetIsOpenProject, {target.path});
    const std::optional<Status> status = StatOf(target.path, true);
    if (status && S_ISDIR(status->st_mode))
        return StrF(ProjectStrings::TargetIsFolder, {target.path});
    // A link that leads nowhere would be written wherever it points.
    if ((status && !S_ISREG(status->st_mode)) || (!status && StatOf(target.path, false)))
        return StrF(ProjectStrings::NotAPlainFile, {target.path});
    // A report named as a project would be taken for one.
    if (TakesProjectsPlace(target))
        return StrF(ProjectStrings::TargetIsProject, {target.path});
    if (!status || target.replaceAllowed || HoldsOwnContent(target))
        return std::nullopt;
    return StrF(ProjectStrings::TargetHoldsOther, {target.path});
}

QString Write(const Target &target, const std::function<bool(QIODevice &)> &write)
{
    if (const std::optional<QString> refusal = Refusal(target))
        return *refusal;
    if (IsStandardOutput(target.path))
        return WriteStandardOutput(write);
    const std::optional<QFileDevice::Permissions> permissions = PermissionsFor(target);
    QSaveFile file(target.path);
    if (!file.open(QIODevice::WriteOnly))
        return WriteFailure(target.path, file.errorString());
    // Before the first byte: a password is never readable by others.
    if (permissions && !file.setPermissions(*permissions)) {
        file.cancelWriting();
        return WriteFailure(target.path, file.errorString());
    }
    if (!write(file) || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return WriteFailure(target.path, reason);
    }
    if (!file.commit())
        return WriteFailure(target.path, file.errorString());
    return QString();
}

Target WithHeadOf(Target target, const QByteArray &bytes)
{
    target.ownHead = bytes.left(bytes.indexOf('\n') + 1);
    return target;
}

QString WriteBytes(const Target &target, const QByteArray &bytes)
{
    return Write(target, [&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); });
}

QString WriteTextLines(const Target &target, const QStringList &lines)
{
    return Write(target, [&](QIODevice &device) {
        QTextStream out(&device);
        for (const QString &line : lines)
            out << line << '\n';
        out.flush();
        // A full disk shows only when the lines are written out.
        return out.status() == QTextStream::Ok;
    });
}

QString Append(const QString &path, const QByteArray &bytes)
{
    if (const std::optional<QString> refusal = InputFile::Refusal(path))
        return *refusal;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size())
        return WriteFailure(path, file.errorString());
    return QString();
}

} // namespace OutputFile
