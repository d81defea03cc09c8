#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QIODevice;

// A file the program or a tool writes because the user named it (a report,
// an export, a copy of the project). It never takes the place of a project
// or of something that is no plain file, and it replaces an existing file
// only when that is what the user asked for: the new content goes to a
// temporary file beside the target, which is renamed over the target once
// it is complete, so that a failure leaves the old file as it was.
namespace OutputFile {

enum class Content { Pdf, Text, Project };

struct Target {
    QString path;
    Content content = Content::Text;
    // The user agreed to replace whatever the file holds (an option, an
    // answered question); a project is never replaced by a report.
    bool replaceAllowed = false;
    // The project that is open, refused as a target in any case.
    QString openProject;
};

// Why the target may not be written (a message), or nothing when it may.
std::optional<QString> Refusal(const Target &target);

// Whether the file holds a project: an SQLite database or a data link file.
bool IsProjectFile(const QString &path);

// Writes through write() into a temporary file and renames it over the
// target; false with the reason in *error when anything failed, the target
// then being as it was.
bool WriteReplacing(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error);

// Lines of text, each ended by a line break, written as WriteReplacing does.
bool WriteTextLines(const QString &path, const QStringList &lines, QString *error);

} // namespace OutputFile
