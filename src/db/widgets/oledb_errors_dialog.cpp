#include "db/widgets/oledb_errors_dialog.h"

#include "db/db_strings.h"
#include "base/settings.h"
#include "base/string_table.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {
const QString kDetailsSetting = QStringLiteral("OLEDBErr.DispDetailsErrors");
}

COLEDBErrorsDialog::COLEDBErrorsDialog(const QString &topText, std::vector<ProviderErrorRecord> records,
                                       QWidget *parent, SettingsSection *settings)
    : QDialog(parent), m_records(std::move(records)), m_settings(settings)
{
    setObjectName(QStringLiteral("OLEDBErrorsDialog"));
    setWindowTitle(Str(DbStrings::DialogTitle));
    buildLayout(topText.isEmpty() ? Str(DbStrings::NoApplicationMessage) : topText);
    fillSources();

    // Both heights are measured once; the details setting picks one of them.
    layout()->activate();
    m_fullHeight = sizeHint().height();
    m_details->setVisible(false);
    layout()->activate();
    m_collapsedHeight = sizeHint().height();
    m_detailsShown = storedDetails();
    applyDetails(false);
}

void COLEDBErrorsDialog::buildLayout(const QString &topText)
{
    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    auto *top = new QLabel(topText, this);
    top->setObjectName(QStringLiteral("topText"));
    top->setWordWrap(true);
    top->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->setMinimumWidth(360);

    auto *ok = new QPushButton(Str(DbStrings::OkButton), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    m_detailsButton = new QPushButton(this);
    m_detailsButton->setObjectName(QStringLiteral("detailsButton"));
    connect(m_detailsButton, &QPushButton::clicked, this, &COLEDBErrorsDialog::toggleDetails);

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    m_details = new QWidget(this);
    m_details->setObjectName(QStringLiteral("details"));
    m_sources = new QListWidget(m_details);
    m_sources->setObjectName(QStringLiteral("sourceList"));
    m_description = new QPlainTextEdit(m_details);
    m_description->setObjectName(QStringLiteral("descriptionEdit"));
    m_description->setReadOnly(true);
    m_code = new QLineEdit(m_details);
    m_code->setObjectName(QStringLiteral("codeEdit"));
    m_code->setReadOnly(true);
    auto *sourceLabel = new QLabel(Str(DbStrings::SourceLabel), m_details);
    sourceLabel->setBuddy(m_sources);
    auto *descriptionLabel = new QLabel(Str(DbStrings::DescriptionLabel), m_details);
    descriptionLabel->setBuddy(m_description);
    auto *codeLabel = new QLabel(Str(DbStrings::CodeLabel), m_details);
    codeLabel->setBuddy(m_code);
    auto *detailsLayout = new QGridLayout(m_details);
    detailsLayout->setContentsMargins(0, 0, 0, 0);
    detailsLayout->addWidget(sourceLabel, 0, 0);
    detailsLayout->addWidget(descriptionLabel, 0, 1);
    detailsLayout->addWidget(m_sources, 1, 0);
    detailsLayout->addWidget(m_description, 1, 1);
    detailsLayout->addWidget(codeLabel, 2, 0);
    detailsLayout->addWidget(m_code, 2, 1);
    detailsLayout->setColumnStretch(1, 2);

    auto *grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, Qt::AlignTop);
    grid->addWidget(top, 0, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(m_detailsButton);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2);
    grid->addWidget(line, 1, 0, 1, 3);
    grid->addWidget(m_details, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
}

void COLEDBErrorsDialog::fillSources()
{
    for (const ProviderErrorRecord &record : m_records)
        m_sources->addItem(record.source);
    if (m_records.empty())
        m_sources->addItem(Str(DbStrings::UnspecifiedError));
    connect(m_sources, &QListWidget::currentRowChanged, this, &COLEDBErrorsDialog::showRecord);
    m_sources->setCurrentRow(0);
    showRecord(0);
}

void COLEDBErrorsDialog::showRecord(int row)
{
    if (row < 0)
        return;
    if (size_t(row) < m_records.size()) {
        m_description->setPlainText(m_records[size_t(row)].description);
        m_code->setText(m_records[size_t(row)].code);
    } else {
        m_description->setPlainText(Str(DbStrings::NoSpecificInformation));
        m_code->clear();
    }
}

void COLEDBErrorsDialog::applyDetails(bool keepOnScreen)
{
    m_details->setVisible(m_detailsShown);
    m_detailsButton->setText(Str(m_detailsShown ? DbStrings::DetailsShown : DbStrings::DetailsHidden));
    setFixedHeight(m_detailsShown ? m_fullHeight : m_collapsedHeight);
    if (!keepOnScreen || !screen())
        return;
    const QRect desktop = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    if (frame.bottom() > desktop.bottom())
        move(x(), std::max(desktop.top(), y() - (frame.bottom() - desktop.bottom())));
}

bool COLEDBErrorsDialog::storedDetails() const
{
    return (m_settings ? m_settings->value(kDetailsSetting) : ReadSetting(kDetailsSetting)).toInt() != 0;
}

void COLEDBErrorsDialog::storeDetails(bool shown)
{
    if (m_settings)
        m_settings->setValue(kDetailsSetting, shown ? 1 : 0);
    else
        WriteSetting(kDetailsSetting, shown ? 1 : 0);
}

void COLEDBErrorsDialog::toggleDetails()
{
    m_detailsShown = !m_detailsShown;
    storeDetails(m_detailsShown);
    applyDetails(true);
}

void COLEDBErrorsDialog::install(QWidget *parent, SettingsSection *settings)
{
    DataErrorReporter::setPresenter(
        [parent, settings](const QString &topText, const std::vector<ProviderErrorRecord> &records) {
            COLEDBErrorsDialog dialog(topText, records, parent, settings);
            dialog.exec();
        });
}
