#include "commissioning/widgets/commissioning_ports_dialog.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "commissioning/commissioning_ports.h"
#include "commissioning/commissioning_strings.h"
#include "link/com_port.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace CommissioningStrings;

namespace {
enum Column { kLabelColumn, kPortColumn, kBaudColumn, kParityColumn, kTimeoutColumn };

// The control's object name and its accessible name (what its column says
// of this lane).
template <typename Control> Control *Named(Control *control, const QString &objectName, const QString &label)
{
    control->setObjectName(objectName);
    control->setAccessibleName(label);
    return control;
}
} // namespace

CommissioningPortsDialog::CommissioningPortsDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CommissioningPortsDialog"));
    setWindowTitle(Str(PortsTitle));
    auto *hint = new QLabel(Str(PortsHint), this);
    hint->setObjectName(QStringLiteral("CommissioningPortsHint"));
    hint->setWordWrap(true);
    auto *grid = new QGridLayout;
    for (const auto &[column, text] : {std::pair{kPortColumn, ColumnPort}, std::pair{kBaudColumn, ColumnBaudRate},
                                       std::pair{kParityColumn, ColumnParity},
                                       std::pair{kTimeoutColumn, ColumnTimeout}})
        grid->addWidget(new QLabel(Str(text), this), 0, column);
    const std::vector<CommissioningPorts::LanePort> ports = CommissioningPorts::Read(CommissioningPorts::configured());
    for (int lane = 0; lane < CommissioningPorts::kMaxLanes; ++lane) {
        Row row = AddRow(lane, *grid);
        const CommissioningPorts::LanePort port =
            size_t(lane) < ports.size() ? ports[size_t(lane)] : CommissioningPorts::LanePort();
        row.port->setText(port.name);
        row.baudRate->setCurrentText(QString::number(port.settings.baudRate));
        row.parity->setCurrentIndex(int(port.settings.parity));
        row.timeout->setValue(port.settings.timeoutMs);
        m_rows.push_back(row);
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
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

CommissioningPortsDialog::Row CommissioningPortsDialog::AddRow(int lane, QGridLayout &grid)
{
    const int number = lane + 1;
    const QString label = StrF(PortOfLane, {number});
    Row row;
    row.port = Named(new QLineEdit(this), QStringLiteral("CommissioningPort%1").arg(number), label);
    row.baudRate = Named(new QComboBox(this), QStringLiteral("CommissioningBaudRate%1").arg(number),
                         StrF(BaudRateOfLane, {number}));
    for (const int rate : LineSettings::kBaudRates)
        row.baudRate->addItem(QString::number(rate), rate);
    // In the order of LineSettings::Parity.
    row.parity = Named(new QComboBox(this), QStringLiteral("CommissioningParity%1").arg(number),
                       StrF(ParityOfLane, {number}));
    row.parity->addItems({Str(ParityNone), Str(ParityEven), Str(ParityOdd)});
    row.timeout = Named(new QSpinBox(this), QStringLiteral("CommissioningTimeout%1").arg(number),
                        StrF(TimeoutOfLane, {number}));
    row.timeout->setRange(LineSettings::kMinTimeoutMs, LineSettings::kMaxTimeoutMs);
    auto *caption = new QLabel(label, this);
    caption->setBuddy(row.port);
    grid.addWidget(caption, number, kLabelColumn);
    grid.addWidget(row.port, number, kPortColumn);
    grid.addWidget(row.baudRate, number, kBaudColumn);
    grid.addWidget(row.parity, number, kParityColumn);
    grid.addWidget(row.timeout, number, kTimeoutColumn);
    return row;
}

void CommissioningPortsDialog::accept()
{
    QStringList ports;
    for (const Row &row : m_rows) {
        LineSettings settings;
        settings.baudRate = row.baudRate->currentData().toInt();
        settings.parity = LineSettings::Parity(row.parity->currentIndex());
        settings.timeoutMs = row.timeout->value();
        // A blank port stays blank: its row is no lane.
        const QString name = row.port->text().trimmed();
        ports << (name.isEmpty() ? QString() : CommissioningPorts::LanePort{name, settings}.Text());
    }
    QString refusal;
    if (!CommissioningPorts::Configure(ports, ComPort::configuredName(), &refusal)) {
        MessageService::error(refusal);
        return;
    }
    QDialog::accept();
}
