// Another module takes the connected one's place between two polls, without
// the link ever finding the line empty: the live values, their pages and
// their monitoring records belong to the new module from its first notice.
#include "link/monitor_file.h"
#include "link/monitoring_values.h"
#include "link/widgets/monitoring_page.h"
#include "link/widgets/property_tab_view.h"
#include "base/settings.h"
#include "transfer_harness.h"

#include <QFileInfo>
#include <QLabel>

class TestLiveModuleSwap : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestSupport::loadEnglish();
        // Every refresh writes its record.
        WriteSetting(QStringLiteral("DoFileWrite"), 1);
        WriteSetting(QStringLiteral("FileWriteInterval"), 0);
    }
    void cleanupTestCase() { WriteSetting(QStringLiteral("DoFileWrite"), 0); }

    void oneChannelTripAmplifierReplacesATwoChannelTransmitter()
    {
        TransferHarness h(TwoChannel7230());
        TransferProject project;
        const int moduleId = project.createModule(kTwoChannel7230, QStringLiteral("LV"));
        project.open();
        h.simulate(project.imageOfModule(kTwoChannel7230, moduleId));
        h.attach(project);
        QTemporaryDir monitoring;
        MonitorFile monitor(monitoring.path());
        h.transfer->setMonitorFile(&monitor);
        h.link.simulator.setLiveFraction(1, 0.5);
        QVERIFY(h.goOnline());
        CPropertyTabView panel(*h.transfer, h.link.controller);
        // As the main window does at every connection notice.
        QObject::connect(h.transfer.get(), &ModuleTransfer::liveValuesRefreshed, &panel,
                         &CPropertyTabView::Refresh);
        panel.Refresh();
        QCOMPARE(panel.count(), 4);
        QCOMPARE(panel.tabText(3), QStringLiteral("Monitoring - CH 2"));

        // Z 7220/12-0 (type ID 65): one channel, inputs and relays in mA.
        const qsizetype notices = h.link.notices.size();
        h.link.simulator.replaceModule(Family7220, 64, 1, QStringLiteral("SIM-7220"));
        QVERIFY(h.link.waitForNotice(2, 1, 8000, notices));
        QCOMPARE(h.link.connectionChangesFrom(notices), QList<Notice>({{2, 2}, {2, 1}}));
        QTRY_VERIFY(h.link.notices.indexOf(qMakePair(2, 0), notices) >= 0);

        QCOMPARE(h.transfer->LiveFamily(), std::optional<ModuleFamily>(Family7220));
        QCOMPARE(panel.count(), 3);
        QCOMPARE(panel.tabText(2), QStringLiteral("Monitoring - CH 1"));
        auto *page = panel.widget(2)->findChild<CMonitoringPage *>();
        QVERIFY(page);
        QCOMPARE(page->ScaleLabels()[0]->text(), QStringLiteral("24 mA"));
        // The trend holds the new module's values alone.
        const CModuleImage now = h.link.simulator.image();
        const MonitoringRecord record = MonitoringValues(h.transfer->Texts()).RecordOf(now, 1, Family7220);
        QVERIFY(!page->Trend().Samples().empty());
        for (const MonitoringTrend::Sample &sample : page->Trend().Samples())
            QCOMPARE(sample.value, record.value);

        // Every record of the new module's file is read in its own family.
        QCOMPARE(QFileInfo(monitor.FilePath()).fileName(), QStringLiteral("SIM-7220.txt"));
        QFile file(monitor.FilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QDateTime at = QDateTime::currentDateTime();
        const qsizetype stamp = MonitorFile::TimeStamp(at).size();
        const QString expected = monitor.RecordLine(now, Family7220, h.transfer->Texts(), at).mid(stamp);
        static const QRegularExpression recordLine(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d "));
        int records = 0;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            if (!recordLine.match(line).hasMatch())
                continue;
            ++records;
            // The file ends its lines as the platform's text files do.
            QCOMPARE(line.mid(stamp).remove(QLatin1Char('\r')) + QLatin1Char('\n'), expected);
        }
        QVERIFY(records > 0);
    }
};

QTEST_MAIN(TestLiveModuleSwap)
#include "test_live_module_swap.moc"
