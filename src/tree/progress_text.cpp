#include "tree/progress_text.h"

#include "db/data_error.h"
#include "base/string_table.h"
#include "tree/tree_strings.h"

#include <QStringList>

namespace ProgressText {

namespace {
constexpr int kMovingDocument = 24630;
constexpr int kDocumentIntoBin = 24631;
constexpr int kDocumentBetweenFolders = 24632;
const QString kEllipsis = QStringLiteral("...");
} // namespace

int CaptionString(ProgressKind kind)
{
    switch (kind) {
    case ProgressKind::Multiplying:
        return TreeStrings::MultiplyingCaption;
    case ProgressKind::Deleting:
        return TreeStrings::DeletingCaption;
    case ProgressKind::Copying:
        return TreeStrings::CopyingCaption;
    case ProgressKind::Moving:
        return TreeStrings::MovingCaption;
    case ProgressKind::Importing:
        return TreeStrings::ImportingCaption;
    case ProgressKind::Checking:
        return TreeStrings::CheckingCaption;
    }
    return TreeStrings::MultiplyingCaption;
}

int StepString(ProgressKind kind)
{
    switch (kind) {
    case ProgressKind::Multiplying:
    case ProgressKind::Importing:
        return TreeStrings::InsertingStep;
    case ProgressKind::Deleting:
        return TreeStrings::DeletingStep;
    case ProgressKind::Copying:
    case ProgressKind::Moving:
        return TreeStrings::FromToStep;
    case ProgressKind::Checking:
        return TreeStrings::CheckingStep;
    }
    return TreeStrings::InsertingStep;
}

int AnimationId(ProgressKind kind)
{
    switch (kind) {
    case ProgressKind::Deleting:
        return kDocumentIntoBin;
    case ProgressKind::Moving:
        return kDocumentBetweenFolders;
    case ProgressKind::Multiplying:
    case ProgressKind::Copying:
    case ProgressKind::Importing:
    case ProgressKind::Checking:
        break;
    }
    return kMovingDocument;
}

QString Caption(ProgressKind kind)
{
    return Str(CaptionString(kind));
}

int ArgumentWidth(const QString &format, int number)
{
    const QString placeholder = QLatin1Char('%') + QString::number(number);
    const int at = int(format.indexOf(placeholder));
    if (at < 0)
        return kLineWidth;
    // The line break that begins the line counts as one of its characters.
    const int lineStart = int(format.lastIndexOf(QLatin1Char('\n'), at));
    const int begin = lineStart < 0 ? 0 : lineStart;
    const int lineEnd = int(format.indexOf(QLatin1Char('\n'), at));
    const int end = lineEnd < 0 ? int(format.size()) : lineEnd;
    const int others = end - begin - int(placeholder.size());
    return kLineWidth - others;
}

QString ShortenPath(const QString &path, int width, const QString &prefix, const QString &separator)
{
    if (path.size() <= width)
        return path;
    const QString body = path.startsWith(prefix) ? path.mid(prefix.size()) : path;
    const QStringList names = body.split(separator);
    const qsizetype count = names.size();
    // Keep the first two names and at least one hidden name before the last
    // names shown; more last names are tried first.
    for (qsizetype kept = count - 3; kept >= 1; --kept) {
        QString shortened = prefix + names[0] + separator + names[1] + separator + kEllipsis;
        for (qsizetype i = count - kept; i < count; ++i)
            shortened += separator + names[i];
        if (shortened.size() <= width)
            return shortened;
    }
    return names.last();
}

QString StepText(ProgressKind kind, const QString &source, const QString &destination)
{
    const QString format = Str(StepString(kind));
    // A multiply, import or check step names the new item; the others name where from.
    const bool namesItem =
        kind == ProgressKind::Multiplying || kind == ProgressKind::Importing || kind == ProgressKind::Checking;
    const QString first = namesItem ? destination : source;
    QStringList arguments{ShortenPath(first, ArgumentWidth(format, 1))};
    if (format.contains(QLatin1String("%2")))
        arguments << ShortenPath(destination, ArgumentWidth(format, 2));
    return FillArguments(format, arguments);
}

} // namespace ProgressText
