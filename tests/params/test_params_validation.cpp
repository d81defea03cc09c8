#include "params/parameter_validation.h"
#include "params_test_support.h"

#include <QtTest>

// The checks of a channel on modules made from the reference database's
// defaults, each with the message the user reads.
class TestParamsValidation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void defaultsOfEveryTypePass();
    void firstFailureIsShownAndLoggedAlone();
    void comparisonPlaceZeroIsRefusedByName();
    void comparisonTemperatureDependsOnUnit();
    void relayLimitsOf7230();
    void relayLockoutValues();
    void relayLimitsOfLiveZero7220();
    void outputErrorValueBounds();
    void frequencyDivisor();
    void frequencyLimitsOfWorkingModeOne();
    void measuringRange7230Messages();
    void measuringRangeWithoutRowIsNotTested();
    void sil2Restrictions();
    void downloadRefusesRelayFunctionsAboveThree();

private:
    // The messages one check shows, compared with what reached the log.
    template <typename Check> static QStringList messagesOf(Check check, bool expected)
    {
        ScriptedMessages messages;
        CapturedLog log;
        const bool result = check();
        if (result != expected)
            qWarning("check gave %d: %s", int(result), qPrintable(messages.texts().join(" / ")));
        if (result != expected)
            return {QStringLiteral("<unexpected result>")};
        if (messages.texts() != log.lines)
            return {QStringLiteral("<log differs>")};
        for (const MessageRequest &request : messages.shown()) {
            if (request.icon != MessageIcon::Error)
                return {QStringLiteral("<not an error box>")};
        }
        return messages.texts();
    }
    static QStringList validate(LoadedModule &module, int channel, bool expected)
    {
        return messagesOf(
            [&] { return ParameterValidator(*s_catalogues, module.parameters()).ValidateChannel(channel); },
            expected);
    }
    static inline CatalogueSet *s_catalogues = nullptr;
};

void TestParamsValidation::defaultsOfEveryTypePass()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    int types = 0;
    for (ModuleFamily family : {Family7230, Family7210, Family7220}) {
        for (int typeId : project.typeIds(family)) {
            LoadedModule module(project, typeId, QString("T%1").arg(typeId));
            const ParameterValidator validator(project.catalogues(), module.parameters());
            for (int channel = 1; channel <= module.parameters().channelCount(); ++channel) {
                QVERIFY2(module.parameters().hasChannel(channel), qPrintable(QString::number(typeId)));
                QCOMPARE(validate(module, channel, true), QStringList());
                QCOMPARE(messagesOf([&] { return validator.CheckMeasuringRange(channel); }, true),
                         QStringList());
            }
            ++types;
        }
    }
    QVERIFY(types >= 3);
}

void TestParamsValidation::firstFailureIsShownAndLoggedAlone()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule module(project, 7, "F");
    // Output, working mode and relay values are all wrong: only the output
    // check speaks.
    module.ch(1).outputSignalType = 3;
    module.ch(1).workingModeId = 9;
    module.ch(1).relay1Hysteresis = 0;
    QCOMPARE(
        validate(module, 1, false),
        QStringList("The parameter 'Output signal type' in 'Output' section for 'Channel 1' is out of range! "
                    "\nThe admissible value is from 0 to 1!"));
    module.ch(1).outputSignalType = 1;
    QCOMPARE(
        validate(module, 1, false),
        QStringList("The parameter 'Working mode' in 'Input' section for 'Channel 1' is out of range! \nThe "
                    "admissible value is from 0 to 2!"));
    module.ch(1).workingModeId = 0;
    QCOMPARE(validate(module, 1, false),
             QStringList(
                 "The parameter 'Hysteresis for Relay1' in 'Limiting value' section for 'Channel 1' is out "
                 "of range! \nThe admissible value is from 1 to 10!"));
    // Channel 2 is named as such.
    module.ch(2).typeOfCircuitId = 3;
    QCOMPARE(
        validate(module, 2, false),
        QStringList("The parameter 'Circuit type' in 'Input' section for 'Channel 2' is out of range! \nThe "
                    "admissible value is from 0 to 2!"));
}

void TestParamsValidation::comparisonPlaceZeroIsRefusedByName()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule module(project, 1, "TC");
    ChannelParameters &ch = module.ch(1);
    ch.workingModeId = 2;
    ch.tcTypeId = 0;
    QCOMPARE(validate(module, 1, false),
             QStringList(
                 "The parameter 'TC Type' in 'Input' section for 'Channel 1' is not correct! \nUsage of 'No "
                 "cold junction compensation' type not allowed!"));
    ch.tcTypeId = 1;
    QCOMPARE(validate(module, 1, true), QStringList());
    ch.tcTypeId = 3;
    QCOMPARE(validate(module, 1, false),
             QStringList("The parameter 'TC Type' in 'Input' section for 'Channel 1' is out of range! \nThe "
                         "admissible value is from 0 to 2!"));
    // Outside working mode 2 the comparison place is not looked at.
    ch.workingModeId = 0;
    QCOMPARE(validate(module, 1, true), QStringList());
}

void TestParamsValidation::comparisonTemperatureDependsOnUnit()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule module(project, 1, "CT");
    ChannelParameters &ch = module.ch(1);
    ch.workingModeId = 2;
    ch.tcTypeId = 2;
    ch.comparePlaceTemp = 85000;
    ch.rangeUnitsId = 0;
    QCOMPARE(validate(module, 1, true), QStringList());
    ch.rangeUnitsId = 2;
    QCOMPARE(validate(module, 1, false),
             QStringList(
                 "The parameter 'Temperature comparison area ' in 'Input' section for 'Channel 1' is out of "
                 "range! \nThe admissible value is from 233.16 to 358.16!"));
    ch.rangeUnitsId = 0;
    ch.comparePlaceTemp = 85001;
    QCOMPARE(validate(module, 1, false),
             QStringList(
                 "The parameter 'Temperature comparison area ' in 'Input' section for 'Channel 1' is out of "
                 "range! \nThe admissible value is from -40 to 85!"));
    ch.rangeUnitsId = 1;
    QCOMPARE(validate(module, 1, true), QStringList());
    ch.comparePlaceTemp = -40001;
    QCOMPARE(validate(module, 1, false),
             QStringList(
                 "The parameter 'Temperature comparison area ' in 'Input' section for 'Channel 1' is out of "
                 "range! \nThe admissible value is from -40.00 to 185.00!"));
    // Unit codes above 2 other than 3 have no limits here.
    ch.rangeUnitsId = 4;
    QCOMPARE(validate(module, 1, true), QStringList());
    // Only the fixed comparison place uses the temperature.
    ch.rangeUnitsId = 2;
    ch.tcTypeId = 1;
    QCOMPARE(validate(module, 1, true), QStringList());
}

void TestParamsValidation::relayLimitsOf7230()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule module(project, 2, "RL");
    ChannelParameters &ch = module.ch(1);
    ch.relay1Hysteresis = 50;
    ch.relay1ActiveRangeValue = 40;
    QCOMPARE(
        validate(module, 1, false),
        QStringList("The parameter 'Minimal value for Relay1' in 'Limiting value' section for 'Channel 1' is "
                    "out of range! \nThe admissible value is from 0 to 100!"));
    ch.relay1ActiveRangeValue = 50;
    QCOMPARE(validate(module, 1, true), QStringList());
    ch.relay1ActiveRangeValue = 9950;
    QCOMPARE(validate(module, 1, true), QStringList());
    ch.relay1ActiveRangeValue = 9951;
    QCOMPARE(validate(module, 1, false).size(), 1);
    ch.relay1ActiveRangeValue = 5000;
    ch.relay2Hysteresis = 1001;
    QCOMPARE(validate(module, 1, false),
             QStringList(
                 "The parameter 'Hysteresis for Relay2' in 'Limiting value' section for 'Channel 1' is out "
                 "of range! \nThe admissible value is from 1 to 10!"));
    ch.relay2Hysteresis = 100;
    ch.relay2LimitValue = 8;
    QCOMPARE(validate(module, 1, false),
             QStringList(
                 "The parameter 'Limiting value for Relay2' in 'Limiting value' section for 'Channel 1' is "
                 "out of range! \nThe admissible value is from 0 to 7!"));
    // A relay that is not used is checked all the same.
    ch.relay2LimitValue = 0;
    ch.relay2AgainSettingProtection = 0;
    ch.relay2ActiveRangeValue = 0;
    QCOMPARE(validate(module, 1, false).size(), 1);
}

void TestParamsValidation::relayLockoutValues()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule module(project, 33, "LO");
    ChannelParameters &ch = module.ch(1);
    for (int state : {0, 1, 2, 3}) {
        ch.relay1AgainSettingProtection = state;
        QCOMPARE(validate(module, 1, true), QStringList());
    }
    ch.relay1AgainSettingProtection = 4;
    QCOMPARE(
        validate(module, 1, false),
        QStringList("The parameter 'Relay1 lockout' in 'Limiting value' section for 'Channel 1' is out of "
                    "range! \nThe admissible value is from 0 to 3!"));
}

void TestParamsValidation::relayLimitsOfLiveZero7220()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule liveZero(project, 69, "LZ");
    ChannelParameters &ch = liveZero.ch(1);
    // Not used, so that the SIL-2 rule on functions 0 and 1 stays silent;
    // the limits are checked all the same.
    ch.relay1AgainSettingProtection = 0;
    ch.relay1LimitValue = 1;
    ch.relay1Hysteresis = 100;
    ch.relay1ActiveRangeValue = 20450;
    QCOMPARE(validate(liveZero, 1, false),
             QStringList(
                 "The parameter 'Minimal value for Relay1' in 'Limit value' section for 'Channel 1' is out "
                 "of range! \nThe admissible value is from 3.800 to 20.400!"));
    ch.relay1ActiveRangeValue = 20400;
    QCOMPARE(validate(liveZero, 1, true), QStringList());
    // Functions 0 and 2 raise the lower bound by the hysteresis.
    ch.relay1LimitValue = 2;
    ch.relay1ActiveRangeValue = 3850;
    QCOMPARE(validate(liveZero, 1, false),
             QStringList(
                 "The parameter 'Minimal value for Relay1' in 'Limit value' section for 'Channel 1' is out "
                 "of range! \nThe admissible value is from 3.900 to 20.500!"));
    ch.relay1ActiveRangeValue = 18000;
    ch.relay1Hysteresis = 23;
    QCOMPARE(validate(liveZero, 1, false),
             QStringList(
                 "The parameter 'Hysteresis for Relay1' in 'Limit value' section for 'Channel 1' is out of "
                 "range! \nThe admissible value is from 0.024 to 2.400!"));

    LoadedModule standard(project, 65, "ST");
    ChannelParameters &other = standard.ch(1);
    other.relay2LimitValue = 1;
    other.relay2Hysteresis = 200;
    other.relay2ActiveRangeValue = 99;
    QCOMPARE(validate(standard, 1, false),
             QStringList(
                 "The parameter 'Minimal value for Relay2' in 'Limit value' section for 'Channel 1' is out "
                 "of range! \nThe admissible value is from 0.100 to 23.800!"));
}

void TestParamsValidation::outputErrorValueBounds()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule current(project, 1, "OC");
    current.ch(1).outputErrorValue = 23000000;
    QCOMPARE(validate(current, 1, true), QStringList());
    current.ch(1).outputErrorValue = 23000001;
    QCOMPARE(
        validate(current, 1, false),
        QStringList("The parameter 'Output error value' in 'Output' section for 'Channel 1' is out of range! "
                    "\nThe admissible value is from 0 to 23!"));
    // With error control off the value is not looked at.
    current.ch(1).outputErrorStop = 8;
    QCOMPARE(validate(current, 1, true), QStringList());
    current.ch(1).outputErrorStop = 9;
    QCOMPARE(validate(current, 1, false),
             QStringList(
                 "The parameter 'Holden output error' in 'Output' section for 'Channel 1' is out of range! "
                 "\nThe admissible value is from 0 to 8!"));

    LoadedModule voltage(project, 3, "OV");
    voltage.ch(1).outputErrorValue = -1;
    QCOMPARE(
        validate(voltage, 1, false),
        QStringList("The parameter 'Output error value' in 'Output' section for 'Channel 1' is out of range! "
                    "\nThe admissible value is from 0.000 to 5.750!"));

    // A type without output does not check the output values.
    LoadedModule noOutput(project, 5, "NO");
    noOutput.ch(1).outputSignalType = 7;
    noOutput.ch(1).outputErrorValue = -5;
    QCOMPARE(validate(noOutput, 1, true), QStringList());
}

void TestParamsValidation::frequencyDivisor()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule module(project, 34, "DV");
    ChannelParameters &ch = module.ch(1);
    ch.workingModeId = 2;
    ch.rangeUnitsId = 3; // 1/min, factor 1000
    ch.rangeBegin = 0;
    ch.rangeEnd = 6000000;
    ch.impulsausgangaktiv = 1;
    ch.zahlteilerkvocient = 2;
    QCOMPARE(validate(module, 1, true), QStringList());
    ch.zahlteilerkvocient = 1;
    QCOMPARE(
        validate(module, 1, false),
        QStringList("The parameter 'Zahlteilerkvocient' in 'Output' section for 'Channel 1' is out of range! "
                    "\nThe admissible value is from 2 to 20000!"));
    ch.zahlteilerkvocient = 20001;
    QCOMPARE(validate(module, 1, false).size(), 1);
    // Without an active impulse output the divisor is not looked at.
    ch.impulsausgangaktiv = 0;
    QCOMPARE(validate(module, 1, true), QStringList());
    ch.impulsausgangaktiv = 1;
    ch.zahlteilerkvocient = 2;
    ch.anlaufverzoegurung = 1001;
    QCOMPARE(
        validate(module, 1, false),
        QStringList("The parameter 'Startup Delay' in 'Limiting value' section for 'Channel 1' is out of "
                    "range! \nThe admissible value is from 0 to 1000!"));
}

void TestParamsValidation::frequencyLimitsOfWorkingModeOne()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule module(project, 33, "FQ");
    ChannelParameters &ch = module.ch(1);
    QCOMPARE(ch.workingModeId, 1);
    QCOMPARE(ch.rangeUnitsId, 1); // Hz, factor 1000
    ch.rangeBegin = 0;
    ch.rangeEnd = 1000000;
    QCOMPARE(validate(module, 1, true), QStringList());
    ch.rangeEnd = 1000001;
    QCOMPARE(validate(module, 1, false),
             QStringList(
                 "The parameter 'to' in 'Signal processing' section for 'Channel 1' is not allowed! \nUpper "
                 "value is too big. Admissable value: 1000 Hz!"));
    ch.rangeEnd = 5000;
    ch.rangeBegin = -1;
    QCOMPARE(
        validate(module, 1, false),
        QStringList("The parameter 'from' in 'Signal processing' section for 'Channel 1' is not allowed! "
                    "\nLower value is too small. Admissable value: 0 Hz!"));
    ch.rangeBegin = 5001;
    QCOMPARE(validate(module, 1, false),
             QStringList(
                 "The parameter 'to' in 'Signal processing' section for 'Channel 1' is not allowed! \nUpper "
                 "value must be bigger than lower value!"));
    ch.rangeBegin = 4991;
    QCOMPARE(validate(module, 1, false),
             QStringList("The parameter 'to' in 'Signal processing' section for 'Channel 1' is not allowed! "
                         "\nMeasurement span too small. Admissable value: 0.01 Hz!"));
    // Without a matching range-table row neither limit is tested.
    ch.sensorTypId = 9;
    ch.rangeBegin = 0;
    ch.rangeEnd = 1000001;
    QCOMPARE(validate(module, 1, true), QStringList());
}

void TestParamsValidation::measuringRange7230Messages()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule module(project, 6, "MR");
    const ParameterValidator validator(project.catalogues(), module.parameters());
    auto range = [&](int channel, bool expected) {
        return messagesOf([&] { return validator.CheckMeasuringRange(channel); }, expected);
    };
    ChannelParameters &first = module.ch(1); // Pt100 in Celsius: -200...850, span 10
    first.rangeBegin = -201000;
    QCOMPARE(range(1, false),
             QStringList("Measuring range in section 'Signal processing' for Channel 1 is out of "
                         "range! \nThe admissible value is from -200.00 to 850.00!"));
    first.rangeBegin = 0;
    first.rangeEnd = 851000;
    QCOMPARE(range(1, false),
             QStringList("Measuring range in section 'Signal processing' for Channel 1 is out of "
                         "range! \nThe admissible value is from -200.00 to 850.00!"));
    first.rangeEnd = 0;
    QCOMPARE(range(1, false),
             QStringList(
                 "Value 'From' in section 'Signal processing' must be less than value 'To' in Channel 1!"));
    ChannelParameters &second = module.ch(2);
    second.rangeBegin = 0;
    second.rangeEnd = 9000;
    QCOMPARE(range(2, false), QStringList("Difference between value 'From' and value 'To' in section 'Signal "
                                          "processing' \nmust be larger than '10' in Channel 2!"));
    second.rangeEnd = 10000;
    QCOMPARE(range(2, true), QStringList());
    // The view of channel 2's signal checks channel 2 only.
    module.parameters().shownChannel = 2;
    QCOMPARE(messagesOf([&] { return validator.CheckMeasuringRange(); }, true), QStringList());
    module.parameters().shownChannel = 1;
    QCOMPARE(messagesOf([&] { return validator.CheckMeasuringRange(); }, false).size(), 1);
    // The wildcard row serves a sensor without its own row.
    first.rangeEnd = 100000;
    first.sensorTypId = 10;
    first.rangeBegin = -201000;
    QCOMPARE(range(1, false).size(), 1);
}

void TestParamsValidation::measuringRangeWithoutRowIsNotTested()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule module(project, 1, "NR");
    ChannelParameters &ch = module.ch(1);
    ch.rangeUnitsId = 3; // mV has no row in working mode 0
    ch.rangeBegin = 500000;
    ch.rangeEnd = 100;
    const ParameterValidator validator(project.catalogues(), module.parameters());
    QCOMPARE(messagesOf([&] { return validator.CheckMeasuringRange(1); }, true), QStringList());
}

void TestParamsValidation::sil2Restrictions()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule sil(project, 16, "SIL");
    ChannelParameters &ch = sil.ch(1);
    ch.outputErrorValue = 2400000;
    QCOMPARE(validate(sil, 1, true), QStringList());
    ch.outputErrorValue = 2401000;
    QCOMPARE(
        validate(sil, 1, false),
        QStringList("The parameter 'Output fault value' in 'Output' section for 'Channel 1' is not allowed! "
                    "\nOutput fault value too high for SIL-2 application Max.allowed: 2,4 mA"));
    ch.outputErrorValue = 2000000;
    ch.outputErrorStop = 1;
    QCOMPARE(
        validate(sil, 1, false),
        QStringList("The parameter 'Hold last value' in 'Output' section for 'Channel 1' is not allowed! "
                    "\nFunction not allowed for SIL-2 application!"));
    ch.outputErrorStop = 8;
    QCOMPARE(
        validate(sil, 1, false),
        QStringList("The parameter 'Fault control off' in 'Output' section for 'Channel 1' is not allowed! "
                    "\nFunction not allowed for SIL-2 application!"));
    ch.outputErrorStop = 0;
    ch.relay2LimitValue = 1;
    QCOMPARE(
        validate(sil, 1, false),
        QStringList("The parameter 'Behavior contact' in 'Limiting value' section for 'Channel 1:Relay B' is "
                    "not allowed! \nFunction not allowed for SIL-2 application!"));
    // A relay that is not used may keep any function.
    ch.relay2AgainSettingProtection = 0;
    QCOMPARE(validate(sil, 1, true), QStringList());
    ch.sensorTypId = 12;
    QCOMPARE(
        validate(sil, 1, false),
        QStringList("The parameter 'Sensor type' in 'Input' section for 'Channel 1' is not correct! \nUse of "
                    "reserve types not allowed for SIL-2 application!"));
    // The same values on the type without SIL 2 pass.
    LoadedModule plain(project, 12, "PL");
    plain.ch(1) = ch;
    QCOMPARE(validate(plain, 1, true), QStringList());

    LoadedModule sil7220(project, 67, "S22");
    sil7220.ch(1).relay1LimitValue = 0;
    QCOMPARE(validate(sil7220, 1, false),
             QStringList(
                 "The parameter 'Behavior contact' in 'Limit value' section for 'Channel 1:Relay A' is not "
                 "allowed! \nFunction not allowed for SIL-2 application!"));
}

void TestParamsValidation::downloadRefusesRelayFunctionsAboveThree()
{
    ParamsProject project;
    s_catalogues = &project.catalogues();
    LoadedModule module(project, 7, "DL");
    module.ch(2).relay2LimitValue = 5;
    // The project accepts the function ...
    QCOMPARE(validate(module, 2, true), QStringList());
    // ... but the module's two bits cannot hold it.
    QCOMPARE(messagesOf([&] { return module.editor.CheckDownloadable(); }, false),
             QStringList(
                 "The parameter 'Limiting value for Relay2' in 'Limiting value' section for 'Channel 2' "
                 "holds the function 5, which the module cannot store! \nChoose one of the functions 0 to 3 "
                 "before the download."));
    module.ch(2).relay2LimitValue = 3;
    QCOMPARE(messagesOf([&] { return module.editor.CheckDownloadable(); }, true), QStringList());
    // Every channel is validated before a download, whatever the view shows.
    module.parameters().shownChannel = 1;
    module.ch(2).workingModeId = 7;
    QCOMPARE(messagesOf([&] { return module.editor.CheckDownloadable(); }, false).size(), 1);
}

QTEST_GUILESS_MAIN(TestParamsValidation)
#include "test_params_validation.moc"
