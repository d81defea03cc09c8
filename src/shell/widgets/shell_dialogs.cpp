#include "shell/widgets/shell_dialogs.h"

#include "base/shell_strings.h"
#include "base/string_table.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace ShellStrings;

namespace {
QLineEdit *PasswordField(const QString &id, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(id);
    field->setEchoMode(QLineEdit::Password);
    return field;
}

// A label whose access key moves to its field; the field is named by it.
QLabel *BuddyLabel(int textId, QWidget *field, QWidget *parent)
{
    auto *label = new QLabel(Str(textId), parent);
    label->setBuddy(field);
    field->setAccessibleName(QString(label->text()).remove(u'&'));
    return label;
}

QPushButton *Button(QDialogButtonBox *box, int textId, const QString &id, QDialogButtonBox::ButtonRole role)
{
    QPushButton *button = box->addButton(Str(textId), role);
    button->setObjectName(id);
    button->setAccessibleName(QString(button->text()).remove(u'&'));
    return button;
}
} // namespace

// ---------------------------------------------------------------- login

LoginDialog::LoginDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("567"));
    setWindowTitle(Str(LoginCaption));
    m_password = PasswordField(QStringLiteral("1304"), this);
    auto *form = new QFormLayout;
    form->addRow(BuddyLabel(LoginPassword, m_password, this), m_password);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = Button(buttons, Ok, QStringLiteral("1"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString LoginDialog::typed() const
{
    return result() == QDialog::Accepted ? m_password->text() : QString();
}

QString LoginDialog::Ask(QWidget *parent)
{
    LoginDialog dialog(parent);
    dialog.exec();
    return dialog.typed();
}

// ---------------------------------------------------------------- password

PasswordDialog::PasswordDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("566"));
    setWindowTitle(Str(PasswordCaption));
    m_new = PasswordField(QStringLiteral("1304"), this);
    m_confirm = PasswordField(QStringLiteral("1305"), this);
    m_new->setMaxLength(PasswordDialogLogic::kMaximumLength);
    m_confirm->setMaxLength(PasswordDialogLogic::kMaximumLength);
    auto *form = new QFormLayout;
    form->addRow(BuddyLabel(NewPassword, m_new, this), m_new);
    form->addRow(BuddyLabel(ConfirmPassword, m_confirm, this), m_confirm);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *activate = Button(buttons, Activate, QStringLiteral("1"), QDialogButtonBox::AcceptRole);
    QPushButton *deactivate = Button(buttons, DeActivate, QStringLiteral("4"), QDialogButtonBox::ActionRole);
    QPushButton *cancel = Button(buttons, Cancel, QStringLiteral("2"), QDialogButtonBox::RejectRole);
    activate->setDefault(true);
    deactivate->setEnabled(m_logic.DeactivateEnabled());
    connect(activate, &QPushButton::clicked, this,
            [this] { Finish(m_logic.Activate(m_new->text(), m_confirm->text())); });
    connect(deactivate, &QPushButton::clicked, this, [this] { Finish(m_logic.Deactivate()); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void PasswordDialog::Finish(PasswordDialogLogic::Outcome outcome)
{
    if (outcome == PasswordDialogLogic::Outcome::Open)
        return;
    m_outcome = outcome;
    if (outcome == PasswordDialogLogic::Outcome::Confirmed)
        QDialog::accept();
    else
        QDialog::reject();
}

void PasswordDialog::Run(QWidget *parent)
{
    PasswordDialog dialog(parent);
    dialog.exec();
    dialog.m_logic.Conclude(dialog.outcome());
}

// ---------------------------------------------------------------- port

PortDialog::PortDialog(const QString &currentPort, std::vector<PortChoice> ports, QWidget *parent)
    : QDialog(parent), m_logic(currentPort, std::move(ports))
{
    setObjectName(QStringLiteral("195"));
    setWindowTitle(Str(PortCaption));
    m_ports = new QComboBox(this);
    m_ports->setObjectName(QStringLiteral("SerialPort"));
    // A device path can be typed: pseudo-terminals are not listed.
    m_ports->setEditable(true);
    m_ports->setInsertPolicy(QComboBox::NoInsert);
    m_ports->setMinimumContentsLength(32);
    for (const PortChoice &port : m_logic.Ports())
        m_ports->addItem(port.Label());
    m_ports->setCurrentIndex(m_logic.CurrentIndex());
    m_ports->setToolTip(Str(PortPathHint));

    auto *baud = new QComboBox(this);
    baud->setObjectName(QStringLiteral("BaudRate"));
    baud->addItems(PortSettingsLogic::BaudRates());
    baud->setCurrentIndex(PortSettingsLogic::kSelectedBaudRate);
    baud->setEnabled(false);

    auto *form = new QFormLayout;
    form->addRow(BuddyLabel(SerialPortLabel, m_ports, this), m_ports);
    form->addRow(BuddyLabel(BaudRateLabel, baud, this), baud);
    auto *hint = new QLabel(Str(PortPathHint), this);
    hint->setWordWrap(true);
    form->addRow(hint);

    auto *buttons = new QDialogButtonBox(this);
    Button(buttons, Save, QStringLiteral("1"), QDialogButtonBox::AcceptRole)->setDefault(true);
    Button(buttons, Cancel, QStringLiteral("2"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void PortDialog::accept()
{
    const int index = m_ports->currentIndex();
    const bool typedOwn = index < 0 || m_ports->currentText() != m_ports->itemText(index);
    m_chosen = m_logic.Save(index, typedOwn ? m_ports->currentText() : QString());
    if (m_chosen)
        QDialog::accept();
}

// ---------------------------------------------------------------- about

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("100"));
    setWindowTitle(Str(AboutCaption));
    auto *logo = new QLabel(this);
    logo->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(48, 48));
    auto *name = new QLabel(QStringLiteral("<b>%1</b>").arg(Str(ProductName).toHtmlEscaped()), this);
    auto *grid = new QFormLayout;
    grid->addRow(name);
    grid->addRow(new QLabel(Str(ProductVersion), this), new QLabel(QStringLiteral("3.04.00"), this));
    grid->addRow(new QLabel(Str(FileVersion), this), new QLabel(QStringLiteral("3.04.00"), this));
    auto *contact = new QLabel(Str(ContactLines), this);
    contact->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    grid->addRow(contact);

    auto *top = new QHBoxLayout;
    top->addWidget(logo, 0, Qt::AlignTop);
    top->addLayout(grid, 1);
    auto *buttons = new QDialogButtonBox(this);
    Button(buttons, Ok, QStringLiteral("1"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}
