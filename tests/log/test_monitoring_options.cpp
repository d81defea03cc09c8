// The "Monitoring" options dialog: the box is written at once, the interval
// on OK with its log line, nothing more on Cancel; the spin speeds up.
#include "log/monitoring_options.h"
#include "log/widgets/monitoring_options_dialog.h"
#include "base/settings.h"
#include "support/captured_log.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QtTest>

class TestMonitoringOptions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::loadEnglish(); }

    void init()
    {
        WriteSetting(QStringLiteral("DoFileWrite"), 0);
        WriteSetting(QStringLiteral("FileWriteInterval"), 10);
    }

    void boxIsWrittenAtOnceAndEnablesTheInterval()
    {
        MonitoringOptionsDialog dialog;
        auto *box = dialog.findChild<QCheckBox *>(QStringLiteral("1352"));
        auto *spin = dialog.findChild<QSpinBox *>(QStringLiteral("1283"));
        QVERIFY(!box->isChecked());
        QVERIFY(!spin->isEnabled());
        QCOMPARE(spin->value(), 10);
        box->click();
        QCOMPARE(ReadSetting(QStringLiteral("DoFileWrite")).toInt(), 1);
        QVERIFY(spin->isEnabled());
        spin->setValue(42);
        dialog.reject();
        // Cancel keeps the box as clicked but not the interval.
        QCOMPARE(ReadSetting(QStringLiteral("DoFileWrite")).toInt(), 1);
        QCOMPARE(ReadSetting(QStringLiteral("FileWriteInterval")).toInt(), 10);
    }

    void okWritesTheIntervalAndLogs_data()
    {
        QTest::addColumn<bool>("recording");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("line");
        QTest::newRow("recording") << true << 60 << "Interval for writing to monitor file is now 60 seconds.";
        QTest::newRow("stopped") << false << 9 << "Writing to monitor log file is now stopped.";
    }
    void okWritesTheIntervalAndLogs()
    {
        QFETCH(bool, recording);
        QFETCH(int, seconds);
        QFETCH(QString, line);
        CapturedLog log;
        MonitoringOptionsDialog dialog;
        if (recording)
            dialog.findChild<QCheckBox *>(QStringLiteral("1352"))->click();
        dialog.findChild<QSpinBox *>(QStringLiteral("1283"))->setValue(seconds);
        dialog.accept();
        QCOMPARE(ReadSetting(QStringLiteral("FileWriteInterval")).toInt(), seconds);
        QCOMPARE(log.lines, QStringList{line});
    }

    void intervalIsHeldToItsRange()
    {
        CapturedLog log;
        MonitoringOptions::Apply(1);
        QCOMPARE(MonitoringOptions::Interval(), 3);
        MonitoringOptions::Apply(99999);
        QCOMPARE(MonitoringOptions::Interval(), 3600);
    }

    void spinStepsFasterWhileHeld_data()
    {
        QTest::addColumn<int>("heldMs");
        QTest::addColumn<int>("step");
        QTest::newRow("just pressed") << 0 << 1;
        QTest::newRow("1 s") << 1000 << 3;
        QTest::newRow("2.5 s") << 2500 << 6;
        QTest::newRow("3 s") << 3000 << 9;
        QTest::newRow("4 s") << 4000 << 15;
        QTest::newRow("5 s") << 5999 << 30;
        QTest::newRow("6 s and on") << 60000 << 60;
    }
    void spinStepsFasterWhileHeld()
    {
        QFETCH(int, heldMs);
        QFETCH(int, step);
        QCOMPARE(MonitoringOptions::SpinStep(heldMs), step);
    }
};

QTEST_MAIN(TestMonitoringOptions)
#include "test_monitoring_options.moc"
