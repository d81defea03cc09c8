#pragma once

#include "log/output_log.h"

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>

// The run's output log, in a folder of its own, with the lines written to
// it since it was made (without their time stamps).
class CapturedLog {
public:
    CapturedLog() : m_log(m_dir.path(), QDateTime::currentDateTime())
    {
        m_log.makeActive();
        QObject::connect(&m_log, &OutputLog::textAdded, [this](const QString &text) {
            static const qsizetype stamp =
                OutputLog::logLine(QDateTime(QDate(2000, 1, 1), QTime(0, 0)), QString()).size() - 1;
            lines << text.mid(stamp).chopped(1);
        });
    }
    QStringList lines;

private:
    QTemporaryDir m_dir;
    OutputLog m_log;
};
