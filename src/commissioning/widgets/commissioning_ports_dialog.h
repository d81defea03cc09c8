#pragma once

#include <QDialog>

#include <vector>

class QLineEdit;

// Options > "Commissioning ports...": the port of each lane of the bench,
// one to eight. The rules are CommissioningPorts'; a refusal is shown and the
// dialog stays open with nothing stored.
class CommissioningPortsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CommissioningPortsDialog(QWidget *parent = nullptr);

    QLineEdit *portEdit(int lane) const { return m_edits[size_t(lane)]; }
    void accept() override;

private:
    std::vector<QLineEdit *> m_edits;
};
