#include "base/input_file.h"

#include "base/string_table.h"

#include <QFile>

namespace {
// The texts "'%s' is a folder, not a file, and was not opened." and
// "'%s' is not a plain file ...", numbered with the project's strings.
constexpr int kFolderNotOpened = 62946;
constexpr int kNotAPlainFile = 62940;
} // namespace

namespace InputFile {

std::optional<Status> StatOf(const QString &path, bool followLinks)
{
    Status status{};
    const QByteArray name = QFile::encodeName(path);
    const int result = followLinks ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status);
    if (result != 0)
        return std::nullopt;
    return status;
}

std::optional<QString> Refusal(const QString &path)
{
    const std::optional<Status> status = StatOf(path, true);
    if (!status)
        return std::nullopt;
    if (S_ISDIR(status->st_mode))
        return StrF(kFolderNotOpened, {path});
    if (!S_ISREG(status->st_mode))
        return StrF(kNotAPlainFile, {path});
    return std::nullopt;
}

} // namespace InputFile
