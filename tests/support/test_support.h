#pragma once

#include "base/message_service.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// Takes the place of the message boxes for the life of the object: records
// every message and answers questions from a script. A question with no
// scripted answer is recorded as unexpected and answered No (or Cancel).
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    ScriptedMessages(const ScriptedMessages &) = delete;
    ScriptedMessages &operator=(const ScriptedMessages &) = delete;

    void answer(MessageAnswer next) { m_answers.push_back(next); }
    const std::vector<MessageRequest> &shown() const { return m_shown; }
    QStringList texts() const;
    int unexpectedQuestions() const { return m_unexpected; }
    void clear() { m_shown.clear(); }

private:
    MessageAnswer respond(const MessageRequest &request);

    std::deque<MessageAnswer> m_answers;
    std::vector<MessageRequest> m_shown;
    int m_unexpected = 0;
    MessageService::Presenter m_previous;
};

namespace TestSupport {
// The folder of the built program, its packs and reference database.
QString binDirectory();
// Points the program paths at the real program in the build folder.
void useBuiltProgramPaths();
// Loads the English pack so that texts read as in the program.
void loadEnglish();

// What a program of the build folder printed and its exit code (-1 when it
// did not end within the time-out).
struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};
ToolRun runTool(const QString &program, const QStringList &args, int timeoutMs = 60000);

// Waits until the process printed text on its standard output; seen
// collects what it printed.
bool waitForOutput(QProcess &process, QByteArray &seen, const QByteArray &text, int timeoutMs);

// The simulator program of the build folder on a pseudo-terminal of its
// own, ended with the object.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const QStringList &args = {});
    ~SimulatorProcess();
    // The pseudo-terminal to connect to; empty when the simulator did not start.
    const QString &device() const { return m_device; }
    // Sends one command line to the running simulator and returns its
    // answer ("ok: ..." or "error: ..."); empty when none came.
    QString command(const QString &line);
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QString m_device;
};
} // namespace TestSupport
