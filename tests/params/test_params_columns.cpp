// Values set by column name in the units the pages show, as the
// command-line tool sets them.
#include "params/catalogues.h"
#include "params/parameter_column_edit.h"
#include "params_test_support.h"
#include "support/test_support.h"

#include <QtTest>

class TestParamsColumns : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void valuesAreTakenInTheShownUnits();
    void aNewWorkingModeTakesItsDefaultRange();
    void aNewTemperatureUnitConvertsTheRange();
    void refusedAssignmentsChangeNothing_data();
    void refusedAssignmentsChangeNothing();
    void valuesOf7220Relays();
    void relayNotUsedIsChosenByItsListedCode();
    void appliedValuesReadBackAndRefusalsWriteNothing();
};

namespace {
const QList<QPair<QString, QString>>
Assign(std::initializer_list<std::pair<const char *, const char *>> pairs)
{
    QList<QPair<QString, QString>> list;
    for (const auto &[column, value] : pairs)
        list.append({QString::fromUtf8(column), QString::fromUtf8(value)});
    return list;
}
} // namespace

void TestParamsColumns::valuesAreTakenInTheShownUnits()
{
    ParamsProject project;
    LoadedModule module(project, 7, "TT100"); // two channels, current output, relays, Celsius
    ParameterColumnEdit edit(module.editor);
    QCOMPARE(edit.Apply(2, Assign({{"RangeBegin", "-50.5"},
                                   {"rangeend", "150.0"},
                                   {"WireResistance", "10.509"},
                                   {"OutputErrorValue", "22"},
                                   {"Relay1ActiveRangeValue", "12.34"},
                                   {"Relay2Hysteresis", "0.5"},
                                   {"Name", "TIC-4711"},
                                   {"Comment", "boiler feed"}})),
             QString());
    const ChannelParameters &ch = module.ch(2);
    QCOMPARE(ch.rangeBegin, -50500); // Celsius: unit factor 10 x 100
    QCOMPARE(ch.rangeEnd, 150000);
    QCOMPARE(ch.wireResistance, 1050); // truncated, as the page takes it
    QCOMPARE(ch.outputErrorValue, 22000000);
    QCOMPARE(ch.relay1ActiveRangeValue, 1234);
    QCOMPARE(ch.relay2Hysteresis, 50);
    QCOMPARE(ch.name, QStringLiteral("TIC-4711"));
    QCOMPARE(module.parameters().module.description, QStringLiteral("boiler feed"));
    QCOMPARE(module.ch(1).rangeEnd, 100000); // the other channel stays
    QVERIFY(module.editor.isModified());
}

void TestParamsColumns::aNewWorkingModeTakesItsDefaultRange()
{
    ParamsProject project;
    LoadedModule module(project, 7, "TT200");
    // Given together, the value follows the new working mode's default.
    QCOMPARE(
        ParameterColumnEdit(module.editor).Apply(1, Assign({{"RangeEnd", "900"}, {"WorkingModeID", "2"}})),
        QString());
    const ChannelParameters &ch = module.ch(1);
    QCOMPARE(ch.workingModeId, 2);
    const ParameterRow *row = FindRangeRow(project.catalogues(), Family7230, ch, true);
    QVERIFY(row);
    const int factor = RangeFactor(project.catalogues(), Family7230, ch.rangeUnitsId);
    QCOMPARE(ch.rangeBegin, row->intValue("RangeBeginFrom") * factor);
    QCOMPARE(ch.rangeEnd, 900 * factor);
}

void TestParamsColumns::aNewTemperatureUnitConvertsTheRange()
{
    ParamsProject project;
    LoadedModule module(project, 7, "TT300");
    ParameterColumnEdit edit(module.editor);
    QCOMPARE(edit.Apply(1, Assign({{"RangeEnd", "85"}})), QString());
    QCOMPARE(edit.Apply(1, Assign({{"RangeUnitsID", "2"}})), QString());
    QCOMPARE(module.ch(1).rangeUnitsId, 2);
    QCOMPARE(module.ch(1).rangeEnd, 358160);
}

void TestParamsColumns::refusedAssignmentsChangeNothing_data()
{
    QTest::addColumn<int>("typeId");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("assignments");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown column") << 7 << 1 << "RangeEnd=120;Colour=red"
                                    << "Unknown column 'Colour'. Columns that can be set: Comment, ";
    QTest::newRow("not a number") << 7 << 1 << "RangeEnd=12,5"
                                  << "The value '12,5' of 'RangeEnd' is not a valid number.";
    for (const char *text : {"nan", "NaN", "inf", "-inf", "infinity", "0x1A", "1,000", "1 000", "12.5.1", "", "+"}) {
        QTest::addRow("not a number: '%s'", text)
            << 7 << 1 << QString("WireResistance=%1").arg(text)
            << QString("The value '%1' of 'WireResistance' is not a valid number.").arg(text);
    }
    QTest::newRow("code nan") << 7 << 1 << "WorkingModeID=nan"
                              << "The value 'nan' of 'WorkingModeID' is not a valid number.";
    QTest::newRow("code beyond 32 bits") << 7 << 1 << "WorkingModeID=1e12"
                                         << "The value '1e12' of 'WorkingModeID' is not a valid number.";
    QTest::newRow("beyond the module's 16 bits") << 7 << 1 << "WireResistance=655.36"
                                                 << "The value '655.36' of 'WireResistance' does not fit its field, "
                                                    "which holds 0 to 655.35.";
    QTest::newRow("negative into an unsigned field") << 7 << 1 << "WireResistance=-1"
                                                     << "The value '-1' of 'WireResistance' does not fit its field";
    QTest::newRow("beyond 32 bits") << 7 << 1 << "ComparePlaceTemp=1e300"
                                    << "The value '1e300' of 'ComparePlaceTemp' does not fit its field";
    QTest::newRow("code with decimals") << 7 << 1 << "WorkingModeID=1.5"
                                        << "The value '1.5' of 'WorkingModeID' is not a valid number.";
    QTest::newRow("code not offered")
        << 7 << 1 << "RangeEnd=120;WorkingModeID=9"
        << "The code 9 is not offered for 'WorkingModeID' on this module. Offered: 0 (";
    QTest::newRow("relay function beyond the catalogue")
        << 7 << 1 << "Relay1LimitValue=40"
        << "The code 40 is not offered for 'Relay1LimitValue'";
    QTest::newRow("no input on 7220")
        << 65 << 1 << "WorkingModeID=1"
        << "The module has no parameter 'WorkingModeID' in its present configuration.";
    QTest::newRow("no relays")
        << 1 << 1 << "Relay1Hysteresis=1"
        << "The module has no parameter 'Relay1Hysteresis' in its present configuration.";
    QTest::newRow("second channel of a one-channel type") << 1 << 2 << "RangeEnd=120"
                                                          << "The module has no channel 2.";
    QTest::newRow("lockout state of 7210 only")
        << 7 << 1 << "Relay1AgainSettingProtection=2"
        << "The code 2 is not offered for 'Relay1AgainSettingProtection'";
}

void TestParamsColumns::refusedAssignmentsChangeNothing()
{
    QFETCH(int, typeId);
    QFETCH(int, channel);
    QFETCH(QString, assignments);
    QFETCH(QString, message);
    ParamsProject project;
    LoadedModule module(project, typeId, "X");
    const ModuleParameters before = module.parameters();
    QList<QPair<QString, QString>> pairs;
    for (const QString &assignment : assignments.split(';'))
        pairs.append({assignment.section('=', 0, 0), assignment.section('=', 1)});
    const QString refusal = ParameterColumnEdit(module.editor).Apply(channel, pairs);
    QVERIFY2(refusal.startsWith(message), qPrintable(refusal));
    QVERIFY(module.parameters().channels == before.channels);
    QVERIFY(module.parameters().module == before.module);
    QVERIFY(!module.editor.isModified());
}

void TestParamsColumns::relayNotUsedIsChosenByItsListedCode()
{
    ParamsProject project;
    LoadedModule module(project, 7, "NU");
    ParameterColumnEdit edit(module.editor);
    QCOMPARE(edit.Apply(1, Assign({{"Relay1LimitValue", "2"}, {"Relay1AgainSettingProtection", "1"}})), QString());
    QCOMPARE(module.ch(1).relayState(1), 1);
    // The "not used" row (ID 1) is listed as code 1 - 5 = -4.
    QCOMPARE(edit.Apply(1, Assign({{"Relay1LimitValue", "-4"}})), QString());
    QCOMPARE(module.ch(1).relayState(1), 0);
    QCOMPARE(module.ch(1).relayFunction(1), 0);
    QVERIFY(!edit.Apply(1, Assign({{"Relay1LimitValue", "-3"}})).isEmpty());
}

void TestParamsColumns::valuesOf7220Relays()
{
    ParamsProject project;
    LoadedModule module(project, 65, "TA1");
    QCOMPARE(ParameterColumnEdit(module.editor)
                 .Apply(1, Assign({{"Relay1ActiveRangeValue", "12.5"}, {"Relay1Hysteresis", "0.25"}})),
             QString());
    QCOMPARE(module.ch(1).relay1ActiveRangeValue, 12500); // mA x 1000
    QCOMPARE(module.ch(1).relay1Hysteresis, 250);
}

void TestParamsColumns::appliedValuesReadBackAndRefusalsWriteNothing()
{
    ParamsProject project;
    ScriptedMessages messages;
    LoadedModule module(project, 7, "TT400");
    QCOMPARE(ParameterColumnEdit(module.editor).Apply(1, Assign({{"RangeEnd", "150"}})), QString());
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    {
        auto rows = project.rowsOf(7, module.moduleId);
        ModuleParameterEditor reloaded(*rows, project.catalogues());
        QVERIFY(reloaded.Load());
        QCOMPARE(reloaded.channel(1)->rangeEnd, 150000);
    }
    const QString before = project.dump();
    // Pt100 in Celsius ends at 850.
    QCOMPARE(ParameterColumnEdit(module.editor).Apply(1, Assign({{"RangeEnd", "5000"}})), QString());
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Refused);
    QCOMPARE(messages.texts().size(), 1);
    QCOMPARE(project.dump(), before);
}

QTEST_GUILESS_MAIN(TestParamsColumns)
#include "test_params_columns.moc"
