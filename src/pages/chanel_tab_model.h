#pragma once

#include "pages/parameter_pages.h"
#include "tree/item.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class C7100Document;
class CatalogueSet;
class SelectedModuleView;

// What the page buttons depend on besides the shown module: the device
// link's state as the transfer knows it.
struct LinkFacts {
    bool linkStarted = false;
    bool moduleConnected = false;
    qint32 connectedTypeId = 0; // the connected module's ModulTypID (code + 1)
    ItemHandle onlineModule = 0;
    QString onlineModuleName;
    bool differences = false;
};

// A number field of the pages as it stands: its label and its text, read
// by the field's rules.
struct NumberFieldText {
    QString label;
    QString text;
    NumericInput rules;
};

struct PageButtons {
    bool apply = false;
    bool reset = false;
    bool download = false;
    bool upload = false;
    bool operator==(const PageButtons &) const = default;
};

// The logic of the parameter tab view: which module it shows, its pages,
// the channel tab they share, the modified flag, the button states, the
// editable state of the controls, Apply and Reset. The widgets of the view
// fill and take over their controls through pages().
class ChanelTabModel {
public:
    using LinkFactsSource = std::function<LinkFacts()>;

    ChanelTabModel(C7100Document &document, const CatalogueSet &catalogues, LinkFactsSource facts);
    ~ChanelTabModel();

    // Loads the module of the document's current item (a module, or a
    // signal for its channel alone); false when it shows no module.
    bool Load();
    bool isLoaded() const { return m_editor != nullptr; }
    ModuleParameterEditor *editor() const { return m_editor; }
    ParameterPages &pages() { return *m_pages; }
    std::vector<PageKind> PageKinds() const;
    ModuleFamily family() const;
    // 0 for a module item (both channels), else the signal's channel.
    int shownChannel() const;
    int channelCount() const;
    ItemHandle shownItem() const { return m_shownItem; }

    // The channel tab (0 or 1) that every page selects when it is shown.
    int selectedChannelTab() const { return m_channelTab; }
    void setSelectedChannelTab(int tab) { m_channelTab = tab; }
    // The channel a page shows on the given channel tab.
    int ChannelOfTab(int tab) const { return shownChannel() != 0 ? shownChannel() : tab + 1; }

    // Filling the pages never marks the project modified.
    void BeginFill() { ++m_filling; }
    void EndFill() { --m_filling; }
    bool isFilling() const { return m_filling > 0; }
    // A control changed by the user.
    void ControlChanged();

    // The project's modified flag as the view last set it: one value for
    // the whole program; a change sets the document's flag and has every
    // view refresh its page buttons.
    void SetModified(bool modified);
    static bool LastModified();

    bool ControlsEnabled() const;
    PageButtons Buttons(bool memoPage) const;

    // ReadAgain: refused because another program changed the module; the
    // pages are to show what is stored now.
    enum class Outcome { Nothing, Done, Refused, ReadAgain };
    // Apply needs the pages taken over first: the view hands its take-over.
    void setTakeOver(std::function<bool()> takeOver);
    Outcome Apply();
    // Reloads; true when the DIP switch flag changed with it.
    Outcome Reset(bool *dipSwitchChanged);

    // The first of the fields whose text is no number, told to the user
    // (message box and log line, naming the field); -1 when every one holds
    // a number. Such a text is never taken over: it would be read as 0.
    static int RefuseTextNoNumber(const std::vector<NumberFieldText> &fields);

    void Broadcast(int hint);

private:
    C7100Document &m_document;
    LinkFactsSource m_facts;
    std::unique_ptr<SelectedModuleView> m_loader;
    ModuleParameterEditor *m_editor = nullptr;
    std::unique_ptr<ParameterPages> m_pages;
    std::function<bool()> m_takeOver;
    ItemHandle m_shownItem = 0;
    bool m_shownIsSignal = false;
    QString m_signalName;
    int m_channelTab = 0;
    int m_filling = 0;
};

class CMy7100Doc;
class ModuleTransfer;
// The link facts of the program: the document's link-started flag and what
// the transfer knows of the connected module.
LinkFacts TransferLinkFacts(CMy7100Doc &document, const ModuleTransfer &transfer);
