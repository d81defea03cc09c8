#pragma once

#include <QAbstractTableModel>

class CommissioningRun;

// The queue of a commissioning run as a table: module path, type, tags,
// state, serial number, time taken. Follows the run's changes.
class CommissioningQueueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column : int { Path = 0, Type, Tags, State, Serial, Time, ColumnCount };

    explicit CommissioningQueueModel(CommissioningRun &run, QObject *parent = nullptr);
    // Follows the changes of another lane of the same queue too.
    void Follow(CommissioningRun &lane);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString Text(int row, int column) const;

    CommissioningRun &m_run;
};
