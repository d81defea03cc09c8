#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// The catalogue tables of the built reference database, read once and held
// in memory the way the program reads them: rows in ascending ID order, a
// coded value being the row ID minus 1.
class ReferenceCatalogue {
public:
    enum Family { F7230 = 0, F7210 = 1, F7220 = 2 };

    // Opens <bin>/zelnor-wizard.vor read-only; false with a reason otherwise.
    bool load(QString *error);

    const QList<QVariantMap> &rows(const QString &table) const;
    static QStringList catalogueTables();
    // The counter of the identifier sequence of a table, 0 when it has none.
    int sequenceCounter(const QString &table) const { return m_sequences.value(table); }

    static QString typeTable(Family family);
    static QString defaultsTable(Family family);
    static int typeIdBase(Family family);
    static QString familyNumber(Family family);

    // The choices the parameter pages offer, as codes.
    QList<int> offeredWorkingModes(Family family, int tc) const;
    QList<int> offeredSensors(Family family, int workingMode) const;
    QList<int> offeredUnits(Family family, int workingMode) const;
    QList<int> offeredCircuits(int workingMode) const;
    QList<int> offeredOutputValues(int outputSignal) const;
    bool relayFunctionOffered(int function) const;

    int unitFactor(Family family, int unitCode) const;
    QString unitName(Family family, int unitCode) const;
    std::optional<QVariantMap> rangeRow(Family family, int mode, int sensor, int unit, bool wildcard) const;
    std::optional<QVariantMap> rowById(const QString &table, int id) const;

    static bool isSil2(Family family, const QVariantMap &type);
    static bool isLiveZero(Family family, int typeId);

private:
    QHash<QString, QList<QVariantMap>> m_tables;
    QHash<QString, int> m_sequences;
};

// Every check that the parameter validation makes of one channel, applied to
// a stored signal row of the given module type; one line per failed check.
QStringList signalFaults(const ReferenceCatalogue &cat, ReferenceCatalogue::Family family,
                         const QVariantMap &type, const QVariantMap &signal);
