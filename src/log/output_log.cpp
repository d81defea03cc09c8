#include "log/output_log.h"
#include "log/log_line_hold.h"

#include "base/app_paths.h"
#include "base/message_service.h"
#include "base/string_table.h"

#include <QDir>

#include <atomic>
#include <utility>

namespace {
constexpr int kCannotCreateLogFile = 62400;
constexpr int kLogFolderMoved = 62423;

std::atomic<OutputLog *> &activeLog()
{
    static std::atomic<OutputLog *> log{nullptr};
    return log;
}

// The hold in place on the user-interface thread, if any.
LogLineHold *&currentHold()
{
    static LogLineHold *hold = nullptr;
    return hold;
}
} // namespace

OutputLog::OutputLog(QObject *parent) : QObject(parent)
{
    createFile(logDirectory(), QDateTime::currentDateTime());
}

QString OutputLog::logDirectory()
{
    const QString wanted = QDir(AppPaths::programDirectory()).filePath(QStringLiteral("Log"));
    const QString used = AppPaths::writableSubdirectory(QStringLiteral("Log"));
    // A log that could not stand beside the program says where it is; an
    // installed program's logs belong in the user's data folder anyway.
    if (!used.isEmpty() && !AppPaths::isInstalled() && QDir(used) != QDir(wanted))
        m_placeNote = StrF(kLogFolderMoved, {QDir::toNativeSeparators(wanted), QDir::toNativeSeparators(used)});
    return used;
}

OutputLog::OutputLog(Daily, const QString &toolName, const QDate &day)
{
    if (!m_file.openDaily(logDirectory(), day, toolName))
        MessageService::error(Str(kCannotCreateLogFile));
    m_systemInformationPending = m_file.startedEmpty();
}

std::unique_ptr<OutputLog> OutputLog::ForTool(const QString &toolName, const QStringList &commandLine,
                                              const SystemFacts &facts, const QDate &day)
{
    std::unique_ptr<OutputLog> log(new OutputLog(Daily{}, toolName, day));
    log->writeSystemInformationOnce(facts);
    // The day's earlier calls stand above; this one is told apart by its
    // command line.
    log->writeLogLine(commandLine.join(u' '));
    return log;
}

OutputLog::OutputLog(const QString &directory, const QDateTime &creationTime, QObject *parent)
    : QObject(parent)
{
    createFile(directory, creationTime);
}

OutputLog::~OutputLog()
{
    OutputLog *self = this;
    activeLog().compare_exchange_strong(self, nullptr);
}

void OutputLog::createFile(const QString &directory, const QDateTime &creationTime)
{
    if (!m_file.create(directory, creationTime))
        MessageService::error(Str(kCannotCreateLogFile));
}

OutputLog *OutputLog::active()
{
    return activeLog().load();
}

void OutputLog::makeActive()
{
    activeLog().store(this);
}

void OutputLog::addText(const QString &text)
{
    {
        // A failed append is not reported: the pane still shows everything.
        QMutexLocker lock(&m_fileLock);
        m_file.append(text);
    }
    emit textAdded(text);
}

QString OutputLog::logLine(const QDateTime &time, const QString &text)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("   ") + text + u'\n';
}

void OutputLog::writeLogLine(const QString &text)
{
    addText(logLine(QDateTime::currentDateTime(), text));
}

void OutputLog::writeSystemInformationOnce(const QString &portName)
{
    if (m_systemInformationPending)
        writeSystemInformationOnce(SystemInformation::collect(portName));
}

void OutputLog::writeSystemInformationOnce(const SystemFacts &facts)
{
    if (!m_systemInformationPending)
        return;
    m_systemInformationPending = false;
    addText(SystemInformation::block(facts));
    if (!m_placeNote.isEmpty() && hasFile())
        writeLogLine(m_placeNote);
}

void WriteLogLine(const QString &text)
{
    if (LogLineHold *hold = currentHold()) {
        hold->Add(OutputLog::logLine(QDateTime::currentDateTime(), text));
        return;
    }
    if (OutputLog *log = OutputLog::active())
        log->writeLogLine(text);
}

LogLineHold::LogLineHold() : m_outer(currentHold())
{
    currentHold() = this;
}

LogLineHold::~LogLineHold()
{
    Release(false);
}

void LogLineHold::Release(bool keep)
{
    if (m_released)
        return;
    m_released = true;
    currentHold() = m_outer;
    const QStringList lines = std::exchange(m_lines, {});
    if (!keep)
        return;
    for (const QString &line : lines) {
        if (m_outer)
            m_outer->Add(line);
        else if (OutputLog *log = OutputLog::active())
            log->addText(line);
    }
}

void WriteLogLine(int stringId)
{
    WriteLogLine(Str(stringId));
}

void AddText(const QString &text)
{
    if (OutputLog *log = OutputLog::active())
        log->addText(text);
}
