#include "tree/widgets/module_dialog.h"

#include "base/string_table.h"
#include "tree/hierarchy_strings.h"
#include "tree/module_dialog_logic.h"
#include "tree/module_dialog_service.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
QLabel *MakeLabel(int stringId, QWidget *parent)
{
    return new QLabel(Str(stringId), parent);
}
} // namespace

ModuleDialog::ModuleDialog(ModuleDialogLogic &logic, QWidget *parent) : QDialog(parent), m_logic(logic)
{
    setObjectName(QStringLiteral("215"));
    setWindowTitle(logic.Title());
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("1320"));
    m_channels = new QLabel(this);
    m_channels->setObjectName(QStringLiteral("1321"));
    m_name1 = new QLineEdit(this);
    m_name1->setObjectName(QStringLiteral("1322"));
    m_name2 = new QLineEdit(this);
    m_name2->setObjectName(QStringLiteral("1323"));
    m_name2Label = MakeLabel(HierarchyStrings::SignalName2Label, this);
    m_name2Label->setObjectName(QStringLiteral("1324"));
    m_moduleName = new QLabel(this);
    m_moduleName->setObjectName(QStringLiteral("1325"));
    m_moduleName->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *form = new QFormLayout;
    form->addRow(MakeLabel(HierarchyStrings::ModuleTypeLabel, this), m_type);
    form->addRow(MakeLabel(HierarchyStrings::ChannelsLabel, this), m_channels);
    form->addRow(MakeLabel(HierarchyStrings::SignalName1Label, this), m_name1);
    form->addRow(m_name2Label, m_name2);
    form->addRow(MakeLabel(HierarchyStrings::ModuleNameLabel, this), m_moduleName);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = m_buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setText(Str(HierarchyStrings::OkButton));
    QPushButton *cancel = m_buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    cancel->setText(Str(HierarchyStrings::CancelButton));
    cancel->setEnabled(logic.CancelEnabled());
    connect(m_buttons, &QDialogButtonBox::accepted, this, &ModuleDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &ModuleDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_buttons);

    FillTypes();
    m_name1->setText(logic.SignalName1());
    m_name2->setText(logic.SignalName2());
    connect(m_name1, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_logic.SetSignalName1(text);
        ShowState();
    });
    connect(m_name2, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_logic.SetSignalName2(text);
        ShowState();
    });
    connect(m_type, &QComboBox::currentIndexChanged, this, &ModuleDialog::TypeChosen);
    ShowState();
}

void ModuleDialog::FillTypes()
{
    const QSignalBlocker blocker(m_type);
    m_type->clear();
    if (m_logic.TypeChoiceEnabled()) {
        for (const ModuleTypeChoice &choice : m_logic.TypeChoices())
            m_type->addItem(choice.name, choice.id);
        m_type->setCurrentIndex(m_logic.ChosenType());
    } else if (m_logic.Prepared()) {
        m_type->addItem(m_logic.TypeName(), m_logic.TypeId());
    }
    m_type->setEnabled(m_logic.TypeChoiceEnabled());
}

void ModuleDialog::TypeChosen(int index)
{
    m_logic.ChooseType(index);
    ShowState();
}

void ModuleDialog::ShowState()
{
    m_channels->setText(m_logic.Prepared() ? m_logic.ChannelCountText() : QString());
    m_name2->setEnabled(m_logic.SecondNameEnabled());
    m_name2Label->setEnabled(m_logic.SecondNameEnabled());
    m_moduleName->setText(m_logic.ModuleName());
}

void ModuleDialog::accept()
{
    if (!m_logic.Accept())
        return;
    // The logic keeps the names without their trailing blanks.
    m_name1->setText(m_logic.SignalName1());
    m_name2->setText(m_logic.SignalName2());
    ShowState();
    QDialog::accept();
}

void ModuleDialog::reject()
{
    if (m_logic.CancelEnabled())
        QDialog::reject();
}

bool ModuleDialog::present(ModuleDialogLogic &logic, QWidget *parent)
{
    ModuleDialog dialog(logic, parent);
    return dialog.exec() == QDialog::Accepted;
}

void ModuleDialog::install(QWidget *parent)
{
    QPointer<QWidget> guarded(parent);
    ModuleDialogService::setPresenter(
        [guarded](ModuleDialogLogic &logic) { return present(logic, guarded.data()); });
}
