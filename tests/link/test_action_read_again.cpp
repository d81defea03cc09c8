// A module action that changes what the module holds: the module is read
// again, and the comparison shows what changed before anything is written
// back over it.
#include "transfer_harness.h"

class TestActionReadAgain : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }

    void compensatedWireResistanceIsShownAsADifference()
    {
        TransferHarness h(TwoChannel7230());
        TransferProject project;
        const int moduleId = project.createModule(kTwoChannel7230, QStringLiteral("TT"));
        // Channel 1 measures a resistance thermometer in the 2-wire circuit.
        project.exec(QStringLiteral("UPDATE Signals SET WorkingModeID = 0, TypeOfCircuitID = 0, "
                                    "WireResistance = 0 WHERE Name = 'TT_CH1'"));
        project.exec(QStringLiteral("UPDATE Modules7230_1 SET SerialNr = 'SIM-1' WHERE ID = %1").arg(moduleId));
        project.open();
        h.simulate(project.imageOfModule(kTwoChannel7230, moduleId));
        h.attach(project);
        QVERIFY(h.goOnline());
        QTRY_VERIFY(h.transfer->OnlineModule() != 0);
        const ItemHandle module = h.transfer->OnlineModule();
        QVERIFY(!h.transfer->HasDifferences());
        QCOMPARE(h.transfer->TreeImageOf(module), int(ModuleTransfer::ImageOnlineEqual));

        h.messages.clear();
        const qsizetype notices = h.link.notices.size();
        const qsizetype texts = h.texts.size();
        QVERIFY(h.link.controller.RequestAction(ActionCode::TwoWireCompensation1));
        QVERIFY(h.link.waitForNotice(7, int(ActionCode::TwoWireCompensation1), 5000, notices));
        QTRY_VERIFY_WITH_TIMEOUT(h.transfer->HasDifferences(), 8000);

        const double measured = h.link.simulator.image().Channel[0].Config.WireResistance / 100.0;
        QVERIFY(measured > 12.0);
        const std::vector<ParameterDifference> &differences = h.transfer->LastDifferences();
        QCOMPARE(differences.size(), size_t(1));
        QCOMPARE(differences[0].name, QStringLiteral("Channel 1: Wire resistance"));
        QCOMPARE(differences[0].moduleText, QString::number(measured, 'f', 2) + QStringLiteral(" Ohm"));
        QCOMPARE(differences[0].otherText, QStringLiteral("0.00 Ohm"));
        QCOMPARE(h.transfer->TreeImageOf(module), int(ModuleTransfer::ImageOnlineDifferent));
        // The user is told, as when the module came online.
        QVERIFY(h.messages.texts().contains(QStringLiteral("Database data are different from module data.")));
        QVERIFY(h.textsFrom(texts).contains(ModuleComparison::ReportLine(
            differences[0].name, differences[0].moduleText, differences[0].otherText)));
        // The project keeps its own value until the user uploads or downloads.
        QCOMPARE(project.scalar(QStringLiteral("SELECT WireResistance FROM Signals WHERE Name = 'TT_CH1'")).toInt(),
                 0);
    }
};

QTEST_MAIN(TestActionReadAgain)
#include "test_action_read_again.moc"
