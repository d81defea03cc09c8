// The monitoring file: headers, records by the interval setting, file names.
#include "link/module_image.h"
#include "link/parameter_texts.h"
#include "link/monitor_file.h"
#include "params/params_test_support.h"
#include "base/settings.h"
#include "support/test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestMonitorFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void init();
    void headersAreWrittenWithoutRecordingButNoRecords();
    void recordsFollowTheInterval();
    void oneChannelRecordsHoldOneValue();
    void anotherModuleStartsItsOwnFileAndComingBackAddsHeaders();
    void fileNamesLoseWhatAFileNameCannotHold();

private:
    static CModuleImage Module(const QString &serial, bool twoChannels);
    QString Read(const QString &path) const;
    QDateTime At(int seconds) const { return QDateTime(QDate(2026, 12, 9), QTime(10, 0)).addSecs(seconds); }

    ParamsProject m_project; // the catalogues give units and factors
};

void TestMonitorFile::init()
{
    WriteSetting(QStringLiteral("DoFileWrite"), 0);
    WriteSetting(QStringLiteral("FileWriteInterval"), 3);
}

CModuleImage TestMonitorFile::Module(const QString &serial, bool twoChannels)
{
    CModuleImage image;
    image.SerialNr = serial;
    image.Channels = twoChannels ? 1 : 0;
    image.Channel[0].Config.RangeUnitsID = 0; // degrees Celsius, Digits 10
    image.Channel[0].Live.MeasuredValue = 2345;
    image.Channel[1].Config.RangeUnitsID = 4; // Ohm, Digits 100
    image.Channel[1].Live.MeasuredValue = 10950;
    return image;
}

QString TestMonitorFile::Read(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<missing>");
}

void TestMonitorFile::headersAreWrittenWithoutRecordingButNoRecords()
{
    QTemporaryDir dir;
    MonitorFile monitor(dir.path());
    const ImageParameterTexts texts(m_project.catalogues());
    const QString record = monitor.WriteRecord(Module("SIM1", true), Family7230, texts, At(0));
    QCOMPARE(record, QStringLiteral("2026-12-09 10:00:00    234.5 °C\t\t 109.50 Ohm\n"));
    monitor.WriteRecord(Module("SIM1", true), Family7230, texts, At(3));
    monitor.MarkOffline(At(6));
    QCOMPARE(monitor.FilePath(), dir.filePath("SIM1.txt"));
    QCOMPARE(
        Read(monitor.FilePath()),
        QStringLiteral("Module connected! Starts online mode: 2026-12-09 10:00:00    \r\n"
                       "Serial number SIM1\r\n"
                       "\t\t\tChannel 1\tChannel 2\r\n"
                       "Module disconnected or not found! Starts offline mode: 2026-12-09 10:00:06    \r\n"));
}

void TestMonitorFile::recordsFollowTheInterval()
{
    WriteSetting(QStringLiteral("DoFileWrite"), 1);
    WriteSetting(QStringLiteral("FileWriteInterval"), 10); // every third tick
    QTemporaryDir dir;
    MonitorFile monitor(dir.path());
    const ImageParameterTexts texts(m_project.catalogues());
    for (int tick = 0; tick < 7; ++tick)
        monitor.WriteRecord(Module("SIM1", true), Family7230, texts, At(3 * tick));
    const QStringList lines = Read(monitor.FilePath()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3 + 3);
    // The first record comes at once, then every third tick.
    QVERIFY(lines[3].startsWith("2026-12-09 10:00:00    "));
    QVERIFY(lines[4].startsWith("2026-12-09 10:00:09    "));
    QVERIFY(lines[5].startsWith("2026-12-09 10:00:18    "));

    QCOMPARE(MonitorFile::IntervalTicks(2), 0);
    QCOMPARE(MonitorFile::IntervalTicks(5), 1);
    QCOMPARE(MonitorFile::IntervalTicks(6), 2);
}

void TestMonitorFile::oneChannelRecordsHoldOneValue()
{
    WriteSetting(QStringLiteral("DoFileWrite"), 1);
    QTemporaryDir dir;
    MonitorFile monitor(dir.path());
    const ImageParameterTexts texts(m_project.catalogues());
    monitor.WriteRecord(Module("ONE", false), Family7230, texts, At(0));
    const QStringList lines = Read(monitor.FilePath()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.value(2), QStringLiteral("\t\t\tChannel 1\tChannel 2"));
    QCOMPARE(lines.value(3), QStringLiteral("2026-12-09 10:00:00    234.5 °C"));
}

void TestMonitorFile::anotherModuleStartsItsOwnFileAndComingBackAddsHeaders()
{
    QTemporaryDir dir;
    MonitorFile monitor(dir.path());
    const ImageParameterTexts texts(m_project.catalogues());
    monitor.WriteRecord(Module("A1", true), Family7230, texts, At(0));
    monitor.WriteRecord(Module("A1", true), Family7230, texts, At(3));
    monitor.WriteRecord(Module("B2", true), Family7230, texts, At(6));
    QCOMPARE(monitor.FilePath(), dir.filePath("B2.txt"));
    monitor.WriteRecord(Module("A1", true), Family7230, texts, At(9));
    const QString first = Read(dir.filePath("A1.txt"));
    QCOMPARE(first.count(QStringLiteral("Serial number A1")), 2);
    QCOMPARE(Read(dir.filePath("B2.txt")).count(QStringLiteral("Serial number B2")), 1);
}

void TestMonitorFile::fileNamesLoseWhatAFileNameCannotHold()
{
    QCOMPARE(MonitorFile::FileNameOf(QStringLiteral("A/B.1")), QStringLiteral("A B 1"));
    QCOMPARE(MonitorFile::FileNameOf(QStringLiteral("x*\\:\"<>|?y")), QStringLiteral("x        y"));
}

QTEST_GUILESS_MAIN(TestMonitorFile)
#include "test_monitor_file.moc"
