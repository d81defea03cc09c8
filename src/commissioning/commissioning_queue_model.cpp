#include "commissioning/commissioning_queue_model.h"

#include "base/string_table.h"
#include "commissioning/commissioning_run.h"
#include "commissioning/commissioning_strings.h"

#include <QBrush>
#include <QColor>
#include <QFont>

using namespace CommissioningStrings;

CommissioningQueueModel::CommissioningQueueModel(CommissioningRun &run, QObject *parent)
    : QAbstractTableModel(parent), m_run(run)
{
    Follow(run);
}

void CommissioningQueueModel::Follow(CommissioningRun &lane)
{
    connect(&lane, &CommissioningRun::entryChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, ColumnCount - 1)); });
    // The module the run is about shows in bold.
    connect(&lane, &CommissioningRun::phaseChanged, this, [this] {
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    });
}

int CommissioningQueueModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_run.queue().size();
}

int CommissioningQueueModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString CommissioningQueueModel::Text(int row, int column) const
{
    const CommissioningEntry &entry = m_run.queue().at(row);
    switch (column) {
    case Path:
        return entry.path;
    case Type:
        // The module's name starts with its type.
        return entry.name.section(QStringLiteral(" - "), 0, 0);
    case Tags:
        return entry.tags;
    case State:
        return CommissioningStateText(entry);
    case Serial:
        return entry.serialNr;
    case Time:
        return entry.elapsedMs < 0
                   ? QString()
                   : QString::number(double(entry.elapsedMs) / 1000.0, 'f', 1) + QStringLiteral(" s");
    default:
        return QString();
    }
}

QVariant CommissioningQueueModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_run.queue().size())
        return {};
    const CommissioningState state = m_run.queue().at(index.row()).state;
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return Text(index.row(), index.column());
    if (role == Qt::ForegroundRole && index.column() == State) {
        if (state == CommissioningState::Verified)
            return QBrush(QColor(0, 120, 0));
        if (state == CommissioningState::Failed)
            return QBrush(QColor(190, 0, 0));
    }
    if (role == Qt::FontRole && index.row() == m_run.current()) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

QVariant CommissioningQueueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const int titles[ColumnCount] = {ColumnModule, ColumnType,   ColumnTags,
                                            ColumnState,  ColumnSerial, ColumnTime};
    return section >= 0 && section < ColumnCount ? Str(titles[section]) : QVariant();
}
