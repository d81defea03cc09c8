#pragma once

#include <QDialog>
#include <QStringList>

#include "commissioning/commissioning_choice.h"
#include "commissioning/commissioning_setup.h"
#include "tree/item.h"

#include <memory>
#include <vector>

class CommissioningQueueModel;
class CommissioningRun;
class QLabel;
class QPushButton;
class QTableView;

// The window of a commissioning run: the queue, a verdict large enough to be
// read from a metre away, what to do next, and the run's keys. Everything is
// reached from the keyboard; the rules are the run's.
class CommissioningWindow : public QDialog {
    Q_OBJECT
public:
    // Runs the modules at or below the current item (the whole project when
    // none is selected); nothing when the project cannot be written.
    // The modules at or below the tree's current item, or below the items
    // chosen in the list when there are any.
    static void Run(const CommissioningSetup &setup, QWidget *parent, const std::vector<ItemHandle> &chosen = {});

    CommissioningWindow(const CommissioningSetup &setup, std::unique_ptr<CommissioningRun> run,
                        QWidget *parent = nullptr);
    ~CommissioningWindow() override;

    CommissioningRun &run() { return *m_run; }

    // Closing (Esc, Close, the window's frame) while a module is being
    // written asks, and closes once its verdict is stored; what the run
    // could not store is stored now, or the engineer is told where it is
    // kept.
    void reject() override;

private:
    // With the bench's ports chosen: a lane a port, in a window of lanes.
    static void RunLanes(const CommissioningSetup &setup, const QStringList &ports, CommissioningChoice choice,
                         QWidget *parent);
    QPushButton *AddButton(int textId, const QString &id);
    void Refresh();
    int SelectedRow() const;
    void SaveReport(bool pdf);

    CommissioningSetup m_setup;
    std::unique_ptr<CommissioningRun> m_run;
    CommissioningQueueModel *m_model = nullptr;
    QTableView *m_table = nullptr;
    QLabel *m_verdict = nullptr;
    QLabel *m_message = nullptr;
    QPushButton *m_take = nullptr;
    QPushButton *m_skip = nullptr;
    QPushButton *m_retry = nullptr;
    QPushButton *m_pause = nullptr;
    bool m_closeAfterVerdict = false;
};
