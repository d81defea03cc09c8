#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QSpinBox>

class QCheckBox;

// The interval spin: held down, it steps faster (3, 6, 9, 15, 30 and 60
// seconds after 1 to 6 seconds).
class CIntervalSpin : public QSpinBox {
    Q_OBJECT
public:
    explicit CIntervalSpin(QWidget *parent = nullptr);
    void stepBy(int steps) override;

private:
    QElapsedTimer m_held;
    QElapsedTimer m_sinceLastStep;
};

// "Monitoring" options (dialog 553): the recording box is written at once,
// the interval on OK.
class MonitoringOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit MonitoringOptionsDialog(QWidget *parent = nullptr);
    void accept() override;

private:
    QCheckBox *m_recording = nullptr;
    CIntervalSpin *m_interval = nullptr;
};
