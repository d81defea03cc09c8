#include "shell/widgets/instrument_list_preview.h"

#include "base/string_table.h"
#include "shell/instrument_list_commands.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
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
                                                         SaveReport save, QWidget *parent)
    : QDialog(parent), m_report(report)
{
    setObjectName(QStringLiteral("InstrumentListPreview"));
    setWindowTitle(Str(InstrumentListCommands::PreviewTitle));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(summary, this);
    label->setObjectName(QStringLiteral("previewSummary"));
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *filterRow = new QHBoxLayout;
    auto *filterLabel = new QLabel(Str(InstrumentListCommands::ShowLines), this);
    m_filter = new QComboBox(this);
    m_filter->setObjectName(QStringLiteral("previewFilter"));
    m_filter->setAccessibleName(QString(filterLabel->text()).remove(u'&').remove(u':').trimmed());
    filterLabel->setBuddy(m_filter);
    const std::pair<int, ImportLines> kinds[] = {{InstrumentListCommands::AllLines, ImportLines::All},
                                                 {InstrumentListCommands::RefusedLines, ImportLines::Refused},
                                                 {InstrumentListCommands::AddedLines, ImportLines::Added},
                                                 {InstrumentListCommands::ChangedLines, ImportLines::Changed},
                                                 {InstrumentListCommands::MovedLines, ImportLines::Moved}};
    for (const auto &[text, kind] : kinds)
        m_filter->addItem(Str(text), int(kind));
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter);
    filterRow->addStretch(1);
    layout->addLayout(filterRow);
    m_lines = new QListWidget(this);
    m_lines->setObjectName(QStringLiteral("previewLines"));
    m_lines->setAccessibleName(summary);
    layout->addWidget(m_lines, 1);
    ShowLines();
    connect(m_filter, &QComboBox::currentIndexChanged, this, &InstrumentListPreviewDialog::ShowLines);
    if (!report.refused.empty()) {
        auto *hint = new QLabel(Str(InstrumentListCommands::RefusedHint), this);
        hint->setObjectName(QStringLiteral("refusedHint"));
        hint->setWordWrap(true);
        layout->addWidget(hint);
    }
    auto *buttons = new QDialogButtonBox(this);
    m_save = Button(buttons, QStringLiteral("saveReportButton"), InstrumentListCommands::SaveReportButton,
                    QDialogButtonBox::ActionRole);
    m_save->setAutoDefault(false);
    m_save->setEnabled(bool(save));
    connect(m_save, &QPushButton::clicked, this, [this, save] { save(m_report); });
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

void InstrumentListPreviewDialog::ShowLines()
{
    m_lines->clear();
    m_lines->addItems(m_report.Lines(ImportLines(m_filter->currentData().toInt())));
}

bool InstrumentListPreviewDialog::Confirm(const ImportReport &report, SaveReport save, QWidget *parent)
{
    InstrumentListPreviewDialog dialog(report, report.Summary(QString()), std::move(save), parent);
    return dialog.exec() == QDialog::Accepted;
}
