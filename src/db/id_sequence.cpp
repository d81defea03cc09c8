#include "db/id_sequence.h"

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_strings.h"
#include "base/message_service.h"
#include "base/string_table.h"

#include <QSqlQuery>

namespace {

const QString kTable = QStringLiteral("IDSequences");
// The statement texts are kept as the program has always sent them.
const QString kAdvance =
    QStringLiteral("UPDATE IDSequences SET ID = ID + 1 \t\t\t\t\t\t\t WHERE SeqName = ? ");
const QString kRead = QStringLiteral("SELECT SeqName, ID FROM IDSequences WHERE SeqName = ? ");
const QString kCreate =
    QStringLiteral("INSERT INTO IDSequences ( ID, SeqName ) \t\t\t\t\t\t\t VALUES ( 100, ? ) ");

// The name as the 50-byte parameter buffer carries it.
QString parameterOf(const QString &name)
{
    return name.left(CIdSequence::kMaxNameLength);
}

// Runs one statement with the name bound; false leaves the error in query.
bool run(DbSession &session, QSqlQuery &query, const QString &statement, const QString &name)
{
    if (!query.prepare(session.Adapt(statement)))
        return false;
    query.addBindValue(name);
    return query.exec();
}

} // namespace

int CIdSequence::CheckSequenceTable()
{
    const auto columns = m_session.ColumnSchema(kTable);
    if (!columns)
        RaiseDataError(DbStrings::CantGetTablesInformation);
    bool hasName = false;
    bool hasId = false;
    for (const SchemaColumn &column : *columns) {
        hasName = hasName || column.name.compare(QLatin1String("SeqName"), Qt::CaseInsensitive) == 0;
        hasId = hasId || column.name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0;
    }
    if (columns->empty()) {
        MessageService::error(FillArguments(Str(DbStrings::MissingTable), {kTable}));
        return 0;
    }
    if (!hasName || !hasId) {
        const QString missing = hasName ? QStringLiteral("ID") : QStringLiteral("SeqName");
        MessageService::error(FillArguments(Str(DbStrings::MissingColumn), {missing, kTable}));
        return 0;
    }
    return 1;
}

QVariant CIdSequence::NextId(const QString &name)
{
    const bool startedHere = !m_session.InTransaction();
    if (startedHere && !m_session.BeginTransaction())
        RaiseDataError(m_session.Records(m_session.database().lastError()), DbStrings::CantGetNewId, {name});
    try {
        const QVariant id = AdvanceAndRead(parameterOf(name));
        if (startedHere && !m_session.Commit())
            RaiseDataError(m_session.Records(m_session.database().lastError()), DbStrings::CantGetNewId,
                           {name});
        return id;
    } catch (COLEDBException &e) {
        // Only the transaction begun here is ended; the caller's is its own.
        if (startedHere && !m_session.Rollback())
            RaiseDataError(DbStrings::CantGetNewId, {name});
        const auto &messages = e.messages();
        if (messages.empty() || messages.back().number != DbStrings::CantGetNewId)
            AddMessage(e, DbStrings::CantGetNewId, {name});
        throw;
    }
}

namespace {
// The largest counter that still hands out an identifier that fits the
// 32-bit ID columns after it was advanced.
constexpr qint64 kLargestCounter = 2147483646;

// A counter that was edited by hand, damaged or ran out would hand out 0,
// a negative or a wrapped identifier, and that row would collide or vanish.
void CheckCounter(const QString &name, const QVariant &counter)
{
    bool ok = false;
    const qint64 value = counter.toString().trimmed().toLongLong(&ok);
    if (!ok || value < 1 || value > kLargestCounter)
        RaiseDataError(DbStrings::BadSequenceCounter, {name, counter.toString()});
}
} // namespace

void CIdSequence::CheckExistingCounter(const QString &parameter)
{
    QSqlQuery read = m_session.NewQuery();
    if (!run(m_session, read, kRead, parameter))
        RaiseDataError(m_session.Records(read.lastError()));
    if (read.next())
        CheckCounter(parameter, read.value(1));
}

QVariant CIdSequence::AdvanceAndRead(const QString &parameter)
{
    CheckExistingCounter(parameter);
    {
        QSqlQuery advance = m_session.NewQuery();
        if (!run(m_session, advance, kAdvance, parameter))
            RaiseDataError(m_session.Records(advance.lastError()));
        if (advance.numRowsAffected() == 0)
            CreateSequence(parameter);
    }
    QSqlQuery read = m_session.NewQuery();
    if (!run(m_session, read, kRead, parameter))
        RaiseDataError(m_session.Records(read.lastError()));
    if (!read.next())
        return {};
    return QVariant(read.value(1).toInt() - 1);
}

void CIdSequence::CreateSequence(const QString &name)
{
    QSqlQuery create = m_session.NewQuery();
    if (!run(m_session, create, kCreate, parameterOf(name)))
        RaiseDataError(m_session.Records(create.lastError()), DbStrings::CantCreateSequence, {name});
}
