#include "link/module_block_history.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "db/id_sequence.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {
// Blocks 8 and 9 are live values: nothing to restore.
constexpr int kKeptBlocks = 8;

QString Table()
{
    return QString::fromLatin1(ModuleBlockHistory::kTable);
}

// The blocks as hexadecimal text, one block after the other, blank between;
// text survives every database the project may live in.
QString EncodedBlocks(const CModuleImage &image, ModuleFamily family)
{
    QStringList blocks;
    for (int block = 0; block < kKeptBlocks; ++block)
        blocks << QString::fromLatin1(image.EncodeBlock(block, family).toHex());
    return blocks.join(QLatin1Char(' '));
}

CModuleImage DecodedBlocks(const QString &text)
{
    CModuleImage image;
    const QStringList blocks = text.split(QLatin1Char(' '));
    for (int block = 0; block < kKeptBlocks && block < blocks.size(); ++block)
        image.DecodeBlock(block, QByteArray::fromHex(blocks[block].toLatin1()));
    return image;
}

void Run(DbSession &session, QSqlQuery &query, const QString &statement)
{
    if (!query.prepare(session.Adapt(statement)) || !query.exec())
        RaiseDataError(session.Records(query.lastError()), DbStrings::CantOpenRowset);
}
} // namespace

bool ModuleBlockHistory::TableExists()
{
    const auto columns = m_session.ColumnSchema(Table());
    return columns && !columns->empty();
}

void ModuleBlockHistory::CreateTable()
{
    QSqlQuery query = m_session.NewQuery();
    Run(m_session, query,
        QStringLiteral("CREATE TABLE %1 (ID INTEGER NOT NULL PRIMARY KEY, SavedAt VARCHAR(19), "
                       "SerialNr VARCHAR(12), ModuleName VARCHAR(255), ModulTypID INTEGER, Family INTEGER, "
                       "Blocks TEXT)")
            .arg(Table()));
}

void ModuleBlockHistory::Keep(const CModuleImage &image, ModuleFamily family, const QString &moduleName,
                              const QDateTime &savedAt)
{
    const bool startedHere = !m_session.InTransaction();
    if (startedHere && !m_session.BeginTransaction())
        RaiseDataError(m_session.Records(m_session.database().lastError()), DbStrings::CantOpenRowset);
    try {
        if (!TableExists())
            CreateTable();
        const QVariant id = CIdSequence(m_session).NextId(Table());
        QSqlQuery insert = m_session.NewQuery();
        if (!insert.prepare(m_session.Adapt(
                QStringLiteral(
                    "INSERT INTO %1 (ID, SavedAt, SerialNr, ModuleName, ModulTypID, Family, Blocks) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?)")
                    .arg(Table()))))
            RaiseDataError(m_session.Records(insert.lastError()), DbStrings::CantOpenRowset);
        insert.addBindValue(id.toInt());
        insert.addBindValue(savedAt.toString(Qt::ISODate));
        insert.addBindValue(image.SerialNr);
        insert.addBindValue(moduleName);
        insert.addBindValue(image.ModulTypID);
        insert.addBindValue(int(family));
        insert.addBindValue(EncodedBlocks(image, family));
        if (!insert.exec())
            RaiseDataError(m_session.Records(insert.lastError()), DbStrings::CantOpenRowset);
        if (startedHere && !m_session.Commit())
            RaiseDataError(m_session.Records(m_session.database().lastError()), DbStrings::CantOpenRowset);
    } catch (...) {
        if (startedHere)
            m_session.Rollback();
        throw;
    }
}

std::vector<ModuleBlockHistory::Entry> ModuleBlockHistory::EntriesOf(const QString &serialNr)
{
    std::vector<Entry> entries;
    if (!TableExists())
        return entries;
    QSqlQuery query = m_session.NewQuery();
    if (!query.prepare(
            m_session.Adapt(QStringLiteral("SELECT ID, SavedAt, SerialNr, ModuleName, Family, Blocks "
                                           "FROM %1 WHERE SerialNr = ? ORDER BY ID DESC")
                                .arg(Table()))))
        RaiseDataError(m_session.Records(query.lastError()), DbStrings::CantOpenRowset);
    query.addBindValue(serialNr);
    if (!query.exec())
        RaiseDataError(m_session.Records(query.lastError()), DbStrings::CantOpenRowset);
    while (query.next()) {
        Entry entry;
        entry.id = query.value(0).toInt();
        entry.savedAt = QDateTime::fromString(query.value(1).toString(), Qt::ISODate);
        entry.serialNr = query.value(2).toString();
        entry.moduleName = query.value(3).toString();
        entry.family = static_cast<ModuleFamily>(query.value(4).toInt());
        entry.image = DecodedBlocks(query.value(5).toString());
        entries.push_back(std::move(entry));
    }
    return entries;
}
