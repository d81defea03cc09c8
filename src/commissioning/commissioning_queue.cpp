#include "commissioning/commissioning_queue.h"

#include "base/string_table.h"
#include "db/id_sequence.h"
#include "db/session_statements.h"
#include "commissioning/commissioning_strings.h"
#include "tree/document.h"
#include "tree/module_lookup.h"
#include "tree/my7100_doc.h"

#include <QSet>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>

using namespace CommissioningStrings;

namespace {
void CollectModules(C7100Document &document, Item &item, std::vector<CommissioningEntry> &entries)
{
    if (CMy7100Doc::IsModule(item)) {
        entries.push_back(CommissioningQueue::EntryOf(document, item));
        return;
    }
    ContainerItem *container = item.asContainer();
    if (!container || !document.EnsureChildren(item))
        return;
    // The tree shows folders before modules; catalogue rows are not shown.
    container->forEachChild([&](Item &child) {
        if (child.shown())
            CollectModules(document, child, entries);
    });
}

QString Table()
{
    return QString::fromLatin1(CommissioningStore::kTable);
}

} // namespace

std::vector<CommissioningEntry> CommissioningQueue::EntriesUnder(C7100Document &document, Item &item)
{
    std::vector<CommissioningEntry> entries;
    CollectModules(document, item, entries);
    return entries;
}

std::vector<CommissioningEntry> CommissioningQueue::EntriesUnder(C7100Document &document,
                                                                const std::vector<Item *> &items)
{
    std::vector<CommissioningEntry> entries;
    QSet<QPair<QString, qint32>> taken;
    for (Item *item : items) {
        if (!item)
            continue;
        for (CommissioningEntry &entry : EntriesUnder(document, *item)) {
            const QPair<QString, qint32> row{entry.moduleTable, entry.moduleId};
            if (taken.contains(row))
                continue;
            taken.insert(row);
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

CommissioningEntry CommissioningQueue::EntryOf(C7100Document &document, const Item &module)
{
    CommissioningEntry entry;
    entry.moduleTable = module.level().tableName();
    entry.moduleId = module.id().toInt();
    entry.path = document.GetPath(module);
    entry.name = document.GetName(module);
    entry.typeId = document.GetValue(module, QStringLiteral("ModulTypID"), true).toInt();
    if (auto *application = dynamic_cast<CMy7100Doc *>(&document)) {
        QStringList tags;
        for (int channel = 1; channel <= 2; ++channel) {
            if (Item *signal = application->Lookup().SignalOfChannel(module, channel))
                tags << document.GetName(*signal);
        }
        entry.tags = tags.join(QLatin1Char(' '));
    }
    return entry;
}

CommissioningMatch CommissioningQueue::Identify(const QString &connectedName, qint32 typeId) const
{
    for (int index = 0; index < size(); ++index) {
        if (!connectedName.isEmpty() && at(index).name == connectedName)
            return {at(index).isDone() ? CommissioningMatch::AlreadyVerified : CommissioningMatch::Queued,
                    index};
    }
    const bool typeQueued =
        std::any_of(m_entries.begin(), m_entries.end(),
                    [typeId](const CommissioningEntry &entry) { return entry.typeId == typeId; });
    if (!typeQueued)
        return {CommissioningMatch::UnknownType, -1};
    const int next = NextWaitingOfType(typeId);
    return {next < 0 ? CommissioningMatch::NoneWaiting : CommissioningMatch::Offered, next};
}

int CommissioningQueue::NextWaitingOfType(qint32 typeId) const
{
    for (int index = 0; index < size(); ++index) {
        if (at(index).typeId == typeId && at(index).state == CommissioningState::Waiting)
            return index;
    }
    return -1;
}

CommissioningTotals CommissioningQueue::Totals() const
{
    CommissioningTotals totals;
    for (const CommissioningEntry &entry : m_entries) {
        switch (entry.state) {
        case CommissioningState::Waiting:
            ++totals.waiting;
            break;
        case CommissioningState::InProgress:
            ++totals.inProgress;
            break;
        case CommissioningState::Verified:
            ++totals.verified;
            break;
        case CommissioningState::Failed:
            ++totals.failed;
            break;
        case CommissioningState::Skipped:
            ++totals.skipped;
            break;
        }
    }
    return totals;
}

bool CommissioningQueue::AllVerified() const
{
    return !m_entries.empty() && Totals().verified == size();
}

bool CommissioningQueue::Retry(int index)
{
    // A failed or skipped module waits again; a verified one stays verified
    // (plugged again, it is offered as already verified).
    if (index < 0 || index >= size() ||
        (at(index).state != CommissioningState::Failed && at(index).state != CommissioningState::Skipped))
        return false;
    CommissioningEntry &entry = at(index);
    entry.state = CommissioningState::Waiting;
    entry.reason.clear();
    entry.changedAt = QDateTime::currentDateTime();
    return true;
}

bool CommissioningQueue::Skip(int index)
{
    // Only what is still to be done is skipped: a verified module keeps its
    // verdict.
    if (index < 0 || index >= size() ||
        at(index).state == CommissioningState::Verified || at(index).state == CommissioningState::Skipped)
        return false;
    CommissioningEntry &entry = at(index);
    entry.state = CommissioningState::Skipped;
    entry.reason.clear();
    entry.changedAt = QDateTime::currentDateTime();
    return true;
}

QString CommissioningStateText(const CommissioningEntry &entry)
{
    switch (entry.state) {
    case CommissioningState::Waiting:
        return Str(StateWaiting);
    case CommissioningState::InProgress:
        return Str(StateInProgress);
    case CommissioningState::Verified:
        return Str(StateVerified);
    case CommissioningState::Failed:
        return StrF(StateFailed, {entry.reason});
    case CommissioningState::Skipped:
        return Str(StateSkipped);
    }
    return {};
}

void CommissioningStore::LoadStates(std::vector<CommissioningEntry> &entries)
{
    QSqlQuery query =
        PrepareOrRaise(m_session, QStringLiteral("SELECT ModuleTable, ModuleID, State, Reason, SerialNr, "
                                                 "ElapsedMs, ChangedAt FROM %1")
                                      .arg(Table()));
    ExecOrRaise(m_session, query);
    while (query.next()) {
        const QString table = query.value(0).toString();
        const qint32 id = query.value(1).toInt();
        for (CommissioningEntry &entry : entries) {
            if (entry.moduleTable.compare(table, Qt::CaseInsensitive) != 0 || entry.moduleId != id)
                continue;
            const int state = query.value(2).toInt();
            // A module that was in progress when the run stopped was not
            // verified: it waits again.
            entry.state = state == int(CommissioningState::InProgress) || state < 0 || state > 4
                              ? CommissioningState::Waiting
                              : static_cast<CommissioningState>(state);
            entry.reason = query.value(3).toString();
            entry.serialNr = query.value(4).toString();
            entry.elapsedMs = query.value(5).isNull() ? -1 : query.value(5).toLongLong();
            entry.changedAt = QDateTime::fromString(query.value(6).toString(), Qt::ISODate);
        }
    }
}

void CommissioningStore::Write(const CommissioningEntry &entry)
{
    QSqlQuery remove = PrepareOrRaise(
        m_session, QStringLiteral("DELETE FROM %1 WHERE ModuleTable = ? AND ModuleID = ?").arg(Table()));
    remove.addBindValue(entry.moduleTable);
    remove.addBindValue(entry.moduleId);
    ExecOrRaise(m_session, remove);
    const QVariant id = CIdSequence(m_session).NextId(Table());
    QSqlQuery insert =
        PrepareOrRaise(m_session, QStringLiteral("INSERT INTO %1 (ID, ModuleTable, ModuleID, State, Reason, "
                                                 "SerialNr, ElapsedMs, ChangedAt) "
                                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                                      .arg(Table()));
    insert.addBindValue(id.toInt());
    insert.addBindValue(entry.moduleTable);
    insert.addBindValue(entry.moduleId);
    insert.addBindValue(int(entry.state));
    insert.addBindValue(entry.reason);
    insert.addBindValue(entry.serialNr);
    insert.addBindValue(entry.elapsedMs < 0 ? QVariant() : QVariant(entry.elapsedMs));
    insert.addBindValue(entry.changedAt.isValid() ? entry.changedAt.toString(Qt::ISODate) : QString());
    ExecOrRaise(m_session, insert);
}

void CommissioningStore::SaveAll(const std::vector<CommissioningEntry> &entries)
{
    InOwnTransaction(m_session, [&] {
        for (const CommissioningEntry &entry : entries)
            Write(entry);
    });
}

void CommissioningStore::Save(const CommissioningEntry &entry)
{
    SaveAll({entry});
}
