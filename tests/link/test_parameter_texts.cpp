// The image parameters 0 to 37 and the unit helpers, read with the
// catalogues of a real project copied from the reference database.
#include "link/image_mapping.h"
#include "link/module_comparison.h"
#include "link/parameter_texts.h"
#include "params/params_test_support.h"
#include "base/language.h"
#include "support/test_support.h"

#include <QtTest>

namespace {
// A two-channel 7230 type with current output and relays, its voltage
// sibling, a one-channel type, a two-channel 7210 type and a 7220 type.
constexpr int kTwoChannelCurrent = 7;
constexpr int kTwoChannelVoltage = 9;
constexpr int kOneChannel = 1;
constexpr int kFrequencyTwoChannel = 39;
constexpr int kTripAmplifier = 65;
} // namespace

class TestParameterTexts : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ParamsProject> m_project;

    ImageParameterTexts texts() const { return ImageParameterTexts(m_project->catalogues()); }

    // The comparison image of a module of the type made from its defaults.
    int m_made = 0;

    CModuleImage imageOf(int typeId, QString prefix = QString())
    {
        if (prefix.isEmpty())
            prefix = QStringLiteral("T%1").arg(++m_made);
        LoadedModule module(*m_project, typeId, prefix);
        CModuleImage image;
        FillFromModule(image, module.parameters(), ParamsProject::familyOfType(typeId));
        return image;
    }

private slots:
    void initTestCase()
    {
        TestSupport::loadEnglish();
        m_project = std::make_unique<ParamsProject>();
    }

    void rangeValuesFollowTheUnitDigits()
    {
        CModuleImage image = imageOf(kTwoChannelCurrent);
        ChannelConfiguration &c = image.Channel[0].Config;
        c.RangeBegin = 12345;
        c.RangeUnitsID = 3; // mV, Digits 1000
        ImageParameter begin = texts().GetParameter(image, 18, 1, Family7230);
        QVERIFY(begin.applies);
        QCOMPARE(begin.value, 12.345);
        QCOMPARE(begin.valueText, QStringLiteral("12.345"));
        QCOMPARE(begin.unitText, QStringLiteral("mV"));
        c.RangeUnitsID = 1; // degrees Fahrenheit, Digits 10
        begin = texts().GetParameter(image, 18, 1, Family7230);
        QCOMPARE(begin.value, 1234.5);
        QCOMPARE(begin.valueText, QStringLiteral("1234.5"));
        QCOMPARE(begin.unitText, QStringLiteral("°F"));
        c.RangeEnd = -1505;
        c.RangeUnitsID = 4; // Ohm, Digits 100
        const ImageParameter end = texts().GetParameter(image, 19, 1, Family7230);
        QCOMPARE(end.value, -15.05);
        QCOMPARE(end.valueText, QStringLiteral("-15.05"));
        // A unit without a row keeps the raw value and has no value text.
        c.RangeUnitsID = 40;
        begin = texts().GetParameter(image, 18, 1, Family7230);
        QCOMPARE(begin.value, 12345.0);
        QVERIFY(begin.valueText.isEmpty());
        // A 7220 module carries its range unchanged and without texts.
        begin = texts().GetParameter(image, 18, 1, Family7220);
        QCOMPARE(begin.value, 12345.0);
        QVERIFY(begin.valueText.isEmpty() && begin.unitText.isEmpty());
    }

    void wireResistanceOnlyForTwoWireResistanceInputs()
    {
        CModuleImage image = imageOf(kTwoChannelCurrent);
        ChannelConfiguration &c = image.Channel[1].Config;
        c.WireResistance = 1050;
        c.WorkingModeID = 0;
        c.TypeOfCircuitID = 0;
        ImageParameter wire = texts().GetParameter(image, 15, 2, Family7230);
        QVERIFY(wire.applies);
        QCOMPARE(wire.value, 10.5);
        QCOMPARE(wire.valueText, QStringLiteral("10.50"));
        QCOMPARE(wire.unitText, QStringLiteral("Ohm"));
        for (auto [mode, circuit] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{2, 0}}) {
            c.WorkingModeID = mode;
            c.TypeOfCircuitID = circuit;
            wire = texts().GetParameter(image, 15, 2, Family7230);
            QVERIFY(!wire.applies);
            QVERIFY(wire.valueText.isEmpty() && wire.unitText.isEmpty());
        }
    }

    void outputErrorValueOnCurrentAndVoltageOutputs()
    {
        for (int type : {kTwoChannelCurrent, kTwoChannelVoltage}) {
            LoadedModule module(*m_project, type, QStringLiteral("OE%1").arg(type));
            module.ch(1).outputErrorValue = 23000000;
            module.ch(1).outputErrorStop = 0;
            CModuleImage image;
            BuildWriteImage(image, module.parameters(), Family7230, QStringLiteral("01.02.2026"));
            QCOMPARE(image.Channel[0].Config.OutputErrorValue, 23000);
            const ImageParameter value = texts().GetParameter(image, 23, 1, Family7230);
            QVERIFY(value.applies);
            const bool voltage = type == kTwoChannelVoltage;
            QCOMPARE(value.valueText, voltage ? QStringLiteral("5.750") : QStringLiteral("23.000"));
            QCOMPARE(value.unitText, voltage ? QStringLiteral("V") : QStringLiteral("mA"));
            image.Channel[0].Config.OutputErrorStop = 8;
            QVERIFY(!texts().GetParameter(image, 23, 1, Family7230).applies);
            QCOMPARE(texts().GetParameter(image, 22, 1, Family7230).nameText,
                     QStringLiteral("Error control (off)"));
            image.OutputSignal = 0;
            QVERIFY(!texts().GetParameter(image, 22, 1, Family7230).applies);
        }
    }

    void relayStatesDecideWhatApplies()
    {
        CModuleImage image = imageOf(kTwoChannelCurrent);
        ChannelConfiguration &c = image.Channel[0].Config;
        c.Relay1AgainSettingProtection = 0;
        c.Relay2AgainSettingProtection = 3;
        c.Relay1ActiveRangeValue = 8050;
        c.Relay2ActiveRangeValue = 2000;
        QVERIFY(!texts().GetParameter(image, 28, 1, Family7230).applies);
        QVERIFY(!texts().GetParameter(image, 29, 1, Family7230).applies);
        const ImageParameter relay2 = texts().GetParameter(image, 30, 1, Family7230);
        QVERIFY(relay2.applies);
        QCOMPARE(relay2.valueText, QStringLiteral("20.00"));
        QCOMPARE(relay2.unitText, QStringLiteral("%"));
        QVERIFY(texts().GetParameter(image, 31, 1, Family7230).applies);
        QCOMPARE(texts().GetParameter(image, 25, 1, Family7230).nameText, QStringLiteral("Relay not used"));
        QCOMPARE(texts().GetParameter(image, 27, 1, Family7230).nameText, QStringLiteral("Lockout on"));

        c.Relay1AgainSettingProtection = 1;
        c.Relay2AgainSettingProtection = 0;
        QCOMPARE(texts().GetParameter(image, 28, 1, Family7230).valueText, QStringLiteral("80.50"));
        QVERIFY(!texts().GetParameter(image, 30, 1, Family7230).applies);
        QVERIFY(!texts().GetParameter(image, 31, 1, Family7230).applies);

        c.Relay1AgainSettingProtection = 5;
        const ImageParameter odd = texts().GetParameter(image, 25, 1, Family7230);
        QVERIFY(!odd.applies);
        QCOMPARE(odd.nameText, QStringLiteral("---"));

        // The same values in mA on a 7220 module.
        c.Relay1AgainSettingProtection = 1;
        const ImageParameter milliamps = texts().GetParameter(image, 28, 1, Family7220);
        QCOMPARE(milliamps.value, 8.05);
        QCOMPARE(milliamps.valueText, QStringLiteral("8.050"));
        QCOMPARE(milliamps.unitText, QStringLiteral("mA"));

        // Without relays the relay values do not apply at all.
        image.LimitValue = 0;
        QVERIFY(!texts().GetParameter(image, 24, 1, Family7230).applies);
        QVERIFY(!texts().GetParameter(image, 25, 1, Family7230).applies);
        QVERIFY(!texts().GetParameter(image, 28, 1, Family7230).applies);
    }

    void relayFunctionTextsAndTheSharedString()
    {
        CModuleImage image = imageOf(kTwoChannelCurrent);
        ChannelConfiguration &c = image.Channel[0].Config;
        c.Relay1LimitValue = 2;
        c.Relay1AgainSettingProtection = 1;
        ImageParameter function = texts().GetParameter(image, 24, 1, Family7230);
        QCOMPARE(function.nameText, QStringLiteral("MAX, de-energised on alarm (fail-safe)"));
        QCOMPARE(function.valueText, QStringLiteral("2.00"));
        // One string for both texts ends with the value text.
        QCOMPARE(function.sharedText, QStringLiteral("2.00"));
        c.Relay1LimitValue = 0;
        c.Relay1AgainSettingProtection = 0;
        function = texts().GetParameter(image, 24, 1, Family7230);
        QCOMPARE(function.nameText, QStringLiteral("Not used"));
        c.Relay2LimitValue = 1;
        c.Relay2AgainSettingProtection = 3;
        const ImageParameter relay2 = texts().GetParameter(image, 26, 1, Family7230);
        QCOMPARE(relay2.nameText, QStringLiteral("MIN, energised on alarm"));
        QVERIFY(relay2.valueText.isEmpty());
        QCOMPARE(relay2.sharedText, relay2.nameText);

        // The report and the listing show both relay functions by name.
        c.Relay1LimitValue = 2;
        c.Relay1AgainSettingProtection = 1;
        QStringList shown;
        for (const ParameterDifference &p : ModuleComparison(texts()).Parameters(image, Family7230)) {
            if (p.channel == 1 && (p.number == 24 || p.number == 26))
                shown << p.moduleText;
        }
        QCOMPARE(shown, QStringList({"MAX, de-energised on alarm (fail-safe)", "MIN, energised on alarm"}));
    }

    void catalogueRowsAreFoundByTheirId()
    {
        // A catalogue with a gap: the row of code 2 is the one with ID 3,
        // wherever it stands.
        CModuleImage image = imageOf(kTwoChannelCurrent);
        image.Channel[0].Config.WorkingModeID = 0;
        image.Channel[0].Config.TypeOfCircuitID = 2;
        const QString before = texts().GetParameter(image, 14, 1, Family7230).nameText;
        QVERIFY(!before.isEmpty());
        m_project->exec("UPDATE CircuitTypes SET ID = ID + 100 WHERE ID = 1");
        m_project->reloadCatalogues();
        QCOMPARE(texts().GetParameter(image, 14, 1, Family7230).nameText, before);
        image.Channel[0].Config.TypeOfCircuitID = 0;
        QVERIFY(texts().GetParameter(image, 14, 1, Family7230).nameText.isEmpty());
        m_project->exec("UPDATE CircuitTypes SET ID = ID - 100 WHERE ID = 101");
        m_project->reloadCatalogues();
    }

    void aChannelTheModuleLacksDoesNotApply()
    {
        CModuleImage image = imageOf(kOneChannel, QStringLiteral("ONE"));
        QCOMPARE(image.Channels, 0);
        image.Channel[1].Name = QStringLiteral("LEFTOVER");
        for (int number : {0, 10, 11, 12, 18, 24, 35}) {
            const ImageParameter p = texts().GetParameter(image, number, 2, Family7230);
            QVERIFY2(!p.applies, qPrintable(QString::number(number)));
            QCOMPARE(p.value, 0.0);
            QVERIFY(p.valueText.isEmpty() && p.nameText.isEmpty() && p.unitText.isEmpty());
        }
        QCOMPARE(texts().GetParameter(image, 10, 1, Family7230).valueText, QStringLiteral("ONE_CH1"));
        QVERIFY(!texts().GetParameter(image, 38, 1, Family7230).applies);
        QVERIFY(!texts().GetParameter(image, -1, 1, Family7230).applies);
    }

    void moduleLevelParameters()
    {
        CModuleImage image = imageOf(kTwoChannelCurrent, QStringLiteral("MOD"));
        image.Revision = QStringLiteral("1.04");
        image.SerialNr = QStringLiteral("SN42");
        image.DIPSwitch = 1;
        const ImageParameterTexts named(m_project->catalogues(),
                                        [](int typeId, const QString &tag1, const QString &tag2) {
                                            return QStringLiteral("%1:%2:%3").arg(typeId).arg(tag1, tag2);
                                        });
        QCOMPARE(named.GetParameter(image, 0, 1, Family7230).nameText, QStringLiteral("Z 7230/211-2"));
        QCOMPARE(named.GetParameter(image, 0, 1, Family7230).value, 6.0);
        QCOMPARE(named.GetParameter(image, 1, 0, Family7230).nameText, QStringLiteral("DIP configurable"));
        QCOMPARE(named.GetParameter(image, 2, 0, Family7230).nameText, QStringLiteral("support"));
        QCOMPARE(named.GetParameter(image, 3, 0, Family7230).nameText, QStringLiteral("0/4...20 mA"));
        QCOMPARE(named.GetParameter(image, 4, 0, Family7230).nameText, QStringLiteral("support"));
        QCOMPARE(named.GetParameter(image, 5, 0, Family7230).value, 2.0);
        QCOMPARE(named.GetParameter(image, 6, 0, Family7230).valueText, QStringLiteral("1.04"));
        QCOMPARE(named.GetParameter(image, 7, 0, Family7230).valueText, QStringLiteral("SN42"));
        QCOMPARE(named.GetParameter(image, 8, 0, Family7230).valueText, QStringLiteral("7:MOD_CH1:MOD_CH2"));
        image.OutputSignal = 7;
        QVERIFY(named.GetParameter(image, 3, 0, Family7230).nameText.isEmpty());
        // 7210 and 7220 type names come from their own tables.
        image.ModulTypID = kFrequencyTwoChannel - 1;
        QCOMPARE(named.GetParameter(image, 0, 0, Family7210).nameText, QStringLiteral("Z 7210/211-0"));
    }

    void inputTextsFollowTheWorkingMode()
    {
        CModuleImage image = imageOf(kTwoChannelCurrent);
        ChannelConfiguration &c = image.Channel[0].Config;
        c.WorkingModeID = 2;
        c.SensorTypID = 0;
        c.TCtypeID = 2;
        c.ComparePlaceTemp = -200;
        c.RangeUnitsID = 0;
        QCOMPARE(texts().GetParameter(image, 12, 1, Family7230).nameText,
                 QStringLiteral("Thermocouple / millivolt"));
        const QString sensorMode2 = texts().GetParameter(image, 13, 1, Family7230).nameText;
        QVERIFY(!sensorMode2.isEmpty());
        QVERIFY(!texts().GetParameter(image, 14, 1, Family7230).applies);
        QVERIFY(texts().GetParameter(image, 16, 1, Family7230).applies);
        const ImageParameter temperature = texts().GetParameter(image, 17, 1, Family7230);
        QVERIFY(temperature.applies);
        QCOMPARE(temperature.value, -20.0);
        QCOMPARE(temperature.valueText, QStringLiteral("-20.0"));
        QCOMPARE(temperature.unitText, QStringLiteral("°C"));
        c.TCtypeID = 1;
        c.TypeOfCircuitID = 0;
        QVERIFY(!texts().GetParameter(image, 17, 1, Family7230).applies);
        QVERIFY(texts().GetParameter(image, 17, 1, Family7230).valueText.isEmpty());
        c.WorkingModeID = 0;
        QVERIFY(texts().GetParameter(image, 14, 1, Family7230).applies);
        QCOMPARE(texts().GetParameter(image, 14, 1, Family7230).nameText, QStringLiteral("2-wire"));
        QVERIFY(!texts().GetParameter(image, 16, 1, Family7230).applies);
        QVERIFY(texts().GetParameter(image, 13, 1, Family7230).nameText != sensorMode2);
        c.WorkingModeID = 3;
        QVERIFY(texts().GetParameter(image, 13, 1, Family7230).nameText.isEmpty());
        // A 7220 module names neither working mode nor sensor nor unit.
        QVERIFY(texts().GetParameter(image, 12, 1, Family7220).nameText.isEmpty());
        QVERIFY(texts().GetParameter(image, 20, 1, Family7220).nameText.isEmpty());
    }

    void outputSignalTypeLastMatchWins()
    {
        CModuleImage image = imageOf(kTwoChannelCurrent);
        image.Channel[0].Config.OutputSignalType = 1;
        ImageParameter type = texts().GetParameter(image, 21, 1, Family7230);
        QVERIFY(type.applies);
        QCOMPARE(type.nameText, QStringLiteral("4...20 mA"));
        image.OutputSignal = 2;
        QCOMPARE(texts().GetParameter(image, 21, 1, Family7230).nameText, QStringLiteral("1...5 V"));
        image.OutputSignal = 0;
        type = texts().GetParameter(image, 21, 1, Family7230);
        QVERIFY(!type.applies);
        QVERIFY(type.nameText.isEmpty());

        // A 7220 output is named by the rows of its repeated input.
        image.OutputSignal = 1;
        type = texts().GetParameter(image, 21, 1, Family7220);
        QCOMPARE(type.value, 3.0);
        QCOMPARE(type.nameText, QStringLiteral("0/4...20 mA, as input (1:1)"));

        // A later row with the same condition and value takes the name.
        m_project->exec("INSERT INTO OutputSignalType (ID, ParentID, Name, Sequence, Value, Condition1) "
                        "VALUES (90, 1, 'Late current 4...20', 90, 1, 1)");
        m_project->reloadCatalogues();
        QCOMPARE(texts().GetParameter(image, 21, 1, Family7230).nameText,
                 QStringLiteral("Late current 4...20"));
        m_project->exec("DELETE FROM OutputSignalType WHERE ID = 90");
        m_project->reloadCatalogues();
    }

    void frequencyParameters()
    {
        CModuleImage image = imageOf(kFrequencyTwoChannel);
        ChannelConfiguration &c = image.Channel[1].Config;
        c.Ueberlauf = 1;
        c.Zaehlerignis = 1;
        c.Zahlteilerkvocient = 250;
        c.Anlaufverzoegurung = 7;
        c.Impulsausgangaktiv = 0;
        QCOMPARE(texts().GetParameter(image, 33, 2, Family7210).valueText, QStringLiteral("Yes"));
        QCOMPARE(texts().GetParameter(image, 34, 2, Family7210).valueText, QStringLiteral("Falling edge"));
        QCOMPARE(texts().GetParameter(image, 35, 2, Family7210).valueText, QStringLiteral("250"));
        QCOMPARE(texts().GetParameter(image, 36, 2, Family7210).valueText, QStringLiteral("7"));
        QCOMPARE(texts().GetParameter(image, 37, 2, Family7210).valueText, QStringLiteral("No"));
        c.Zaehlerignis = 0;
        QCOMPARE(texts().GetParameter(image, 34, 2, Family7210).valueText, QStringLiteral("Rising edge"));
        const ImageParameter nothing = texts().GetParameter(image, 32, 2, Family7210);
        QVERIFY(nothing.applies);
        QVERIFY(nothing.sharedText.isEmpty());
    }

    void unitHelpers()
    {
        const ImageParameterTexts t = texts();
        QCOMPARE(t.UnitFactor(3, Family7230), 1000);
        QCOMPARE(t.UnitFactor(0, Family7230), 10);
        QCOMPARE(t.UnitFactor(1, Family7210), 1000);
        QCOMPARE(t.UnitFactor(0, Family7220), 1000);
        QCOMPARE(t.UnitFactor(40, Family7230), 1);
        QCOMPARE(t.UnitName(4, Family7230), QStringLiteral("Ohm"));
        QCOMPARE(t.UnitName(0, Family7210), QStringLiteral("Pulses"));
        QCOMPARE(t.UnitName(9, Family7220), QStringLiteral("mA"));
        QVERIFY(t.UnitName(40, Family7230).isEmpty());
        const int decimals7230[] = {1, 1, 1, 3, 2, 2, 2};
        for (int code = 0; code < 7; ++code)
            QCOMPARE(ImageParameterTexts::ValueDecimals(code, Family7230), decimals7230[code]);
        QCOMPARE(ImageParameterTexts::ValueDecimals(0, Family7210), 0);
        QCOMPARE(ImageParameterTexts::ValueDecimals(2, Family7210), 3);
        QCOMPARE(ImageParameterTexts::ValueDecimals(0, Family7220), 3);
    }

    void formatValueUsesTheChannelsOwnUnit()
    {
        CModuleImage image = imageOf(kFrequencyTwoChannel);
        image.Channel[0].Config.RangeUnitsID = 1; // Hz
        image.Channel[1].Config.RangeUnitsID = 0; // pulses
        QCOMPARE(texts().FormatValue(image, 12.3456, 1, Family7210), QStringLiteral("12.346 Hz"));
        QCOMPARE(texts().FormatValue(image, 1234.9, 2, Family7210), QStringLiteral("1234 Pulses"));
        QCOMPARE(texts().FormatValue(image, -3.5, 0, Family7210), QStringLiteral("-3 "));
        image.Channel[0].Config.RangeUnitsID = 2; // kelvin on 7230
        QCOMPARE(texts().FormatValue(image, 293.16, 1, Family7230), QStringLiteral("293.2 K"));
        QCOMPARE(texts().FormatValue(image, 4.5, 1, Family7220), QStringLiteral("4.500 mA"));
    }

    void roundingIsHalfAwayFromZero()
    {
        QCOMPARE(ImageParameterTexts::Round(0.125, 2), 0.13);
        QCOMPARE(ImageParameterTexts::Round(-0.125, 2), -0.13);
        QCOMPARE(ImageParameterTexts::Round(2.5, 0), 3.0);
        QCOMPARE(ImageParameterTexts::Round(-2.5, 0), -3.0);
        QCOMPARE(ImageParameterTexts::Round(2.4999, 0), 2.0);
        QCOMPARE(ImageParameterTexts::Round(-0.0005, 3), -0.001);
    }

    void comparisonOrderAndScopes()
    {
        const ImageParameterTexts t = texts();
        const ModuleComparison comparison(t);
        const CModuleImage database = imageOf(kFrequencyTwoChannel);
        CModuleImage module = database;
        module.DIPSwitch = 1;
        module.SerialNr = QStringLiteral("X");
        module.Revision = QStringLiteral("Y");
        module.Channel[0].Name = QStringLiteral("OTHER");
        module.Channel[1].Config.Zahlteilerkvocient = database.Channel[1].Config.Zahlteilerkvocient + 1;
        module.Channel[1].Config.WireResistance = 999; // no 7210 parameter
        QStringList names;
        for (const ParameterDifference &d :
             comparison.Compare(database, module, Family7210, ModuleComparison::Scope::Report))
            names << d.name;
        QCOMPARE(names, QStringList({"Dip Switch", "Revision", "Serial number", "Channel 1: Signal-Tag",
                                     "Channel 2: Divisor"}));
        names.clear();
        for (const ParameterDifference &d :
             comparison.Compare(database, module, Family7210, ModuleComparison::Scope::Silent))
            names << d.name;
        QCOMPARE(names.mid(0, 3), QStringList({"Serial number", "Revision", "Dip Switch"}));
        const std::vector<ParameterDifference> tags =
            comparison.Compare(database, module, Family7210, ModuleComparison::Scope::TagsOnly);
        QCOMPARE(tags.size(), size_t(1));
        QCOMPARE(tags[0].moduleText, QStringLiteral("OTHER"));

        // The 7220 types without output are not compared on their output.
        CModuleImage trip = imageOf(kTripAmplifier);
        trip.ModulTypID = 68;
        CModuleImage tripModule = trip;
        tripModule.Channel[0].Config.OutputErrorValue += 100;
        QVERIFY(comparison.Compare(trip, tripModule, Family7220, ModuleComparison::Scope::Report).empty());
        trip.ModulTypID = 64;
        tripModule.ModulTypID = 64;
        QCOMPARE(comparison.Compare(trip, tripModule, Family7220, ModuleComparison::Scope::Report).size(),
                 size_t(1));
    }

    void reportIsCappedAtFiveHundredLines()
    {
        std::vector<ParameterDifference> many(600, ParameterDifference{0, 1, "Channel 1: X", "a", "b"});
        const QStringList lines = ModuleComparison::ReportLines(many, QStringLiteral("Database parameter:"));
        QCOMPARE(lines.size(), ModuleComparison::kMaxReportLines);
        QCOMPARE(lines.first(), QStringLiteral("\n"));
        QCOMPARE(lines.last(), QString(120, QLatin1Char('=')) + QLatin1Char('\n'));
        QCOMPARE(lines[3], ModuleComparison::ReportLine("Channel 1: X", "a", "b"));
        QCOMPARE(lines[3].size(), 82);
        // A name longer than its column is not cut, and keeps a blank.
        const QString longName(45, QLatin1Char('n'));
        QCOMPARE(ModuleComparison::ReportLine(longName, "a", "b"),
                 longName + " a" + QString(33, ' ') + "b\n");
    }

    void germanTextsFromTheLanguageColumns()
    {
        CModuleImage image = imageOf(kTwoChannelCurrent);
        image.Channel[0].Config.TypeOfCircuitID = 1;
        image.Channel[0].Config.WorkingModeID = 0;
        Language::load(2);
        const QString circuit = texts().GetParameter(image, 14, 1, Family7230).nameText;
        const QString dip = texts().GetParameter(image, 1, 0, Family7230).nameText;
        TestSupport::loadEnglish();
        QCOMPARE(circuit, QStringLiteral("3-Leiter"));
        QCOMPARE(dip, QStringLiteral("PC-konfigurierbar"));
    }
};

QTEST_GUILESS_MAIN(TestParameterTexts)
#include "test_parameter_texts.moc"
