#pragma once

#include <functional>

class ModuleDialogLogic;

// Where the document shows the module dialog: the program installs the Qt
// dialog, the command-line tool and the tests answer it themselves. A
// presenter works the prepared logic as the user would and answers true
// for OK, false for Cancel.
class ModuleDialogService {
public:
    using Presenter = std::function<bool(ModuleDialogLogic &)>;

    // Installs a presenter and returns the one it replaces.
    static Presenter setPresenter(Presenter presenter);

    // A move closes the dialog at once with OK. Without a presenter nobody
    // can answer: the dialog is cancelled, except where Cancel is disabled
    // and the proposals are taken as they stand.
    static bool run(ModuleDialogLogic &logic);

    // The presenter of the command-line tool: OK on the proposals.
    static bool acceptProposals(ModuleDialogLogic &logic);
};
