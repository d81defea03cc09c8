#pragma once

#include "link/link_notice_handler.h"
#include "link/link_shared.h"
#include "link/module_block_history.h"
#include "link/module_comparison.h"
#include "link/parameter_texts.h"
#include "tree/item.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class C7100Document;
class CatalogueSet;
class LinkController;
class MonitorFile;
class ModuleLookup;
class ModuleParameterEditor;
struct ModuleParameters;

// What the transfer needs of the views: the module that the parameter view
// shows and the view's reactions. The program's parameter view fills it;
// the command-line tool and the tests use SelectedModuleView.
class TransferViewPort {
public:
    virtual ~TransferViewPort() = default;
    // The loaded module of the parameter view, or null when the view shows
    // no module (or is not the view shown).
    virtual ModuleParameterEditor *ShownModule() = 0;
    // The pages show the shown module's values again.
    virtual void FillPages() {}
    // Whether the dialog that names a new module is open.
    virtual bool IsModuleDialogOpen() const { return false; }

    // A module of the family inserted under the document's current item and
    // named by the module dialog in its connected-module mode.
    struct CreatedModule {
        Item *item = nullptr;   // null: no module could be made
        bool cancelled = false; // the dialog was cancelled
    };
    virtual CreatedModule CreateConnectedModule(ModuleFamily family, const CModuleImage &connected);
};

// The main-thread side of upload, download and comparison: binds the
// connected module to its project module, compares them, takes uploads
// over into the shown module and prepares downloads. Runs the link's
// notices as the link's project hooks.
class ModuleTransfer : public QObject, public LinkProjectHooks {
    Q_OBJECT
public:
    enum FindResult : int { NothingLooked = 0, Found = 1, CreatedOrDeclined = 2, CreationFailed = 3 };
    // Tree images of a module item.
    enum TreeImage : int { ImageModule = 2, ImageOnlineEqual = 12, ImageOnlineDifferent = 13 };
    // The online state changed (the views enable or disable the link's
    // controls) and the page buttons.
    static constexpr int kHintOnlineChanged = 18;
    static constexpr int kHintPageButtons = 17;

    ModuleTransfer(C7100Document &document, ModuleLookup &lookup, const CatalogueSet &catalogues,
                   LinkController &link, TransferViewPort &view, QObject *parent = nullptr);
    ~ModuleTransfer() override;

    // The two buttons of the parameter pages; false when nothing was asked
    // of the link.
    bool Upload();
    bool Download();

    // Writes blocks kept before an earlier download back into the module
    // they were read from; the project stays as it is. False when that
    // module is not the one online or the link is busy.
    bool RestoreKeptBlocks(const ModuleBlockHistory::Entry &kept);

    // The monitoring file that is told when the module goes offline (none
    // by default).
    void setMonitorFile(MonitorFile *file) { m_monitorFile = file; }

    int FindConnectedModule();
    // With report the differences go to the output log; without, only the
    // differences flag and the tree image follow. Returns the differences.
    std::vector<ParameterDifference> CompareWithDatabase(bool report);

    ItemHandle OnlineModule() const { return m_online; }
    // The connected module as the latest notice left it, and whether one is
    // online.
    const CModuleImage &ConnectedModule() const { return m_connected; }
    bool IsModuleOnline() const;
    bool HasDifferences() const { return m_differences; }
    // What the last comparison found.
    const std::vector<ParameterDifference> &LastDifferences() const { return m_lastDifferences; }
    bool IsNewModule() const { return m_newModule; }
    int TreeImageOf(ItemHandle module) const { return m_treeImages.value(module, ImageModule); }
    const CModuleImage &ComparisonImage() const { return m_comparisonImage; }
    const ImageParameterTexts &Texts() const { return m_texts; }
    // The connected image as the latest connection notice left it, live
    // values included: what the live-value panel shows.
    const CModuleImage &LiveImage() const { return m_liveImage; }
    // The family of the live image's module, from its module-type row;
    // nothing when the project's catalogue lacks the type.
    std::optional<ModuleFamily> LiveFamily() const { return m_liveModule.family; }
    // Counts the modules the live image has shown: it changes whenever the
    // connected module's identity does, also without an offline notice
    // between them (another port, a module swapped between two polls).
    int LiveModuleNumber() const { return m_liveModule.number; }
    // How the latest download's read-back ended.
    enum class ReadBack { None, Pending, Same, Different, NotRead };
    ReadBack ReadBackResult() const { return m_readBack; }
    // The differences the latest read-back after a download found.
    const std::vector<ParameterDifference> &ReadBackDifferences() const { return m_readBackDifferences; }
    // Whether a download waits for the module to be read back.
    bool IsReadBackPending() const { return m_readBack == ReadBack::Pending; }
    // Whether the latest download notice said every block was stored.
    bool LastDownloadStored() const { return m_lastDownloadStored; }
    // The connected image as the latest notice left it: the one the main
    // thread may read between notices.
    const CModuleImage &ConnectedImage() const { return m_connected; }

    // LinkProjectHooks.
    void findConnectedModule(const CModuleImage &connected) override;
    void compareConnectedModule(const CModuleImage &connected) override;
    void leaveOnlineMode() override;
    void wentOffline() override;
    void runSilentComparison() override;
    void moduleReadAgain() override;
    void reportAction(ActionCode action, LinkResult result, const ActionReply &reply) override;
    void refreshLiveValues(const CModuleImage &connected) override;
    void takeOverUpload(const CModuleImage &connected) override;
    bool judgesDownloadByReadBack(bool stored) const override { return stored && m_written.has_value(); }
    void downloadFinished(bool stored) override;
    QString openModuleName() const override;
    QString downloadedModuleName() const override;

signals:
    void treeImageChanged(ItemHandle module, int image);
    // Every connection notice, online or not: the live values are to be
    // shown anew (or no more).
    void liveValuesRefreshed();

private:
    // The project module a download came from (none for a restore).
    struct ProjectRow {
        QString table;
        qint32 id = 0;
    };
    struct WrittenImage {
        CModuleImage image;
        ModuleFamily family = Family7230;
        bool tagsOnly = false;
        QString moduleName;
        ProjectRow row;
    };

    // The connected image as the latest notice left it. The worker changes
    // the shared one between notices, so the buttons read this copy.
    const CModuleImage &Connected() const { return m_connected; }
    void TakeConnectedImage();
    void TellDocumentConnected(bool connected);
    bool IsProjectModified() const;
    Item *LookUpConnected();
    QString ConnectedModuleName();
    void SetTreeImage(ItemHandle module, int image);
    void MarkOnline(Item *module);
    void RememberOnlineRow();
    void MarkRememberedOnline();
    void SelectSomeModuleOfFamily(ModuleFamily family);
    int CreateFromConnected();
    void TakeOver(ModuleParameterEditor &editor, const CModuleImage &connected, int channel);
    bool DownloadPossible(const ModuleParameters &module);
    bool ReadyForDownload(ModuleParameterEditor &editor);
    bool ConnectedTypeMatches(const ModuleParameters &module);
    bool KeepPreviousBlocks(ModuleFamily family);
    bool DownloadTagsOnly(ModuleParameterEditor &editor);
    bool DownloadAll(ModuleParameterEditor &editor, const QString &date);
    void StoreLastProgramming(const ProjectRow &row, const QString &date);
    // Keeps what the module holds and gives the link the download; nothing
    // of it when the link cannot take it.
    bool SendDownload(const CModuleImage &image, ModuleFamily family, bool tagsOnly, const QString &name,
                      const ProjectRow &row);
    // The shown module's parameters against the connected module's.
    std::vector<ParameterDifference> CompareShown(const ModuleParameters &module, ModuleComparison::Scope scope);
    void CheckReadBack();
    void ReportNotReadBack();
    std::vector<ParameterDifference> WrittenBytesDiffering(const WrittenImage &written) const;
    void Broadcast(int hint);

    C7100Document &m_document;
    ModuleLookup &m_lookup;
    const CatalogueSet &m_catalogues;
    LinkController &m_link;
    TransferViewPort &m_view;
    ImageParameterTexts m_texts;
    ModuleComparison m_comparison;
    CModuleImage m_comparisonImage;
    CModuleImage m_connected;
    CModuleImage m_liveImage;
    struct LiveModule {
        ModuleIdentity identity;
        std::optional<ModuleFamily> family;
        int number = 0;
    };
    LiveModule m_liveModule;
    std::array<QByteArray, 8> m_connectedBlocks;
    bool m_sameModule = false;
    MonitorFile *m_monitorFile = nullptr;
    ItemHandle m_online = 0;
    // The online module's row while the document builds its items anew.
    struct RememberedRow {
        QString project;
        ProjectRow row;
    };
    std::optional<RememberedRow> m_onlineRow;
    bool m_differences = false;
    bool m_newModule = false;
    int m_lastFind = NothingLooked;
    QHash<ItemHandle, int> m_treeImages;
    std::optional<WrittenImage> m_written;
    std::optional<WrittenImage> m_readBackPending;
    ReadBack m_readBack = ReadBack::None;
    bool m_lastDownloadStored = false;
    // The module is read again after an action that changed its blocks;
    // that read is compared with a report.
    bool m_reportAfterRead = false;
    std::vector<ParameterDifference> m_readBackDifferences;
    std::vector<ParameterDifference> m_lastDifferences;
};
