#include "commissioning/widgets/run_controls.h"

#include "base/string_table.h"
#include "commissioning/commissioning_queue_model.h"
#include "commissioning/commissioning_strings.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

using namespace CommissioningStrings;

QTableView *RunControls::QueueTable(QAbstractItemModel &model, QWidget &parent)
{
    auto *table = new QTableView(&parent);
    table->setObjectName(QStringLiteral("CommissioningQueue"));
    table->setAccessibleName(Str(ColumnModule).remove(QLatin1Char('&')));
    table->setModel(&model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    // A long reason wraps in its row rather than push the time out of view.
    table->setWordWrap(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(CommissioningQueueModel::State, QHeaderView::Stretch);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->verticalHeader()->hide();
    return table;
}

int RunControls::SelectedRow(const QTableView &table)
{
    const QModelIndexList rows = table.selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QPushButton *RunControls::Button(int textId, const QString &id, QWidget &parent)
{
    auto *button = new QPushButton(Str(textId), &parent);
    button->setObjectName(id);
    button->setAccessibleName(Str(textId).remove(QLatin1Char('&')));
    button->setAutoDefault(false);
    return button;
}

void RunControls::ShowTake(QPushButton &take, const CommissioningRun &run)
{
    const CommissioningRun::Phase phase = run.phase();
    take.setText(Str(phase == CommissioningRun::Phase::AlreadyVerified ? ButtonDownloadAgain
                     : phase == CommissioningRun::Phase::OtherModule   ? ButtonReplace
                                                                       : ButtonTake));
    take.setAccessibleName(take.text().remove(QLatin1Char('&')));
    take.setEnabled(run.isAsking());
}
