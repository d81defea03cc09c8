#pragma once

#include "commissioning/commissioning_run.h"

#include <QString>

class QAbstractItemModel;
class QPushButton;
class QTableView;
class QWidget;

// The controls every window of a run has: the queue's table, the buttons
// and the take button that names what it takes.
namespace RunControls {
QTableView *QueueTable(QAbstractItemModel &model, QWidget &parent);
// The selected row of the queue, or -1.
int SelectedRow(const QTableView &table);
QPushButton *Button(int textId, const QString &id, QWidget &parent);
// Take, Download again or Replace, as the run asks; enabled only then.
void ShowTake(QPushButton &take, const CommissioningRun &run);
} // namespace RunControls
