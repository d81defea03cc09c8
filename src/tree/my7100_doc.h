#pragma once

#include "db/project_commands.h"
#include "tree/document.h"
#include "tree/module_dialog_logic.h"
#include "tree/module_lookup.h"

#include <QSet>
#include <QString>

#include <array>
#include <functional>
#include <map>

#include "params/parameter_rows.h"

// How a module came to be; it selects the log line and where the values of
// the module and its signals come from.
enum class ModuleOrigin : int { Created = 1, Copied = 2, Moved = 3, Converted = 4 };

// The application document: the generic item tree as this system's project.
// Plants, cabinets and zelnor-carriers nest as folders, modules of the three
// families hang at any of the four depths, and the one or two signals of
// every module live under the signals root, named by the module's
// Ch1SignalID and Ch2SignalID.
class CMy7100Doc : public C7100Document {
    Q_OBJECT
public:
    explicit CMy7100Doc(QObject *parent = nullptr);

    // The family of the module being created or looked up.
    ModuleFamily Family() const { return m_lookup.Family(); }
    void SetFamily(ModuleFamily family) { m_lookup.SetFamily(family); }
    ModuleLookup &Lookup() { return m_lookup; }
    QString ModuleName(qint32 typeId, const QString &signal1, const QString &signal2)
    {
        return m_lookup.ModuleName(typeId, signal1, signal2);
    }
    Item *FindModuleByValue(const QString &column, const QVariant &value)
    {
        return m_lookup.FindModuleByValue(column, value);
    }
    Item *SignalOfChannel(const Item &module, int channel)
    {
        return m_lookup.SignalOfChannel(module, channel);
    }
    QString CatalogueText(const QString &table, qint32 id, const QString &column)
    {
        return m_lookup.CatalogueText(table, id, column);
    }
    QString ProjectFileName() const { return m_lookup.ProjectFileName(); }

    // Set by the device link: a module is connected, with its channel names.
    void SetModuleConnected(bool connected, const QString &channel1 = {}, const QString &channel2 = {});
    bool ModuleConnected() const { return m_moduleConnected; }

    // The name of a new plant, cabinet or zelnor-carrier (486 to 488): the
    // level text followed by its counter; empty without the counter row.
    QString DefaultFolderName(int nameStringId);
    // Before a folder's label edit is taken: refuses a name that another
    // folder beside it has (case counts), else raises the folder counter.
    bool CheckFolderName(Item &item, const QString &newName);
    // The folder's name checked and stored with its counter in one
    // transaction: a refusal anywhere leaves the project as it was.
    bool StoreFolderNamed(Item &item, const QString &name);

    // "Add New": a new folder under parent with its default name, made the
    // current item with its form shown and not yet stored; null when the
    // present item's edits were kept or any step fails.
    Item *AddNewFolder(ContainerItem &parent, int nameStringId);
    // Stores parent when it is still new; false when that fails.
    bool StoreNewParent(ContainerItem &parent);
    // "Add New": a module of family and type under parent, named in the
    // module dialog; null when it was cancelled or could not be saved.
    Item *AddNewModule(ContainerItem &parent, ModuleFamily family, qint32 typeId);

    // Module conversion: the current 7230 module becomes one of another 7230
    // type; the old module goes with its signals.
    bool CanConvertModule() const;
    bool ConvertModule();
    // New names for a module (or the module of a signal) and its signals;
    // a folder is renamed in place in the tree instead.
    bool RenameModule(Item &item);
    // What the rename command does with an item: modules and signals get the
    // module dialog (Done once it ran, whatever the answer); every other item
    // is renamed in place by the view that asked (EditInPlace); items of
    // read-only levels are not renamed (Refused).
    enum class RenameStep { Done, EditInPlace, Refused };
    RenameStep Rename(Item &item);

    // Starts the device link once in the document's life and rebuilds the
    // tree; the application calls this after it first shows its window.
    void StartLink();
    bool LinkStarted() const { return m_linkStarted; }

    ModuleDialogLogic &Dialog() { return m_dialog; }
    ModuleOrigin Origin() const { return m_origin; }

    bool Delete(Item &item, QObject *sender = nullptr) override;
    // This program wrote the module's row and its signals' rows past their
    // items: the items take what is stored, so that a delete of the module
    // compares against it.
    void TakeStoredModuleValues(ItemHandle module);
    // A module made by a bulk copy counts as saved only with its signals.
    bool SaveInBulk(Item &item) override;

    // The question before changed pages are left: the program sets the hooks
    // that apply its views; without them nothing is asked.
    void SetSaveChangesHooks(SaveChangesHooks hooks) { m_saveChangesHooks = std::move(hooks); }
    bool AskSaveChanges() override;

    // The project is the one root of everything: it has no copies.
    bool CanMultiply(const Item &item) const override;
    bool CanInsert(ContainerItem &parent, int nameStringId) override;
    bool CanBeginEdit(Item &item) override;
    bool CanDelete(Item &item) override;
    // A module's or signal's row is deleted by the operations that move or
    // convert it, after they wrote its new rows past the items: those
    // deletes do not compare every value.
    bool BeforeSave(Item &item, const RowValues &oldValues, const RowValues &snapshot) override;
    bool CanCancelEdit(Item &item) override;
    void OnInserted(Item &item) override;
    void OnSaved(Item &item, const RowValues &oldValues, const RowValues &newValues) override;
    void OnDeleted(Item &item) override;
    void DescribeCompanions(Item &item, TransferSet &set) override;
    void ReloadAfterRollback(ItemHandle parent) override;
    void AfterPasteRollback() override;

    static bool IsModule(const Item &item);
    static bool IsFolder(const Item &item);
    static bool IsSignal(const Item &item);
    static int ModuleNameString(ModuleFamily family);

signals:
    // The main frame starts the device link worker.
    void linkStartRequested();
    // The main frame shows its module display anew after a delete.
    void moduleDisplayChanged();
    // The tree selects the item (after a rename of several items).
    void selectInTree(ItemHandle handle);

private:
    struct Conversion {
        bool running = false;
        bool cancelled = false;
        ItemHandle oldModule = 0;
        qint32 oldTypeId = 0;
        int oldChannelCount = 1;
        std::array<QString, 2> oldNames;
        std::array<qint32, 2> oldSignalIds{};
    };

    void LinkStartInHook();
    void Refuse(const QString &text) const;
    bool PrepareDialog(Item &module);
    void DiscardLater(ItemHandle handle);
    void DiscardNow(Item *item);
    void CompleteNewModule(Item &module);
    std::array<qint32, 2> TakeModuleValues(Item &module, qint32 typeId);
    Item *CreateSignal(int channel, const QString &name, const ParameterRow &source, bool rescale);
    ParameterRow SignalSource(int channel, qint32 defaultSignal, const Item &module);
    void CopyFromFourthColumn(Item &target, const std::vector<ColumnInfo> &sourceColumns,
                              const RowValues &source);
    void DeleteSignal(qint32 signalId, int channel);
    void DeleteLoadedChildren(ContainerItem &folder);
    void DeleteRowsBelow(CTableLevel &level, qint32 id);
    bool SaveNewModule(Item &module);
    ParameterRow ReadRow(const QString &table, qint32 id);
    // A signal of the module being copied or moved: from the transfer when
    // it comes from another database, else from this one.
    ParameterRow SourceSignal(qint32 id);
    // A signal row of this project that a move or a conversion copies: the
    // old signal's item takes it, so that deleting the old signal afterwards
    // compares against what was copied.
    ParameterRow ReadSignalToMove(qint32 id);
    ContainerItem *SignalsRoot();
    bool RunInTransaction(const std::function<bool()> &work);

    ModuleLookup m_lookup;
    ModuleDialogLogic m_dialog;
    bool m_moduleConnected = false;
    std::array<QString, 2> m_connectedNames;
    QSet<ItemHandle> m_pendingModules;
    Conversion m_conversion;
    ModuleOrigin m_origin = ModuleOrigin::Created;
    std::array<bool, 2> m_insertPermits{};
    std::array<bool, 2> m_deletePermits{};
    bool m_linkStarted = false;
    bool m_cascadeFailed = false;
    // Set by any step of completing a new module that failed.
    bool m_completionFailed = false;
    // Written once the new module is complete.
    QString m_originLogLine;
    SaveChangesHooks m_saveChangesHooks;
    // The column lists of signal rows read from a transfer, by their names.
    std::map<QStringList, std::vector<ColumnInfo>> m_transferColumns;
};
