#include "link/module_block_history.h"

#include "db/db_session.h"
#include "db/id_sequence.h"
#include "db/session_statements.h"

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
} // namespace

bool ModuleBlockHistory::TableExists()
{
    const auto columns = m_session.ColumnSchema(Table());
    return columns && !columns->empty();
}

void ModuleBlockHistory::CreateTable()
{
    QSqlQuery query = PrepareOrRaise(
        m_session, QStringLiteral("CREATE TABLE %1 (ID INTEGER NOT NULL PRIMARY KEY, SavedAt VARCHAR(19), "
                                  "SerialNr VARCHAR(12), ModuleName VARCHAR(255), ModulTypID INTEGER, "
                                  "Family INTEGER, Blocks TEXT)")
                       .arg(Table()));
    ExecOrRaise(m_session, query);
}

void ModuleBlockHistory::Keep(const CModuleImage &image, ModuleFamily family, const QString &moduleName,
                              const QDateTime &savedAt)
{
    InOwnTransaction(m_session, [&] {
        if (!TableExists())
            CreateTable();
        const QVariant id = CIdSequence(m_session).NextId(Table());
        QSqlQuery insert = PrepareOrRaise(
            m_session,
            QStringLiteral("INSERT INTO %1 (ID, SavedAt, SerialNr, ModuleName, ModulTypID, Family, Blocks) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)")
                .arg(Table()));
        insert.addBindValue(id.toInt());
        insert.addBindValue(savedAt.toString(Qt::ISODate));
        insert.addBindValue(image.SerialNr);
        insert.addBindValue(moduleName);
        insert.addBindValue(image.ModulTypID);
        insert.addBindValue(int(family));
        insert.addBindValue(EncodedBlocks(image, family));
        ExecOrRaise(m_session, insert);
    });
}

std::vector<ModuleBlockHistory::Entry> ModuleBlockHistory::EntriesOf(const QString &serialNr)
{
    std::vector<Entry> entries;
    if (!TableExists())
        return entries;
    QSqlQuery query =
        PrepareOrRaise(m_session, QStringLiteral("SELECT ID, SavedAt, SerialNr, ModuleName, Family, "
                                                 "Blocks FROM %1 WHERE SerialNr = ? ORDER BY ID DESC")
                                      .arg(Table()));
    query.addBindValue(serialNr);
    ExecOrRaise(m_session, query);
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
