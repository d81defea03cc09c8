#include "tree/module_dialog_service.h"

#include "base/presenter_slot.h"
#include "tree/module_dialog_logic.h"

namespace {
using ModuleDialogSlot = PresenterSlot<ModuleDialogService, ModuleDialogService::Presenter>;
} // namespace

ModuleDialogService::Presenter ModuleDialogService::setPresenter(Presenter presenter)
{
    return ModuleDialogSlot::replace(std::move(presenter));
}

bool ModuleDialogService::run(ModuleDialogLogic &logic)
{
    if (logic.ClosesItself())
        return true;
    const Presenter &presenter = ModuleDialogSlot::current();
    if (presenter)
        return presenter(logic);
    return !logic.CancelEnabled() && logic.Accept();
}

bool ModuleDialogService::acceptProposals(ModuleDialogLogic &logic)
{
    // Nobody can type other names into a copy's dialog here: a proposal that
    // another signal already carries gives way to the next one.
    constexpr int kMaxProposals = 1000;
    if (logic.Mode() == ModuleDialogMode::CopyOrMove && logic.Interactive()) {
        for (int tries = 0; tries < kMaxProposals && !logic.ProposedNamesFree(); ++tries) {
            if (!logic.ProposeNextNames())
                break;
        }
    }
    return logic.Accept();
}
