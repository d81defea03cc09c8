#include "tree/module_dialog_service.h"

#include "base/presenter_slot.h"
#include "tree/module_dialog_logic.h"

namespace {
using Slot = PresenterSlot<ModuleDialogService, ModuleDialogService::Presenter>;
} // namespace

ModuleDialogService::Presenter ModuleDialogService::setPresenter(Presenter presenter)
{
    return Slot::replace(std::move(presenter));
}

bool ModuleDialogService::run(ModuleDialogLogic &logic)
{
    if (logic.ClosesItself())
        return true;
    const Presenter &presenter = Slot::current();
    if (presenter)
        return presenter(logic);
    return !logic.CancelEnabled() && logic.Accept();
}

bool ModuleDialogService::acceptProposals(ModuleDialogLogic &logic)
{
    return logic.Accept();
}
