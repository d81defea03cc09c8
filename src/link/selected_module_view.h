#pragma once

#include "link/module_transfer.h"

#include <memory>

class C7100Document;
class CatalogueSet;
class ParameterRowSource;

// The parameter view's module as the document's current item gives it: a
// selected module shows both channels, a selected signal its own channel
// of the module that holds it. Serves where no parameter view is on screen
// (the command-line tool, the tests); the editor follows the selection and
// its modified flag is the document's.
class SelectedModuleView : public TransferViewPort {
public:
    SelectedModuleView(C7100Document &document, const CatalogueSet &catalogues);
    ~SelectedModuleView() override;

    ModuleParameterEditor *ShownModule() override;
    void FillPages() override;
    // While the parameter view is on screen it is the view the transfer
    // works with. A view that goes detaches only itself: its successor may
    // already be attached.
    void Attach(TransferViewPort *pageView) { m_pageView = pageView; }
    void Detach(const TransferViewPort *pageView)
    {
        if (m_pageView == pageView)
            m_pageView = nullptr;
    }
    // Through the application document's "Add New" of a module, under the
    // current folder (or the folder of the current module).
    CreatedModule CreateConnectedModule(ModuleFamily family, const CModuleImage &connected) override;
    // Forgets the loaded module; the next use loads it again.
    void Reload();

private:
    bool LoadFor(ItemHandle handle);
    void ReadSignalItems(ItemHandle module);

    C7100Document &m_document;
    const CatalogueSet &m_catalogues;
    TransferViewPort *m_pageView = nullptr;
    ItemHandle m_loadedFor = 0;
    std::unique_ptr<ParameterRowSource> m_rows;
    std::unique_ptr<ModuleParameterEditor> m_editor;
};
