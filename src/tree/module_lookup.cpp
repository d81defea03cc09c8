#include "tree/module_lookup.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "db/table_level.h"
#include "db/variant_value.h"
#include "params/catalogues.h"
#include "params/parameter_rows.h"
#include "tree/document.h"
#include "tree/tree_queries.h"

#include <QSqlQuery>

namespace {
constexpr int kDepths = 4;
} // namespace

QString ModuleLookup::ModuleName(qint32 typeId, const QString &signal1, const QString &signal2)
{
    DbSession *session = m_document.Registry().session();
    CLevelList *levels = m_document.Registry().levels();
    if (!session || !levels)
        return QString();
    try {
        const std::optional<ModuleTypeInfo> type = FindModuleType(*session, *levels, typeId);
        if (!type)
            return QString();
        m_family = type->family;
        return ComposeModuleName(type->name, signal1, signal2, type->channelCount);
    } catch (COLEDBException &error) {
        ReportDataError(error, m_document.ReportErrors());
        return QString();
    }
}

Item *ModuleLookup::FindModuleByValue(const QString &column, const QVariant &value)
{
    DbSession *session = m_document.Registry().session();
    CLevelList *levels = m_document.Registry().levels();
    if (!session || !levels || !value.isValid() || IsDbNull(value))
        return nullptr;
    try {
        for (int depth = 1; depth <= kDepths; ++depth) {
            const QString table = TablesOfFamily(m_family).moduleTablePrefix + QString::number(depth);
            CTableLevel &level = OpenTableLevel(*levels, table);
            if (!level.FindColumn(column))
                return nullptr;
            QSqlQuery query =
                RunStatement(*session, QStringLiteral("SELECT [ID] FROM %1 WHERE [%2] = %3 ORDER BY [ID]")
                                           .arg(table, column, SqlLiteral(value)));
            if (query.next())
                return LoadRowOrRaise(table, query.value(0).toInt());
        }
    } catch (COLEDBException &error) {
        ReportDataError(error, m_document.ReportErrors());
    }
    return nullptr;
}

Item *ModuleLookup::SignalOfChannel(const Item &module, int channel)
{
    if (channel != 1 && channel != 2)
        return nullptr;
    const QVariant id = m_document.GetValue(
        module, channel == 1 ? QStringLiteral("Ch1SignalID") : QStringLiteral("Ch2SignalID"), true);
    if (!id.isValid() || IsDbNull(id) || id.toInt() <= 0)
        return nullptr;
    return LoadRow(QStringLiteral("Signals"), id.toInt());
}

QString ModuleLookup::CatalogueText(const QString &table, qint32 id, const QString &column)
{
    DbSession *session = m_document.Registry().session();
    CLevelList *levels = m_document.Registry().levels();
    if (!session || !levels)
        return QString();
    try {
        const ParameterRow row = ProjectParameterRows::ReadRowById(*session, OpenTableLevel(*levels, table), id);
        return ::CatalogueText(row, column);
    } catch (COLEDBException &error) {
        ReportDataError(error, m_document.ReportErrors());
        return QString();
    }
}

QString ModuleLookup::ProjectFileName() const
{
    const ContainerItem *root = m_document.Root();
    if (!root)
        return QString();
    const QString name = root->values().at(0).toString();
    const qsizetype cut = std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/')));
    return name.mid(cut + 1);
}

Item *ModuleLookup::LoadRow(const QString &table, qint32 id)
{
    try {
        return LoadRowOrRaise(table, id);
    } catch (COLEDBException &error) {
        ReportDataError(error, m_document.ReportErrors());
        return nullptr;
    }
}

std::optional<qint32> ModuleLookup::ParentIdOf(const QString &table, qint32 id)
{
    CTableLevel &level = OpenTableLevel(*m_document.Registry().levels(), table);
    QSqlQuery query = RunStatement(*m_document.Registry().session(),
                                   QStringLiteral("SELECT [%1] FROM %2 WHERE [%3] = %4")
                                       .arg(level.ParentColumnName(), table, level.IdColumnName())
                                       .arg(id));
    if (!query.next())
        return std::nullopt;
    return query.value(0).toInt();
}

Item *ModuleLookup::LoadRowOrRaise(const QString &table, qint32 id)
{
    if (Item *item = m_document.FindRow(table, id, true))
        return item;
    CLevelList *levels = m_document.Registry().levels();
    if (!levels || !m_document.Registry().session() || !m_document.Root())
        return nullptr;
    CTableLevel &level = OpenTableLevel(*levels, table);
    if (level.ParentColumnName().isEmpty())
        return nullptr; // the two top rows are loaded with the tree
    const std::optional<qint32> parentId = ParentIdOf(table, id);
    if (!parentId)
        return nullptr;
    Item *parent = LoadRowOrRaise(level.parentTable(), *parentId);
    if (!parent || !parent->isContainer() || !m_document.EnsureChildren(*parent))
        return nullptr;
    return m_document.FindRow(table, id, true);
}
