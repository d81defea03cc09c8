#include "db/catalogue_fixture.h"

#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>

namespace {

const QString connectionName = QStringLiteral("reference-catalogue");

int intOf(const QVariantMap &row, const QString &column)
{
    return row.value(column).toInt();
}

bool flag(const QVariantMap &row, const QString &column)
{
    return row.value(column).toInt() != 0;
}

QString outside(const QString &what, long long value, long long low, long long high)
{
    if (value >= low && value <= high)
        return {};
    return QStringLiteral("%1 %2 outside %3..%4").arg(what).arg(value).arg(low).arg(high);
}

} // namespace

bool ReferenceCatalogue::load(QString *error)
{
    const QString path = QDir(TestSupport::binDirectory()).filePath(QStringLiteral("zelnor-wizard.vor"));
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("no reference database at %1").arg(path);
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            for (const QString &table : catalogueTables()) {
                QSqlQuery query(db);
                if (!query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY ID").arg(table))) {
                    *error = QStringLiteral("%1: %2").arg(table, query.lastError().text());
                    break;
                }
                QList<QVariantMap> &rows = m_tables[table];
                while (query.next()) {
                    QVariantMap row;
                    const QSqlRecord record = query.record();
                    for (int i = 0; i < record.count(); ++i)
                        row.insert(record.fieldName(i), record.value(i));
                    rows << row;
                }
            }
            QSqlQuery sequences(db);
            if (error->isEmpty() && sequences.exec(QStringLiteral("SELECT SeqName, ID FROM IDSequences"))) {
                while (sequences.next())
                    m_sequences.insert(sequences.value(0).toString(), sequences.value(1).toInt());
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connectionName);
    return error->isEmpty();
}

const QList<QVariantMap> &ReferenceCatalogue::rows(const QString &table) const
{
    static const QList<QVariantMap> none;
    const auto it = m_tables.constFind(table);
    return it == m_tables.constEnd() ? none : *it;
}

QStringList ReferenceCatalogue::catalogueTables()
{
    return {QStringLiteral("ModuleTypes7230"),    QStringLiteral("ModuleTypes7210"),
            QStringLiteral("ModuleTypes7220"),    QStringLiteral("WorkingModes7230"),
            QStringLiteral("WorkingModes7210"),   QStringLiteral("MeasuredUnits7230"),
            QStringLiteral("MeasuredUnits7210"),  QStringLiteral("SensorTypes7230"),
            QStringLiteral("SensorTypes7210"),    QStringLiteral("CircuitTypes"),
            QStringLiteral("ImpulseType"),        QStringLiteral("RangeTable7230"),
            QStringLiteral("RangeTable7210"),     QStringLiteral("ComparePlaceTC"),
            QStringLiteral("OutputSignalType"),   QStringLiteral("RelayLimitingValues"),
            QStringLiteral("RelayProtection"),    QStringLiteral("DefaultModules7230"),
            QStringLiteral("DefaultModules7210"), QStringLiteral("DefaultModules7220"),
            QStringLiteral("DefaultSignals")};
}

QString ReferenceCatalogue::typeTable(Family family)
{
    return QStringLiteral("ModuleTypes") + familyNumber(family);
}

QString ReferenceCatalogue::defaultsTable(Family family)
{
    return QStringLiteral("DefaultModules") + familyNumber(family);
}

int ReferenceCatalogue::typeIdBase(Family family)
{
    static const int bases[] = {1, 33, 65};
    return bases[family];
}

QString ReferenceCatalogue::familyNumber(Family family)
{
    static const char *const numbers[] = {"7230", "7210", "7220"};
    return QString::fromLatin1(numbers[family]);
}

QList<int> ReferenceCatalogue::offeredWorkingModes(Family family, int tc) const
{
    QList<int> out;
    if (family == F7220)
        return out;
    const QList<QVariantMap> &modes = rows(QStringLiteral("WorkingModes") + familyNumber(family));
    for (int code = 0; code < modes.size(); ++code) {
        const QVariantMap &row = modes[code];
        const bool offered = family == F7210 || (tc == 0   ? flag(row, QStringLiteral("Condition1"))
                                                 : tc == 1 ? flag(row, QStringLiteral("Condition2"))
                                                           : true);
        if (offered)
            out << code;
    }
    return out;
}

QList<int> ReferenceCatalogue::offeredSensors(Family family, int workingMode) const
{
    QList<int> out;
    if (family == F7220)
        return out;
    static const char *const columns[] = {"Name", "Name2", "Name3"};
    const QString column = family == F7210                        ? QStringLiteral("Name")
                           : workingMode >= 0 && workingMode <= 2 ? QString::fromLatin1(columns[workingMode])
                                                                  : QString();
    if (column.isEmpty())
        return out;
    const QList<QVariantMap> &sensors = rows(QStringLiteral("SensorTypes") + familyNumber(family));
    for (int code = 0; code < sensors.size(); ++code) {
        if (!sensors[code].value(column).toString().isEmpty())
            out << code;
    }
    return out;
}

QList<int> ReferenceCatalogue::offeredUnits(Family family, int workingMode) const
{
    QList<int> out;
    if (family == F7220 || workingMode < 0)
        return out;
    const int condition = family == F7230 ? workingMode + 1 : std::min(workingMode, 2) + 1;
    if (condition > 3)
        return out;
    const QList<QVariantMap> &units = rows(QStringLiteral("MeasuredUnits") + familyNumber(family));
    for (int code = 0; code < units.size(); ++code) {
        if (flag(units[code], QStringLiteral("Condition%1").arg(condition)))
            out << code;
    }
    return out;
}

QList<int> ReferenceCatalogue::offeredCircuits(int workingMode) const
{
    QList<int> out;
    const QList<QVariantMap> &circuits = rows(QStringLiteral("CircuitTypes"));
    for (int code = 0; code < circuits.size(); ++code) {
        const int id = code + 1;
        if (circuits[code].value(QStringLiteral("Name")).toString().isEmpty())
            continue;
        if (workingMode == 1 && (id == 1 || id == 3))
            continue;
        out << code;
    }
    return out;
}

QList<int> ReferenceCatalogue::offeredOutputValues(int outputSignal) const
{
    QList<int> out;
    for (const QVariantMap &row : rows(QStringLiteral("OutputSignalType"))) {
        if (outputSignal != 0 && intOf(row, QStringLiteral("Condition1")) == outputSignal)
            out << intOf(row, QStringLiteral("Value"));
    }
    return out;
}

bool ReferenceCatalogue::relayFunctionOffered(int function) const
{
    const std::optional<QVariantMap> row = rowById(QStringLiteral("RelayLimitingValues"), function + 5);
    return row && !row->value(QStringLiteral("Name")).toString().isEmpty();
}

int ReferenceCatalogue::unitFactor(Family family, int unitCode) const
{
    if (family == F7220)
        return 1;
    const std::optional<QVariantMap> row =
        rowById(QStringLiteral("MeasuredUnits") + familyNumber(family), unitCode + 1);
    return row ? intOf(*row, QStringLiteral("Digits")) : 1;
}

QString ReferenceCatalogue::unitName(Family family, int unitCode) const
{
    const std::optional<QVariantMap> row =
        rowById(QStringLiteral("MeasuredUnits") + familyNumber(family), unitCode + 1);
    return row ? row->value(QStringLiteral("Name")).toString() : QString();
}

std::optional<QVariantMap> ReferenceCatalogue::rangeRow(Family family, int mode, int sensor, int unit,
                                                        bool wildcard) const
{
    const QList<QVariantMap> &ranges = rows(QStringLiteral("RangeTable") + familyNumber(family));
    auto find = [&](int sensorCode) -> std::optional<QVariantMap> {
        for (const QVariantMap &row : ranges) {
            if (intOf(row, QStringLiteral("WorkingModeID")) == mode &&
                intOf(row, QStringLiteral("SensorTypeID")) == sensorCode &&
                intOf(row, QStringLiteral("MeasuredUnitID")) == unit)
                return row;
        }
        return std::nullopt;
    };
    std::optional<QVariantMap> exact = find(sensor);
    if (exact || !wildcard)
        return exact;
    return find(-1);
}

std::optional<QVariantMap> ReferenceCatalogue::rowById(const QString &table, int id) const
{
    for (const QVariantMap &row : rows(table)) {
        if (intOf(row, QStringLiteral("ID")) == id)
            return row;
    }
    return std::nullopt;
}

bool ReferenceCatalogue::isSil2(Family family, const QVariantMap &type)
{
    if (family == F7230) {
        const QString name = type.value(QStringLiteral("Name")).toString();
        return name.endsWith(QLatin1Char('3')) || name.endsWith(QLatin1Char('4'));
    }
    const int id = intOf(type, QStringLiteral("ID"));
    return family == F7220 && id >= 67 && id <= 70;
}

bool ReferenceCatalogue::isLiveZero(Family family, int typeId)
{
    return family == F7220 && (typeId == 69 || typeId == 70);
}

namespace {

using Family = ReferenceCatalogue::Family;

struct SignalCheck {
    const ReferenceCatalogue &cat;
    Family family;
    const QVariantMap &type;
    const QVariantMap &signal;
    QStringList faults;

    int v(const char *column) const { return intOf(signal, QString::fromLatin1(column)); }
    int t(const char *column) const { return intOf(type, QString::fromLatin1(column)); }
    void add(const QString &fault)
    {
        if (!fault.isEmpty())
            faults << fault;
    }
    void offered(const QString &what, int code, const QList<int> &choices)
    {
        if (!choices.contains(code))
            faults << QStringLiteral("%1 %2 is not offered").arg(what).arg(code);
    }

    void output()
    {
        if (t("OutputSignal") == 0)
            return;
        offered(QStringLiteral("output signal type"), v("OutputSignalType"),
                cat.offeredOutputValues(t("OutputSignal")));
        const int stop = v("OutputErrorStop");
        if (stop != 0 && stop != 1 && stop != 8)
            faults << QStringLiteral("output error behaviour %1 is none of the page's").arg(stop);
        if (stop == 0 || stop == 1)
            add(outside(QStringLiteral("output error value"), v("OutputErrorValue"), 0, 23000000));
    }

    void input()
    {
        const int mode = v("WorkingModeID");
        offered(QStringLiteral("working mode"), mode, cat.offeredWorkingModes(family, t("TC")));
        offered(QStringLiteral("sensor type"), v("SensorTypID"), cat.offeredSensors(family, mode));
        offered(QStringLiteral("unit"), v("RangeUnitsID"), cat.offeredUnits(family, mode));
        add(outside(QStringLiteral("unit"), v("RangeUnitsID"), 0, 5));
        if (mode != 2) {
            add(outside(QStringLiteral("circuit type"), v("TypeOfCircuitID"), 0, 2));
            if (family == Family::F7230)
                offered(QStringLiteral("circuit type"), v("TypeOfCircuitID"), cat.offeredCircuits(mode));
        }
        if (mode == 0 && v("TypeOfCircuitID") == 0)
            add(outside(QStringLiteral("wire resistance"), v("WireResistance"), 0, 10000));
        if (mode == 2) {
            add(outside(QStringLiteral("comparison place"), v("TCtypeID"), 0, 2));
            if (family == Family::F7230 && v("TCtypeID") == 0)
                faults << QStringLiteral("comparison place code 0 is refused");
            if (family == Family::F7230 && v("TCtypeID") == 2)
                comparisonTemperature();
        }
    }

    void comparisonTemperature()
    {
        const int unit = v("RangeUnitsID");
        const int temp = v("ComparePlaceTemp");
        if (unit == 0 || unit == 3)
            add(outside(QStringLiteral("comparison temperature"), temp, -40000, 85000));
        else if (unit == 1)
            add(outside(QStringLiteral("comparison temperature"), temp, -40000, 185000));
        else if (unit == 2)
            add(outside(QStringLiteral("comparison temperature"), temp, 233160, 358160));
    }

    void range7230()
    {
        const std::optional<QVariantMap> row =
            cat.rangeRow(family, v("WorkingModeID"), v("SensorTypID"), v("RangeUnitsID"), true);
        if (!row) {
            faults << QStringLiteral("no range row, so the range is never checked");
            return;
        }
        const long long scale = 100LL * cat.unitFactor(family, v("RangeUnitsID"));
        const long long b = v("RangeBegin") / scale;
        const long long e = v("RangeEnd") / scale;
        const int low = intOf(*row, QStringLiteral("RangeBeginFrom"));
        const int high = intOf(*row, QStringLiteral("RangeEndTo"));
        add(outside(QStringLiteral("range begin"), b, low, high));
        add(outside(QStringLiteral("range end"), e, low, high));
        if (v("RangeBegin") >= v("RangeEnd"))
            faults << QStringLiteral("range begin not below its end");
        if (e < b + intOf(*row, QStringLiteral("MinimalRange")))
            faults << QStringLiteral("range narrower than its minimal span");
    }

    void range7210()
    {
        const int mode = v("WorkingModeID");
        const long long f = cat.unitFactor(family, v("RangeUnitsID"));
        const long long begin = v("RangeBegin");
        const long long end = v("RangeEnd");
        const std::optional<QVariantMap> row =
            cat.rangeRow(family, mode, v("SensorTypID"), v("RangeUnitsID"), false);
        if (!row) {
            faults << QStringLiteral("no range row, so the range is never checked");
            return;
        }
        if (mode == 1) {
            if (begin < 0 || end < begin || end > f * 1000 || end - begin < static_cast<long long>(f * 0.01))
                faults << QStringLiteral("frequency range outside 0...1000 Hz");
            return;
        }
        if (begin != 0)
            add(outside(QStringLiteral("range begin"), begin / f,
                        intOf(*row, QStringLiteral("RangeBeginFrom")),
                        intOf(*row, QStringLiteral("RangeBeginTo"))));
        if (end / f < intOf(*row, QStringLiteral("RangeEndFrom")) ||
            static_cast<double>(end) / f > intOf(*row, QStringLiteral("RangeEndTo")))
            faults << QStringLiteral("range end outside its row");
        if (begin >= end)
            faults << QStringLiteral("range begin not below its end");
        if (end / f < begin / f + intOf(*row, QStringLiteral("MinimalRange")))
            faults << QStringLiteral("range narrower than its minimal span");
    }

    void relay(int n)
    {
        const QString prefix = QStringLiteral("Relay%1").arg(n);
        const int function = intOf(signal, prefix + QStringLiteral("LimitValue"));
        const int state = intOf(signal, prefix + QStringLiteral("AgainSettingProtection"));
        const int h = intOf(signal, prefix + QStringLiteral("Hysteresis"));
        const int m = intOf(signal, prefix + QStringLiteral("ActiveRangeValue"));
        add(outside(prefix + QStringLiteral(" function"), function, 0, 7));
        add(outside(prefix + QStringLiteral(" state"), state, 0, 3));
        if (state != 0 && !cat.relayFunctionOffered(function))
            faults << QStringLiteral("%1 function %2 has no text to choose").arg(prefix).arg(function);
        if (state == 2 && family != Family::F7210)
            faults << QStringLiteral("%1 state 2 exists on 7210 modules only").arg(prefix);
        if (family != Family::F7220) {
            add(outside(prefix + QStringLiteral(" hysteresis"), h, 1, 1000));
            add(outside(prefix + QStringLiteral(" switching value"), m, h, 10000 - h));
            return;
        }
        add(outside(prefix + QStringLiteral(" hysteresis"), h, 24, 2400));
        const bool liveZero = ReferenceCatalogue::isLiveZero(family, t("ID"));
        const bool rising = function == 0 || function == 2;
        const int low = liveZero ? 3800 : (rising ? 50 : 100);
        const int high = liveZero ? 20500 : 24000;
        add(outside(prefix + QStringLiteral(" switching value"), m, rising ? h + low : low,
                    rising ? high : high - h));
    }

    void frequencyExtras()
    {
        if (t("LimitValue") != 0)
            add(outside(QStringLiteral("startup delay"), v("Anlaufverzoegurung"), 0, 1000));
        if (t("HaveImpulseOutput") != 0 && v("WorkingModeID") > 0 && v("Impulsausgangaktiv") != 0) {
            const double f = static_cast<double>(v("RangeEnd")) / cat.unitFactor(family, v("RangeUnitsID"));
            const int d = v("Zahlteilerkvocient");
            if (d < 1 || d > 20000 || f / d > 5000)
                faults << QStringLiteral("impulse output divisor %1 too small").arg(d);
        }
        if (t("HaveImpulseOutput") == 0 && v("Impulsausgangaktiv") != 0)
            faults << QStringLiteral("impulse output active on a type without one");
    }

    void sil2()
    {
        if (!ReferenceCatalogue::isSil2(family, type))
            return;
        if (family == Family::F7230) {
            static const int limits[] = {11, 3, 10};
            const int mode = v("WorkingModeID");
            if (mode >= 0 && mode <= 2 && v("SensorTypID") > limits[mode])
                faults << QStringLiteral("SIL 2: reserve sensor type %1").arg(v("SensorTypID"));
        }
        if (t("OutputSignal") != 0) {
            if (v("OutputErrorStop") == 0 && v("OutputErrorValue") > 2400000)
                faults << QStringLiteral("SIL 2: output fault value above 2.4 mA");
            if (v("OutputErrorStop") == 1 || v("OutputErrorStop") == 8)
                faults << QStringLiteral("SIL 2: output error behaviour %1").arg(v("OutputErrorStop"));
        }
        if (t("LimitValue") != 0) {
            for (int n = 1; n <= 2; ++n) {
                const QString prefix = QStringLiteral("Relay%1").arg(n);
                const int function = intOf(signal, prefix + QStringLiteral("LimitValue"));
                if (intOf(signal, prefix + QStringLiteral("AgainSettingProtection")) > 0 && function < 2)
                    faults << QStringLiteral("SIL 2: %1 function %2").arg(prefix).arg(function);
            }
        }
    }

    void run()
    {
        output();
        if (family != Family::F7220) {
            input();
            if (family == Family::F7230)
                range7230();
            else
                range7210();
        }
        if (t("LimitValue") != 0) {
            relay(1);
            relay(2);
        }
        if (family == Family::F7210)
            frequencyExtras();
        sil2();
    }
};

} // namespace

QStringList signalFaults(const ReferenceCatalogue &cat, ReferenceCatalogue::Family family,
                         const QVariantMap &type, const QVariantMap &signal)
{
    SignalCheck check{cat, family, type, signal, {}};
    check.run();
    return check.faults;
}
