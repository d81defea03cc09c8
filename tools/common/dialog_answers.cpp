#include "dialog_answers.h"

#include "console.h"

#include "db/project_file_dialogs.h"
#include "base/string_table.h"

#include <QDir>
#include <QFileInfo>

namespace {
constexpr int kFileExists = 64100;
constexpr int kForceOption = 64101;
} // namespace

void AnswerFileDialogsWith(const QString &path, bool replaceExisting)
{
    const QString target = QDir::current().absoluteFilePath(path);
    FileDialogService::setPresenter([target, replaceExisting](const FileDialogRequest &request) {
        if (request.kind == FileDialogRequest::Kind::Save && !replaceExisting && QFileInfo::exists(target)) {
            Err() << StrF(kFileExists, {target}) << Qt::endl;
            return QString();
        }
        return target;
    });
}

QString ForceOptionText()
{
    return Str(kForceOption);
}
