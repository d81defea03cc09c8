#pragma once

#include "commissioning/commissioning_setup.h"

#include <QDialog>

#include <memory>
#include <vector>

class CommissioningLanes;
class CommissioningQueueModel;
class QBoxLayout;
class QLabel;
class QPushButton;
class QTableView;

// The window of a run over several ports: one verdict band per lane, side by
// side (one above the other when the window is narrow), each with its port
// and its key. The key of a lane (1 to 8) makes it the one the buttons and
// their keys act on: Enter takes, S skips, E retries. The rules are the
// lanes'.
class CommissioningLanesWindow : public QDialog {
    Q_OBJECT
public:
    // Narrower than this a lane: the bands stand one above the other.
    static constexpr int kBandWidth = 280;

    CommissioningLanesWindow(const CommissioningSetup &setup, std::unique_ptr<CommissioningLanes> lanes,
                             QWidget *parent = nullptr);
    ~CommissioningLanesWindow() override;

    CommissioningLanes &lanes() { return *m_lanes; }
    int activeLane() const { return m_active; }
    // Whether the bands stand side by side.
    bool bandsSideBySide() const;
    // As the run's window: closing while a module is being written asks, and
    // closes once every lane's verdict is stored.
    void reject() override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Band {
        QWidget *frame = nullptr;
        QLabel *title = nullptr;
        QLabel *verdict = nullptr;
        QLabel *message = nullptr;
    };

    QPushButton *AddButton(int textId, const QString &id);
    void AddBand(int lane);
    void Activate(int lane);
    void RefreshLane(int lane);
    void RefreshButtons();
    int SelectedRow() const;

    CommissioningSetup m_setup;
    std::unique_ptr<CommissioningLanes> m_lanes;
    std::vector<Band> m_bands;
    QBoxLayout *m_bandLayout = nullptr;
    CommissioningQueueModel *m_model = nullptr;
    QTableView *m_table = nullptr;
    QPushButton *m_take = nullptr;
    QPushButton *m_skip = nullptr;
    QPushButton *m_retry = nullptr;
    int m_active = 0;
    bool m_closeAfterVerdict = false;
};
