#include "tree/widgets/my7100_view.h"

#include "tree/container_list_model.h"
#include "tree/document.h"
#include "tree/widgets/tree_images.h"

#include <QHeaderView>
#include <QIdentityProxyModel>

namespace {

// The list's rows with the tree's pictures in the first column.
class ListEntryLook : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const bool look = role == Qt::FontRole || role == Qt::ForegroundRole ||
                          (role == Qt::DecorationRole && index.column() == 0);
        if (!look)
            return QIdentityProxyModel::data(index, role);
        const auto *list = static_cast<const ContainerListModel *>(sourceModel());
        const Item *item = list->itemAt(index.row());
        return item ? TreeImages::EntryLook(index, role, item->level().tableName()) : QVariant();
    }
};

} // namespace

CMy7100View::CMy7100View(C7100Document &document, QWidget *parent)
    : QTableView(parent), m_document(document), m_list(new ContainerListModel(document, this))
{
    setObjectName(QStringLiteral("CMy7100View"));
    auto *look = new ListEntryLook(this);
    look->setSourceModel(m_list);
    setModel(look);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setShowGrid(false);
    setWordWrap(false);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    setSortingEnabled(true);
    horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    connect(m_list, &QAbstractItemModel::modelReset, this, [this] {
        const ColumnLayout *layout = m_list->layout();
        for (int i = 0; layout && i < int(layout->columns().size()); ++i)
            if (layout->columns()[size_t(i)].width > 0)
                setColumnWidth(i, layout->columns()[size_t(i)].width);
        // The table's stored sort shows on its header.
        horizontalHeader()->setSortIndicator(m_list->sortColumn(), m_list->sortOrder());
    });
    connect(&m_document, &C7100Document::updateAllViews, this, &CMy7100View::onDocumentUpdate);
    connect(&m_document, &C7100Document::currentTableChanged, this, [this] {
        if (isVisible())
            m_list->Show(m_document.CurrentItem());
    });
    m_list->Show(m_document.CurrentItem());
}

void CMy7100View::onDocumentUpdate(QObject *, int hint, Item *item)
{
    if (hint == C7100Document::HintRebuild && isVisible())
        m_list->Show(item ? item->handle() : 0);
}
