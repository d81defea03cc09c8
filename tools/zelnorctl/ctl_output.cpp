#include "ctl_output.h"

#include "db/data_error.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "ctl_strings.h"

#include <QDir>

namespace {
bool g_answerYes = false;
QString g_yesOption;
} // namespace

void SetYesOption(const QString &option)
{
    g_yesOption = option;
}

void AnswerQuestionsYes(bool yes)
{
    g_answerYes = yes;
}

void InstallConsolePresenters()
{
    MessageService::setPresenter([](const MessageRequest &request) {
        Err() << request.text << Qt::endl;
        switch (request.buttons) {
        case MessageButtons::Ok:
            return MessageAnswer::Ok;
        case MessageButtons::OkCancel:
            return g_answerYes ? MessageAnswer::Ok : MessageAnswer::Cancel;
        case MessageButtons::YesNoCancel:
            return g_answerYes ? MessageAnswer::Yes : MessageAnswer::Cancel;
        case MessageButtons::YesNo:
            break;
        }
        // A script must see that the tool decided for it, and how to decide
        // otherwise.
        if (!g_answerYes && !g_yesOption.isEmpty())
            Err() << StrF(CtlStrings::AnsweredNo, {g_yesOption}) << Qt::endl;
        return g_answerYes ? MessageAnswer::Yes : MessageAnswer::No;
    });
    DataErrorReporter::setPresenter([](const QString &text, const std::vector<ProviderErrorRecord> &records) {
        Err() << text << Qt::endl;
        for (const ProviderErrorRecord &record : records)
            Err() << "  " << record.source << ": " << record.description << Qt::endl;
    });
}

int Guarded(const std::function<int()> &body)
{
    try {
        return body();
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        return ExitRefused;
    }
}

OutputFile::Target CommandTarget(const QString &path, OutputFile::Content content, bool force,
                                 const QString &project)
{
    const QString target = OutputFile::IsStandardOutput(path) ? path : QDir::current().absoluteFilePath(path);
    return {target, content, force, QDir::current().absoluteFilePath(project)};
}

std::optional<int> RefuseTarget(const OutputFile::Target &target)
{
    const std::optional<QString> refusal = OutputFile::Refusal(target);
    if (!refusal)
        return std::nullopt;
    Err() << *refusal << Qt::endl;
    return ExitRefused;
}

std::optional<int> RefuseEarly(OutputFile::Target target)
{
    target.replaceAllowed = true;
    return RefuseTarget(target);
}

int WriteTarget(const OutputFile::Target &target, const std::function<QString()> &write)
{
    if (const std::optional<int> refused = RefuseTarget(target))
        return *refused;
    // What goes to standard output must not be mixed with what was printed.
    Out() << Qt::flush;
    if (const QString failure = write(); !failure.isEmpty()) {
        Err() << failure << Qt::endl;
        return ExitUnusable;
    }
    return ExitOk;
}
