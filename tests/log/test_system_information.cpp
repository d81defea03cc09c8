#include "link/com_port.h"
#include "log/output_log.h"
#include "log/system_information.h"
#include "base/app_paths.h"
#include "base/settings.h"
#include "support/test_support.h"

#include <QFile>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

static SystemFacts sampleFacts()
{
    SystemFacts facts;
    facts.computerName = QStringLiteral("plant-pc");
    facts.platform = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
    facts.version = QStringLiteral("6.1");
    facts.servicePack = QStringLiteral("6.1.0-13-amd64");
    facts.buildNumber = QStringLiteral("(Build 1)");
    facts.memory = {16000, 12000, 2047, 2000, 10047, 9000};
    facts.productName = QStringLiteral("Zelnor Wizard");
    facts.companyName = QStringLiteral("Zelnor");
    facts.copyright = QStringLiteral("Copyright (C) 2026 Zelnor");
    facts.programFile = QStringLiteral("/opt/zelnor/zelnor-wizard");
    facts.portName = QStringLiteral("/dev/ttyUSB0");
    return facts;
}

class TestSystemInformation : public QObject {
    Q_OBJECT
private slots:
    void init();
    void blockHasTwentyThreeLinesInItsOrder();
    void blockEndsWithOneEmptyLine();
    void osReleaseGivesTheDistributionName();
    void kernelGivesVersionAndBuild();
    void meminfoGivesWholeMegabytes();
    void collectedFactsDescribeThisMachine();
    void portSettingNamesTheSystemPort();
    void logWritesTheBlockOnceAtItsHead();
};

void TestSystemInformation::init()
{
    TestSupport::loadEnglish();
    QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication).clear();
}

void TestSystemInformation::blockHasTwentyThreeLinesInItsOrder()
{
    const QStringList lines = SystemInformation::lines(sampleFacts());
    QCOMPARE(lines.size(), 23);
    const QString rule(79, u'-');
    QCOMPARE(lines[0], rule);
    QCOMPARE(lines[1], QStringLiteral("SYSTEM INFORMATION"));
    QCOMPARE(lines[2], rule);
    QCOMPARE(lines[3], QStringLiteral("  COMPUTER NAME         : plant-pc"));
    QCOMPARE(lines[5], QStringLiteral("      Platform          : Debian GNU/Linux 12 (bookworm)"));
    QCOMPARE(lines[6], QStringLiteral("      Version           : 6.1"));
    QCOMPARE(lines[7], QStringLiteral("      Service pack      : 6.1.0-13-amd64"));
    QCOMPARE(lines[8], QStringLiteral("      Build number      : (Build 1)"));
    QCOMPARE(lines[10], QStringLiteral("      TotalPhys         : 16000 MB,  AvailPhys     : 12000 MB"));
    QCOMPARE(lines[11], QStringLiteral("      TotalPageFile     : 2047 MB,  AvailPageFile : 2000 MB"));
    QCOMPARE(lines[12], QStringLiteral("      TotalVirtual      : 10047 MB,  AvailVirtual  : 9000 MB"));
    QCOMPARE(lines[14], QStringLiteral("      Name              : Zelnor Wizard"));
    QCOMPARE(lines[15], QStringLiteral("      Version           : 3.04.00"));
    QCOMPARE(lines[16], QStringLiteral("      Company name      : Zelnor"));
    QCOMPARE(lines[17], QStringLiteral("      Copyright         : Copyright (C) 2026 Zelnor"));
    QCOMPARE(lines[18], QStringLiteral("      Modul file name   : /opt/zelnor/zelnor-wizard"));
    QCOMPARE(lines[19], QStringLiteral("  COMMUNICATION"));
    QCOMPARE(lines[20], QStringLiteral("      Port              : /dev/ttyUSB0"));
    QCOMPARE(lines[21], QStringLiteral("      Baud rate         : 9600"));
    QCOMPARE(lines[22], rule);
}

void TestSystemInformation::blockEndsWithOneEmptyLine()
{
    const QString block = SystemInformation::block(sampleFacts());
    QVERIFY(block.endsWith(QStringLiteral("-\n\n")));
    QCOMPARE(block.count(u'\n'), 24);
}

void TestSystemInformation::osReleaseGivesTheDistributionName()
{
    QCOMPARE(SystemInformation::platformName("NAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\n"
                                             "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
             QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
    QCOMPARE(SystemInformation::platformName("# comment\nNAME='Alpine Linux'\nVERSION=3.19\n"),
             QStringLiteral("Alpine Linux 3.19"));
    QCOMPARE(SystemInformation::platformName("ID=unknown\n"), QString());
    QCOMPARE(SystemInformation::platformName(QByteArray()), QString());
}

void TestSystemInformation::kernelGivesVersionAndBuild()
{
    QCOMPARE(SystemInformation::kernelVersion(QStringLiteral("6.1.0-13-amd64")), QStringLiteral("6.1"));
    QCOMPARE(SystemInformation::kernelVersion(QStringLiteral("10.04")), QStringLiteral("10.4"));
    QCOMPARE(SystemInformation::kernelVersion(QStringLiteral("custom")), QString());
    QCOMPARE(SystemInformation::kernelBuild(QStringLiteral("#1 SMP PREEMPT_DYNAMIC Debian 6.1.55-1")), 1);
    QCOMPARE(SystemInformation::kernelBuild(QStringLiteral("#70000 SMP")), 70000 & 0xFFFF);
    QCOMPARE(SystemInformation::kernelBuild(QStringLiteral("SMP")), -1);
}

void TestSystemInformation::meminfoGivesWholeMegabytes()
{
    const MemoryFacts m = SystemInformation::memoryFromMeminfo("MemTotal:       16384000 kB\n"
                                                               "MemFree:         1000000 kB\n"
                                                               "MemAvailable:   12288999 kB\n"
                                                               "SwapTotal:       2097148 kB\n"
                                                               "SwapFree:        2097148 kB\n"
                                                               "CommitLimit:    10289148 kB\n"
                                                               "Committed_AS:    1048576 kB\n");
    QCOMPARE(m.totalPhysical, 16000);
    QCOMPARE(m.availablePhysical, 12000); // 12001.0 cut, never rounded up
    QCOMPARE(m.totalSwap, 2047);
    QCOMPARE(m.availableSwap, 2047);
    QCOMPARE(m.totalVirtual, 10047);
    QCOMPARE(m.availableVirtual, 9023);

    const MemoryFacts overcommitted =
        SystemInformation::memoryFromMeminfo("CommitLimit: 1024 kB\nCommitted_AS: 4096 kB\n");
    QCOMPARE(overcommitted.availableVirtual, 0);
    QCOMPARE(SystemInformation::memoryFromMeminfo("garbage\n:\nMemTotal: x kB\n").totalPhysical, 0);
}

void TestSystemInformation::collectedFactsDescribeThisMachine()
{
    const SystemFacts facts = SystemInformation::collect(QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(facts.computerName, QSysInfo::machineHostName());
    QVERIFY(!facts.platform.isEmpty());
    QVERIFY(!SystemInformation::kernelVersion(QSysInfo::kernelVersion()).isEmpty());
    QCOMPARE(facts.version, SystemInformation::kernelVersion(QSysInfo::kernelVersion()));
    QVERIFY(facts.buildNumber.startsWith(QStringLiteral("(Build ")));
    QVERIFY(facts.memory.totalPhysical > 0);
    QVERIFY(facts.memory.availablePhysical <= facts.memory.totalPhysical);
    QCOMPARE(facts.programFile, AppPaths::programFile());
    // The port is the caller's: the log knows nothing of the link.
    QCOMPARE(facts.portName, QStringLiteral("/dev/ttyUSB3"));
    QVERIFY(!facts.productName.isEmpty() && !facts.companyName.isEmpty() && !facts.copyright.isEmpty());
}

void TestSystemInformation::portSettingNamesTheSystemPort()
{
    ComPort::configure(QStringLiteral("4"));
    QCOMPARE(ComPort::configuredName(), QStringLiteral("/dev/ttyS3"));
    ComPort::configure(QStringLiteral("/dev/pts/7"));
    QCOMPARE(ComPort::configuredName(), QStringLiteral("/dev/pts/7"));
    QCOMPARE(SystemInformation::lines(SystemInformation::collect(ComPort::configuredName()))[20],
             QStringLiteral("      Port              : /dev/pts/7"));
    ComPort::configure(QStringLiteral("1"));
    QVERIFY(!QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication)
                 .contains("Settings/ComPort"));
}

void TestSystemInformation::logWritesTheBlockOnceAtItsHead()
{
    QTemporaryDir dir;
    OutputLog log(dir.path(), QDateTime::currentDateTime());
    QVERIFY(log.systemInformationPending());
    log.writeSystemInformationOnce(QStringLiteral("/dev/ttyS0"));
    log.writeSystemInformationOnce(QStringLiteral("/dev/ttyS1"));
    QVERIFY(!log.systemInformationPending());
    log.writeLogLine(QStringLiteral("after"));
    QFile file(log.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    // 23 lines, the empty line, the stamped line and what follows its CR LF.
    QCOMPARE(lines.size(), 26);
    QCOMPARE(lines[1], QStringLiteral("SYSTEM INFORMATION"));
    QCOMPARE(lines[20], QStringLiteral("      Port              : /dev/ttyS0"));
    QCOMPARE(lines[22], QString(79, u'-'));
    QCOMPARE(lines[23], QString());
    QVERIFY(lines[24].endsWith(QStringLiteral("   after")));
}

QTEST_GUILESS_MAIN(TestSystemInformation)
#include "test_system_information.moc"
