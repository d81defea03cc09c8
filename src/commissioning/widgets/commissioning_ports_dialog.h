#pragma once

#include <QDialog>

#include <vector>

class QComboBox;
class QLineEdit;
class QSpinBox;

// Options > "Commissioning ports...": the port of each lane of the bench,
// one to eight, each with its line settings. The rules are
// CommissioningPorts'; a refusal is shown and the dialog stays open with
// nothing stored.
class CommissioningPortsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CommissioningPortsDialog(QWidget *parent = nullptr);

    QLineEdit *portEdit(int lane) const { return m_rows[size_t(lane)].port; }
    void accept() override;

private:
    struct Row {
        QLineEdit *port = nullptr;
        QComboBox *baudRate = nullptr;
        QComboBox *parity = nullptr;
        QSpinBox *timeout = nullptr;
    };
    // The row's controls, named after the lane, in the grid's row.
    Row AddRow(int lane, class QGridLayout &grid);

    std::vector<Row> m_rows;
};
