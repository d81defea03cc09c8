#pragma once

#include "tree/column_layout.h"
#include "tree/document_tree_model.h"
#include "tree/item.h"

#include <QAbstractTableModel>

#include <functional>
#include <vector>

class C7100Document;

// The shown children of one container as rows, with the merged columns of
// the container's table (every merged column; the views hide those the
// layout hides). Rows are sorted with the document's item order: first by
// level, then by the sort column's text without regard to case, then by the
// other text columns; a descending sort reverses the whole order, the level
// order included. While a bulk operation runs, sorting waits for its end.
class ContainerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The roles of the tree's entries, so that both paint alike.
    static constexpr int HandleRole = DocumentTreeModel::HandleRole;
    static constexpr int TreeImageRole = DocumentTreeModel::TreeImageRole;
    static constexpr int DimmedRole = DocumentTreeModel::DimmedRole;

    explicit ContainerListModel(C7100Document &document, QObject *parent = nullptr);

    // Shows the children of the item (nothing for a leaf or null). Reading
    // them may fail; the list is then empty.
    void Show(ItemHandle container);
    ItemHandle shownContainer() const { return m_container; }
    ColumnLayout *layout() const { return m_layout; }
    Item *itemAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Sorts and stores the choice for the container's table.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    int sortColumn() const { return m_sortColumn; }
    // A header click: descending when the column already sorts ascending,
    // else ascending.
    void SortByHeader(int column);
    // The row of an item; -1 when it is not listed.
    int RowOf(ItemHandle handle) const;
    // Rows whose item the predicate accepts can be renamed in place.
    void SetRenamable(std::function<bool(const Item &)> renamable) { m_renamable = std::move(renamable); }
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // The display text of an item under a merged column.
    QString Text(const Item &item, int merged) const;

private:
    void onDocumentUpdate(QObject *sender, int hint, Item *item);
    void Fill();
    void Resort();
    void ResortLater();
    void InsertRow(Item &item);
    void RemoveRow(ItemHandle handle);
    void Clear();

    C7100Document &m_document;
    ItemHandle m_container = 0;
    ColumnLayout *m_layout = nullptr;
    std::vector<ItemHandle> m_rows;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_bulk = false;
    bool m_sortPending = false;
    std::function<bool(const Item &)> m_renamable;
};
