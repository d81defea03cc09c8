#include "params/parameter_validation.h"
#include "params/parameter_values.h"
#include "params_test_support.h"

#include <QtTest>

// Apply and Reset of a module's parameters on a project file, and the page
// reactions that change values.
class TestParamsApply : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void everyModuleTypeAppliesItsDefaults();
    void editedModuleOf7230ReadsBackExactly();
    void editedModuleOf7210ReadsBackExactly();
    void editedModuleOf7220ReadsBackExactly();
    void signalViewWritesItsOwnChannelOnly();
    void signalItemIsResolvedToItsModule();
    void oneChannelModuleLeavesChannelTwoAlone();
    void refusalsLeaveTheProjectUnchanged();
    void channelsMaySwapTheirNames();
    void failedWriteIsUndoneWhole();
    void newModuleKeepsItsNames();
    void applyAndResetNeedAModifiedProject();
    void resetReloadsAndReportsTheDipSwitch();
    void unitChangeConvertsTemperatures();
    void impulseOutputHoldsRelayTwo();

private:
    static ModuleParameters reload(ParamsProject &project, int typeId, int moduleId)
    {
        auto rows = project.rowsOf(typeId, moduleId);
        ModuleParameterEditor editor(*rows, project.catalogues());
        if (!editor.Load())
            return {};
        return editor.parameters();
    }
    static void compareReloaded(ParamsProject &project, int typeId, LoadedModule &module)
    {
        const ModuleParameters stored = reload(project, typeId, module.moduleId);
        QCOMPARE(stored.module, module.parameters().module);
        for (int channel = 1; channel <= 2; ++channel) {
            QCOMPARE(stored.hasChannel(channel), module.parameters().hasChannel(channel));
            if (stored.hasChannel(channel))
                QCOMPARE(*stored.channel(channel), module.ch(channel));
        }
    }
};

void TestParamsApply::everyModuleTypeAppliesItsDefaults()
{
    ParamsProject project;
    int types = 0;
    for (ModuleFamily family : {Family7230, Family7210, Family7220}) {
        for (int typeId : project.typeIds(family)) {
            ScriptedMessages messages;
            CapturedLog log;
            LoadedModule module(project, typeId, QString("D%1").arg(typeId));
            const ModuleParameters before = module.parameters();
            QCOMPARE(before.family, family);
            // The pages fill their choices; the defaults must be among them.
            for (int channel = 1; channel <= before.channelCount(); ++channel) {
                module.editor.FillInput(channel);
                module.editor.Choices().Units(module.ch(channel));
            }
            for (int channel = 1; channel <= before.channelCount(); ++channel)
                QCOMPARE(module.ch(channel), *before.channel(channel));
            module.editor.SetModified(true);
            QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
            QVERIFY(module.editor.CheckDownloadable());
            QCOMPARE(messages.texts(), QStringList());
            QCOMPARE(log.lines,
                     QStringList(QString("Module '%1' parameters applied.").arg(before.module.name)));
            ++types;
        }
    }
    QVERIFY(types >= 3);
}

void TestParamsApply::editedModuleOf7230ReadsBackExactly()
{
    ParamsProject project;
    ScriptedMessages messages;
    LoadedModule module(project, 7, "OLD");
    ModuleParameterEditor &editor = module.editor;
    // Channel 1: thermocouple with fixed comparison place in kelvin.
    editor.FillInput(1);
    module.ch(1).workingModeId = 2;
    editor.InputChanged(1, true);
    // The thermocouple B row in Celsius: 100...1820.
    QCOMPARE(module.ch(1).rangeBegin, 100000);
    QCOMPARE(module.ch(1).rangeEnd, 1820000);
    QCOMPARE(editor.Choices().Units(module.ch(1)).entries.size(), size_t(4));
    editor.FillInput(1);
    module.ch(1).tcTypeId = 2;
    const int celsius = module.ch(1).rangeUnitsId;
    module.ch(1).rangeUnitsId = 2;
    editor.UnitChanged(1, celsius);
    editor.TakeInput7230(1, 0, 300.004);
    editor.TakeRange(1, 400.0, 1500.25);
    editor.TakeOutput(1, 0, 0, 3.6);
    editor.TakeRelay(1, 1, 3, 6, 80.5, 2.25);
    editor.TakeRelay(1, 2, 0, 1, 10.0, 1.0);
    editor.TakeDeviceInfo(1, "Boiler 3", "2026-12-09", "TT101", "Flue gas");
    // Channel 2: 2-wire resistance thermometer with line resistance.
    module.ch(2).typeOfCircuitId = 0;
    editor.TakeInput7230(2, 12.349, 0);
    editor.TakeRange(2, -50, 150);
    editor.TakeOutput(2, 1, 8, 99.0);
    editor.TakeDeviceInfo(2, "Boiler 3", "2026-12-09", "TT102", "Return");
    module.parameters().module.memo = "Checked on site";
    editor.SetModified(true);

    QCOMPARE(editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    QCOMPARE(messages.texts(), QStringList());
    QVERIFY(!editor.isModified());
    QCOMPARE(module.parameters().module.name, QString("7230/211-2 - [TT101] [TT102]"));
    QCOMPARE(module.ch(1).comparePlaceTemp, 300004);
    QCOMPARE(module.ch(1).rangeEnd, 1500250);
    QCOMPARE(module.ch(1).outputErrorValue, 3600000);
    QCOMPARE(module.ch(1).relay1LimitValue, 1);
    QCOMPARE(module.ch(2).wireResistance, 1234);
    QCOMPARE(module.ch(2).outputErrorValue, 21500000); // error control off keeps it
    compareReloaded(project, 7, module);
}

void TestParamsApply::editedModuleOf7210ReadsBackExactly()
{
    ParamsProject project;
    ScriptedMessages messages;
    LoadedModule module(project, 40, "F");
    ModuleParameterEditor &editor = module.editor;
    module.ch(1).workingModeId = 2;
    editor.InputChanged(1, true);
    editor.FillInput(1);
    QCOMPARE(module.ch(1).rangeUnitsId, 2);
    QCOMPARE(module.ch(1).rangeEnd, 1000000); // the speed row: 0...1000 1/s
    QVERIFY(editor.ApplyImpulseOutputRule(1));
    editor.TakeImpulseOutput(1, true, 250);
    QVERIFY(editor.HoldImpulseRelay(1));
    editor.TakeRange(1, 0, 500.5);
    editor.TakeStartupDelay(1, 12);
    module.ch(1).ueberlauf = 1;
    // Channel 2 stays in working mode 1 and cannot use the impulse output
    // once in working mode 0.
    module.ch(2).workingModeId = 0;
    editor.InputChanged(2, true);
    editor.FillInput(2);
    QVERIFY(!editor.ApplyImpulseOutputRule(2));
    QCOMPARE(module.ch(2).impulsausgangaktiv, 0);
    editor.TakeRange(2, 0, 5000);
    editor.TakeDeviceInfo(2, "Line 2", "", "FT201", "Counter");
    editor.SetModified(true);
    QCOMPARE(editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(module.ch(1).relay2AgainSettingProtection, 0);
    QCOMPARE(module.ch(1).zahlteilerkvocient, 250);
    QCOMPARE(module.ch(1).rangeEnd, 500500);
    QCOMPARE(module.ch(2).rangeUnitsId, 0);
    compareReloaded(project, 40, module);
}

void TestParamsApply::editedModuleOf7220ReadsBackExactly()
{
    ParamsProject project;
    ScriptedMessages messages;
    LoadedModule module(project, 69, "LZ");
    ModuleParameterEditor &editor = module.editor;
    QCOMPARE(editor.RelayFactor(), 1000);
    editor.TakeRelay(1, 1, 3, 7, 19.5, 0.25);
    editor.TakeRelay(1, 2, 1, 8, 4.2, 0.1);
    module.parameters().module.dipConfigurable = true;
    editor.SetModified(true);
    QCOMPARE(editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(module.ch(1).relay1ActiveRangeValue, 19500);
    QCOMPARE(module.ch(1).relay2Hysteresis, 100);
    QCOMPARE(project.scalar(QString("SELECT DIPSwitch FROM Modules7220_1 WHERE ID = %1").arg(module.moduleId))
                 .toInt(),
             -1);
    compareReloaded(project, 69, module);
}

void TestParamsApply::signalViewWritesItsOwnChannelOnly()
{
    ParamsProject project;
    ScriptedMessages messages;
    LoadedModule module(project, 6, "SV", 2);
    QVERIFY(module.parameters().isShown(2));
    QVERIFY(!module.parameters().isShown(1));
    // Channel 1 is not written from channel 2's view.
    module.ch(1).description = "not shown";
    module.ch(2).description = "shown";
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    const ModuleParameters stored = reload(project, 6, module.moduleId);
    QCOMPARE(stored.channel(1)->workingModeId, 0);
    QCOMPARE(stored.channel(1)->description, QString());
    QCOMPARE(stored.channel(2)->description, QString("shown"));
}

void TestParamsApply::signalItemIsResolvedToItsModule()
{
    ParamsProject project;
    LoadedModule frequency(project, 38, "OWN");
    const qint32 second = frequency.parameters().module.ch2SignalId;
    const std::optional<SignalOwner> owner =
        ProjectParameterRows::FindSignalOwner(project.session(), project.levels(), second);
    QVERIFY(owner);
    QCOMPARE(owner->moduleTable, QString("Modules7210_1"));
    QCOMPARE(owner->moduleId, frequency.moduleId);
    QCOMPARE(owner->channel, 2);
    const std::optional<SignalOwner> first = ProjectParameterRows::FindSignalOwner(
        project.session(), project.levels(), frequency.parameters().module.ch1SignalId);
    QVERIFY(first);
    QCOMPARE(first->channel, 1);
    QVERIFY(!ProjectParameterRows::FindSignalOwner(project.session(), project.levels(), 99999));
}

void TestParamsApply::oneChannelModuleLeavesChannelTwoAlone()
{
    ParamsProject project;
    ScriptedMessages messages;
    // A stray second signal behind a one-channel module.
    project.exec("INSERT INTO Signals (ID, ParentID, Name, WorkingModeID) VALUES (9000, 1, 'STRAY', 77)");
    const int moduleId = project.createModule(1, "ONE");
    project.exec(QString("UPDATE Modules7230_1 SET Ch2SignalID = 9000 WHERE ID = %1").arg(moduleId));
    auto rows = project.rowsOf(1, moduleId);
    ModuleParameterEditor editor(*rows, project.catalogues());
    QVERIFY(editor.Load());
    QVERIFY(!editor.parameters().hasChannel(2));
    const QString before = project.dump();
    editor.channel(1)->description = "one";
    editor.SetModified(true);
    QCOMPARE(editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(project.scalar("SELECT WorkingModeID FROM Signals WHERE ID = 9000").toInt(), 77);
    QCOMPARE(project.scalar("SELECT Name FROM Signals WHERE ID = 9000").toString(), QString("STRAY"));
    QVERIFY(project.dump() != before);
}

void TestParamsApply::refusalsLeaveTheProjectUnchanged()
{
    ParamsProject project;
    LoadedModule other(project, 7, "TAKEN");
    LoadedModule module(project, 7, "MINE");
    struct Case {
        const char *what;
        std::function<void(LoadedModule &)> change;
        QString message;
    };
    const QString otherName = other.parameters().module.name;
    const std::vector<Case> cases = {
        {"range", [](LoadedModule &m) { m.ch(2).rangeEnd = 860000; },
         "Measuring range in section 'Signal processing' for Channel 2 is out of range! \nThe admissible "
         "value is "
         "from -200.00 to 850.00!"},
        {"module name",
         [](LoadedModule &m) {
             m.ch(1).name = "TAKEN_CH1";
             m.ch(2).name = "TAKEN_CH2";
         },
         QString("Module '%1' already exists! \nYou have to rename existing one!").arg(otherName)},
        {"validation", [](LoadedModule &m) { m.ch(2).relay2Hysteresis = 0; },
         "The parameter 'Hysteresis for Relay2' in 'Limiting value' section for 'Channel 2' is out of range! "
         "\nThe "
         "admissible value is from 1 to 10!"},
        {"signal name", [](LoadedModule &m) { m.ch(2).name = "TAKEN_CH1"; },
         "Signal 'TAKEN_CH1' already exists! \nYou have to rename existing one!"},
        // As the module dialog has it: the two names may not be equal, not even but for case.
        {"same signal name twice",
         [](LoadedModule &m) {
             m.ch(1).name = "TWICE";
             m.ch(2).name = "TWICE";
         },
         "Channel1 name can't be the same like channel2 name!"},
        {"same signal name but for case",
         [](LoadedModule &m) {
             m.ch(1).name = "t7a";
             m.ch(2).name = "T7A";
         },
         "Channel1 name can't be the same like channel2 name!"},
    };
    for (const Case &c : cases) {
        ScriptedMessages messages;
        CapturedLog log;
        QVERIFY(module.editor.Load());
        const QString before = project.dump();
        c.change(module);
        module.ch(1).description = "changed";
        module.editor.SetModified(true);
        QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Refused);
        QCOMPARE(messages.texts(), QStringList(c.message));
        QCOMPARE(log.lines, QStringList({c.message, QString("Module '%1' parameters can't apply!")
                                                          .arg(module.parameters().module.name)}));
        QVERIFY2(project.dump() == before, c.what);
        // The values the user entered stay, and so does the modified flag.
        QCOMPARE(module.ch(1).description, QString("changed"));
        QVERIFY(module.editor.isModified());
    }
}

void TestParamsApply::channelsMaySwapTheirNames()
{
    ParamsProject project;
    ScriptedMessages messages;
    LoadedModule module(project, 7, "SW");
    std::swap(module.ch(1).name, module.ch(2).name);
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(module.parameters().module.name, QString("7230/211-2 - [SW_CH2] [SW_CH1]"));
    compareReloaded(project, 7, module);
}

void TestParamsApply::failedWriteIsUndoneWhole()
{
    ParamsProject project;
    ScriptedMessages messages;
    CapturedLog log;
    LoadedModule module(project, 7, "LONG");
    const QString before = project.dump();
    // The signals are written first; the date text is too long for the
    // module row, so the write fails after them.
    module.ch(1).description = "first";
    module.ch(2).description = "second";
    module.parameters().module.lastProgramming = QString(300, 'd');
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Refused);
    QCOMPARE(messages.shown().size(), size_t(1));
    QCOMPARE(log.lines.size(), 1);
    QVERIFY(log.lines.first().endsWith("parameters can't apply!"));
    QVERIFY(project.dump() == before);
    // Once corrected it applies.
    module.parameters().module.lastProgramming = "09.12.2026";
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    compareReloaded(project, 7, module);
}

void TestParamsApply::newModuleKeepsItsNames()
{
    ParamsProject project;
    ScriptedMessages messages;
    LoadedModule module(project, 1, "NEW");
    const QString storedName = module.parameters().module.name;
    module.editor.setNewModule(true);
    module.ch(1).name = "RENAMED";
    module.ch(1).description = "from the module";
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    const ModuleParameters stored = reload(project, 1, module.moduleId);
    QCOMPARE(stored.module.name, storedName);
    QCOMPARE(stored.channel(1)->name, QString("NEW_CH1"));
    QCOMPARE(stored.channel(1)->description, QString("from the module"));
}

void TestParamsApply::applyAndResetNeedAModifiedProject()
{
    ParamsProject project;
    ScriptedMessages messages;
    CapturedLog log;
    LoadedModule module(project, 1, "NM");
    QList<bool> changes;
    module.editor.setModifiedHandler([&](bool modified) { changes << modified; });
    module.ch(1).description = "not applied";
    const QString before = project.dump();
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::NothingToApply);
    QCOMPARE(module.editor.Reset(), ModuleParameterEditor::ResetResult::NothingToReset);
    QVERIFY(project.dump() == before);
    QCOMPARE(log.lines, QStringList());
    module.editor.SetModified(true);
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    QCOMPARE(changes, QList<bool>({true, false}));
}

void TestParamsApply::resetReloadsAndReportsTheDipSwitch()
{
    ParamsProject project;
    ScriptedMessages messages;
    CapturedLog log;
    LoadedModule module(project, 7, "RS");
    const ModuleParameters loaded = module.parameters();
    module.ch(1).rangeEnd = 1;
    module.parameters().module.description = "edited";
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Reset(), ModuleParameterEditor::ResetResult::Reloaded);
    QVERIFY(!module.editor.isModified());
    QCOMPARE(module.ch(1), *loaded.channel(1));
    QCOMPARE(module.parameters().module, loaded.module);
    QCOMPARE(log.lines, QStringList(QString("Module '%1' parameters reseted.").arg(loaded.module.name)));
    project.exec(QString("UPDATE Modules7230_1 SET DIPSwitch = -1 WHERE ID = %1").arg(module.moduleId));
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Reset(), ModuleParameterEditor::ResetResult::DipSwitchChanged);
    QVERIFY(module.parameters().module.dipConfigurable);
    // A module row that vanished is a data error, reported once.
    project.exec(QString("DELETE FROM Modules7230_1 WHERE ID = %1").arg(module.moduleId));
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Reset(), ModuleParameterEditor::ResetResult::Failed);
    QCOMPARE(messages.shown().size(), size_t(1));
    QCOMPARE(messages.shown().front().icon, MessageIcon::Error);
}

void TestParamsApply::unitChangeConvertsTemperatures()
{
    ParamsProject project;
    LoadedModule module(project, 1, "UC");
    ChannelParameters &ch = module.ch(1);
    ch.rangeEnd = 85000;
    ch.comparePlaceTemp = 20000;
    ch.rangeUnitsId = 2;
    module.editor.UnitChanged(1, 0);
    QCOMPARE(ch.rangeEnd, 358160);
    QCOMPARE(ch.comparePlaceTemp, 293160);
    ch.rangeUnitsId = 4;
    module.editor.UnitChanged(1, 2);
    QCOMPARE(ch.rangeEnd, 358160);
}

void TestParamsApply::impulseOutputHoldsRelayTwo()
{
    ParamsProject project;
    LoadedModule withOutput(project, 34, "IO");
    ChannelParameters &ch = withOutput.ch(1);
    ch.impulsausgangaktiv = 1;
    QVERIFY(withOutput.editor.ApplyImpulseOutputRule(1));
    QVERIFY(withOutput.editor.HoldImpulseRelay(1));
    QCOMPARE(ch.relay2LimitValue, 0);
    QCOMPARE(ch.relay2AgainSettingProtection, 0);
    QCOMPARE(ch.relay1LimitValue, 2);
    // A type without impulse output cannot activate it.
    LoadedModule without(project, 33, "NI");
    without.ch(1).impulsausgangaktiv = 1;
    QVERIFY(!without.editor.ApplyImpulseOutputRule(1));
    QCOMPARE(without.ch(1).impulsausgangaktiv, 0);
    QVERIFY(!without.editor.HoldImpulseRelay(1));
    QCOMPARE(without.ch(1).relay2LimitValue, 3);
}

QTEST_GUILESS_MAIN(TestParamsApply)
#include "test_params_apply.moc"
