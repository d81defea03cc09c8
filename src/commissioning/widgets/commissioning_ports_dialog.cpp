#include "commissioning/widgets/commissioning_ports_dialog.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "commissioning/commissioning_ports.h"
#include "commissioning/commissioning_strings.h"
#include "link/com_port.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace CommissioningStrings;

CommissioningPortsDialog::CommissioningPortsDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CommissioningPortsDialog"));
    setWindowTitle(Str(PortsTitle));
    auto *hint = new QLabel(Str(PortsHint), this);
    hint->setObjectName(QStringLiteral("CommissioningPortsHint"));
    hint->setWordWrap(true);
    auto *form = new QFormLayout;
    const QStringList ports = CommissioningPorts::configured();
    for (int lane = 0; lane < CommissioningPorts::kMaxLanes; ++lane) {
        auto *edit = new QLineEdit(ports.value(lane), this);
        const QString label = StrF(PortOfLane, {lane + 1});
        edit->setObjectName(QStringLiteral("CommissioningPort%1").arg(lane + 1));
        edit->setAccessibleName(label);
        form->addRow(label, edit);
        m_edits.push_back(edit);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("CommissioningPortsButtons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("CommissioningPortsOk"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(buttons->button(QDialogButtonBox::Ok)->text());
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CommissioningPortsCancel"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(buttons->button(QDialogButtonBox::Cancel)->text());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CommissioningPortsDialog::accept()
{
    QStringList ports;
    for (const QLineEdit *edit : m_edits)
        ports << edit->text();
    QString refusal;
    if (!CommissioningPorts::Configure(ports, ComPort::configuredName(), &refusal)) {
        MessageService::error(refusal);
        return;
    }
    QDialog::accept();
}
