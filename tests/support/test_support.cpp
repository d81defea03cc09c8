#include "support/test_support.h"

#include "base/app_paths.h"
#include "base/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

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

namespace TestSupport {

bool waitForOutput(QProcess &process, QByteArray &seen, const QByteArray &text, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!seen.contains(text) && clock.elapsed() < timeoutMs) {
        process.waitForReadyRead(50);
        seen += process.readAllStandardOutput();
    }
    return seen.contains(text);
}

SimulatorProcess::SimulatorProcess(const QStringList &args)
{
    m_process.start(QDir(binDirectory()).filePath(QStringLiteral("zelnor-simulator")), args);
    QByteArray printed;
    if (!m_process.waitForStarted() || !waitForOutput(m_process, printed, "/dev/", 5000))
        return;
    // The device line may arrive in pieces.
    waitForOutput(m_process, printed, "\n", 1000);
    m_device =
        QRegularExpression(QStringLiteral("(/dev/\\S+)")).match(QString::fromUtf8(printed)).captured(1);
}

QString SimulatorProcess::command(const QString &line)
{
    m_process.write((line + QLatin1Char('\n')).toUtf8());
    QByteArray answer;
    if (!waitForOutput(m_process, answer, "\n", 5000))
        return QString();
    return QString::fromUtf8(answer).trimmed();
}

SimulatorProcess::~SimulatorProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished();
}

} // namespace TestSupport
