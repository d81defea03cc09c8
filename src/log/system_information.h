#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Memory figures in units of 1,048,576 bytes, cut to whole numbers.
struct MemoryFacts {
    qint64 totalPhysical = 0;
    qint64 availablePhysical = 0;
    qint64 totalSwap = 0;
    qint64 availableSwap = 0;
    // What the system can commit to programs, and what of it is not yet
    // committed: the nearest thing to a process's virtual memory budget.
    qint64 totalVirtual = 0;
    qint64 availableVirtual = 0;
};

struct SystemFacts {
    QString computerName;
    QString platform;
    QString version;
    QString servicePack;
    QString buildNumber;
    MemoryFacts memory;
    QString productName;
    QString companyName;
    QString copyright;
    QString programFile;
    QString portName;
};

// The block of system information at the head of every log.
class SystemInformation {
public:
    // The facts of this machine and this program, with the serial port the
    // caller's link uses.
    static SystemFacts collect(const QString &portName);
    // The 23 lines of the block, in the active language.
    static QStringList lines(const SystemFacts &facts);
    // The lines, each ended by "\n", and one more "\n".
    static QString block(const SystemFacts &facts);

    // The distribution's name from the text of /etc/os-release; empty when
    // it names none.
    static QString platformName(const QByteArray &osRelease);
    // "6.1" from a kernel release such as "6.1.0-13-amd64"; empty when it
    // does not start with two numbers.
    static QString kernelVersion(const QString &release);
    // The build count of the kernel ("#1 SMP ..." gives 1), low 16 bits;
    // -1 when the text has none.
    static int kernelBuild(const QString &kernelVersionText);
    // The figures of /proc/meminfo (values in kB); missing ones stay 0.
    static MemoryFacts memoryFromMeminfo(const QByteArray &meminfo);
};
