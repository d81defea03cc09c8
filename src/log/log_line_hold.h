#pragma once

#include <QString>
#include <QStringList>

// Keeps the lines written while it is in place from the log until it is
// released: an operation that may be undone as a whole (a trial run, a
// refused import) logs only what it finally did. Lines not kept are dropped.
class LogLineHold {
public:
    LogLineHold();
    ~LogLineHold();
    LogLineHold(const LogLineHold &) = delete;
    LogLineHold &operator=(const LogLineHold &) = delete;

    void Add(const QString &stampedLine) { m_lines << stampedLine; }
    // Ends the hold; keep writes the held lines (time stamps as written).
    void Release(bool keep);

private:
    LogLineHold *m_outer;
    QStringList m_lines;
    bool m_released = false;
};
