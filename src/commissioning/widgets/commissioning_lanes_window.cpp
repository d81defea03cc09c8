#include "commissioning/widgets/commissioning_lanes_window.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "commissioning/commissioning_lanes.h"
#include "commissioning/commissioning_queue_model.h"
#include "commissioning/commissioning_run.h"
#include "commissioning/commissioning_strings.h"
#include "commissioning/widgets/run_controls.h"
#include "commissioning/widgets/verdict_band.h"
#include "link/link_shared.h"

#include <QBoxLayout>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QTableView>
#include <QTimer>

using namespace CommissioningStrings;

CommissioningLanesWindow::CommissioningLanesWindow(const CommissioningSetup &setup,
                                                   std::unique_ptr<CommissioningLanes> lanes, QWidget *parent)
    : QDialog(parent), m_setup(setup), m_lanes(std::move(lanes))
{
    setObjectName(QStringLiteral("CommissioningLanesWindow"));
    setWindowTitle(Str(WindowTitle));
    auto *layout = new QVBoxLayout(this);
    m_bandLayout = new QBoxLayout(QBoxLayout::LeftToRight);
    layout->addLayout(m_bandLayout);
    for (int lane = 0; lane < m_lanes->count(); ++lane)
        AddBand(lane);

    m_model = new CommissioningQueueModel(m_lanes->run(0), this);
    for (int lane = 1; lane < m_lanes->count(); ++lane)
        m_model->Follow(m_lanes->run(lane));
    m_table = RunControls::QueueTable(*m_model, *this);
    layout->addWidget(m_table, 1);

    auto *buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    m_take = AddButton(ButtonTake, QStringLiteral("CommissioningTake"));
    m_skip = AddButton(ButtonSkip, QStringLiteral("CommissioningSkip"));
    m_retry = AddButton(ButtonRetry, QStringLiteral("CommissioningRetry"));
    QPushButton *close = AddButton(ButtonClose, QStringLiteral("CommissioningClose"));
    for (QPushButton *button : {m_take, m_skip, m_retry, close})
        buttons->addWidget(button);
    m_take->setDefault(true);
    connect(m_take, &QPushButton::clicked, this, [this] { m_lanes->run(m_active).Confirm(); });
    connect(m_skip, &QPushButton::clicked, this, [this] { m_lanes->run(m_active).SkipKey(SelectedRow()); });
    connect(m_retry, &QPushButton::clicked, this, [this] { m_lanes->run(m_active).Retry(SelectedRow()); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // The buttons' letters work without Alt: nothing here takes typed text.
    const std::pair<int, QPushButton *> keys[] = {{Qt::Key_S, m_skip}, {Qt::Key_E, m_retry}};
    for (const auto &[key, button] : keys)
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, button, &QPushButton::click);
    for (int lane = 0; lane < m_lanes->count(); ++lane) {
        auto *key = new QShortcut(QKeySequence(Qt::Key_1 + lane), this);
        connect(key, &QShortcut::activated, this, [this, lane] { Activate(lane); });
    }
    resize(std::max(900, kBandWidth * m_lanes->count()), 650);
    Activate(0);
}

CommissioningLanesWindow::~CommissioningLanesWindow()
{
    // The table asks its model while the dialog hides; the model reads the
    // lanes, which go before the dialog's children do.
    hide();
    m_table->setModel(nullptr);
}

QPushButton *CommissioningLanesWindow::AddButton(int textId, const QString &id)
{
    return RunControls::Button(textId, id, *this);
}

void CommissioningLanesWindow::AddBand(int lane)
{
    CommissioningRun &run = m_lanes->run(lane);
    Band band;
    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("CommissioningLane%1").arg(lane + 1));
    frame->setFrameShape(QFrame::StyledPanel);
    band.frame = frame;
    const QString title = StrF(LaneTitle, {lane + 1, m_lanes->port(lane)});
    frame->setAccessibleName(title);
    band.title = new QLabel(title, frame);
    band.title->setObjectName(QStringLiteral("CommissioningLaneTitle%1").arg(lane + 1));
    band.title->setAccessibleName(title);
    QFont bold = band.title->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    band.title->setFont(bold);
    band.verdict = new QLabel(frame);
    band.verdict->setObjectName(QStringLiteral("CommissioningLaneVerdict%1").arg(lane + 1));
    band.verdict->setAccessibleName(title);
    VerdictBand::Style(*band.verdict);
    band.message = new QLabel(frame);
    band.message->setObjectName(QStringLiteral("CommissioningLaneMessage%1").arg(lane + 1));
    band.message->setAccessibleName(title);
    band.message->setWordWrap(true);
    auto *inner = new QVBoxLayout(frame);
    inner->addWidget(band.title);
    inner->addWidget(band.verdict);
    inner->addWidget(band.message, 1);
    m_bandLayout->addWidget(frame);
    m_bands.push_back(band);
    const auto refresh = [this, lane] {
        RefreshLane(lane);
        if (lane == m_active)
            RefreshButtons();
    };
    connect(&run, &CommissioningRun::phaseChanged, this, refresh);
    connect(&run, &CommissioningRun::entryChanged, this, refresh);
    connect(&run, &CommissioningRun::verdictReached, this, [this] {
        if (m_closeAfterVerdict && !m_lanes->isDownloading())
            QTimer::singleShot(0, this, &CommissioningLanesWindow::reject);
    });
    RefreshLane(lane);
}

void CommissioningLanesWindow::RefreshLane(int lane)
{
    const CommissioningRun &run = m_lanes->run(lane);
    const Band &band = m_bands[size_t(lane)];
    VerdictBand::Show(*band.verdict, run.VerdictText());
    band.message->setText(run.isPortMissing() ? StrF(PortMissing, {m_lanes->port(lane)}) : run.message());
}

void CommissioningLanesWindow::Activate(int lane)
{
    m_active = lane;
    for (int other = 0; other < int(m_bands.size()); ++other)
        m_bands[size_t(other)].frame->setStyleSheet(
            other == lane ? QStringLiteral("QFrame#CommissioningLane%1 { border: 3px solid palette(highlight); }")
                                .arg(lane + 1)
                          : QString());
    RefreshButtons();
}

void CommissioningLanesWindow::RefreshButtons()
{
    const CommissioningRun &run = m_lanes->run(m_active);
    RunControls::ShowTake(*m_take, run);
    if (run.current() >= 0)
        m_table->selectRow(run.current());
}

int CommissioningLanesWindow::SelectedRow() const
{
    return RunControls::SelectedRow(*m_table);
}

bool CommissioningLanesWindow::bandsSideBySide() const
{
    return m_bandLayout->direction() == QBoxLayout::LeftToRight;
}

void CommissioningLanesWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_bandLayout->setDirection(event->size().width() >= kBandWidth * m_lanes->count() ? QBoxLayout::LeftToRight
                                                                                       : QBoxLayout::TopToBottom);
}

void CommissioningLanesWindow::reject()
{
    if (m_lanes->isDownloading()) {
        m_closeAfterVerdict = MessageService::question(Str(CloseWhileWriting)) == MessageAnswer::Yes;
        return;
    }
    m_closeAfterVerdict = false;
    const QString notStored = m_lanes->Finish();
    if (!notStored.isEmpty())
        MessageService::error(notStored);
    const QString &stopped = m_lanes->run(0).stopped();
    if (!stopped.isEmpty())
        MessageService::error(stopped);
    QDialog::reject();
}
