#include "link/widgets/property_tab_view.h"

#include "link/link_controller.h"
#include "link/module_transfer.h"
#include "link/monitoring_values.h"
#include "link/widgets/monitoring_page.h"
#include "link/transfer_strings.h"
#include "base/string_table.h"
#include "log/log_strings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
enum : int {
    kDiagnose = 62386,
    kAdjust = 62300,
    kModuleType = 62389,
    kModuleTag = 62390,
    kLimitValue = 62391,
    kResetLimit = 62392,
    kChannel1 = 62351,
    kChannelTitle = 62388,
};

// The rows of live states the Diagnose page shows at the least.
constexpr int kRowsAlwaysShown = 6;

QString IdName(int id)
{
    return QString::number(id);
}
} // namespace

CDiagnosePage::CDiagnosePage(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    // The panel is low beside the log: the page keeps its height for the
    // rows of live states.
    constexpr int kMargin = 4;
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kMargin);
    m_identity = new QVBoxLayout;
    m_identity->setSpacing(kMargin);
    const std::array<int, 5> labels = {kModuleType, TransferStrings::Revision, TransferStrings::SerialNumber,
                                       kModuleTag, TransferStrings::LastProgrammedDate};
    const std::array<int, 5> ids = {1278, 1279, 1281, 1284, 1316};
    for (size_t i = 0; i < labels.size(); ++i) {
        m_header[i] = new QLineEdit(this);
        m_header[i]->setReadOnly(true);
        m_header[i]->setObjectName(IdName(ids[i]));
        m_labels[i] = new QLabel(Str(labels[i]), this);
        m_labels[i]->setBuddy(m_header[i]);
        m_header[i]->setAccessibleName(m_labels[i]->text());
    }
    FlowIdentity();
    layout->addLayout(m_identity);
    m_table = new QTableWidget(0, 3, this);
    m_table->setObjectName(QStringLiteral("DiagnoseList"));
    m_table->setAccessibleName(Str(kDiagnose));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    // One line of text a row: the rows are read, never edited.
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    const std::array<QString, 3> titles = DiagnoseRows::ColumnTitles();
    m_table->setHorizontalHeaderLabels({titles[0], titles[1], titles[2]});
    // The labels are read whole; the two channels share what is left.
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    layout->addWidget(m_table, 1);
    // A low panel scrolls the page rather than squeeze the live states to a
    // row or two under the identity fields.
    m_table->setMinimumHeight(m_table->horizontalHeader()->sizeHint().height() +
                              kRowsAlwaysShown * m_table->verticalHeader()->defaultSectionSize() +
                              2 * m_table->frameWidth());
}

// A label and a field wide enough for what the field holds: a revision is
// short, a module tag long.
int CDiagnosePage::PairWidth(size_t pair) const
{
    static constexpr std::array<int, 5> kFieldCharacters = {13, 6, 13, 16, 10};
    const int digit = m_header[pair]->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int field = std::max(kFieldCharacters[pair] * digit, m_header[pair]->minimumSizeHint().width());
    return m_labels[pair]->sizeHint().width() + field + 3 * m_identity->spacing();
}

void CDiagnosePage::FlowIdentity()
{
    const QMargins margins = layout() ? layout()->contentsMargins() : QMargins();
    const int width = this->width() - margins.left() - margins.right();
    std::vector<std::vector<size_t>> lines;
    int used = 0;
    for (size_t pair = 0; pair < m_header.size(); ++pair) {
        const int needed = PairWidth(pair);
        if (lines.empty() || used + needed > width) {
            lines.emplace_back();
            used = 0;
        }
        lines.back().push_back(pair);
        used += needed;
    }
    if (lines == m_identityLines)
        return;
    m_identityLines = lines;
    while (QLayoutItem *item = m_identity->takeAt(0))
        delete item;
    for (const std::vector<size_t> &line : lines) {
        auto *row = new QHBoxLayout;
        row->setSpacing(m_identity->spacing());
        for (size_t pair : line) {
            row->addWidget(m_labels[pair]);
            // The fields share what the labels leave, in proportion to what
            // they hold.
            row->addWidget(m_header[pair], PairWidth(pair));
        }
        m_identity->addLayout(row);
    }
}

void CDiagnosePage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FlowIdentity();
}

void CDiagnosePage::Show(const DiagnoseContent &content)
{
    const std::array<QString, 5> header = {content.header.moduleType, content.header.revision,
                                           content.header.serialNumber, content.header.moduleTag,
                                           content.header.date};
    // A tag wider than its field shows its start, as it is read.
    for (size_t i = 0; i < header.size(); ++i) {
        m_header[i]->setText(header[i]);
        m_header[i]->setCursorPosition(0);
    }
    m_table->setRowCount(int(content.rows.size()));
    for (int row = 0; row < int(content.rows.size()); ++row) {
        const DiagnoseRow &source = content.rows[size_t(row)];
        const std::array<QString, 3> cells = {source.label, source.cells[0], source.cells[1]};
        for (int column = 0; column < 3; ++column) {
            QTableWidgetItem *item = m_table->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                m_table->setItem(row, column, item);
            }
            item->setText(cells[size_t(column)]);
        }
    }
    KeepValuesWhole();
}

// A channel's column never gets narrower than its widest value
// ("Wiedereinschaltsperre"): a narrow panel scrolls instead of cutting it.
void CDiagnosePage::KeepValuesWhole()
{
    const QFontMetrics metrics = m_table->fontMetrics();
    // The cell's own margins on either side of its text.
    const int margins = 2 * m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 8;
    int widest = 0;
    for (int row = 0; row < m_table->rowCount(); ++row)
        for (int column = 1; column < 3; ++column)
            if (const QTableWidgetItem *item = m_table->item(row, column))
                widest = std::max(widest, metrics.horizontalAdvance(item->text()));
    m_table->horizontalHeader()->setMinimumSectionSize(widest + margins);
}

CAdjustPage::CAdjustPage(LinkController &link, QWidget *parent) : QWidget(parent), m_link(link)
{
    auto *layout = new QVBoxLayout(this);
    MakeGroup(1, 1287, 1293);
    MakeGroup(2, 1290, 1295);
    for (const ChannelGroup &group : m_groups)
        layout->addWidget(group.frame);
    layout->addStretch(1);
}

void CAdjustPage::MakeGroup(int channel, int actionId, int resetId)
{
    ChannelGroup &group = m_groups[size_t(channel - 1)];
    group.frame = new QGroupBox(Str(kChannel1 + channel - 1), this);
    auto *grid = new QGridLayout(group.frame);
    group.actionLabel = new QLabel(group.frame);
    group.actionLabel->setObjectName(IdName(channel == 1 ? 1358 : 1359));
    group.action = new QPushButton(group.frame);
    group.action->setObjectName(IdName(actionId));
    group.resetLabel = new QLabel(Str(kLimitValue), group.frame);
    group.reset = new QPushButton(Str(kResetLimit), group.frame);
    group.reset->setObjectName(IdName(resetId));
    grid->addWidget(group.actionLabel, 0, 0);
    grid->addWidget(group.action, 0, 1);
    grid->addWidget(group.resetLabel, 1, 0);
    grid->addWidget(group.reset, 1, 1);
    connect(group.action, &QPushButton::clicked, this,
            [this, &group] { m_link.RequestAction(group.shownAction.action); });
    connect(group.reset, &QPushButton::clicked, this,
            [this, &group] { m_link.RequestAction(group.shownReset.action); });
}

void CAdjustPage::ShowButton(QLabel *label, QPushButton *button, const AdjustActions::Button &state)
{
    label->setVisible(state.shown);
    button->setVisible(state.shown);
    button->setEnabled(state.enabled);
    if (state.labelText != 0)
        label->setText(Str(state.labelText));
    if (state.buttonText != 0)
        button->setText(Str(state.buttonText));
}

void CAdjustPage::Show(const AdjustActions::Page &page)
{
    for (size_t i = 0; i < m_groups.size(); ++i) {
        ChannelGroup &group = m_groups[i];
        group.shownAction = page.channelAction[i];
        group.shownReset = page.resetLimitValue[i];
        ShowButton(group.actionLabel, group.action, group.shownAction);
        ShowButton(group.resetLabel, group.reset, group.shownReset);
        // A group with nothing shown goes as a whole (channel 2 of 7220).
        group.frame->setVisible(group.shownAction.shown || group.shownReset.shown);
    }
}

// The identity fields and buttons keep their height in a low bottom row and
// scroll instead of being squeezed over each other.
static QWidget *Scrolled(QWidget *page)
{
    auto *area = new QScrollArea;
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(page);
    return area;
}

CPropertyTabView::CPropertyTabView(ModuleTransfer &transfer, LinkController &link, QWidget *parent)
    : QTabWidget(parent), m_transfer(transfer)
{
    m_diagnose = new CDiagnosePage(this);
    m_diagnose->setObjectName(IdName(145));
    m_adjust = new CAdjustPage(link, this);
    m_adjust->setObjectName(IdName(146));
    addTab(Scrolled(m_diagnose), Str(kDiagnose));
    addTab(Scrolled(m_adjust), Str(kAdjust));
    BuildMonitoring();
}

ModuleFamily CPropertyTabView::LiveFamily() const
{
    // Without its type row the module is shown in the base family's terms.
    return m_transfer.LiveFamily().value_or(Family7230);
}

void CPropertyTabView::BuildMonitoring()
{
    // The pages of another module go with their scales and trends.
    for (CMonitoringPage *page : m_monitoring)
        for (int tab = 0; tab < count(); ++tab)
            if (widget(tab)->isAncestorOf(page)) {
                delete widget(tab);
                break;
            }
    m_monitoring.clear();
    m_builtFor = m_transfer.LiveModuleNumber();
    const int channels = m_transfer.LiveImage().IsTwoChannel() ? 2 : 1;
    for (int channel = 1; channel <= channels; ++channel) {
        auto *page = new CMonitoringPage(channel, LiveFamily(), this);
        page->setObjectName(IdName(165));
        m_monitoring.push_back(page);
        // A low panel scrolls the page rather than squeeze its bar and trend.
        addTab(Scrolled(page), Str(LogStrings::Monitoring) + StrF(kChannelTitle, {channel}));
    }
}

void CPropertyTabView::ShowMonitoring(const CModuleImage &image, ModuleFamily family)
{
    const MonitoringValues values(m_transfer.Texts());
    const QDateTime now = QDateTime::currentDateTime();
    for (int channel = 1; channel <= int(m_monitoring.size()); ++channel)
        m_monitoring[size_t(channel - 1)]->ShowRecord(values.RecordOf(image, channel, family),
                                                      values.TickLabels(image, channel, family), now);
}

void CPropertyTabView::Refresh()
{
    if (m_builtFor != m_transfer.LiveModuleNumber())
        BuildMonitoring();
    const CModuleImage &image = m_transfer.LiveImage();
    const ModuleFamily family = LiveFamily();
    ShowMonitoring(image, family);
    m_diagnose->Show(DiagnoseRows(m_transfer.Texts()).Build(image, family));
    m_adjust->Show(AdjustActions::PageFor(image, family));
}
