#include "params/module_types.h"

#include "db/data_error.h"
#include "db/db_strings.h"
#include "db/table_level.h"
#include "params/catalogues.h"
#include "params/parameter_rows.h"

CTableLevel &OpenTableLevel(CLevelList &levels, const QString &table)
{
    CTableLevel *level = levels.FindByTable(table);
    if (!level || !level->GetColumns())
        RaiseDataError(DbStrings::CantOpenRowset);
    return *level;
}

QString ModuleTypeTable(ModuleFamily family)
{
    return TablesOfFamily(family).moduleTypes;
}

std::optional<ModuleTypeInfo> FindModuleType(DbSession &session, CLevelList &levels, qint32 typeId)
{
    for (ModuleFamily family : kModuleFamilies) {
        const ParameterRow row =
            ProjectParameterRows::ReadRowById(session, OpenTableLevel(levels, ModuleTypeTable(family)), typeId);
        if (!row.isValid())
            continue;
        ModuleTypeInfo type;
        type.family = family;
        type.id = typeId;
        type.name = row.textValue("Name");
        type.channelCount = row.intValue("Channels") + 1;
        type.outputSignal = row.intValue("OutputSignal");
        return type;
    }
    return std::nullopt;
}

QString TypeNameAfterBlank(const QString &typeName)
{
    const qsizetype blank = typeName.indexOf(QLatin1Char(' '));
    return blank < 0 ? typeName : typeName.mid(blank + 1);
}

QString TrimSignalName(const QString &name)
{
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1) == QLatin1Char(' '))
        --end;
    return name.left(end);
}

QString ComposeModuleName(const QString &typeName, const QString &signal1, const QString &signal2,
                          int channelCount)
{
    QString name =
        TypeNameAfterBlank(typeName) + QStringLiteral(" - [") + TrimSignalName(signal1) + QLatin1Char(']');
    if (channelCount == 2)
        name += QStringLiteral(" [") + TrimSignalName(signal2) + QLatin1Char(']');
    return name;
}

