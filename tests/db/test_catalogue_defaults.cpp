#include "db/catalogue_fixture.h"

#include <QtTest>

// The module types of the three families and what a new module of each type
// starts with.
class TestCatalogueDefaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void typeIdsRunFromTheMenuBases();
    void typeNamesLeadWithTheFamilyNumber();
    void typeColumnsHoldTheirCodes();
    void sil2AndLiveZeroTypes();
    void everyTypeHasItsDefaultsRow();
    void everyDefaultSignalValidates();
    void faultsInASignalAreFound();

private:
    using Family = ReferenceCatalogue::Family;
    static constexpr Family families[] = {Family::F7230, Family::F7210, Family::F7220};
    ReferenceCatalogue m_cat;
};

namespace {

int intOf(const QVariantMap &row, const char *column)
{
    return row.value(QString::fromLatin1(column)).toInt();
}

QString nameOf(const QVariantMap &row)
{
    return row.value(QStringLiteral("Name")).toString();
}

} // namespace

void TestCatalogueDefaults::initTestCase()
{
    QString error;
    QVERIFY2(m_cat.load(&error), qPrintable(error));
}

void TestCatalogueDefaults::typeIdsRunFromTheMenuBases()
{
    // The "Add New" entries of a family number their types from the base in
    // table order, and the three ranges never meet.
    const int capacity[] = {32, 32, 60};
    for (Family family : families) {
        const QList<QVariantMap> &types = m_cat.rows(ReferenceCatalogue::typeTable(family));
        QVERIFY(!types.isEmpty());
        QVERIFY(types.size() <= capacity[family]);
        for (int i = 0; i < types.size(); ++i)
            QCOMPARE(intOf(types[i], "ID"), ReferenceCatalogue::typeIdBase(family) + i);
    }
}

void TestCatalogueDefaults::typeNamesLeadWithTheFamilyNumber()
{
    // The module name is the type name after its first blank; the help finds
    // the family there, and after the first character of the type name.
    for (Family family : families) {
        QSet<QString> names;
        for (const QVariantMap &type : m_cat.rows(ReferenceCatalogue::typeTable(family))) {
            const QString name = nameOf(type);
            const int blank = name.indexOf(QLatin1Char(' '));
            QVERIFY2(blank > 0, qPrintable(name));
            QVERIFY2(name.mid(blank + 1).startsWith(ReferenceCatalogue::familyNumber(family)),
                     qPrintable(name));
            QVERIFY2(name.mid(1).trimmed().startsWith(ReferenceCatalogue::familyNumber(family)),
                     qPrintable(name));
            QVERIFY2(!names.contains(name), qPrintable(name));
            names.insert(name);
        }
    }
}

void TestCatalogueDefaults::typeColumnsHoldTheirCodes()
{
    for (Family family : families) {
        for (const QVariantMap &type : m_cat.rows(ReferenceCatalogue::typeTable(family))) {
            const QString name = nameOf(type);
            QVERIFY2(QList<int>({0, 1, 2}).contains(intOf(type, "OutputSignal")), qPrintable(name));
            QVERIFY2(QList<int>({0, 1}).contains(intOf(type, "LimitValue")), qPrintable(name));
            QVERIFY2(QList<int>({0, 1}).contains(intOf(type, "Channels")), qPrintable(name));
            if (family == Family::F7230) {
                // TC 1 types take thermocouples as well; TC 0 types do not.
                const QList<int> modes = m_cat.offeredWorkingModes(family, intOf(type, "TC"));
                QVERIFY2(!modes.isEmpty(), qPrintable(name));
                QCOMPARE(modes.contains(2), intOf(type, "TC") == 1);
            }
            if (family == Family::F7210) {
                QVERIFY2(QList<int>({0, 1}).contains(intOf(type, "HaveImpulseOutput")), qPrintable(name));
                // The impulse output takes the second relay.
                if (intOf(type, "HaveImpulseOutput"))
                    QVERIFY2(intOf(type, "LimitValue") == 1, qPrintable(name));
            }
        }
    }
}

void TestCatalogueDefaults::sil2AndLiveZeroTypes()
{
    // 7230: a SIL 2 type is one whose name ends in 3 or 4; its fault value
    // is limited in mA, so it has no voltage output.
    int sil7230 = 0;
    for (const QVariantMap &type : m_cat.rows(ReferenceCatalogue::typeTable(Family::F7230))) {
        if (!ReferenceCatalogue::isSil2(Family::F7230, type))
            continue;
        ++sil7230;
        QVERIFY2(intOf(type, "OutputSignal") != 2, qPrintable(nameOf(type)));
    }
    QVERIFY(sil7230 > 0);
    QVERIFY(sil7230 < m_cat.rows(ReferenceCatalogue::typeTable(Family::F7230)).size());

    // 7220: 67 to 70 are SIL 2, 69 and 70 the live-zero types, whose output
    // parameters the comparison skips: they have no analogue output.
    for (int id = 67; id <= 70; ++id) {
        const std::optional<QVariantMap> type =
            m_cat.rowById(ReferenceCatalogue::typeTable(Family::F7220), id);
        QVERIFY2(type, qPrintable(QString::number(id)));
        QVERIFY(intOf(*type, "LimitValue") == 1);
        if (id >= 69)
            QCOMPARE(intOf(*type, "OutputSignal"), 0);
    }
    QVERIFY(m_cat.rowById(ReferenceCatalogue::typeTable(Family::F7220), 65));
    QVERIFY(m_cat.rowById(ReferenceCatalogue::typeTable(Family::F7220), 66));
}

void TestCatalogueDefaults::everyTypeHasItsDefaultsRow()
{
    for (Family family : families) {
        const QList<QVariantMap> &types = m_cat.rows(ReferenceCatalogue::typeTable(family));
        const QString defaults = ReferenceCatalogue::defaultsTable(family);
        QCOMPARE(m_cat.rows(defaults).size(), types.size());
        for (const QVariantMap &type : types) {
            const int id = intOf(type, "ID");
            const std::optional<QVariantMap> row = m_cat.rowById(defaults, id);
            QVERIFY2(row, qPrintable(nameOf(type)));
            // Everything from Sequence on is copied into the new module.
            QCOMPARE(intOf(*row, "ModulTypID"), id);
            QCOMPARE(intOf(*row, "DIPSwitch"), 0);
            QVERIFY2(m_cat.rowById(QStringLiteral("DefaultSignals"), intOf(*row, "Ch1SignalID")),
                     qPrintable(nameOf(type)));
            if (intOf(type, "Channels") == 1)
                QVERIFY2(m_cat.rowById(QStringLiteral("DefaultSignals"), intOf(*row, "Ch2SignalID")),
                         qPrintable(nameOf(type)));
            else
                QVERIFY2(intOf(*row, "Ch2SignalID") <= 0, qPrintable(nameOf(type)));
        }
    }
}

void TestCatalogueDefaults::everyDefaultSignalValidates()
{
    int checked = 0;
    for (Family family : families) {
        for (const QVariantMap &type : m_cat.rows(ReferenceCatalogue::typeTable(family))) {
            const std::optional<QVariantMap> row =
                m_cat.rowById(ReferenceCatalogue::defaultsTable(family), intOf(type, "ID"));
            QVERIFY(row);
            for (const char *column : {"Ch1SignalID", "Ch2SignalID"}) {
                const std::optional<QVariantMap> signal =
                    m_cat.rowById(QStringLiteral("DefaultSignals"), intOf(*row, column));
                if (!signal)
                    continue;
                const QStringList faults = signalFaults(m_cat, family, type, *signal);
                QVERIFY2(faults.isEmpty(),
                         qPrintable(nameOf(type) + QStringLiteral(": ") + faults.join("; ")));
                ++checked;
            }
        }
    }
    QVERIFY(checked > 0);
}

void TestCatalogueDefaults::faultsInASignalAreFound()
{
    // The checks above would see a bad default: spoil good ones on purpose.
    auto firstDefault = [this](Family family, int typeId) {
        const QVariantMap row = *m_cat.rowById(ReferenceCatalogue::defaultsTable(family), typeId);
        return *m_cat.rowById(QStringLiteral("DefaultSignals"), intOf(row, "Ch1SignalID"));
    };
    auto typeRow = [this](Family family, int typeId) {
        return *m_cat.rowById(ReferenceCatalogue::typeTable(family), typeId);
    };
    auto faultsWith = [&](Family family, int typeId, const char *column, int value) {
        QVariantMap signal = firstDefault(family, typeId);
        signal.insert(QString::fromLatin1(column), value);
        return signalFaults(m_cat, family, typeRow(family, typeId), signal);
    };

    // A 7230 range below Pt100's -200 °C, and one narrower than 10 K.
    QVERIFY(!faultsWith(Family::F7230, 1, "RangeBegin", -250000).isEmpty());
    QVERIFY(!faultsWith(Family::F7230, 1, "RangeEnd", 5000).isEmpty());
    // A reserve sensor type on a SIL 2 type, but not on its plain twin.
    int sil = 0;
    for (const QVariantMap &type : m_cat.rows(ReferenceCatalogue::typeTable(Family::F7230)))
        sil = sil == 0 && ReferenceCatalogue::isSil2(Family::F7230, type) ? intOf(type, "ID") : sil;
    QVERIFY(sil > 0);
    QVERIFY(!faultsWith(Family::F7230, sil, "SensorTypID", 12).isEmpty());
    QVERIFY(faultsWith(Family::F7230, 1, "SensorTypID", 12).isEmpty());
    // A falling-value relay switching above 20.3 mA: beyond the live-zero
    // bounds of a 7220, within those of the other types.
    QVERIFY(!faultsWith(Family::F7220, 69, "Relay2ActiveRangeValue", 20450).isEmpty());
    QVERIFY(faultsWith(Family::F7220, 65, "Relay2ActiveRangeValue", 20450).isEmpty());
    // A 7210 frequency above 1000 Hz.
    QVERIFY(!faultsWith(Family::F7210, 33, "RangeEnd", 1000001).isEmpty());
}

QTEST_GUILESS_MAIN(TestCatalogueDefaults)
#include "test_catalogue_defaults.moc"
