#pragma once

#include "tree/item.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QSet>

#include <functional>
#include <vector>

class C7100Document;

// The document's item tree as an item model, the project and the signals
// root at the top (the document's root itself when it is shown). Child
// rows are read from the database when a view first expands their parent
// and stand in the document's item order (level, then name and the other
// text columns). The document's notices insert, remove, repaint and sort
// single rows, so that the views keep what is expanded; while a bulk
// operation runs the sorts wait for its end.
class DocumentTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // The item's handle under this role.
    static constexpr int HandleRole = Qt::UserRole + 1;
    // The index of the entry's picture in the tree's image list.
    static constexpr int TreeImageRole = Qt::UserRole + 2;
    // Whether the entry shows bold (New or Modified) and dimmed (New or cut).
    static constexpr int BoldRole = Qt::UserRole + 3;
    static constexpr int DimmedRole = Qt::UserRole + 4;

    explicit DocumentTreeModel(C7100Document &document, QObject *parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Entries whose item the renamer accepts can be renamed in place; it
    // takes the new name and answers whether it was stored.
    struct Renamer {
        std::function<bool(const Item &)> canRename;
        std::function<bool(Item &, const QString &)> rename;
    };
    void setRenamer(Renamer renamer) { m_renamer = std::move(renamer); }

    // Answers the image of an item whose picture is not its level's alone
    // (an online module); a negative answer leaves the level's image.
    using ImageSource = std::function<int(const Item &)>;
    void setImageSource(ImageSource source) { m_imageSource = std::move(source); }
    // Repaints the entry of an item whose picture or state changed outside
    // the document.
    void refreshItem(ItemHandle handle);

    // The text of an entry: the roots speak the user-interface language.
    static QString EntryText(const C7100Document &document, const Item &item, int language);

    Item *itemAt(const QModelIndex &index) const;
    // The entry of an item, its ancestors made rows first; invalid when it
    // is not in the tree.
    QModelIndex indexOf(ItemHandle handle);
    // Rebuilds every row from the document.
    void reload();
    // Whether the children of the container have been read into rows.
    bool isFetched(ItemHandle container) const { return m_children.contains(container); }

private:
    void onDocumentUpdate(QObject *sender, int hint, Item *item);
    QModelIndex indexOfItem(const Item &item) const;
    int rowOf(const Item &item) const;
    const ContainerItem *topParent() const;
    // The index whose rows are the children of the container.
    QModelIndex parentIndexOf(const ContainerItem &container) const;
    // The container whose children are the rows below index.
    ContainerItem *containerOf(const QModelIndex &index) const;
    bool fetched(const ContainerItem *container) const;
    bool Before(ItemHandle a, ItemHandle b) const;
    void SortRows(std::vector<ItemHandle> &rows) const;
    void Renumber(const std::vector<ItemHandle> &rows, size_t from);

    void Insert(Item &item);
    void Remove(Item &item);
    void RemoveChildRows(ContainerItem &container);
    void Forget(ItemHandle handle);
    void Sort(ItemHandle container);
    void SortLater(ItemHandle container);
    void SortAll();
    void RepaintAll();

    C7100Document &m_document;
    // The rows of every container whose children the views have been told
    // of, in the tree's order; and the row of every entry.
    QHash<ItemHandle, std::vector<ItemHandle>> m_children;
    QHash<ItemHandle, int> m_rowOf;
    // While a bulk operation runs: the containers to sort at its end.
    bool m_bulk = false;
    QSet<ItemHandle> m_pendingSorts;
    Renamer m_renamer;
    ImageSource m_imageSource;
};
