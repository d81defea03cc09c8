#pragma once

#include "commissioning/commissioning_queue.h"

#include <vector>

class C7100Document;
class DbSession;
class Item;
class ModuleLookup;

// What File > "Commissioning run..." runs. The queue belongs to the run,
// not to the tree's current item (which the run itself moves): when the
// project keeps a run, the engineer continues it or starts a new one of the
// chosen items.
struct CommissioningChoice {
    std::vector<CommissioningEntry> entries;
    bool newRun = true;     // the kept queue is replaced by entries
    bool cancelled = false; // nothing is run
};

// Asks when a run is kept. Raises COLEDBException when the project cannot
// be read.
CommissioningChoice ChooseCommissioningQueue(C7100Document &document, ModuleLookup &lookup, DbSession &session,
                                             const std::vector<Item *> &chosen);
