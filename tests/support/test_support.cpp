#include "support/test_support.h"

#include "shell/app_paths.h"
#include "shell/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

ScriptedMessages::ScriptedMessages()
{
    m_previous = MessageService::setPresenter([this](const MessageRequest &r) { return respond(r); });
}

ScriptedMessages::~ScriptedMessages()
{
    MessageService::setPresenter(std::move(m_previous));
}

QStringList ScriptedMessages::texts() const
{
    QStringList out;
    for (const MessageRequest &r : m_shown)
        out << r.text;
    return out;
}

MessageAnswer ScriptedMessages::respond(const MessageRequest &request)
{
    m_shown.push_back(request);
    if (request.buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    if (m_answers.empty()) {
        ++m_unexpected;
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    }
    const MessageAnswer next = m_answers.front();
    m_answers.pop_front();
    return next;
}

namespace TestSupport {

QString binDirectory()
{
    return QCoreApplication::applicationDirPath();
}

void useBuiltProgramPaths()
{
    AppPaths::setProgramFile(QDir(binDirectory()).filePath(QStringLiteral("zelnor-wizard")));
}

void loadEnglish()
{
    useBuiltProgramPaths();
    Language::load(1);
}

ToolRun runTool(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess tool;
    tool.start(QDir(binDirectory()).filePath(program), args);
    ToolRun run;
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return run;
    }
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

} // namespace TestSupport
