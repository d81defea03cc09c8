#pragma once

#include "tree/column_layout.h"
#include "base/message_service.h"
#include "tree/clipboard_port.h"
#include "tree/item.h"
#include "tree/item_registry.h"
#include "tree/transfer_set.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class COLEDBException;
class ItemProgress;
class DbSession;
class IdSource;
class ItemProgress;
class MultiplyDialogLogic;

// The project tree over the open database: the items, their edit life cycle,
// and the notices that keep the views in step. Everything specific to plants,
// cabinets, carriers and modules comes from the level list and from the
// virtual hooks, which an application document fills.
class C7100Document : public QObject {
    Q_OBJECT
public:
    // What every view is told with updateAllViews.
    enum Hint : int {
        HintClear = 1,
        HintRebuild = 2,
        HintCreated = 3,
        HintWritten = 4,
        HintRemoved = 5,
        HintSortColumn = 6,
        HintColumnShown = 7,
        HintLanguage = 8,
        HintEditState = 9,
        HintSavedUnchanged = 10,
        HintCutMark = 11,
        HintSubtreeReload = 12,
        HintBulkBegins = 13,
        HintBulkEnds = 14,
        HintLinkStarted = 16,
    };

    // The three private clipboard formats of copied items.
    struct ClipboardFormats {
        QString descriptor;
        QString data;
        QString completion;
    };

    // Set while a paste, drop, multiply or multiple delete runs.
    struct BulkContext {
        bool move = false; // pasted modules were moved, not copied
    };

    // The open project as the document works on it. The level list must
    // outlive the document; session and ids live while the project is open.
    struct Project {
        CLevelList *levels = nullptr;
        DbSession *session = nullptr;
        IdSource *ids = nullptr;
        QString displayName;
        bool rootShown = false;
        // Opened for reading only: nothing is created, changed or deleted.
        bool readOnly = false;
    };

    explicit C7100Document(QObject *parent = nullptr);
    ~C7100Document() override;

    // Attaches an open project and builds its item tree; Close drops both.
    void OpenProject(const Project &project);
    void CloseProject();
    bool IsOpen() const { return m_project.session != nullptr; }
    bool IsReadOnly() const { return IsOpen() && m_project.readOnly; }
    // True, after telling the user once, when the project is open for
    // reading only: the guard of every operation that would write.
    bool RefuseWhenReadOnly() const;
    // Destroys the item tree and, while a project is open, builds it anew.
    void DeleteContents();

    ItemRegistry &Registry() { return m_registry; }
    // The list column layouts of the open project's tables.
    ColumnLayouts &Layouts() { return m_layouts; }
    ContainerItem *Root() const { return m_root.get(); }
    Item *FindItem(ItemHandle handle) const { return m_registry.find(handle); }
    ContainerItem *FindContainer(ItemHandle handle) const { return m_registry.findContainer(handle); }
    // With byId: the item of table whose ID equals value. Else the first
    // loaded item of table whose name equals the text exactly.
    Item *FindRow(const QString &table, const QVariant &value, bool byId) const;

    ItemHandle CurrentItem() const { return m_current; }
    ItemHandle CurrentParent() const { return m_currentParent; }

    // One column by name or place; without raw the display conversion applies.
    QVariant GetValue(const Item &item, const QString &column, bool raw) const;
    QVariant GetValue(const Item &item, int column, bool raw) const;
    // Only inside an edit; the column's declared type is applied.
    bool SetValue(Item &item, const QString &column, const QVariant &value, bool raw);
    bool SetValue(Item &item, int column, const QVariant &value, bool raw);
    QString GetName(const Item &item) const;
    QString GetLevelName(const Item &item) const;
    static QString LevelName(const CTableLevel &level);

    // Children read from the database once; false after a reported error.
    bool EnsureChildren(Item &item);
    bool IsEmpty(Item &item);
    // The number of all items below item (every level below is loaded); -1
    // when a level cannot be read.
    int CountDescendants(Item &item);

    Item *CreateItem(ContainerItem &parent, int nameStringId, QObject *sender = nullptr);
    Item *CopyItem(Item &source, ContainerItem *newParent = nullptr);
    // The children of source copied below newContainer (leaves first, then
    // containers with their own subtrees), each step reported to progress;
    // counter grows by one for every item written. False at the first copy
    // that cannot be made or saved, or when the progress was cancelled.
    bool CopySubtree(ContainerItem &newContainer, ContainerItem &source, int &counter, ItemProgress &progress);

    // What one multiply command did; ran is false when it ended before the
    // summary (no item, refused, dialog cancelled, a copy not made).
    struct MultiplyResult {
        bool ran = false;
        int inserted = 0;
        int errors = 0;
        QStringList copies; // the paths of the copies that were stored
        // Why it stopped before its end when another program deleted what
        // it copies into; empty otherwise.
        QString stopped;
    };
    // Whether item may be multiplied: its level is not read-only and
    // CanMultiply agrees.
    bool MultiplyEnabled(const Item *item) const;
    // Multiplies item into numbered copies under its parent, as the multiply
    // dialog asks; each copy with its subtree is stored completely or not at all.
    MultiplyResult Multiply(Item &item);
    // The summary text: the items inserted and, after errors, their number.
    static QString MultiplySummary(int inserted, int errors);

    // Whether the row of a container that a long operation writes under still
    // stands where this program read it, asked inside the operation's
    // transaction and held there until it ends, so that no other program
    // deletes it meanwhile. Nothing after a reported data error.
    std::optional<bool> StillStored(const ContainerItem &container);
    // What a long operation says when another program deleted the container
    // it worked in: how many of its items it did before (frame is the text
    // of the operation), and which container went. The container leaves
    // the tree.
    QString StoppedByDeletion(int frame, int done, int total, ItemHandle container);

    // Deleting the selected rows of a list: one row through ConfirmAndDelete,
    // several after one question, each through Delete with the progress
    // window; a cancel leaves the rest. The handles of the deleted items.
    std::vector<ItemHandle> DeleteSelection(const std::vector<ItemHandle> &rows, QObject *sender = nullptr);
    bool BeginEdit(Item &item);
    bool Save(Item &item, QObject *sender = nullptr, bool reportErrors = true);
    bool CancelEdit(Item &item, QObject *sender = nullptr);
    virtual bool Delete(Item &item, QObject *sender = nullptr);
    bool Select(ItemHandle handle);
    // A new item chosen from a menu becomes current (item view) or is renamed
    // in place (tree or list) at once.
    void ActivateCreatedItem(Item &item, bool fromTreeMenu);
    ItemHandle ItemToRename() const { return m_itemToRename; }

    // Global refresh (the whole tree) and subtree refresh (the current
    // container); false when the user kept the pending edits.
    bool GlobalRefresh();
    bool SubtreeRefresh();
    bool CanSubtreeRefresh() const;

    // What the right pane shows for container items with an item view.
    bool DetailsView() const { return m_detailsView; }
    bool ListView() const { return m_listView; }
    void ToggleDialogView();
    bool DialogViewEnabled() const;
    // The frame closed the item view's row, or the list's row, of its pane.
    void ItemViewRowClosed();
    void ListRowClosed();
    // A view mode of the list was chosen: the mode already set hides the
    // list beside an item view, any other shows it; the right pane is chosen
    // again.
    void ListViewModeChosen(bool sameMode);
    void SetListViewClass(const QString &viewClass) { m_listViewClass = viewClass; }

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified) { m_modified = modified; }
    bool ReportErrors() const { return m_reportErrors; }
    void SetReportErrors(bool report) { m_reportErrors = report; }

    const ClipboardFormats &Formats() const { return m_formats; }
    TransferFormats TransferFormatNames() const { return {m_formats.descriptor, m_formats.data, m_formats.completion}; }
    // The document's path name: the project file or data link file.
    QString PathName() const { return m_project.displayName; }

    // ---- clipboard and drag-and-drop
    // The item exists, is Clean and its level is not read-only.
    bool CanCopy(const Item *item) const;
    // Every given item described with its subtree; nothing when one of them
    // cannot be (a child level that cannot be read).
    std::optional<TransferSet> Describe(const std::vector<Item *> &items, bool move);
    // The three private formats of a set.
    TransferPayload MakeTransferData(const TransferSet &set) const;
    // Puts the items on the clipboard; a cut marks them. False (and the
    // clipboard untouched) when one cannot be described.
    bool CopyToClipboard(const std::vector<Item *> &items, bool cut);
    bool CanPaste(const Item *target);
    bool AcceptsData(const TransferData &data, const Item *target) const;
    // Reads the set of data carrying the three formats; nothing for data
    // that is not this system's or is damaged.
    std::optional<TransferSet> ReadTransferData(const TransferData &data) const;
    bool PasteFromClipboard(Item *target);
    // The paste core of the clipboard, every drop and the command line. One
    // transaction per top-level item.
    bool PasteItems(const TransferSet &set, Item &target);
    Item *FindByPath(const QString &path, const QString &table);
    void MakeNameUnique(Item &item);
    // Deletes the items of the last cut (its data was pasted in full).
    void CompleteCut();
    void ClearCutMarks();
    // The clipboard this document uses; the service's port unless set.
    void SetClipboardPort(ClipboardPort *port) { m_clipboard = port; }
    ClipboardPort &Clipboard();
    // The set being pasted while it comes from another database, else null:
    // rows its items refer to are read from it, not from this database.
    const TransferSet *ForeignPasteSet() const { return m_foreignPaste; }
    std::optional<BulkContext> &Bulk() { return m_bulk; }
    std::vector<ItemHandle> &CutList() { return m_cutList; }

    // Hooks with their defaults; the application document fills them.
    virtual void OnSelectionChanged(ItemHandle oldParent, ItemHandle oldHandle, ItemHandle newHandle);
    virtual bool ConfirmAndDelete(Item &item, QObject *sender = nullptr);
    virtual bool IsNameValid(const QString &name) const;
    virtual QString GetPath(const Item &item) const;
    virtual QStringList SplitPath(const QString &path) const;
    virtual QString PathSeparator() const { return QStringLiteral("\\"); }
    virtual QString PathPrefix() const { return QStringLiteral("\\\\"); }
    virtual bool CanMultiply(const Item &) const { return true; }
    virtual bool IsNameUnique(const Item &item) const;
    virtual QVariant ConvertUnits(bool toDisplay, const QVariant &value, const ColumnInfo &column,
                                  const CTableLevel &level) const;
    virtual QVariant ToDisplay(const QVariant &value, const ColumnInfo &column,
                               const CTableLevel &level) const;
    virtual QVariant FromDisplay(const QVariant &value, const ColumnInfo &column,
                                 const CTableLevel &level) const;
    virtual void BulkBegins() { emit updateAllViews(nullptr, HintBulkBegins, nullptr); }
    virtual void BulkEnds() { emit updateAllViews(nullptr, HintBulkEnds, nullptr); }
    virtual bool CanInsert(ContainerItem &, int) { return true; }
    virtual bool CanBeginEdit(Item &) { return true; }
    virtual bool CanDelete(Item &) { return true; }
    // Whether every value the item holds is what this program last stored,
    // so that an edit or a delete can require the row to still hold them.
    virtual bool HoldsStoredValues(const Item &) const { return true; }
    virtual bool BeforeSave(Item &, const RowValues &, const RowValues &) { return true; }
    virtual bool CanCancelEdit(Item &) { return true; }
    virtual void OnInserted(Item &) {}
    virtual void OnEditBegun(Item &) {}
    virtual void OnDeleted(Item &) {}
    virtual void OnSaved(Item &, const RowValues &, const RowValues &) {}
    // Called with null when the cancelled item was a new one and is gone.
    virtual void OnEditCancelled(Item *) {}
    virtual void BeforeSubtreeReload(ContainerItem &) {}
    virtual bool ConfirmSubtreeReload(ContainerItem &levelItem);
    // Asked before the current item is left; the application asks to save.
    virtual bool AskSaveChanges() { return true; }
    // The specific text of an item error; empty for the program's own.
    virtual QString ItemErrorText(int) const { return QString(); }
    // Builds the list column layouts of a new tree.
    virtual void BuildColumnLayouts() {}
    virtual bool HasClassIdentifier() const { return false; }
    // The multiply hooks: the dialog (true on OK), a copy named and not yet
    // saved, the insert-failure question (true: go on), the summary.
    virtual bool RunMultiplyDialog(MultiplyDialogLogic &dialog);
    virtual void OnMultiplyCopyNamed(Item &) {}
    virtual bool AskInsertFailure(const QString &copyPath, bool lastCopy);
    virtual void ShowMultiplySummary(int inserted, int errors);
    // Saves an item a bulk operation made; the application document also
    // answers false when a new module could not be completed.
    virtual bool SaveInBulk(Item &item) { return Save(item); }
    // The children of the container parent follow the database again after
    // a rollback: items whose rows it took away leave, rows it brought back
    // enter; every other item, the current one among them, stays as it is
    // (and so does whatever else the application keeps beside them).
    virtual void ReloadAfterRollback(ItemHandle parent);
    // After another program changed or deleted the item's row: the item
    // shows the row as stored now, or leaves the tree.
    void ReadAgain(Item &item);
    // This program stored a row past the item (the parameter pages, an
    // import): a loaded item of it that is not in an edit takes the stored
    // values, so that its next change or delete compares against them.
    void TakeStoredValues(const QString &table, qint32 id, const RowValues &values);
    // The same for the columns a write of this program changed from before
    // to after; the item's other columns stay as read.
    void TakeWrittenValues(const QString &table, qint32 id, const RowValues &before, const RowValues &after);
    // The same for every loaded item that which picks, read from the project.
    void TakeStoredValues(const std::function<bool(const Item &)> &which);
    // The question after one pasted item failed; OK when last, else Yes or No.
    virtual MessageAnswer ConfirmPaste(bool move, const QString &sourceDatabase, const ItemDescriptor &descriptor,
                                       const Item &target, const QString &errorText, bool last);
    // Adds the rows an item refers to outside its subtree to a set.
    virtual void DescribeCompanions(Item &, TransferSet &) {}
    // After a pasted item's transaction was rolled back: rows written for it
    // outside its subtree (signals) leave the tree.
    virtual void AfterPasteRollback() {}
    virtual QString ClipboardFormatSuffix() const;

signals:
    // Every view connects here; a view ignores notices it sent itself.
    void updateAllViews(QObject *sender, int hint, Item *item);
    // The right pane's choice: the list view class and the item view class,
    // each empty when not shown.
    void showViews(const QString &listViewClass, const QString &itemViewClass);
    // Delivered later: an item chosen from a menu became current.
    void menuItemActivated();
    // The table of the current item, empty when there is none.
    void currentTableChanged(const QString &table);
    // In-place renaming of a new item in the tree or in the list.
    void renameRequested(ItemHandle handle, bool inTree);
    // The frame resets its views after a global refresh.
    void viewsReset();

private:
    class ReportingScope;

    CTableLevel *ChildLevel(const ContainerItem &parent, int nameStringId) const;
    RowValues DefaultValues(CTableLevel &level) const;
    RowValues BlankValues(CTableLevel &level) const;
    int ColumnIndex(const Item &item, const QString &column) const;
    int NameColumn(CTableLevel &level) const;
    bool LoadChildren(ContainerItem &container);
    // The rows below a container as the database holds them now; none after
    // a data error (reported).
    struct ChildRow {
        CTableLevel *level;
        RowValues values;
    };
    std::optional<std::vector<ChildRow>> ReadChildRows(const ContainerItem &container);
    // The insert or update of the item; false when there was nothing to write.
    bool WriteItem(Item &item);
    void RestoreKeys(Item &item, const RowValues &before);
    void AssignKeys(Item &item);
    void ReportSaveFailure(Item &item, COLEDBException &error);
    void ReportItemError(const Item &item, EditState state, int code);
    const ColumnInfo *MissingRequiredValue(Item &item) const;
    void DestroyItem(Item &item);
    // The log line of a deleted module or folder.
    void LogDeleted(int nameString, const QString &name);
    void ForgetCurrentIfGone();
    bool HasPendingEdits(const ContainerItem &container) const;
    void ChooseRightPane(const Item *item);
    void SaveViewSetting(const char *name, bool value);
    static int CountBelow(const ContainerItem &container);
    bool CopyChild(Item &child, ContainerItem &newContainer, int &counter, ItemProgress &progress);
    // One copy of a multiply with its subtree, inside the transaction of its
    // group; the number of items written, or nothing after a failure.
    std::optional<int> MultiplyOnce(ItemHandle source, const MultiplyDialogLogic &dialog, int index,
                                    ItemProgress &progress, QString &copyPath);
    struct MultiplyRun;
    struct CopyGroup;
    // The next copies of a multiply in one transaction, as many as fit one
    // group, after checking that their parent still stands.
    CopyGroup MultiplyGroup(MultiplyRun &run, ItemProgress &progress);
    bool DescribeItem(Item &item, ItemDescriptor &descriptor);
    bool DescribeContainer(ContainerItem &item, ContainerDescriptor &descriptor);
    CTableLevel *PasteLevel(const ContainerItem &parent, const QString &accessorClass) const;
    Item *PasteOne(const ItemDescriptor &descriptor, ContainerItem &parent, ItemProgress &progress,
                   int &error);
    Item *PasteContainer(const ContainerDescriptor &descriptor, ContainerItem &parent, bool moveWithinDatabase,
                         ItemProgress &progress, int &error);
    bool PasteTopLevel(ItemHandle target, const std::function<Item *(int &)> &paste, int &error);

    Project m_project;
    ColumnLayouts m_layouts;
    ItemRegistry m_registry;
    std::unique_ptr<ContainerItem> m_root;
    ItemHandle m_current = 0;
    ItemHandle m_currentParent = 0;
    ItemHandle m_itemToRename = 0;
    ClipboardFormats m_formats;
    std::optional<BulkContext> m_bulk;
    std::vector<ItemHandle> m_cutList;
    ClipboardPort *m_clipboard = nullptr;
    const TransferSet *m_foreignPaste = nullptr;
    // The first item the paste of one top-level item created.
    ItemHandle m_pasteTop = 0;
    // Set by a delete within a bulk operation that found its parent deleted
    // by another program; cleared by the operation that reports it.
    ItemHandle m_parentGone = 0;
    // While a delete takes along what belongs to the item.
    bool m_cascading = false;
    bool m_reportErrors = true;
    bool m_modified = false;
    bool m_detailsView = true;
    bool m_listView = true;
    QString m_listViewClass = QStringLiteral("C7100ListView");
};
