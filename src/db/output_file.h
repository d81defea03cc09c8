#pragma once

#include "base/input_file.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

class QIODevice;

// The one way out for a file the program or a tool writes because the user
// named it (a report, an export, a record, a copy of the project, a data
// link file). It never takes the place of a project or of something that is
// no plain file, and it replaces an existing file only when that is what the
// user asked for. Everything is decided on what stat says, before anything
// is opened: opening a pipe or a device to look into it can block for ever.
// The new content goes to a temporary file beside the target, which is
// renamed over the target once it is complete, so that a failure leaves the
// old file as it was.
namespace OutputFile {

// A data link file replaces only another data link file unless the user
// agreed; a project only through the project commands.
enum class Content { Pdf, Text, Project, DataLink };

struct Target {
    Target(QString path, Content content = Content::Text, bool replaceAllowed = false, QString openProject = {})
        : path(std::move(path)), content(content), replaceAllowed(replaceAllowed), openProject(std::move(openProject))
    {
    }

    QString path;
    Content content = Content::Text;
    // The user agreed to replace whatever the file holds (an option, an
    // answered question); a project is never replaced by a report.
    bool replaceAllowed = false;
    // The project that is open, refused as a target in any case.
    QString openProject;
    // The file holds a password: only its owner may read it.
    bool secret = false;
    // The first bytes this writer always writes (a header line): a file
    // that starts with them is an earlier output of the same command and is
    // replaced without being asked. Empty: PDF by its signature, text files
    // only when replacing is allowed.
    QByteArray ownHead;
};

// Why the target may not be written (a message naming it), or nothing when
// it may.
std::optional<QString> Refusal(const Target &target);

// Whether two names lead to one file: by the file itself, so that another
// spelling, a link or a second name counts too.
bool IsSameFile(const QString &a, const QString &b);

// Whether the file holds a project or names one: an SQLite database, a
// project, reference or data link file. Only a plain file is looked into.
bool IsProjectFile(const QString &path);

// "-": the standard output, where a command offers it.
bool IsStandardOutput(const QString &path);

// The permissions the written file gets: a secret's only for its owner, a
// replaced file's those it had; nothing for a new file (the system's).
std::optional<QFileDevice::Permissions> PermissionsFor(const Target &target);

// The target with the first line of bytes as its own head: an earlier
// output with the same first line (a list's header) is replaced unasked.
Target WithHeadOf(Target target, const QByteArray &bytes);

// Checks the target and writes it through write(); empty on success, else
// the refusal or the failure, the target then being as it was.
QString Write(const Target &target, const std::function<bool(QIODevice &)> &write);
QString WriteBytes(const Target &target, const QByteArray &bytes);
// Lines of text, each ended by a line break.
QString WriteTextLines(const Target &target, const QStringList &lines);
// Adds to the end of a file the program keeps growing (a monitoring file),
// creating it when missing; anything but a plain file is refused.
QString Append(const QString &path, const QByteArray &bytes);

} // namespace OutputFile
