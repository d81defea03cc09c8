#pragma once

#include "tree/column_layout.h"
#include "tree/document_tree_model.h"
#include "tree/item.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

class C7100Document;

// The shown children of one container as rows, with the merged columns of
// the container's table. Rows are sorted with the document's item order:
// first by level, then by the sort column's text without regard to case; a
// descending sort reverses the whole order, the level order included.
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
    const ColumnLayout *layout() const { return m_layout.get(); }
    Item *itemAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Sorts and stores the choice for the container's table.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    int sortColumn() const { return m_sortColumn; }

private:
    void onDocumentUpdate(QObject *sender, int hint, Item *item);
    void Fill();
    void Resort();
    QString Text(const Item &item, int merged) const;
    bool Before(const Item &a, const Item &b, int column) const;

    C7100Document &m_document;
    ItemHandle m_container = 0;
    std::unique_ptr<ColumnLayout> m_layout;
    std::vector<ItemHandle> m_rows;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
