#include "db/catalogue_fixture.h"

#include <QtTest>

#include <cmath>

// The catalogues of the reference database: numbering, fixed codes, texts in
// the five languages and the measuring ranges behind every sensor choice.
class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rowsAreNumberedFromOneWithoutGaps();
    void sequencesContinueBehindTheRows();
    void fixedCodesKeepTheirMeaning();
    void outputSignalTypesFollowTheModuleOutput();
    void everyTextExistsInAllFiveLanguages();
    void textsFitTheirColumns();
    void sil2ReserveSensorTypesExist();
    void rangeRowsAreOrderedWithAPositiveSpan();
    void rangeRowsNameOfferedChoices();
    void everyOfferedSensorHasARangeForEveryUnit();
    void temperatureRowsAgreeAcrossUnits();
    void rangeValuesFitTheModuleFields();

private:
    using Family = ReferenceCatalogue::Family;
    ReferenceCatalogue m_cat;
};

namespace {

int intOf(const QVariantMap &row, const char *column)
{
    return row.value(QString::fromLatin1(column)).toInt();
}

QString textOf(const QVariantMap &row, const QString &column)
{
    return row.value(column).toString();
}

const QStringList languageSuffixes = {QString(), QStringLiteral("L2"), QStringLiteral("L3"),
                                      QStringLiteral("L4"), QStringLiteral("L5")};

// Tables with texts in five languages and the base columns of those texts.
QList<QPair<QString, QStringList>> languageColumns()
{
    const QStringList name{QStringLiteral("Name")};
    const QStringList threeNames{QStringLiteral("Name"), QStringLiteral("Name2"), QStringLiteral("Name3")};
    return {{QStringLiteral("WorkingModes7230"), name},      {QStringLiteral("WorkingModes7210"), name},
            {QStringLiteral("MeasuredUnits7230"), name},     {QStringLiteral("MeasuredUnits7210"), name},
            {QStringLiteral("SensorTypes7230"), threeNames}, {QStringLiteral("SensorTypes7210"), threeNames},
            {QStringLiteral("CircuitTypes"), name},          {QStringLiteral("ImpulseType"), name},
            {QStringLiteral("ComparePlaceTC"), name},        {QStringLiteral("OutputSignalType"), name},
            {QStringLiteral("RelayLimitingValues"), name},   {QStringLiteral("RelayProtection"), name}};
}

// An empty text means "not offered" only in these two catalogues: a sensor
// type that a working mode does not have, and a relay function the modules
// do not know.
bool emptyTextAllowed(const QString &table, const QString &column, int id)
{
    if (table == QLatin1String("SensorTypes7230"))
        return column != QLatin1String("Name");
    if (table == QLatin1String("RelayLimitingValues"))
        return id != 1 && (id < 5 || id > 8);
    return false;
}

} // namespace

void TestCatalogue::initTestCase()
{
    QString error;
    QVERIFY2(m_cat.load(&error), qPrintable(error));
}

void TestCatalogue::rowsAreNumberedFromOneWithoutGaps()
{
    // A code is the row position; the type tables begin at their menu base.
    for (const QString &table : ReferenceCatalogue::catalogueTables()) {
        if (table.startsWith(QLatin1String("ModuleTypes")) ||
            table.startsWith(QLatin1String("DefaultModules")))
            continue;
        const QList<QVariantMap> &rows = m_cat.rows(table);
        QVERIFY2(!rows.isEmpty(), qPrintable(table));
        for (int i = 0; i < rows.size(); ++i) {
            QVERIFY2(intOf(rows[i], "ID") == i + 1,
                     qPrintable(QStringLiteral("%1 row %2").arg(table).arg(i + 1)));
            QVERIFY2(intOf(rows[i], "ParentID") == 1, qPrintable(table));
        }
    }
}

void TestCatalogue::sequencesContinueBehindTheRows()
{
    // A row added later takes its ID from the table's sequence and must not
    // meet one that is already there.
    for (const QString &table : ReferenceCatalogue::catalogueTables()) {
        int highest = 0;
        for (const QVariantMap &row : m_cat.rows(table))
            highest = std::max(highest, intOf(row, "ID"));
        QVERIFY2(m_cat.sequenceCounter(table) > highest, qPrintable(table));
    }
}

void TestCatalogue::fixedCodesKeepTheirMeaning()
{
    QCOMPARE(m_cat.rows(QStringLiteral("WorkingModes7230")).size(), 3);
    QCOMPARE(m_cat.rows(QStringLiteral("WorkingModes7210")).size(), 5);
    QCOMPARE(m_cat.rows(QStringLiteral("CircuitTypes")).size(), 3);
    QCOMPARE(m_cat.rows(QStringLiteral("ComparePlaceTC")).size(), 3);
    QCOMPARE(m_cat.rows(QStringLiteral("ImpulseType")).size(), 2);
    QCOMPARE(m_cat.rows(QStringLiteral("RelayProtection")).size(), 4);
    QCOMPARE(m_cat.rows(QStringLiteral("RelayLimitingValues")).size(), 12);

    // A potentiometer is wired 3-wire only; resistance inputs have all three.
    QCOMPARE(m_cat.offeredCircuits(1), QList<int>{1});
    QCOMPARE(m_cat.offeredCircuits(0), (QList<int>{0, 1, 2}));

    // Units 0 to 2 are the temperatures in tenths, 3 shows three decimals,
    // 4 and 5 two; no family has more than the six codes the check allows.
    const QStringList temperatures{QStringLiteral("°C"), QStringLiteral("°F"), QStringLiteral("K")};
    for (int code = 0; code < 3; ++code) {
        QCOMPARE(m_cat.unitName(Family::F7230, code), temperatures[code]);
        QCOMPARE(m_cat.unitFactor(Family::F7230, code), 10);
    }
    QCOMPARE(m_cat.unitFactor(Family::F7230, 3), 1000);
    QCOMPARE(m_cat.unitFactor(Family::F7230, 4), 100);
    QCOMPARE(m_cat.unitFactor(Family::F7230, 5), 100);
    QVERIFY(m_cat.rows(QStringLiteral("MeasuredUnits7230")).size() <= 6);
    QVERIFY(m_cat.rows(QStringLiteral("MeasuredUnits7210")).size() <= 6);
    // A 7210 unit of code 0 shows whole numbers: the counter counts pulses.
    QCOMPARE(m_cat.unitFactor(Family::F7210, 0), 1);
    for (const QVariantMap &unit : m_cat.rows(QStringLiteral("MeasuredUnits7210")))
        QVERIFY(QList<int>({1, 10, 100, 1000}).contains(intOf(unit, "Digits")));

    // Thermocouples live in working mode 2 with a temperature unit.
    for (int code = 0; code < 3; ++code)
        QVERIFY(m_cat.offeredUnits(Family::F7230, 2).contains(code));

    // Relay row 1 is "not used", rows 5 to 8 the functions the modules know.
    QVERIFY(!textOf(m_cat.rows(QStringLiteral("RelayLimitingValues"))[0], QStringLiteral("Name")).isEmpty());
    for (int function = 0; function < 8; ++function)
        QCOMPARE(m_cat.relayFunctionOffered(function), function < 4);
}

void TestCatalogue::outputSignalTypesFollowTheModuleOutput()
{
    // Current and voltage outputs offer the values 0 and 1 each; the 7220
    // row (Condition1 3) names the repeated input.
    QList<int> current = m_cat.offeredOutputValues(1);
    QList<int> voltage = m_cat.offeredOutputValues(2);
    std::sort(current.begin(), current.end());
    std::sort(voltage.begin(), voltage.end());
    QCOMPARE(current, (QList<int>{0, 1}));
    QCOMPARE(voltage, (QList<int>{0, 1}));
    QVERIFY(m_cat.offeredOutputValues(0).isEmpty());
    bool tripAmplifierRow = false;
    for (const QVariantMap &row : m_cat.rows(QStringLiteral("OutputSignalType"))) {
        QVERIFY(QList<int>({1, 2, 3}).contains(intOf(row, "Condition1")));
        QVERIFY(intOf(row, "Value") == 0 || intOf(row, "Value") == 1);
        tripAmplifierRow = tripAmplifierRow || intOf(row, "Condition1") == 3;
    }
    QVERIFY(tripAmplifierRow);
}

void TestCatalogue::everyTextExistsInAllFiveLanguages()
{
    for (const auto &[table, bases] : languageColumns()) {
        for (const QVariantMap &row : m_cat.rows(table)) {
            const int id = intOf(row, "ID");
            for (const QString &base : bases) {
                int filled = 0;
                for (const QString &suffix : languageSuffixes)
                    filled += textOf(row, base + suffix).trimmed().isEmpty() ? 0 : 1;
                const QString where = QStringLiteral("%1 row %2 column %3").arg(table).arg(id).arg(base);
                QVERIFY2(filled == 0 || filled == 5,
                         qPrintable(where + QStringLiteral(": some languages empty")));
                QVERIFY2(filled == 5 || emptyTextAllowed(table, base, id),
                         qPrintable(where + QStringLiteral(": empty")));
            }
        }
    }
}

void TestCatalogue::textsFitTheirColumns()
{
    // The program cuts a longer text without a word.
    for (const QString &table : ReferenceCatalogue::catalogueTables()) {
        const int descriptionWidth = table.startsWith(QLatin1String("RangeTable")) ? 50 : 250;
        for (const QVariantMap &row : m_cat.rows(table)) {
            for (auto it = row.constBegin(); it != row.constEnd(); ++it) {
                if (it.value().typeId() != QMetaType::QString)
                    continue;
                const int width = it.key() == QLatin1String("Description") ? descriptionWidth : 50;
                QVERIFY2(it.value().toString().size() <= width,
                         qPrintable(QStringLiteral("%1.%2: %3").arg(table, it.key(), it.value().toString())));
            }
        }
    }
}

void TestCatalogue::sil2ReserveSensorTypesExist()
{
    // SIL 2 types accept the codes up to 11, 3 and 10; the rows behind them
    // are offered to the other types, and no code below them is a gap.
    const int limits[] = {11, 3, 10};
    for (int mode = 0; mode < 3; ++mode) {
        const QList<int> offered = m_cat.offeredSensors(Family::F7230, mode);
        QVERIFY2(offered.size() > limits[mode] + 1, qPrintable(QStringLiteral("mode %1").arg(mode)));
        for (int code = 0; code <= limits[mode]; ++code)
            QVERIFY2(offered.contains(code),
                     qPrintable(QStringLiteral("mode %1 code %2").arg(mode).arg(code)));
    }
}

void TestCatalogue::rangeRowsAreOrderedWithAPositiveSpan()
{
    for (const QString &table : {QStringLiteral("RangeTable7230"), QStringLiteral("RangeTable7210")}) {
        for (const QVariantMap &row : m_cat.rows(table)) {
            const QString where = QStringLiteral("%1 %2").arg(table, textOf(row, QStringLiteral("Name")));
            const int beginFrom = intOf(row, "RangeBeginFrom");
            const int beginTo = intOf(row, "RangeBeginTo");
            const int endFrom = intOf(row, "RangeEndFrom");
            const int endTo = intOf(row, "RangeEndTo");
            const int span = intOf(row, "MinimalRange");
            QVERIFY2(span > 0, qPrintable(where));
            QVERIFY2(beginFrom <= beginTo && endFrom <= endTo, qPrintable(where));
            QVERIFY2(beginFrom + span <= endFrom && beginTo + span <= endTo, qPrintable(where));
        }
    }
}

void TestCatalogue::rangeRowsNameOfferedChoices()
{
    // A row for a working mode, sensor or unit that is never offered together
    // is dead; two rows for one choice would hide the second.
    for (Family family : {Family::F7230, Family::F7210}) {
        const QString table = QStringLiteral("RangeTable") + ReferenceCatalogue::familyNumber(family);
        QSet<QString> seen;
        for (const QVariantMap &row : m_cat.rows(table)) {
            const int mode = intOf(row, "WorkingModeID");
            const int sensor = intOf(row, "SensorTypeID");
            const int unit = intOf(row, "MeasuredUnitID");
            const QString where = QStringLiteral("%1 %2").arg(table, textOf(row, QStringLiteral("Name")));
            QVERIFY2(m_cat.offeredUnits(family, mode).contains(unit), qPrintable(where));
            if (sensor == -1)
                QVERIFY2(family == Family::F7230, qPrintable(where + QStringLiteral(": wildcard not read")));
            else
                QVERIFY2(m_cat.offeredSensors(family, mode).contains(sensor), qPrintable(where));
            const QString key = QStringLiteral("%1/%2/%3").arg(mode).arg(sensor).arg(unit);
            QVERIFY2(!seen.contains(key), qPrintable(where + QStringLiteral(": twice")));
            seen.insert(key);
        }
    }
}

void TestCatalogue::everyOfferedSensorHasARangeForEveryUnit()
{
    // 7230: what the range check finds (own row, else the wildcard), and
    // a row of its own in some unit so that choosing the sensor sets a range.
    for (int mode = 0; mode < 3; ++mode) {
        QVERIFY(
            m_cat.rangeRow(Family::F7230, mode, -1, m_cat.offeredUnits(Family::F7230, mode).value(0), false));
        for (int sensor : m_cat.offeredSensors(Family::F7230, mode)) {
            bool ownRow = false;
            for (int unit : m_cat.offeredUnits(Family::F7230, mode)) {
                const QString where =
                    QStringLiteral("7230 mode %1 sensor %2 unit %3").arg(mode).arg(sensor).arg(unit);
                QVERIFY2(m_cat.rangeRow(Family::F7230, mode, sensor, unit, true), qPrintable(where));
                ownRow = ownRow || m_cat.rangeRow(Family::F7230, mode, sensor, unit, false);
            }
            QVERIFY2(ownRow, qPrintable(QStringLiteral("7230 mode %1 sensor %2").arg(mode).arg(sensor)));
        }
    }
    // Temperature sensors have their own row in every temperature unit.
    for (const QVariantMap &row : m_cat.rows(QStringLiteral("RangeTable7230"))) {
        const int sensor = intOf(row, "SensorTypeID");
        if (sensor < 0 || intOf(row, "MeasuredUnitID") != 0)
            continue;
        for (int unit = 1; unit < 3; ++unit)
            QVERIFY(m_cat.rangeRow(Family::F7230, intOf(row, "WorkingModeID"), sensor, unit, false));
    }
    // 7210 reads no wildcard: every choice needs its own row.
    for (int mode = 0; mode < 5; ++mode) {
        QVERIFY(!m_cat.offeredUnits(Family::F7210, mode).isEmpty());
        for (int sensor : m_cat.offeredSensors(Family::F7210, mode)) {
            for (int unit : m_cat.offeredUnits(Family::F7210, mode)) {
                const QString where =
                    QStringLiteral("7210 mode %1 sensor %2 unit %3").arg(mode).arg(sensor).arg(unit);
                QVERIFY2(m_cat.rangeRow(Family::F7210, mode, sensor, unit, false), qPrintable(where));
            }
        }
    }
}

void TestCatalogue::temperatureRowsAgreeAcrossUnits()
{
    // The Fahrenheit and kelvin rows of a sensor are its Celsius row
    // converted, rounded outwards to whole degrees.
    auto fahrenheit = [](double c) { return c * 9.0 / 5.0 + 32.0; };
    auto kelvin = [](double c) { return c + 273.16; };
    for (const QVariantMap &celsius : m_cat.rows(QStringLiteral("RangeTable7230"))) {
        if (intOf(celsius, "MeasuredUnitID") != 0)
            continue;
        const int mode = intOf(celsius, "WorkingModeID");
        const int sensor = intOf(celsius, "SensorTypeID");
        const double low = intOf(celsius, "RangeBeginFrom");
        const double high = intOf(celsius, "RangeEndTo");
        for (int unit = 1; unit < 3; ++unit) {
            const std::optional<QVariantMap> other = m_cat.rangeRow(Family::F7230, mode, sensor, unit, false);
            QVERIFY(other);
            const auto convert = unit == 1 ? std::function<double(double)>(fahrenheit) : kelvin;
            const QString where = QStringLiteral("%1 / %2").arg(textOf(celsius, QStringLiteral("Name")),
                                                                textOf(*other, QStringLiteral("Name")));
            QVERIFY2(intOf(*other, "RangeBeginFrom") == std::floor(convert(low) + 1e-9), qPrintable(where));
            QVERIFY2(intOf(*other, "RangeEndTo") == std::ceil(convert(high) - 1e-9), qPrintable(where));
        }
    }
}

void TestCatalogue::rangeValuesFitTheModuleFields()
{
    // The project holds a 7230 range value x factor x 100 and a 7210 value
    // x factor in 32 bits; the 7210 range fields take eight characters with
    // three decimals outside the counter.
    for (Family family : {Family::F7230, Family::F7210}) {
        const QString table = QStringLiteral("RangeTable") + ReferenceCatalogue::familyNumber(family);
        for (const QVariantMap &row : m_cat.rows(table)) {
            const long long scale = m_cat.unitFactor(family, intOf(row, "MeasuredUnitID")) *
                                    (family == Family::F7230 ? 100LL : 1LL);
            const long long extreme =
                std::max(std::llabs(intOf(row, "RangeBeginFrom")), std::llabs(intOf(row, "RangeEndTo")));
            QVERIFY2(extreme * scale <= std::numeric_limits<qint32>::max(),
                     qPrintable(textOf(row, QStringLiteral("Name"))));
            if (family == Family::F7210 && intOf(row, "WorkingModeID") > 0)
                QVERIFY2(intOf(row, "RangeEndTo") <= 9999, qPrintable(textOf(row, QStringLiteral("Name"))));
        }
    }
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
