#include "shell/widgets/instrument_list_preview.h"

#include "base/string_table.h"
#include "shell/instrument_list_commands.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton *Button(QDialogButtonBox *box, const QString &id, int text, QDialogButtonBox::ButtonRole role)
{
    QPushButton *button = box->addButton(Str(text), role);
    button->setObjectName(id);
    button->setAccessibleName(QString(button->text()).remove(u'&'));
    return button;
}
} // namespace

InstrumentListPreviewDialog::InstrumentListPreviewDialog(const ImportReport &report, const QString &summary,
                                                         QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("InstrumentListPreview"));
    setWindowTitle(Str(InstrumentListCommands::PreviewTitle));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(summary, this);
    label->setObjectName(QStringLiteral("previewSummary"));
    label->setWordWrap(true);
    layout->addWidget(label);
    m_lines = new QListWidget(this);
    m_lines->setObjectName(QStringLiteral("previewLines"));
    m_lines->setAccessibleName(summary);
    m_lines->addItems(report.Lines());
    layout->addWidget(m_lines, 1);
    if (!report.refused.empty()) {
        auto *hint = new QLabel(Str(InstrumentListCommands::RefusedHint), this);
        hint->setObjectName(QStringLiteral("refusedHint"));
        hint->setWordWrap(true);
        layout->addWidget(hint);
    }
    auto *buttons = new QDialogButtonBox(this);
    m_import = Button(buttons, QStringLiteral("importButton"), InstrumentListCommands::ImportButton,
                      QDialogButtonBox::AcceptRole);
    m_cancel = Button(buttons, QStringLiteral("cancelButton"), InstrumentListCommands::CancelButton,
                      QDialogButtonBox::RejectRole);
    m_import->setEnabled(report.accepted());
    m_import->setAutoDefault(false);
    m_cancel->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(720, 420);
}

bool InstrumentListPreviewDialog::Confirm(const ImportReport &report, QWidget *parent)
{
    InstrumentListPreviewDialog dialog(report, report.Summary(QString()), parent);
    return dialog.exec() == QDialog::Accepted;
}
