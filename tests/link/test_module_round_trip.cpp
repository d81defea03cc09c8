// Every module type of the reference database: a module made from its
// defaults, downloaded to a simulated module of its type and uploaded into a
// fresh project, comes back with the same parameters.
#include "transfer_harness.h"

namespace {
SimulatorOptions OptionsOf(ModuleFamily family, const ModuleParameters &module)
{
    SimulatorOptions options;
    options.family = family;
    options.moduleType = module.module.modulTypId - 1;
    options.channels = module.channelCount();
    options.outputSignal = module.type.outputSignal;
    options.serialNumber = QStringLiteral("RT-%1").arg(module.module.modulTypId);
    return options;
}

// What the module's blocks carry of the project module.
CModuleImage Carried(TransferProject &project, int typeId, int moduleId)
{
    auto rows = project.rowsOf(typeId, moduleId);
    ModuleParameterEditor editor(*rows, project.catalogues());
    if (!editor.Load())
        return {};
    CModuleImage image;
    BuildWriteImage(image, editor.parameters(), editor.parameters().family, QString());
    return image;
}

bool WaitUntil(const std::function<bool()> &done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QTest::qWait(5);
    return done();
}
} // namespace

class TestModuleRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::loadEnglish(); }

    void everyTypeComesBackUnchanged_data()
    {
        QTest::addColumn<int>("typeId");
        ParamsProject reference;
        for (ModuleFamily family : {Family7230, Family7210, Family7220}) {
            for (int typeId : reference.typeIds(family))
                QTest::addRow("type %d", typeId) << typeId;
        }
    }

    void everyTypeComesBackUnchanged()
    {
        QFETCH(int, typeId);
        const ModuleFamily family = ParamsProject::familyOfType(typeId);
        TransferProject source;
        const int sourceId = source.createModule(typeId, QStringLiteral("RA"));
        source.open();
        QVERIFY(source.moduleItem(typeId, sourceId));
        auto rows = source.rowsOf(typeId, sourceId);
        ModuleParameterEditor loaded(*rows, source.catalogues());
        QVERIFY(loaded.Load());

        // A module of the type fresh from the factory: its own tags and values.
        TransferHarness h(OptionsOf(family, loaded.parameters()));
        CModuleImage identity =
            source.imageOfModule(typeId, sourceId, h.link.simulator.options().serialNumber);
        identity.Revision = QStringLiteral("2.01");
        h.link.simulator.setBlock(0, identity.EncodeBlock(0, family));
        h.attach(source);
        h.messages.answer(MessageAnswer::No); // not added to the project
        QVERIFY(h.goOnline());
        QCOMPARE(source.document.CurrentItem(), source.moduleItem(typeId, sourceId)->handle());

        h.messages.answer(MessageAnswer::Yes); // the module's tags are overwritten
        const qsizetype notices = h.link.notices.size();
        QVERIFY(h.transfer->Download());
        QVERIFY(h.link.waitForNotice(4, 0, 5000, notices));
        // The new tags make the module another one: it goes and comes back.
        QVERIFY(h.link.waitForNotice(2, 1, 5000, notices));
        QVERIFY(WaitUntil([&] { return !h.transfer->IsReadBackPending(); }));
        QVERIFY(h.transfer->ReadBackDifferences().empty());
        QCOMPARE(h.link.simulator.image().Channel[0].Name, QStringLiteral("RA_CH1"));

        // A fresh project whose module of the same name holds other values.
        TransferProject target;
        const int targetId = target.createModule(typeId, QStringLiteral("RA"));
        target.exec(QStringLiteral("UPDATE Signals SET Description = 'target side', Relay1Hysteresis = "
                                   "Relay1Hysteresis + 50, OutputErrorStop = 1"));
        target.open();
        QVERIFY(Carried(target, typeId, targetId) != Carried(source, typeId, sourceId));
        h.attach(target);
        const qsizetype reconnect = h.link.notices.size();
        h.link.simulator.setUnplugged(true);
        QVERIFY(h.link.waitForNotice(2, 2, 5000, reconnect));
        const qsizetype replug = h.link.notices.size();
        h.link.simulator.setUnplugged(false);
        QVERIFY(h.link.waitForNotice(2, 1, 5000, replug));
        Item *targetItem = target.moduleItem(typeId, targetId);
        QVERIFY(targetItem);
        QCOMPARE(h.transfer->OnlineModule(), targetItem->handle());

        // Compared while the upload's notice is handled, after the take-over.
        std::vector<ParameterDifference> differences = {ParameterDifference{}};
        TransferHarness::AtNextNotice afterUpload(
            h.link.controller, 3, [&] { differences = h.transfer->CompareWithDatabase(true); });
        QVERIFY(h.transfer->Upload());
        QVERIFY(afterUpload.wait());
        QVERIFY(differences.empty());
        const QString name = h.transfer->openModuleName();
        QCOMPARE(h.link.lines.last(), QStringLiteral("Checking module '%1' ... OK").arg(name));
        QVERIFY(h.link.lines.contains(QStringLiteral("Upload for module '%1' ...... OK").arg(name)));
        QCOMPARE(Carried(target, typeId, targetId), Carried(source, typeId, sourceId));
        const QString table = ParamsProject::moduleTable(family);
        for (const char *column : {"Revision", "SerialNr", "LastProgramming"}) {
            const QString query =
                QStringLiteral("SELECT %1 FROM %2 WHERE ID = %3").arg(QLatin1String(column), table);
            QCOMPARE(target.scalar(query.arg(targetId)), source.scalar(query.arg(sourceId)));
        }
        QCOMPARE(target.scalar("SELECT COUNT(*) FROM Signals WHERE Description = 'target side'").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestModuleRoundTrip)
#include "test_module_round_trip.moc"
