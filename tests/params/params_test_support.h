#pragma once

#include "db/db_test_support.h"
#include "db/table_level.h"
#include "log/output_log.h"
#include "params/catalogues.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_rows.h"
#include "support/captured_log.h"
#include "tree/module_lookup.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <memory>

// A project copy with modules made the way the program makes new ones: the
// default module row of the type and its DefaultSignals rows.
class ParamsProject : public ProjectCopy {
public:
    ParamsProject() { m_catalogues.Load(session(), m_levels); }

    CLevelList &levels() { return m_levels; }
    CatalogueSet &catalogues() { return m_catalogues; }
    void reloadCatalogues() { m_catalogues.Load(session(), m_levels); }

    static ModuleFamily familyOfType(int typeId)
    {
        return typeId >= 65 ? Family7220 : typeId >= 33 ? Family7210 : Family7230;
    }
    static QString moduleTable(ModuleFamily family) { return TablesOfFamily(family).moduleTablePrefix + "1"; }

    // Creates a module of the type under the project; returns its ID. The
    // signals are named "<prefix>_CH1" and "<prefix>_CH2".
    int createModule(int typeId, const QString &prefix)
    {
        const ModuleFamily family = familyOfType(typeId);
        const QString defaults = TablesOfFamily(family).defaultModules;
        const int moduleId = ++m_lastModuleId;
        int signalIds[2] = {0, 0};
        for (int channel = 1; channel <= 2; ++channel) {
            const int defaultSignal = scalar(QString("SELECT Ch%1SignalID FROM %2 WHERE ID = %3")
                                                 .arg(channel)
                                                 .arg(defaults)
                                                 .arg(typeId))
                                          .toInt();
            if (defaultSignal <= 0)
                continue;
            signalIds[channel - 1] = ++m_lastSignalId;
            exec(QString("INSERT INTO Signals (ID, ParentID, Name, %1) SELECT %2, 1, '%3_CH%4', %1 FROM "
                         "DefaultSignals WHERE ID = %5")
                     .arg(kSignalValueColumns)
                     .arg(m_lastSignalId)
                     .arg(prefix)
                     .arg(channel)
                     .arg(defaultSignal));
        }
        const QString typeName = scalar(QString("SELECT Name FROM %1 WHERE ID = %2")
                                            .arg(TablesOfFamily(family).moduleTypes)
                                            .arg(typeId))
                                     .toString();
        const bool two = signalIds[1] != 0;
        const QString name = ComposeModuleName(typeName, prefix + "_CH1", prefix + "_CH2", two ? 2 : 1);
        exec(
            QString(
                "INSERT INTO %1 (ID, ParentID, Name, Sequence, Description, ModulTypID, DIPSwitch, Revision, "
                "SerialNr, ModulTag, Ch1SignalID, Ch2SignalID, LastProgramming, Memo) SELECT %2, 1, '%3', "
                "Sequence, Description, ModulTypID, DIPSwitch, Revision, SerialNr, ModulTag, %4, %5, "
                "LastProgramming, Memo FROM %6 WHERE ID = %7")
                .arg(moduleTable(family))
                .arg(moduleId)
                .arg(name)
                .arg(signalIds[0])
                .arg(signalIds[1])
                .arg(defaults)
                .arg(typeId));
        return moduleId;
    }

    std::unique_ptr<ProjectParameterRows> rowsOf(int typeId, int moduleId)
    {
        return std::make_unique<ProjectParameterRows>(session(), m_levels, moduleTable(familyOfType(typeId)),
                                                      moduleId);
    }

    // Every row of every table, as text.
    QString dump()
    {
        QStringList lines;
        QSqlQuery tables(session().database());
        tables.exec("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
        while (tables.next()) {
            const QString table = tables.value(0).toString();
            QSqlQuery rows(session().database());
            rows.exec(QString("SELECT * FROM [%1] ORDER BY 1").arg(table));
            while (rows.next()) {
                QStringList cells{table};
                for (int i = 0; i < rows.record().count(); ++i)
                    cells << rows.value(i).toString();
                lines << cells.join('|');
            }
        }
        return lines.join('\n');
    }

    QList<int> typeIds(ModuleFamily family)
    {
        QList<int> ids;
        QSqlQuery query(session().database());
        query.exec(QString("SELECT ID FROM %1 ORDER BY ID").arg(TablesOfFamily(family).moduleTypes));
        while (query.next())
            ids << query.value(0).toInt();
        return ids;
    }

    static constexpr const char *kSignalValueColumns =
        "Sequence, Description, WorkingModeID, SensorTypID, TypeOfCircuitID, WireResistance, TCtypeID, "
        "ComparePlaceTemp, RangeBegin, RangeEnd, RangeID, RangeUnitsID, OutputSignalType, OutputErrorStop, "
        "OutputErrorValue, Relay1LimitValue, Relay1AgainSettingProtection, Relay1Hysteresis, "
        "Relay1ActiveRangeValue, Relay2LimitValue, Relay2AgainSettingProtection, Relay2Hysteresis, "
        "Relay2ActiveRangeValue, Zaehlerignis, Ueberlauf, Impulsausgangaktiv, Anlaufverzoegurung, "
        "Zahlteilerkvocient";

private:
    CLevelList m_levels;
    CatalogueSet m_catalogues;
    int m_lastModuleId = 1000;
    int m_lastSignalId = 5000;
};

// A module of a project loaded into an editor, as the parameter view holds it.
struct LoadedModule {
    LoadedModule(ParamsProject &project, int typeId, const QString &prefix, int shownChannel = 0)
        : moduleId(project.createModule(typeId, prefix)), rows(project.rowsOf(typeId, moduleId)),
          editor(*rows, project.catalogues(), shownChannel)
    {
        if (!editor.Load())
            qFatal("module of type %d does not load", typeId);
    }
    ChannelParameters &ch(int number) { return *editor.channel(number); }
    ModuleParameters &parameters() { return editor.parameters(); }

    int moduleId;
    std::unique_ptr<ProjectParameterRows> rows;
    ModuleParameterEditor editor;
};
