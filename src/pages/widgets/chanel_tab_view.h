#pragma once

#include "base/pane_commands.h"
#include "link/module_transfer.h"
#include "pages/chanel_tab_model.h"
#include "pages/widgets/property_view.h"

#include <functional>
#include <map>

class CChanelPage;
class CMy7100Doc;
class SelectedModuleView;

// What the parameter view needs of the program.
struct ChanelTabViewContext {
    CMy7100Doc *document = nullptr;
    const CatalogueSet *catalogues = nullptr;
    ChanelTabModel::LinkFactsSource facts;
    std::function<bool()> upload;   // the transfer's Upload
    std::function<bool()> download; // the transfer's Download
    // The transfer's view of the shown module: while this view exists the
    // transfer works on its pages.
    SelectedModuleView *transferView = nullptr;
};
ChanelTabViewContext ProgramChanelTabContext(CMy7100Doc &document, const CatalogueSet &catalogues,
                                             ModuleTransfer &transfer, SelectedModuleView *transferView);

// The parameter view of a module or signal item: the family's pages over
// the module's parameters, with Apply and Reset. While it is active the
// clipboard and Delete keys belong to its controls, never to the module.
class CChanelTabView : public CPropertyView, public TransferViewPort, public PaneCommandTarget {
    Q_OBJECT
public:
    CChanelTabView(const ChanelTabViewContext &context, QWidget *parent = nullptr);
    ~CChanelTabView() override;

    ChanelTabModel &model() { return m_model; }
    CChanelPage *Page(PageKind kind) const;
    void FillPage(PageKind kind);
    void FillAll();
    bool TakeOverAll();
    // Whether every number field of the pages holds a number; else the user
    // is told and the first field that does not is brought to the front
    // and focused.
    bool NumbersHold(const std::vector<CChanelPage *> &pages);
    // A choice or a click on the page of the control takes the page over:
    // only while its number fields hold numbers. Else the user is told and
    // the change is undone, what was typed kept.
    bool ReactionAllowed(QWidget *control);
    // The pages of the module left are being removed.
    bool isRebuilding() const { return m_rebuilding; }
    // A control of a page changed; the pages that follow it are filled again.
    void PageChanged(PageKind kind);

    void SetModified(bool modified) override;
    void OnUpdate(QObject *sender, int hint, Item *item) override;

    // The page commands.
    void Apply();
    void Reset();
    void Download();
    void Upload();

    // PaneCommandTarget.
    std::optional<bool> PaneCommandEnabled(int id) override;
    bool RunPaneCommand(int id) override;
    AcceleratorTable PaneAccelerators() const override { return AcceleratorTable::Form; }

    // TransferViewPort.
    ModuleParameterEditor *ShownModule() override { return m_model.editor(); }
    void FillPages() override { FillAll(); }

private:
    void LoadAndBuild();
    // Cut and Paste through the focused text field, as the user's edit.
    void RunTextFieldCommand(int id);
    void BuildPages();

    // The pages of the model's family, the one on screen first.
    std::vector<CChanelPage *> PagesActiveFirst() const;

    ChanelTabViewContext m_context;
    ChanelTabModel m_model;
    std::map<PageKind, CChanelPage *> m_pages;
    bool m_rebuilding = false;
};

// The view the program's right pane shows for module and signal items.
QWidget *CreateChanelTabView(const ChanelTabViewContext &context, QWidget *parent);
