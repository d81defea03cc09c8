#include "tree/widgets/multiply_dialog.h"

#include "base/string_table.h"
#include "tree/hierarchy_strings.h"
#include "tree/multiply_dialog_logic.h"
#include "tree/tree_strings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

namespace {
// The label's text as a screen reader says it: without its access key.
QString Plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// Only the up-down buttons of a spin box: the number stands in the field
// beside it, where the user may type anything and OK checks it.
class UpDownButtons : public QSpinBox {
public:
    explicit UpDownButtons(QWidget *parent) : QSpinBox(parent)
    {
        lineEdit()->setVisible(false);
        setFixedWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 6);
    }
};
} // namespace

CMultiplyDlg::CMultiplyDlg(MultiplyDialogLogic &logic, QWidget *parent) : QDialog(parent), m_logic(logic)
{
    setObjectName(QStringLiteral("24596"));
    setWindowTitle(Str(TreeStrings::MultiplyTitle));
    m_baseText = new QLineEdit(logic.BaseText(), this);
    m_baseText->setObjectName(QStringLiteral("1021"));
    m_baseText->setMaxLength(MultiplyDialogLogic::kMaxBaseText);
    m_firstNumber = NumberField("1022", logic.FirstNumberText());
    m_numberOfItems = NumberField("1024", logic.NumberOfItemsText());
    m_numericPlaces = NumberField("1023", logic.NumericPlacesText());
    m_itemName = new QPlainTextEdit(logic.ItemName(), this);
    m_itemName->setObjectName(QStringLiteral("1020"));
    m_itemName->setReadOnly(true);
    m_itemName->setMaximumHeight(4 * fontMetrics().lineSpacing());
    m_subtree = new QCheckBox(Str(TreeStrings::IncludingSubtreeLabel), this);
    m_subtree->setObjectName(QStringLiteral("1027"));
    m_subtree->setAccessibleName(Plain(m_subtree->text()));
    m_subtree->setChecked(logic.IncludingSubtree());
    m_subtree->setVisible(!logic.Leaf());

    const auto withSpin = [this](QLineEdit *field, const char *spinId, int min, int max) {
        auto *row = new QHBoxLayout;
        row->setSpacing(0);
        row->addWidget(field);
        row->addWidget(SpinFor(field, spinId, min, max));
        return row;
    };
    auto *form = new QFormLayout;
    const auto addRow = [this, form](int labelId, QWidget *field, QLayout *row = nullptr) {
        auto *label = new QLabel(Str(labelId), this);
        label->setBuddy(field);
        field->setAccessibleName(Plain(label->text()));
        if (row) {
            // The spin buttons speak for the field they step.
            for (int i = 0; i < row->count(); ++i)
                if (QWidget *part = row->itemAt(i)->widget())
                    part->setAccessibleName(field->accessibleName());
            form->addRow(label, row);
        } else
            form->addRow(label, field);
    };
    addRow(TreeStrings::BaseTextLabel, m_baseText);
    addRow(TreeStrings::FirstNumberLabel, m_firstNumber);
    addRow(TreeStrings::NumberOfItemsLabel, m_numberOfItems,
           withSpin(m_numberOfItems, "1105", MultiplyDialogLogic::kMinItems, MultiplyDialogLogic::kMaxItems));
    addRow(
        TreeStrings::NumericPlacesLabel, m_numericPlaces,
        withSpin(m_numericPlaces, "1106", MultiplyDialogLogic::kMinPlaces, MultiplyDialogLogic::kMaxPlaces));
    addRow(TreeStrings::ItemNameLabel, m_itemName);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setText(Str(HierarchyStrings::OkButton));
    ok->setAccessibleName(ok->text());
    QPushButton *cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    cancel->setText(Str(HierarchyStrings::CancelButton));
    cancel->setAccessibleName(cancel->text());
    connect(buttons, &QDialogButtonBox::accepted, this, &CMultiplyDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMultiplyDlg::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_subtree);
    layout->addWidget(buttons);
}

QLineEdit *CMultiplyDlg::NumberField(const char *id, const QString &text)
{
    auto *field = new QLineEdit(text, this);
    field->setObjectName(QString::fromLatin1(id));
    return field;
}

QSpinBox *CMultiplyDlg::SpinFor(QLineEdit *field, const char *id, int min, int max)
{
    auto *spin = new UpDownButtons(this);
    spin->setObjectName(QString::fromLatin1(id));
    spin->setRange(min, max);
    bool ok = false;
    const int value = field->text().toInt(&ok);
    spin->setValue(ok ? value : min);
    connect(spin, &QSpinBox::valueChanged, field,
            [field](int value) { field->setText(QString::number(value)); });
    connect(field, &QLineEdit::textEdited, spin, [spin](const QString &text) {
        bool parsed = false;
        const int value = text.toInt(&parsed);
        if (parsed && value >= spin->minimum() && value <= spin->maximum()) {
            const QSignalBlocker blocker(spin);
            spin->setValue(value);
        }
    });
    return spin;
}

void CMultiplyDlg::accept()
{
    m_logic.SetBaseText(m_baseText->text());
    m_logic.SetFirstNumberText(m_firstNumber->text());
    m_logic.SetNumberOfItemsText(m_numberOfItems->text());
    m_logic.SetNumericPlacesText(m_numericPlaces->text());
    m_logic.SetIncludingSubtree(m_subtree->isChecked());
    if (!m_logic.Accept())
        return;
    QDialog::accept();
}

bool CMultiplyDlg::present(MultiplyDialogLogic &logic, QWidget *parent)
{
    CMultiplyDlg dialog(logic, parent);
    return dialog.exec() == QDialog::Accepted;
}

void CMultiplyDlg::install(QWidget *parent)
{
    QPointer<QWidget> guarded(parent);
    MultiplyDialogService::setPresenter(
        [guarded](MultiplyDialogLogic &logic) { return present(logic, guarded.data()); });
}
