#pragma once

#include "base/module_family.h"

#include <QDateTime>
#include <QString>

#include <functional>

#include <utility>
#include <vector>

class C7100Document;
class DbSession;
class Item;
class ModuleLookup;

enum class CommissioningState : int { Waiting = 0, InProgress = 1, Verified = 2, Failed = 3, Skipped = 4 };

// One module of a commissioning run and how far it has come.
struct CommissioningEntry {
    QString moduleTable;
    qint32 moduleId = 0;
    QString path;
    QString name;      // type and tags, as a connected module is looked up by
    qint32 typeId = 0; // the ModulTypID column: the code a module reports + 1
    QString tags;      // the channel tags, blank between
    CommissioningState state = CommissioningState::Waiting;
    QString reason; // why it failed
    QString serialNr;
    qint64 elapsedMs = -1; // from identification to the verdict
    QDateTime changedAt;   // when it reached its state

    bool isDone() const { return state == CommissioningState::Verified; }
};

// How a connected module relates to the queue.
// A module is known by its serial number first: a queued module that has
// seen a serial number keeps it, and only a module never seen before is
// known by its name (type and tags).
struct CommissioningMatch {
    enum Kind {
        Queued,          // its own queued module, not yet verified: written at once
        AlreadyVerified, // its own queued module is verified
        OtherModule,     // another serial number with a verified module's tags: replace it or leave it
        Offered,         // unknown: the next waiting (else failed, else skipped) module of its type is offered
        UnknownType,     // nothing queued has its type: refused, nothing written
        NoneWaiting,     // its type is queued, but every module of it is verified
        Held,            // its own queued module is being handled on another lane: refused
    };
    Kind kind = UnknownType;
    int index = -1;
};

struct CommissioningTotals {
    int waiting = 0;
    int inProgress = 0;
    int verified = 0;
    int failed = 0;
    int skipped = 0;
    int all() const { return waiting + inProgress + verified + failed + skipped; }
};

// The modules of a run in tree order with their states. The rules that tie a
// connected module to one of them live here; the link is not needed for them.
class CommissioningQueue {
public:
    // The modules at or below item, depth first in the tree's order; the
    // children are read from the database where not loaded yet.
    static std::vector<CommissioningEntry> EntriesUnder(C7100Document &document, Item &item);
    // The modules of several chosen items (a selection in the list), in
    // their order, each module once however often it was chosen.
    static std::vector<CommissioningEntry> EntriesUnder(C7100Document &document, const std::vector<Item *> &items);
    static CommissioningEntry EntryOf(C7100Document &document, const Item &module);
    // The run the project keeps: its modules in the order they were queued,
    // with their states; those deleted since are left out. Raises
    // COLEDBException when the project cannot be read.
    static std::vector<CommissioningEntry> KeptRun(C7100Document &document, ModuleLookup &lookup,
                                                   DbSession &session);

    CommissioningQueue() = default;
    explicit CommissioningQueue(std::vector<CommissioningEntry> entries) : m_entries(std::move(entries)) {}

    const std::vector<CommissioningEntry> &entries() const { return m_entries; }
    CommissioningEntry &at(int index) { return m_entries[size_t(index)]; }
    const CommissioningEntry &at(int index) const { return m_entries[size_t(index)]; }
    int size() const { return int(m_entries.size()); }

    // Queued modules another lane is handling: never offered here.
    using Held = std::function<bool(int index)>;
    // A module with the serial number serialNr, named connectedName (type
    // and tags), of the type typeId.
    CommissioningMatch Identify(const QString &serialNr, const QString &connectedName, qint32 typeId,
                                const Held &held = {}) const;
    // The first queued module of the type in that state not held, or -1.
    int NextOfType(qint32 typeId, CommissioningState state, const Held &held = {}) const;
    CommissioningTotals Totals() const;
    // The path of the deepest folder that holds every queued module.
    QString Folder() const;
    bool AllVerified() const;

    // A failed, skipped or stale module waits again.
    bool Retry(int index);
    bool Skip(int index);
    // Any module waits again, a verified one too; it keeps the serial
    // number it has seen.
    bool Reset(int index);

private:
    void Change(int index, CommissioningState state);

    std::vector<CommissioningEntry> m_entries;
};

// The states of queued modules kept in the project (table CommissioningQueue,
// one row a module): closing a run and opening it again goes on where it
// stopped. Raises COLEDBException when the table cannot be read or written.
class CommissioningStore {
public:
    static constexpr const char *kTable = "CommissioningQueue";

    explicit CommissioningStore(DbSession &session) : m_session(session) {}

    // Takes over the kept states of the entries' modules.
    void LoadStates(std::vector<CommissioningEntry> &entries);
    // Writes the state of every entry in one transaction: the run starts
    // only on a project that can be written.
    void SaveAll(const std::vector<CommissioningEntry> &entries);
    void Save(const CommissioningEntry &entry);
    // A new run: the kept queue becomes the entries, in their order.
    void ReplaceAll(const std::vector<CommissioningEntry> &entries);
    // The modules of the kept queue (table, ID) in the order they were queued.
    std::vector<std::pair<QString, qint32>> KeptModules();
    // The state of one entry, in the caller's transaction.
    void Write(const CommissioningEntry &entry);

private:

    DbSession &m_session;
};

// "waiting", "in progress", "verified" (or "verified: what it was"),
// "failed: reason", "skipped".
QString CommissioningStateText(const CommissioningEntry &entry);
// The verdict of an attempt: "verified", "verified: note", "failed: reason".
QString CommissioningResultText(bool verified, const QString &reason);
