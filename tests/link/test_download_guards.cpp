// What a download may change in the project before the module has shown
// that it took it: a download that cannot be made changes nothing, and the
// project's date of the last download follows only a verified one.
#include "transfer_harness.h"

#include <QDate>

namespace {
const QString kEarlier = QStringLiteral("01.02.2020");

struct Online {
    Online() : harness(TwoChannel7230())
    {
        moduleId = project.createModule(kTwoChannel7230, QStringLiteral("TT"));
        project.exec(QStringLiteral("UPDATE %1 SET SerialNr = 'SIM-1', LastProgramming = '%2' WHERE ID = %3")
                         .arg(ParamsProject::moduleTable(Family7230), kEarlier)
                         .arg(moduleId));
        project.open();
        harness.simulate(project.imageOfModule(kTwoChannel7230, moduleId));
        harness.attach(project);
    }
    QString lastProgramming()
    {
        return project
            .scalar(QStringLiteral("SELECT LastProgramming FROM %1 WHERE ID = %2")
                        .arg(ParamsProject::moduleTable(Family7230))
                        .arg(moduleId))
            .toString();
    }
    int rangeEndOfChannel2()
    {
        return project.scalar(QStringLiteral("SELECT RangeEnd FROM Signals WHERE Name = 'TT_CH2'")).toInt();
    }

    TransferProject project;
    int moduleId = 0;
    TransferHarness harness;
};
} // namespace

class TestDownloadGuards : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }

    void downloadWithTheModuleGoneChangesNothing()
    {
        Online online;
        TransferHarness &h = online.harness;
        QVERIFY(h.goOnline());
        const int rangeEnd = online.rangeEndOfChannel2();
        h.editor().channel(2)->rangeEnd = rangeEnd / 2;
        h.editor().SetModified(true);
        const qsizetype notices = h.link.notices.size();
        h.link.simulator.setUnplugged(true);
        QVERIFY(h.link.waitForNotice(2, 2, 5000, notices));
        h.messages.clear();
        const qsizetype traffic = h.link.simulator.traffic().size();

        QVERIFY(!h.transfer->Download());
        const QString refusal =
            QStringLiteral("No module is connected: module '7230/211-2 - [TT_CH1] [TT_CH2]' was not downloaded, "
                           "and nothing of it was applied or dated.");
        QCOMPARE(h.messages.texts(), QStringList{refusal});
        QCOMPARE(h.messages.shown().front().icon, MessageIcon::Error);
        QVERIFY(h.link.lines.contains(refusal));
        // Neither applied nor stamped: the edit waits on the pages.
        QCOMPARE(online.rangeEndOfChannel2(), rangeEnd);
        QVERIFY(h.editor().isModified());
        QCOMPARE(online.lastProgramming(), kEarlier);
        QCOMPARE(h.editor().parameters().module.lastProgramming, kEarlier);
        QVERIFY(ModuleBlockHistory(online.project.session()).EntriesOf(QStringLiteral("SIM-1")).empty());
        QTest::qWait(200);
        QVERIFY(h.writesFrom(traffic).isEmpty());
    }

    void dateOfTheLastDownloadFollowsOnlyAVerifiedOne_data()
    {
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<int>("result");
        QTest::newRow("read back as written") << "same" << int(ModuleTransfer::ReadBack::Same);
        QTest::newRow("a byte kept otherwise") << "misstore" << int(ModuleTransfer::ReadBack::Different);
        QTest::newRow("module gone before the read-back") << "gone" << int(ModuleTransfer::ReadBack::NotRead);
    }

    void dateOfTheLastDownloadFollowsOnlyAVerifiedOne()
    {
        QFETCH(QString, readBack);
        QFETCH(int, result);
        Online online;
        TransferHarness &h = online.harness;
        QVERIFY(h.goOnline());
        if (readBack == QLatin1String("misstore")) {
            SimulatorFault misstore;
            misstore.kind = SimulatorFault::Misstore;
            misstore.commands = {Frame::kWriteBlock + 6};
            misstore.count = 5;
            h.link.simulator.injectFault(misstore);
        }
        TransferHarness::AtNextNotice atDownload(h.link.controller, 4, [&] {
            if (readBack == QLatin1String("gone"))
                h.link.simulator.setUnplugged(true);
        });
        h.editor().channel(2)->rangeEnd = 90000;
        h.editor().SetModified(true);
        QVERIFY(h.transfer->Download());
        // Nothing is dated while the module is being written.
        QCOMPARE(online.lastProgramming(), kEarlier);
        QVERIFY(atDownload.wait(10000));
        QTRY_VERIFY_WITH_TIMEOUT(!h.transfer->IsReadBackPending(), 8000);
        QCOMPARE(int(h.transfer->ReadBackResult()), result);
        const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
        const QString expected = result == int(ModuleTransfer::ReadBack::Same) ? today : kEarlier;
        QCOMPARE(online.lastProgramming(), expected);
        QCOMPARE(h.editor().parameters().module.lastProgramming, expected);
        // The applied parameters are in the project whatever the module did.
        QCOMPARE(online.rangeEndOfChannel2(), 90000);
    }
};

QTEST_MAIN(TestDownloadGuards)
#include "test_download_guards.moc"
