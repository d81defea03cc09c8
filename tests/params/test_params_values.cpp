#include "params/parameter_values.h"
#include "params_test_support.h"
#include "base/language.h"

#include <QtTest>

using namespace ParameterValues;

// Scaling, rounding, unit conversions and the default range.
class TestParamsValues : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void roundingIsHalfAwayFromZero();
    void wireResistanceTruncatesAndWholeNumbers();
    void outputErrorValueInMilliampsAndVolts();
    void temperatureUnitConversion();
    void unitChangeOf7230ChannelConvertsThreeValues();
    void unitAndRangeFactors();
    void defaultRangeFromRangeTable();
    void catalogueTextFollowsTheLanguage();
};

void TestParamsValues::roundingIsHalfAwayFromZero()
{
    QCOMPARE(ScaleRounded(2.5, 1), 3);
    QCOMPARE(ScaleRounded(-2.5, 1), -3);
    QCOMPARE(ScaleRounded(0.285, 100), 29); // 28.499999... in binary
    QCOMPARE(ScaleRounded(-0.285, 100), -29);
    QCOMPARE(ScaleRounded(12.344, 100), 1234);
    QCOMPARE(ScaleRounded(1000.001, 1000), 1000001);
    QCOMPARE(ScaleRounded(2.401, 1000000), 2401000);
    QCOMPARE(ScaleRounded(1e12, 1000), std::numeric_limits<qint32>::max());
}

void TestParamsValues::wireResistanceTruncatesAndWholeNumbers()
{
    QCOMPARE(ScaleTruncated(1.15, 100), 115);
    QCOMPARE(ScaleTruncated(1.159, 100), 115);
    QCOMPARE(ScaleTruncated(-1.159, 100), -115);
    QCOMPARE(WholeNumber(12.9), 12);
    QCOMPARE(WholeNumber(20000), 20000);
}

void TestParamsValues::outputErrorValueInMilliampsAndVolts()
{
    QCOMPARE(QString::number(OutputErrorValueShown(23000000, 1), 'f', 3), QString("23.000"));
    QCOMPARE(QString::number(OutputErrorValueShown(23000000, 2), 'f', 3), QString("5.750"));
    QCOMPARE(OutputErrorValueStored(23.0, 1), 23000000);
    QCOMPARE(OutputErrorValueStored(5.75, 2), 23000000);
    QCOMPARE(OutputErrorValueStored(5.375, 2), 21500000);
    QCOMPARE(OutputErrorValueStored(2.401, 1), 2401000);
}

void TestParamsValues::temperatureUnitConversion()
{
    QCOMPARE(ConvertTemperatureUnit(0, 2, 85000), 358160);
    QCOMPARE(ConvertTemperatureUnit(2, 0, 358160), 85000);
    QCOMPARE(ConvertTemperatureUnit(0, 1, 100000), 212000);
    QCOMPARE(ConvertTemperatureUnit(1, 0, -40000), -40000);
    QCOMPARE(ConvertTemperatureUnit(1, 2, 212000), 373160);
    QCOMPARE(ConvertTemperatureUnit(2, 1, 0), -459688); // -459.688 °F
    QCOMPARE(ConvertTemperatureUnit(0, 3, 85000), 85000);
    QCOMPARE(ConvertTemperatureUnit(4, 0, 85000), 85000);
    QCOMPARE(ConvertTemperatureUnit(0, 0, 85000), 85000);
}

void TestParamsValues::unitChangeOf7230ChannelConvertsThreeValues()
{
    ChannelParameters channel;
    channel.rangeBegin = 0;
    channel.rangeEnd = 85000;
    channel.comparePlaceTemp = 25000;
    channel.wireResistance = 1000;
    ConvertChannelTemperatures(Family7230, channel, 0, 2);
    QCOMPARE(channel.rangeBegin, 273160);
    QCOMPARE(channel.rangeEnd, 358160);
    QCOMPARE(channel.comparePlaceTemp, 298160);
    QCOMPARE(channel.wireResistance, 1000);
    // A change into a unit with code 3 or above converts nothing.
    const ChannelParameters before = channel;
    ConvertChannelTemperatures(Family7230, channel, 2, 3);
    QCOMPARE(channel, before);
    // Nor does a 7210 channel convert.
    ConvertChannelTemperatures(Family7210, channel, 2, 0);
    QCOMPARE(channel, before);
}

void TestParamsValues::unitAndRangeFactors()
{
    ParamsProject project;
    const CatalogueSet &catalogues = project.catalogues();
    QCOMPARE(UnitFactor(catalogues, Family7230, 0), 10);
    QCOMPARE(UnitFactor(catalogues, Family7230, 3), 1000);
    QCOMPARE(RangeFactor(catalogues, Family7230, 0), 1000);
    QCOMPARE(UnitFactor(catalogues, Family7210, 1), 1000);
    QCOMPARE(RangeFactor(catalogues, Family7210, 1), 1000);
    QCOMPARE(UnitFactor(catalogues, Family7220, 1), 1);
    QCOMPARE(RangeFactor(catalogues, Family7220, 1), 1);
    // A missing row gives factor 1, and so does a factor of 0 in the file.
    QCOMPARE(UnitFactor(catalogues, Family7230, 99), 1);
    project.exec("UPDATE MeasuredUnits7230 SET Digits = 0 WHERE ID = 1");
    project.reloadCatalogues();
    QCOMPARE(UnitFactor(catalogues, Family7230, 0), 1);
}

void TestParamsValues::defaultRangeFromRangeTable()
{
    ParamsProject project;
    const CatalogueSet &catalogues = project.catalogues();
    ChannelParameters channel;
    channel.workingModeId = 2; // thermocouple B in kelvin: 373...2094 K
    channel.sensorTypId = 0;
    channel.rangeUnitsId = 2;
    ApplyDefaultRange(catalogues, Family7230, channel);
    QCOMPARE(channel.rangeBegin, 373000);
    QCOMPARE(channel.rangeEnd, 2094000);
    // Only the exact row counts: sensor 10 has none in working mode 0.
    channel.workingModeId = 0;
    channel.sensorTypId = 10;
    channel.rangeUnitsId = 0;
    ApplyDefaultRange(catalogues, Family7230, channel);
    QCOMPARE(channel.rangeBegin, 373000);
    QCOMPARE(channel.rangeEnd, 2094000);

    ChannelParameters frequency;
    frequency.workingModeId = 1;
    frequency.sensorTypId = 1; // contact: up to 100 Hz
    frequency.rangeUnitsId = 1;
    ApplyDefaultRange(catalogues, Family7210, frequency);
    QCOMPARE(frequency.rangeBegin, 0);
    QCOMPARE(frequency.rangeEnd, 100000);

    ChannelParameters limits;
    limits.rangeEnd = 5;
    ApplyDefaultRange(catalogues, Family7220, limits);
    QCOMPARE(limits.rangeEnd, 5);
}

void TestParamsValues::catalogueTextFollowsTheLanguage()
{
    ParamsProject project;
    const ParameterRow *row = project.catalogues().RowOfCode("CircuitTypes", 0);
    QVERIFY(row);
    QCOMPARE(CatalogueText(*row, "Name"), QString("2-wire"));
    QVERIFY(Language::load(2));
    QCOMPARE(CatalogueText(*row, "Name"), QString("2-Leiter"));
    QVERIFY(Language::load(5));
    QCOMPARE(CatalogueText(*row, "Name"), QString("2 hilos"));
    const ParameterRow *sensor = project.catalogues().RowOfCode("SensorTypes7230", 0);
    QCOMPARE(CatalogueText(*sensor, "Name2"), QString("Potenciómetro 100...500 Ohm"));
    QVERIFY(Language::load(1));
    QCOMPARE(CatalogueText(*sensor, "Name2"), QString("Potentiometer 100...500 Ohm"));
}

QTEST_GUILESS_MAIN(TestParamsValues)
#include "test_params_values.moc"
