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

std::vector<CommissioningEntry> CommissioningQueue::KeptRun(C7100Document &document, ModuleLookup &lookup,
                                                            DbSession &session)
{
    std::vector<CommissioningEntry> entries;
    CommissioningStore store(session);
    for (const auto &[table, id] : store.KeptModules()) {
        // A module deleted since has left the run.
        if (Item *module = lookup.LoadRow(table, id))
            entries.push_back(EntryOf(document, *module));
    }
    store.LoadStates(entries);
    return entries;
}

QString CommissioningQueue::Folder() const
{
    // The deepest folder holding every queued module.
    QStringList common;
    for (int index = 0; index < size(); ++index) {
        QStringList parts = at(index).path.split(QLatin1Char('\\'));
        parts.removeLast();
        if (index == 0) {
            common = parts;
            continue;
        }
        qsizetype same = 0;
        while (same < common.size() && same < parts.size() && common[same] == parts[same])
            ++same;
        common = common.mid(0, same);
    }
    return common.join(QLatin1Char('\\'));
}

CommissioningMatch CommissioningQueue::Identify(const QString &serialNr, const QString &connectedName,
                                                qint32 typeId, const Held &held) const
{
    const auto isHeld = [&held](int index) { return held && held(index); };
    const auto own = [this](int index) {
        return CommissioningMatch{at(index).isDone() ? CommissioningMatch::AlreadyVerified : CommissioningMatch::Queued,
                                  index};
    };
    for (int index = 0; !serialNr.isEmpty() && index < size(); ++index) {
        if (at(index).serialNr == serialNr)
            return isHeld(index) ? CommissioningMatch{CommissioningMatch::Held, index} : own(index);
    }
    for (int index = 0; !connectedName.isEmpty() && index < size(); ++index) {
        const CommissioningEntry &entry = at(index);
        if (entry.name != connectedName || isHeld(index))
            continue;
        // Tags alone do not make a module: another one may carry them.
        if (entry.serialNr.isEmpty() || serialNr.isEmpty())
            return own(index);
        if (entry.isDone())
            return {CommissioningMatch::OtherModule, index};
        break;
    }
    const bool typeQueued =
        std::any_of(m_entries.begin(), m_entries.end(),
                    [typeId](const CommissioningEntry &entry) { return entry.typeId == typeId; });
    if (!typeQueued)
        return {CommissioningMatch::UnknownType, -1};
    // A module never seen takes a waiting place first; a failed or skipped
    // one is taken by a replacement only when nothing else waits.
    for (const CommissioningState state :
         {CommissioningState::Waiting, CommissioningState::Failed, CommissioningState::Skipped}) {
        const int next = NextOfType(typeId, state, held);
        if (next >= 0)
            return {CommissioningMatch::Offered, next};
    }
    return {CommissioningMatch::NoneWaiting, -1};
}

int CommissioningQueue::NextOfType(qint32 typeId, CommissioningState state, const Held &held) const
{
    for (int index = 0; index < size(); ++index) {
        if (at(index).typeId == typeId && at(index).state == state && !(held && held(index)))
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

void CommissioningQueue::Change(int index, CommissioningState state)
{
    CommissioningEntry &entry = at(index);
    entry.state = state;
    entry.reason.clear();
    entry.changedAt = QDateTime::currentDateTime();
}

bool CommissioningQueue::Retry(int index)
{
    // A failed or skipped module waits again; a verified one stays verified
    // (plugged again, it is offered as already verified).
    if (index < 0 || index >= size() ||
        (at(index).state != CommissioningState::Failed && at(index).state != CommissioningState::Skipped))
        return false;
    Change(index, CommissioningState::Waiting);
    return true;
}

bool CommissioningQueue::Reset(int index)
{
    if (index < 0 || index >= size() || at(index).state == CommissioningState::Waiting)
        return false;
    Change(index, CommissioningState::Waiting);
    at(index).elapsedMs = -1;
    return true;
}

bool CommissioningQueue::Skip(int index)
{
    // Only what is still to be done is skipped: a verified module keeps its
    // verdict.
    if (index < 0 || index >= size() ||
        at(index).state == CommissioningState::Verified || at(index).state == CommissioningState::Skipped)
        return false;
    Change(index, CommissioningState::Skipped);
    return true;
}

QString CommissioningResultText(bool verified, const QString &reason)
{
    if (!verified)
        return StrF(StateFailed, {reason});
    return reason.isEmpty() ? Str(StateVerified) : StrF(StateVerifiedWith, {reason});
}

QString CommissioningStateText(const CommissioningEntry &entry)
{
    switch (entry.state) {
    case CommissioningState::Waiting:
        return Str(StateWaiting);
    case CommissioningState::InProgress:
        return Str(StateInProgress);
    case CommissioningState::Verified:
    case CommissioningState::Failed:
        return CommissioningResultText(entry.state == CommissioningState::Verified, entry.reason);
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
    // A module keeps its row, and so its place in the kept queue's order.
    const QVariantList values = {int(entry.state), entry.reason, entry.serialNr,
                                 entry.elapsedMs < 0 ? QVariant() : QVariant(entry.elapsedMs),
                                 entry.changedAt.isValid() ? entry.changedAt.toString(Qt::ISODate) : QString()};
    QSqlQuery update = PrepareOrRaise(m_session, QStringLiteral("UPDATE %1 SET State = ?, Reason = ?, SerialNr = ?, "
                                                                "ElapsedMs = ?, ChangedAt = ? "
                                                                "WHERE ModuleTable = ? AND ModuleID = ?")
                                                     .arg(Table()));
    for (const QVariant &value : values)
        update.addBindValue(value);
    update.addBindValue(entry.moduleTable);
    update.addBindValue(entry.moduleId);
    ExecOrRaise(m_session, update);
    if (update.numRowsAffected() > 0)
        return;
    const QVariant id = CIdSequence(m_session).NextId(Table());
    QSqlQuery insert =
        PrepareOrRaise(m_session, QStringLiteral("INSERT INTO %1 (ID, ModuleTable, ModuleID, State, Reason, "
                                                 "SerialNr, ElapsedMs, ChangedAt) "
                                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                                      .arg(Table()));
    insert.addBindValue(id.toInt());
    insert.addBindValue(entry.moduleTable);
    insert.addBindValue(entry.moduleId);
    for (const QVariant &value : values)
        insert.addBindValue(value);
    ExecOrRaise(m_session, insert);
}

std::vector<std::pair<QString, qint32>> CommissioningStore::KeptModules()
{
    QSqlQuery query =
        PrepareOrRaise(m_session, QStringLiteral("SELECT ModuleTable, ModuleID FROM %1 ORDER BY ID").arg(Table()));
    ExecOrRaise(m_session, query);
    std::vector<std::pair<QString, qint32>> modules;
    while (query.next())
        modules.emplace_back(query.value(0).toString(), query.value(1).toInt());
    return modules;
}

void CommissioningStore::ReplaceAll(const std::vector<CommissioningEntry> &entries)
{
    InOwnTransaction(m_session, [&] {
        QSqlQuery remove = PrepareOrRaise(m_session, QStringLiteral("DELETE FROM %1").arg(Table()));
        ExecOrRaise(m_session, remove);
        for (const CommissioningEntry &entry : entries)
            Write(entry);
    });
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
