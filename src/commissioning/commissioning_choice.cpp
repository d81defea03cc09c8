#include "commissioning/commissioning_choice.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "commissioning/commissioning_strings.h"

CommissioningChoice ChooseCommissioningQueue(C7100Document &document, ModuleLookup &lookup, DbSession &session,
                                             const std::vector<Item *> &chosen)
{
    CommissioningChoice choice;
    std::vector<CommissioningEntry> kept = CommissioningQueue::KeptRun(document, lookup, session);
    if (!kept.empty()) {
        const CommissioningQueue queue(kept);
        const MessageAnswer answer = MessageService::show(
            {StrF(CommissioningStrings::ContinueOrNewRun, {queue.Folder(), queue.Totals().verified, queue.size()}),
             MessageIcon::Question, MessageButtons::YesNoCancel, MessageAnswer::Yes});
        if (answer == MessageAnswer::Cancel) {
            choice.cancelled = true;
            return choice;
        }
        if (answer == MessageAnswer::Yes) {
            choice.entries = std::move(kept);
            choice.newRun = false;
            return choice;
        }
    }
    choice.entries = CommissioningQueue::EntriesUnder(document, chosen);
    return choice;
}
