#include "params/catalogue_choices.h"
#include "params_test_support.h"
#include "base/language.h"

#include <QtTest>

// The catalogue choices of the pages, filled from a project's catalogues.
class TestParamsCatalogues : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void cleanup() { Language::load(1); }
    void workingModesFollowTheTcFilter();
    void sensorTextsFollowTheWorkingMode();
    void circuitTypesInEachWorkingMode();
    void comparisonPlaceZeroOnlyWhileCurrent();
    void unitsPerWorkingMode();
    void outputSignalTypesByModuleOutput();
    void relayChoiceMapsToFunctionAndState();
    void emptyTranslatedNames();
    void keepingAChoiceAfterAWorkingModeChange();

private:
    static QList<int> data(const CatalogueChoice &choice)
    {
        QList<int> values;
        for (const ChoiceEntry &entry : choice.entries)
            values << entry.data;
        return values;
    }
    static QStringList texts(const CatalogueChoice &choice)
    {
        QStringList values;
        for (const ChoiceEntry &entry : choice.entries)
            values << entry.text;
        return values;
    }
};

void TestParamsCatalogues::workingModesFollowTheTcFilter()
{
    ParamsProject project;
    LoadedModule rtd(project, 11, "RTD"); // TC 0: resistance inputs
    ChannelParameters &ch = rtd.ch(1);
    ch.workingModeId = 2;
    CatalogueChoice modes = rtd.editor.Choices().WorkingModes(ch);
    QCOMPARE(data(modes), QList<int>({0, 1}));
    QCOMPARE(modes.selected, 0);
    QCOMPARE(ch.workingModeId, 0);
    ch.workingModeId = 1;
    modes = rtd.editor.Choices().WorkingModes(ch);
    QCOMPARE(modes.selected, 1);
    QCOMPARE(ch.workingModeId, 1);

    LoadedModule universal(project, 1, "UNI"); // TC 1
    QCOMPARE(data(universal.editor.Choices().WorkingModes(universal.ch(1))), QList<int>({0, 1, 2}));
    // Any other TC offers every row.
    universal.parameters().type.tc = 5;
    project.exec("UPDATE WorkingModes7230 SET Condition2 = 0");
    project.reloadCatalogues();
    QCOMPARE(data(universal.editor.Choices().WorkingModes(universal.ch(1))), QList<int>({0, 1, 2}));
    universal.parameters().type.tc = 1;
    const CatalogueChoice none = universal.editor.Choices().WorkingModes(universal.ch(1));
    QVERIFY(none.entries.empty());
    QCOMPARE(none.selected, -1);
    QCOMPARE(universal.ch(1).workingModeId, 0); // unchanged

    LoadedModule frequency(project, 38, "FRQ");
    QCOMPARE(data(frequency.editor.Choices().WorkingModes(frequency.ch(2))), QList<int>({0, 1, 2, 3, 4}));
}

void TestParamsCatalogues::sensorTextsFollowTheWorkingMode()
{
    ParamsProject project;
    LoadedModule module(project, 1, "SEN");
    ChannelParameters &ch = module.ch(1);
    const CatalogueChoices choices = module.editor.Choices();
    CatalogueChoice sensors = choices.SensorTypes(ch);
    QCOMPARE(sensors.entries.size(), size_t(14));
    QVERIFY(sensors.entries[0].text.startsWith("Pt100"));
    ch.workingModeId = 1;
    ch.sensorTypId = 7;
    sensors = choices.SensorTypes(ch);
    QCOMPARE(data(sensors), QList<int>({0, 1, 2, 3, 4}));
    QCOMPARE(sensors.entries[0].text, QString("Potentiometer 100...500 Ohm"));
    QCOMPARE(ch.sensorTypId, 0);
    ch.workingModeId = 2;
    ch.sensorTypId = 12;
    sensors = choices.SensorTypes(ch);
    QCOMPARE(sensors.entries.size(), size_t(13));
    QCOMPARE(sensors.entries[size_t(sensors.selected)].text, QString("Thermocouple type A (IEC 60584)"));
    QCOMPARE(ch.sensorTypId, 12);
}

void TestParamsCatalogues::circuitTypesInEachWorkingMode()
{
    ParamsProject project;
    LoadedModule module(project, 1, "CIR");
    ChannelParameters &ch = module.ch(1);
    const CatalogueChoices choices = module.editor.Choices();
    CatalogueChoice circuits = choices.CircuitTypes(ch);
    QCOMPARE(data(circuits), QList<int>({0, 1, 2}));
    QVERIFY(circuits.enabled);
    ch.workingModeId = 1;
    ch.typeOfCircuitId = 0;
    circuits = choices.CircuitTypes(ch);
    QCOMPARE(data(circuits), QList<int>({1}));
    QCOMPARE(ch.typeOfCircuitId, 1);
    ch.workingModeId = 2;
    QVERIFY(!choices.CircuitTypes(ch).enabled);
    QVERIFY(choices.ComparePlaces(ch).enabled);
    ch.workingModeId = 0;
    QVERIFY(!choices.ComparePlaces(ch).enabled);
}

void TestParamsCatalogues::comparisonPlaceZeroOnlyWhileCurrent()
{
    ParamsProject project;
    LoadedModule module(project, 1, "CP");
    ChannelParameters &ch = module.ch(1);
    ch.workingModeId = 2;
    ch.tcTypeId = 0;
    const CatalogueChoices choices = module.editor.Choices();
    CatalogueChoice places = choices.ComparePlaces(ch);
    QCOMPARE(data(places), QList<int>({0, 1, 2}));
    QCOMPARE(places.selected, 0);
    ch.tcTypeId = places.entries[2].data; // the user picks another one
    places = choices.ComparePlaces(ch);
    QCOMPARE(data(places), QList<int>({1, 2}));
    QCOMPARE(places.selected, 1);
    QCOMPARE(ch.tcTypeId, 2);
}

void TestParamsCatalogues::unitsPerWorkingMode()
{
    ParamsProject project;
    LoadedModule module(project, 1, "UN");
    ChannelParameters &ch = module.ch(1);
    const CatalogueChoices choices = module.editor.Choices();
    QCOMPARE(data(choices.Units(ch)), QList<int>({0, 1, 2, 4}));
    ch.workingModeId = 1;
    const CatalogueChoice percent = choices.Units(ch);
    QCOMPARE(texts(percent), QStringList("%"));
    QCOMPARE(ch.rangeUnitsId, 5);
    ch.workingModeId = 2;
    QCOMPARE(data(choices.Units(ch)), QList<int>({0, 1, 2, 3}));
    QCOMPARE(ch.rangeUnitsId, 0);

    LoadedModule frequency(project, 33, "UF");
    ChannelParameters &fch = frequency.ch(1);
    const CatalogueChoices fchoices = frequency.editor.Choices();
    QCOMPARE(data(fchoices.Units(fch)), QList<int>({1}));
    fch.workingModeId = 0;
    QCOMPARE(data(fchoices.Units(fch)), QList<int>({0}));
    for (int mode : {2, 3, 4}) {
        fch.workingModeId = mode;
        QCOMPARE(data(fchoices.Units(fch)), QList<int>({2, 3}));
    }
}

void TestParamsCatalogues::outputSignalTypesByModuleOutput()
{
    ParamsProject project;
    LoadedModule current(project, 1, "OC");
    ChannelParameters &ch = current.ch(1);
    CatalogueChoice types = current.editor.Choices().OutputSignalTypes(ch);
    QCOMPARE(texts(types), QStringList({"0...20 mA", "4...20 mA"}));
    QCOMPARE(data(types), QList<int>({0, 1}));
    QCOMPARE(types.selected, 1);
    // No match selects the first entry but leaves the value alone.
    ch.outputSignalType = 7;
    types = current.editor.Choices().OutputSignalTypes(ch);
    QCOMPARE(types.selected, 0);
    QCOMPARE(ch.outputSignalType, 7);
    CatalogueChoices::TakeOutputSignalType(ch, types.selectedData());
    QCOMPARE(ch.outputSignalType, 0);

    LoadedModule voltage(project, 3, "OV");
    QCOMPARE(texts(voltage.editor.Choices().OutputSignalTypes(voltage.ch(1))),
             QStringList({"0...5 V", "1...5 V"}));
    LoadedModule none(project, 5, "ON");
    const CatalogueChoice disabled = none.editor.Choices().OutputSignalTypes(none.ch(1));
    QVERIFY(disabled.entries.empty());
    QVERIFY(!disabled.enabled);
}

void TestParamsCatalogues::relayChoiceMapsToFunctionAndState()
{
    ParamsProject project;
    LoadedModule module(project, 2, "REL");
    ChannelParameters &ch = module.ch(1); // relay 1: function 2, state 1
    const CatalogueChoices choices = module.editor.Choices();
    CatalogueChoice relay = choices.RelayFunctions(ch, 1);
    QCOMPARE(data(relay), QList<int>({1, 5, 6, 7, 8}));
    QCOMPARE(relay.selectedData(), std::optional<int>(7));
    QVERIFY(relay.enabled);
    // State 0 selects the not-used row whatever the function.
    ch.relay1AgainSettingProtection = 0;
    QCOMPARE(choices.RelayFunctions(ch, 1).selectedData(), std::optional<int>(1));
    // A function without an offered row selects nothing.
    ch.relay2LimitValue = 5;
    QCOMPARE(choices.RelayFunctions(ch, 2).selected, -1);

    // The not-used row stores 0/0 whatever the lockout buttons show.
    module.editor.TakeRelay(1, 2, 3, 1, 50.0, 1.0);
    QCOMPARE(ch.relay2LimitValue, 0);
    QCOMPARE(ch.relay2AgainSettingProtection, 0);
    // Another row gives function ID - 5 and keeps the lockout state.
    module.editor.TakeRelay(1, 2, 3, 8, 12.345, 0.5);
    QCOMPARE(ch.relay2LimitValue, 3);
    QCOMPARE(ch.relay2AgainSettingProtection, 3);
    QCOMPARE(ch.relay2ActiveRangeValue, 1235);
    QCOMPARE(ch.relay2Hysteresis, 50);
    // No selection: state 0, function kept.
    module.editor.TakeRelay(1, 2, 1, std::nullopt, 50.0, 1.0);
    QCOMPARE(ch.relay2AgainSettingProtection, 0);
    QCOMPARE(ch.relay2LimitValue, 3);

    LoadedModule noRelays(project, 1, "NR");
    QVERIFY(!noRelays.editor.Choices().RelayFunctions(noRelays.ch(1), 1).enabled);
}

void TestParamsCatalogues::emptyTranslatedNames()
{
    ParamsProject project;
    // German names removed from one row of every catalogue.
    for (const char *table :
         {"SensorTypes7230", "CircuitTypes", "ComparePlaceTC", "ImpulseType", "RelayLimitingValues",
          "WorkingModes7230", "MeasuredUnits7230", "OutputSignalType"})
        project.exec(QString("UPDATE %1 SET NameL2 = '' WHERE ID = 2").arg(table));
    project.exec("UPDATE RelayLimitingValues SET NameL2 = '' WHERE ID = 5");
    project.reloadCatalogues();
    LoadedModule module(project, 7, "DE");
    LoadedModule frequency(project, 34, "DF");
    ChannelParameters &ch = module.ch(1);
    ch.workingModeId = 2;
    ch.tcTypeId = 0;
    const CatalogueChoices choices = module.editor.Choices();
    const CatalogueChoices fchoices = frequency.editor.Choices();
    auto count = [&] {
        ChannelParameters copy = ch;
        ChannelParameters fcopy = frequency.ch(1);
        ChannelParameters zero = ch;
        zero.workingModeId = 0;
        return QList<int>(
            {int(choices.SensorTypes(copy).entries.size()), int(choices.CircuitTypes(zero).entries.size()),
             int(choices.ComparePlaces(copy).entries.size()),
             int(fchoices.ImpulseTypes(fcopy).entries.size()),
             int(choices.RelayFunctions(copy, 1).entries.size()),
             int(choices.WorkingModes(copy).entries.size()), int(choices.Units(copy).entries.size()),
             int(choices.OutputSignalTypes(copy).entries.size())});
    };
    // Name3 (working mode 2) keeps its German texts; the sensor is shown
    // in working mode 0 for this check.
    ch.workingModeId = 0;
    const QList<int> english = count();
    QVERIFY(Language::load(2));
    const QList<int> german = count();
    QCOMPARE(german, QList<int>({english[0] - 1, english[1] - 1, english[2] - 1, english[3] - 1,
                                 english[4] - 1, english[5], english[6], english[7]}));
    QVERIFY(texts(choices.WorkingModes(ch)).contains(QString()));
}

void TestParamsCatalogues::keepingAChoiceAfterAWorkingModeChange()
{
    ParamsProject project;
    LoadedModule module(project, 1, "KP");
    ChannelParameters &ch = module.ch(1);
    ch.sensorTypId = 3;
    ch.typeOfCircuitId = 2;
    InputChoices input = module.editor.FillInput(1);
    QCOMPARE(input.sensorType.selectedData(), std::optional<int>(3));
    QCOMPARE(ch.typeOfCircuitId, 2);
    // The working mode is changed on the page: the dependent choices fall
    // back to their first entries.
    ch.workingModeId = 2;
    ch.sensorTypId = 3;
    ch.tcTypeId = 2;
    module.editor.InputChanged(1, true);
    input = module.editor.FillInput(1);
    QCOMPARE(ch.sensorTypId, 0);
    QCOMPARE(ch.tcTypeId, 1);
    // Within the same working mode a choice is kept.
    ch.sensorTypId = 4;
    ch.tcTypeId = 2;
    input = module.editor.FillInput(1);
    QCOMPARE(ch.sensorTypId, 4);
    QCOMPARE(ch.tcTypeId, 2);
    QCOMPARE(input.workingMode.selectedData(), std::optional<int>(2));
    QVERIFY(input.impulseType.entries.empty());

    LoadedModule frequency(project, 33, "KF");
    frequency.ch(1).zaehlerignis = 1;
    QCOMPARE(frequency.editor.FillInput(1).impulseType.selectedData(), std::optional<int>(1));
    frequency.ch(1).workingModeId = 3;
    QCOMPARE(frequency.editor.FillInput(1).impulseType.selectedData(), std::optional<int>(0));
}

QTEST_GUILESS_MAIN(TestParamsCatalogues)
#include "test_params_catalogues.moc"
