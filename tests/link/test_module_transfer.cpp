// Going online, upload, download and the comparison against a simulated
// module on a real pseudo-terminal, over real project files.
#include "link/monitor_file.h"
#include "transfer_harness.h"

#include <QDate>

namespace {
const QString kModuleName = QStringLiteral("7230/211-2 - [TT_CH1] [TT_CH2]");

// The report lines between the two "=" rules.
QStringList ReportBody(const QString &text)
{
    const QString rule = QString(120, QLatin1Char('=')) + QLatin1Char('\n');
    const qsizetype first = text.indexOf(rule);
    const qsizetype last = text.lastIndexOf(rule);
    if (first < 0 || last <= first)
        return {};
    return text.mid(first + rule.size(), last - first - rule.size())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString Today()
{
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
}
} // namespace

class TestModuleTransfer : public QObject {
    Q_OBJECT

private:
    // A project with the module TT of the two-channel type, and the
    // simulated module holding exactly its parameters, online.
    struct Online {
        explicit Online(bool dip = false, const std::function<void(CModuleImage &)> &change = {})
            : harness(TwoChannel7230(dip))
        {
            moduleId = project.createModule(kTwoChannel7230, QStringLiteral("TT"));
            project.exec(QStringLiteral("UPDATE %1 SET SerialNr = 'SIM-1' WHERE ID = %2")
                             .arg(ParamsProject::moduleTable(Family7230))
                             .arg(moduleId));
            project.open();
            CModuleImage image = project.imageOfModule(kTwoChannel7230, moduleId);
            image.DIPSwitch = dip ? 1 : 0;
            if (change)
                change(image);
            harness.simulate(image);
            harness.attach(project);
        }
        bool start() { return harness.goOnline(); }

        TransferProject project;
        int moduleId = 0;
        TransferHarness harness;
    };

private slots:
    void goingOnlineSelectsTheProjectModule()
    {
        Online online;
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        Item *module = online.project.moduleItem(kTwoChannel7230, online.moduleId);
        QVERIFY(module);
        QCOMPARE(online.project.document.CurrentItem(), module->handle());
        QCOMPARE(h.transfer->OnlineModule(), module->handle());
        QCOMPARE(h.transfer->TreeImageOf(module->handle()), int(ModuleTransfer::ImageOnlineEqual));
        QVERIFY(!h.transfer->HasDifferences());
        const qsizetype connected =
            h.link.lines.indexOf(QStringLiteral("Module connected! Starts online mode:"));
        QVERIFY(connected >= 0);
        QCOMPARE(h.link.lines.value(connected + 1), "Checking module '" + kModuleName + "' ... OK");
        QVERIFY(h.hints.contains(ModuleTransfer::kHintOnlineChanged));
        QVERIFY(h.messages.shown().empty());
    }

    void revisionDifferenceIsReported()
    {
        Online online(false, [](CModuleImage &image) { image.Revision = QStringLiteral("9.99"); });
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        const QStringList body = ReportBody(h.textsFrom(0));
        QCOMPARE(body.size(), 1);
        QCOMPARE(body[0], ModuleComparison::ReportLine("Revision", "9.99", "").chopped(1));
        QVERIFY(h.link.lines.contains("Checking module '" + kModuleName + "' ..."));
        QCOMPARE(h.messages.texts(), QStringList({"Database data are different from module data."}));
        QCOMPARE(h.transfer->TreeImageOf(h.transfer->OnlineModule()),
                 int(ModuleTransfer::ImageOnlineDifferent));
        // The heading is laid out like the lines.
        QVERIFY(h.textsFrom(0).contains(
            ModuleComparison::ReportLine("Parameter name:", "Module parameter:", "Database parameter:")));
        QCOMPARE(ModuleComparison::ReportLine("Revision", "9.99", "").indexOf("9.99"), 40);
    }

    void parameterOnlyTheModuleHasShowsDashesForTheDatabase()
    {
        Online online(false, [](CModuleImage &image) {
            ChannelConfiguration &c = image.Channel[0].Config;
            c.WorkingModeID = 0;
            c.TypeOfCircuitID = 0;
            c.WireResistance = 1050;
        });
        // The project's channel 1 keeps its 3-wire circuit.
        QVERIFY(online.start());
        const QStringList body = ReportBody(online.harness.textsFrom(0));
        QVERIFY(body.contains(
            ModuleComparison::ReportLine("Channel 1: Wire resistance", "10.50 Ohm", "----").chopped(1)));
        QVERIFY(body.contains(
            ModuleComparison::ReportLine("Channel 1: Circuit type", "2-wire", "3-wire").chopped(1)));
        QCOMPARE(body.size(), 2);
    }

    void dipConfigurableModuleReceivesOnlyItsTags()
    {
        Online online(true);
        online.project.exec(QStringLiteral("UPDATE %1 SET DIPSwitch = -1 WHERE ID = %2")
                                .arg(ParamsProject::moduleTable(Family7230))
                                .arg(online.moduleId));
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        const QByteArray channelBlock = h.link.simulator.block(6);
        ModuleParameterEditor &editor = h.editor();
        editor.channel(1)->name = QStringLiteral("TT_NEW");
        editor.channel(1)->rangeEnd = 800000;
        editor.SetModified(true);
        h.messages.answer(MessageAnswer::Yes); // the name question
        const qsizetype traffic = h.link.simulator.traffic().size();
        const qsizetype notices = h.link.notices.size();
        QVERIFY2(h.transfer->Download(), qPrintable(h.messages.texts().join('|') + h.link.lines.join('|')));
        QVERIFY(h.waitForReadBack(4, notices));
        QCOMPARE(h.writesFrom(traffic), QStringList({"W2", "W4"}));
        QCOMPARE(h.link.simulator.image().Channel[0].Name, QStringLiteral("TT_NEW"));
        QCOMPARE(h.link.simulator.block(6), channelBlock);
        const QString dip =
            QStringLiteral("DIP switch is set to DIP configurable! It may be downloaded only Signal-Tags!");
        QVERIFY(h.messages.texts().contains(dip));
        QVERIFY(h.link.lines.contains(dip));
        QVERIFY(h.transfer->ReadBackDifferences().empty());
    }

    void answeringNoToTheNameQuestionChangesNothing()
    {
        // The module's tags name no project module; declining to add it
        // selects the family's module of the highest ID.
        Online online(false, [](CModuleImage &image) { image.Channel[0].Name = QStringLiteral("OTHER"); });
        online.harness.messages.answer(MessageAnswer::No);
        QVERIFY(online.project.moduleItem(kTwoChannel7230, online.moduleId));
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        QCOMPARE(
            h.messages.texts().value(0),
            QStringLiteral(
                "Connected module doesn't exist in database. Do you want to apply it to the database?\n"));
        QCOMPARE(h.transfer->OnlineModule(), ItemHandle(0));
        QCOMPARE(online.project.document.CurrentItem(),
                 online.project.moduleItem(kTwoChannel7230, online.moduleId)->handle());
        const qsizetype lines = h.link.lines.size();
        const qsizetype traffic = h.link.simulator.traffic().size();
        h.messages.clear();
        h.messages.answer(MessageAnswer::No);
        QVERIFY(!h.transfer->Download());
        QCOMPARE(h.messages.texts(),
                 QStringList(
                     {"Module name is different like database module name. \nModule tag name overwrite. Are "
                      "you sure you want to make download?"}));
        // Overwriting the module's tags is not what Enter does.
        QCOMPARE(h.messages.shown().front().defaultAnswer, MessageAnswer::No);
        QTest::qWait(300);
        QVERIFY(h.writesFrom(traffic).isEmpty());
        QCOMPARE(h.link.lines.size(), lines);
        QCOMPARE(online.project.scalar("SELECT COUNT(*) FROM sqlite_master WHERE name = 'ModuleBlockHistory'")
                     .toInt(),
                 0);
    }

    void uploadOfChannelTwoTakesModuleDataAndThatChannel()
    {
        Online online(false, [](CModuleImage &image) {
            image.Revision = QStringLiteral("3.01");
            for (ChannelImage &channel : image.Channel) {
                channel.Description = QStringLiteral("module side");
                channel.Config.RangeEnd = 1100; // 110.0 degrees instead of 100.0
            }
        });
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        TransferProject &project = online.project;
        const int signal1 = project.scalar("SELECT ID FROM Signals WHERE Name = 'TT_CH1'").toInt();
        const int signal2 = project.scalar("SELECT ID FROM Signals WHERE Name = 'TT_CH2'").toInt();
        const QVariant rangeEnd1 =
            project.scalar(QString("SELECT RangeEnd FROM Signals WHERE ID = %1").arg(signal1));
        Item *signalItem = project.lookup.LoadRow(QStringLiteral("Signals"), signal2);
        QVERIFY(signalItem);
        QVERIFY(project.document.Select(signalItem->handle()));
        QCOMPARE(h.editor().parameters().shownChannel, 2);
        const qsizetype notices = h.link.notices.size();
        QVERIFY(h.transfer->Upload());
        QVERIFY(h.link.waitForNotice(3, 0, 5000, notices));
        QVERIFY(h.link.lines.contains("Upload for module '" + kModuleName + "' ...... OK"));
        QCOMPARE(project.scalar(QString("SELECT RangeEnd FROM Signals WHERE ID = %1").arg(signal2)).toInt(),
                 110000);
        QCOMPARE(
            project.scalar(QString("SELECT Description FROM Signals WHERE ID = %1").arg(signal2)).toString(),
            QStringLiteral("module side"));
        QCOMPARE(project.scalar(QString("SELECT RangeEnd FROM Signals WHERE ID = %1").arg(signal1)),
                 rangeEnd1);
        QVERIFY(project.scalar(QString("SELECT Description FROM Signals WHERE ID = %1").arg(signal1))
                    .toString() != QStringLiteral("module side"));
        QCOMPARE(project
                     .scalar(QString("SELECT Revision FROM %1 WHERE ID = %2")
                                 .arg(ParamsProject::moduleTable(Family7230))
                                 .arg(online.moduleId))
                     .toString(),
                 QStringLiteral("3.01"));
        QVERIFY(!h.transfer->IsNewModule());
    }

    void downloadReachesTheModuleAndKeepsWhatItHeld()
    {
        Online online;
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        TransferProject &project = online.project;
        const CModuleImage before = h.link.simulator.image();
        ModuleParameterEditor &editor = h.editor();
        editor.channel(1)->relay1ActiveRangeValue = 6550;
        editor.channel(2)->rangeEnd = 90000;
        editor.SetModified(true);
        const qsizetype traffic = h.link.simulator.traffic().size();
        const qsizetype notices = h.link.notices.size();
        const qsizetype texts = h.texts.size();
        QVERIFY(h.transfer->Download());
        QVERIFY(h.waitForReadBack(4, notices));
        QCOMPARE(h.writesFrom(traffic), QStringList({"W1", "W2", "W3", "W6", "W4", "W5", "W7"}));
        const CModuleImage held = h.link.simulator.image();
        QCOMPARE(held.Channel[0].Config.Relay1ActiveRangeValue, 6550);
        QCOMPARE(held.Channel[1].Config.RangeEnd, 900);
        QCOMPARE(held.LastProgramming, Today());
        QCOMPARE(h.link.lines.filter("Download for module '" + kModuleName + "'"),
                 QStringList{"Download for module '" + kModuleName + "' ...... OK"});
        QVERIFY(h.transfer->ReadBackDifferences().empty());
        QVERIFY(!h.textsFrom(texts).contains(QStringLiteral("read back differs")));
        QCOMPARE(project
                     .scalar(QString("SELECT LastProgramming FROM %1 WHERE ID = %2")
                                 .arg(ParamsProject::moduleTable(Family7230))
                                 .arg(online.moduleId))
                     .toString(),
                 Today());
        // After the read-back nothing differs.
        QVERIFY(h.transfer->CompareWithDatabase(true).empty());
        QCOMPARE(h.link.lines.last(), "Checking module '" + kModuleName + "' ... OK");
        QCOMPARE(h.transfer->TreeImageOf(h.transfer->OnlineModule()), int(ModuleTransfer::ImageOnlineEqual));

        // The blocks the module held before are kept in the project.
        ModuleBlockHistory history(project.session());
        const std::vector<ModuleBlockHistory::Entry> kept = history.EntriesOf(QStringLiteral("SIM-1"));
        QCOMPARE(kept.size(), size_t(1));
        QCOMPARE(kept[0].moduleName, kModuleName);
        for (int block = 0; block < 8; ++block)
            QCOMPARE(kept[0].image.EncodeBlock(block, Family7230), before.EncodeBlock(block, Family7230));
        QVERIFY(kept[0].savedAt.isValid());

        // Written back, they make the module what it was before.
        const qsizetype restore = h.link.notices.size();
        QVERIFY(h.transfer->RestoreKeptBlocks(kept[0]));
        QVERIFY(h.link.waitForNotice(4, 0, 5000, restore));
        QTRY_VERIFY_WITH_TIMEOUT(!h.transfer->IsReadBackPending(), 8000);
        for (int block = 1; block < 8; ++block)
            QCOMPARE(h.link.simulator.block(block), before.EncodeBlock(block, Family7230));
        QVERIFY(h.transfer->ReadBackDifferences().empty());
        QCOMPARE(h.transfer->ReadBackResult(), ModuleTransfer::ReadBack::Same);
        // What the restore overwrote is kept in turn, so that it can be undone.
        const std::vector<ModuleBlockHistory::Entry> afterRestore =
            history.EntriesOf(QStringLiteral("SIM-1"));
        QCOMPARE(afterRestore.size(), size_t(2));
        QCOMPARE(afterRestore[0].image.Channel[1].Config.RangeEnd, 900);
        // Blocks of another module are not written into this one.
        ModuleBlockHistory::Entry foreign = kept[0];
        foreign.serialNr = QStringLiteral("OTHER");
        QVERIFY(!h.transfer->RestoreKeptBlocks(foreign));
    }

    void aSecondDownloadFollowsTheDateTheFirstStored()
    {
        // The first download stores its date in the module row; the pages'
        // edit must take it as its own, not as another program's change.
        Online online;
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        for (const int value : {6550, 6600}) {
            ModuleParameterEditor &editor = h.editor();
            editor.channel(1)->relay1ActiveRangeValue = value;
            editor.SetModified(true);
            const qsizetype notices = h.link.notices.size();
            QVERIFY2(h.transfer->Download(), qPrintable(h.messages.texts().join('|')));
            QVERIFY(h.waitForReadBack(4, notices));
            QCOMPARE(h.link.simulator.image().Channel[0].Config.Relay1ActiveRangeValue, value);
            QCOMPARE(h.editor().parameters().module.lastProgramming, Today());
        }
        QVERIFY(!h.messages.texts().join('|').contains(QStringLiteral("changed by another program")));
    }

    void theTreeComparesAgainstWhatThePagesStored()
    {
        // The pages store the module's row past its item; a change or a
        // delete through the tree afterwards refuses only another program's
        // change, not the pages' own.
        Online online;
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        CMy7100Doc &document = online.project.document;
        ModuleParameterEditor &editor = h.editor();
        editor.parameters().module.description = QStringLiteral("pages");
        editor.SetModified(true);
        QCOMPARE(editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
        Item *module = online.project.moduleItem(kTwoChannel7230, online.moduleId);
        QVERIFY(module);
        QVERIFY(document.BeginEdit(*module));
        QVERIFY(document.SetValue(*module, "Description", "tree", true));
        QVERIFY2(document.Save(*module), qPrintable(h.messages.texts().join('|')));
        const QString table = ParamsProject::moduleTable(Family7230);
        const QString comment = QString("SELECT Description FROM %1 WHERE ID = %2").arg(table).arg(online.moduleId);
        QCOMPARE(online.project.scalar(comment).toString(), QStringLiteral("tree"));

        // Another program changes the same field: the tree's next change of
        // it is refused and the item shows what is stored now.
        online.project.exec(
            QString("UPDATE %1 SET Description = 'theirs' WHERE ID = %2").arg(table).arg(online.moduleId));
        h.messages.clear();
        QVERIFY(document.BeginEdit(*module));
        QVERIFY(document.SetValue(*module, "Description", "mine", true));
        QVERIFY(!document.Save(*module));
        QVERIFY2(h.messages.texts().join('|').contains(QStringLiteral("changed by another program")),
                 qPrintable(h.messages.texts().join('|')));
        QCOMPARE(online.project.scalar(comment).toString(), QStringLiteral("theirs"));

        // The pages change a signal of the module: deleting the module
        // afterwards takes it and its signals.
        QVERIFY(document.SignalOfChannel(*module, 1));
        editor.channel(1)->description = QStringLiteral("pages");
        editor.SetModified(true);
        QCOMPARE(editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
        const int signalId = editor.channel(1)->signalId;
        QCOMPARE(online.project.scalar(QString("SELECT Description FROM Signals WHERE ID = %1").arg(signalId)),
                 QVariant("pages"));
        h.messages.clear();
        QVERIFY2(document.Delete(*module), qPrintable(h.messages.texts().join('|')));
        QCOMPARE(online.project.scalar(QString("SELECT COUNT(*) FROM %1").arg(table)).toInt(), 0);
        QCOMPARE(online.project.scalar(QString("SELECT COUNT(*) FROM Signals WHERE ID = %1").arg(signalId)).toInt(), 0);
    }

    void aModuleDeleteComparesTheSignalsThePagesShowed()
    {
        // The Signals folder was never opened: what the pages read of the
        // module's signals is what its delete compares.
        Online online;
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        const int signalId = h.editor().channel(1)->signalId;
        online.project.exec(QString("UPDATE Signals SET Description = 'theirs' WHERE ID = %1").arg(signalId));
        Item *module = online.project.moduleItem(kTwoChannel7230, online.moduleId);
        QVERIFY(module);
        h.messages.clear();
        QVERIFY(!online.project.document.Delete(*module));
        QVERIFY2(h.messages.texts().join('|').contains(QStringLiteral("was changed by another program")),
                 qPrintable(h.messages.texts().join('|')));
        const QString table = ParamsProject::moduleTable(Family7230);
        QCOMPARE(online.project.scalar(QString("SELECT COUNT(*) FROM %1").arg(table)).toInt(), 1);
        QCOMPARE(online.project.scalar(QString("SELECT COUNT(*) FROM Signals WHERE ID = %1").arg(signalId)).toInt(), 1);
    }

    void downloadTheModuleDidNotTakeIsReported()
    {
        Online online;
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        const QByteArray oldBlock = h.link.simulator.block(7);
        // The module answers the write but keeps its old channel 2 block.
        QObject::connect(&h.link.controller, &LinkController::noticeHandled, [&](int kind, int) {
            if (kind == 4)
                h.link.simulator.setBlock(7, oldBlock);
        });
        h.editor().channel(2)->relay2Hysteresis = 250;
        h.editor().SetModified(true);
        const qsizetype notices = h.link.notices.size();
        const qsizetype texts = h.texts.size();
        QVERIFY(h.transfer->Download());
        QVERIFY(h.waitForReadBack(4, notices));
        // One verdict, after the read-back: no "OK" before it.
        QCOMPARE(h.link.lines.filter("Download for module '" + kModuleName + "'"),
                 QStringList{"Download for module '" + kModuleName +
                             "': the module read back differs from what was written!"});
        const std::vector<ParameterDifference> &differences = h.transfer->ReadBackDifferences();
        // The parameter, then the byte it lies in: 1.00 % is 0x0064, 2.50 % 0x00fa.
        QCOMPARE(differences.size(), size_t(2));
        QCOMPARE(differences[0].name, QStringLiteral("Channel 2: Hysteresis for Relay2"));
        QCOMPARE(differences[1].name, QStringLiteral("Block 7, byte 28"));
        QCOMPARE(differences[1].moduleText, QStringLiteral("0x64"));
        QCOMPARE(differences[1].otherText, QStringLiteral("0xfa"));
        QCOMPARE(h.transfer->ReadBackResult(), ModuleTransfer::ReadBack::Different);
        const QStringList body = ReportBody(h.textsFrom(texts));
        QCOMPARE(
            body.value(0),
            ModuleComparison::ReportLine("Channel 2: Hysteresis for Relay2", "1.00 %", "2.50 %").chopped(1));
        QVERIFY(h.textsFrom(texts).contains(QStringLiteral("Written parameter:")));
    }

    void readBackThatCannotBeMadeIsNoDifference_data()
    {
        QTest::addColumn<bool>("unplugged");
        QTest::newRow("module gone after the writes") << true;
        QTest::newRow("read of block 7 dropped") << false;
    }

    void readBackThatCannotBeMadeIsNoDifference()
    {
        QFETCH(bool, unplugged);
        Online online;
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        h.editor().channel(2)->rangeEnd = 90000;
        h.editor().SetModified(true);
        // Unplugged while the worker waits for the download to be handled
        // (every block was stored), or block 7, read only in full, dropped
        // at the read-back.
        TransferHarness::AtNextNotice atDownload(h.link.controller, 4, [&] {
            if (unplugged)
                h.link.simulator.setUnplugged(true);
        });
        SimulatorFault dropped;
        dropped.kind = SimulatorFault::NoReply;
        dropped.commands = {Frame::kReadBlock + 7};
        if (!unplugged)
            h.link.simulator.injectFault(dropped);
        QVERIFY(h.transfer->Download());
        QVERIFY(atDownload.wait(10000));
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(!h.transfer->IsReadBackPending(), 5000);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(h.transfer->ReadBackResult(), ModuleTransfer::ReadBack::NotRead);
        QVERIFY(h.transfer->LastDownloadStored());
        QVERIFY(h.transfer->ReadBackDifferences().empty());
        QCOMPARE(h.link.lines.filter("Download for module '" + kModuleName + "'"),
                 QStringList{"Download for module '" + kModuleName + "': the module could not be read back."});
        QCOMPARE(h.link.simulator.image().Channel[1].Config.RangeEnd, 900);
    }

    void refusedDownloadChangesNothing_data()
    {
        QTest::addColumn<bool>("otherType");
        QTest::addColumn<QString>("message");
        QTest::newRow("another module type")
            << true
            << QStringLiteral("The connected module is a Z 7230/221-2; the module '%1' is a Z 7230/211-2. A "
                              "download needs a connected module of its own type.")
                   .arg(kModuleName);
        QTest::newRow("link busy") << false
                                   << QStringLiteral("The link is busy with an upload or a download; the "
                                                     "command was not carried out.");
    }

    void refusedDownloadChangesNothing()
    {
        QFETCH(bool, otherType);
        QFETCH(QString, message);
        // 7230/221-2 has the same channels and relays, but a voltage output.
        Online online(false, [otherType](CModuleImage &image) {
            if (otherType)
                image.ModulTypID = 8;
        });
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        // The project module on the pages, whatever the lookup found.
        Item *module = online.project.moduleItem(kTwoChannel7230, online.moduleId);
        QVERIFY(module && online.project.document.Select(module->handle()));
        const QString lastProgrammed = QString("SELECT LastProgramming FROM %1 WHERE ID = %2")
                                           .arg(ParamsProject::moduleTable(Family7230))
                                           .arg(online.moduleId);
        const QVariant before = online.project.scalar(lastProgrammed);
        if (!otherType)
            h.link.controller.shared().command = LinkCommand::Download;
        const qsizetype traffic = h.link.simulator.traffic().size();
        h.messages.clear();
        QVERIFY(!h.transfer->Download());
        if (!otherType)
            h.link.controller.shared().command = LinkCommand::None;
        QVERIFY2(h.messages.texts() == QStringList({message}),
                 qPrintable(h.link.lines.join("|") + "#" + h.messages.texts().join("|")));
        QCOMPARE(h.messages.shown().front().icon, MessageIcon::Error);
        QVERIFY(h.link.lines.contains(message));
        QCOMPARE(online.project.scalar(lastProgrammed), before);
        QVERIFY(ModuleBlockHistory(online.project.session()).EntriesOf(QStringLiteral("SIM-1")).empty());
        QTest::qWait(200);
        QVERIFY(h.writesFrom(traffic).isEmpty());
    }

    void goingOfflineWarnsOfChangesNotDownloaded()
    {
        Online online;
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        const ItemHandle module = h.transfer->OnlineModule();
        QVERIFY(module != 0);
        QTemporaryDir monitoring;
        MonitorFile monitor(monitoring.path());
        h.whileWorkerWaits([&] { monitor.OpenIfModuleChanged(h.link.controller.shared().connectedImage); });
        h.transfer->setMonitorFile(&monitor);
        h.editor().channel(1)->description = QStringLiteral("edited");
        h.editor().SetModified(true);
        h.hints.clear();
        const qsizetype notices = h.link.notices.size();
        // When the offline line is written the views have left online mode
        // already, and the monitoring file has not been told yet.
        bool offlineBeforeLine = false;
        QMetaObject::Connection order =
            QObject::connect(h.link.log.get(), &OutputLog::textAdded, [&](const QString &text) {
                if (text.contains(QStringLiteral("Starts offline mode")))
                    offlineBeforeLine = h.transfer->OnlineModule() == 0 &&
                                        h.hints.contains(ModuleTransfer::kHintOnlineChanged) &&
                                        h.messages.texts().isEmpty();
            });
        h.link.simulator.setUnplugged(true);
        QVERIFY(h.link.waitForNotice(2, 2, 5000, notices));
        QObject::disconnect(order);
        QVERIFY(offlineBeforeLine);
        QCOMPARE(h.messages.shown().front().icon, MessageIcon::None);
        QCOMPARE(h.transfer->OnlineModule(), ItemHandle(0));
        QCOMPARE(h.transfer->TreeImageOf(module), int(ModuleTransfer::ImageModule));
        QVERIFY(h.hints.contains(ModuleTransfer::kHintOnlineChanged));
        QVERIFY(
            h.link.lines.contains(QStringLiteral("Module disconnected or not found! Starts offline mode:")));
        QCOMPARE(h.messages.texts(),
                 QStringList({"Data has been changed but has not being downloaded to the module!"}));
        // The edit itself stays, still to be applied.
        QCOMPARE(h.editor().channel(1)->description, QStringLiteral("edited"));
        QVERIFY(h.editor().isModified());
        QFile file(monitor.FilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(file.readAll())
                    .contains("Module disconnected or not found! Starts offline mode:"));
    }

    void aModuleMadeFromTheConnectedOneIsMarkedEqual()
    {
        // The module online first differs from its project module.
        Online online(false, [](CModuleImage &image) { image.Revision = QStringLiteral("9.99"); });
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        QCOMPARE(h.transfer->TreeImageOf(h.transfer->OnlineModule()), int(ModuleTransfer::ImageOnlineDifferent));
        // Another module, whose tags name no project module, takes its place.
        qsizetype notices = h.link.notices.size();
        h.link.simulator.setUnplugged(true);
        QVERIFY(h.link.waitForNotice(2, 2, 5000, notices));
        CModuleImage other = h.link.simulator.image();
        other.SerialNr = QStringLiteral("SIM-2");
        other.Channel[0].Name = QStringLiteral("TT-301");
        other.Channel[1].Name = QStringLiteral("TT-302");
        h.simulate(other);
        const auto previous = ModuleDialogService::setPresenter(&ModuleDialogService::acceptProposals);
        h.messages.answer(MessageAnswer::Yes);
        notices = h.link.notices.size();
        h.link.simulator.setUnplugged(false);
        const bool online2 = h.link.waitForNotice(2, 1, 10000, notices);
        ModuleDialogService::setPresenter(previous);
        QVERIFY(online2);
        Item *made = online.project.lookup.FindModuleByValue(QStringLiteral("Name"),
                                                             QStringLiteral("7230/211-2 - [TT-301] [TT-302]"));
        QVERIFY(made);
        QCOMPARE(h.transfer->OnlineModule(), made->handle());
        // Made from the connected module, it holds what the module holds.
        QVERIFY(!h.transfer->HasDifferences());
        QCOMPARE(h.transfer->TreeImageOf(made->handle()), int(ModuleTransfer::ImageOnlineEqual));
        h.whileWorkerWaits([&] { QVERIFY(h.transfer->CompareWithDatabase(true).empty()); });
    }

    void moduleMadeFromTheConnectedOneTakesItsDownload()
    {
        TransferProject project;
        const int template7230 = project.createModule(kTwoChannel7230, QStringLiteral("X"));
        project.open();
        CModuleImage image = project.imageOfModule(kTwoChannel7230, template7230, QStringLiteral("SN-NEW"));
        image.Channel[0].Name = QStringLiteral("TT-101");
        image.Channel[1].Name = QStringLiteral("TT-102");
        image.Channel[0].Config.RangeEnd = 1200; // 120.0 degrees
        image.Revision = QStringLiteral("1.04");
        TransferHarness h(TwoChannel7230());
        h.simulate(image);
        h.attach(project);
        const auto previous = ModuleDialogService::setPresenter(&ModuleDialogService::acceptProposals);
        h.messages.answer(MessageAnswer::Yes);
        const bool online = h.goOnline();
        ModuleDialogService::setPresenter(previous);
        QVERIFY(online);
        QCOMPARE(
            h.messages.texts().value(0),
            QStringLiteral(
                "Connected module doesn't exist in database. Do you want to apply it to the database?\n"));

        const QString name = QStringLiteral("7230/211-2 - [TT-101] [TT-102]");
        Item *made = project.lookup.FindModuleByValue(QStringLiteral("Name"), name);
        QVERIFY(made);
        QCOMPARE(h.transfer->OnlineModule(), made->handle());
        QCOMPARE(project.document.CurrentItem(), made->handle());
        QVERIFY(h.transfer->IsNewModule());
        const int madeId = made->id().toInt();
        const QString table = ParamsProject::moduleTable(Family7230);
        QCOMPARE(project.scalar(QString("SELECT SerialNr FROM %1 WHERE ID = %2").arg(table).arg(madeId))
                     .toString(),
                 QStringLiteral("SN-NEW"));
        QCOMPARE(project.scalar("SELECT RangeEnd FROM Signals WHERE Name = 'TT-101'").toInt(), 120000);

        // Change a parameter and download it: the module holds it and the
        // comparison after the read-back finds nothing.
        h.editor().channel(1)->relay1ActiveRangeValue = 7000;
        h.editor().SetModified(true);
        const qsizetype notices = h.link.notices.size();
        QVERIFY(h.transfer->Download());
        QVERIFY(h.waitForReadBack(4, notices));
        QCOMPARE(h.link.simulator.image().Channel[0].Config.Relay1ActiveRangeValue, 7000);
        QVERIFY(h.transfer->ReadBackDifferences().empty());
        QVERIFY(h.link.lines.contains("Download for module '" + name + "' ...... OK"));
        h.whileWorkerWaits([&] { QVERIFY(h.transfer->CompareWithDatabase(true).empty()); });
        QCOMPARE(h.link.lines.last(), "Checking module '" + name + "' ... OK");
        QCOMPARE(h.transfer->TreeImageOf(made->handle()), int(ModuleTransfer::ImageOnlineEqual));
    }

    void silentComparisonOnlyForTheSelectedOnlineModule()
    {
        Online online;
        QVERIFY(online.start());
        TransferHarness &h = online.harness;
        h.link.simulator.setBlock(0, [&] {
            CModuleImage image = h.link.simulator.image();
            image.Revision = QStringLiteral("7.00");
            return image.EncodeBlock(0, Family7230);
        }());
        // A forced read takes the new revision in; the silent check marks
        // the difference without a report.
        const qsizetype texts = h.texts.size();
        h.whileWorkerWaits([&] { h.link.controller.shared().forceFullRead = true; });
        QTRY_VERIFY_WITH_TIMEOUT(h.transfer->HasDifferences(), 8000);
        QCOMPARE(h.transfer->TreeImageOf(h.transfer->OnlineModule()),
                 int(ModuleTransfer::ImageOnlineDifferent));
        QVERIFY(ReportBody(h.textsFrom(texts)).isEmpty());
        // With another item selected the silent check leaves the flag.
        QVERIFY(online.project.document.Select(
            online.project.document.Root()->containerChildren().at(0)->handle()));
        QVERIFY(h.transfer->CompareWithDatabase(false).empty());
        QVERIFY(h.transfer->HasDifferences());
        // Nothing on the pages: no upload is asked for.
        const qsizetype traffic = h.link.simulator.traffic().size();
        QVERIFY(!h.transfer->Upload());
        QCOMPARE(h.link.controller.shared().command.load(), LinkCommand::None);
        QVERIFY(h.link.trafficFrom(traffic).filter(QRegularExpression("^W")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestModuleTransfer)
#include "test_module_transfer.moc"
