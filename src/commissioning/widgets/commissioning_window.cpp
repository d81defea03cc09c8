#include "commissioning/widgets/commissioning_window.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "db/data_error.h"
#include "commissioning/commissioning_choice.h"
#include "commissioning/commissioning_lanes.h"
#include "commissioning/commissioning_ports.h"
#include "commissioning/widgets/commissioning_lanes_window.h"
#include "link/com_port.h"
#include "commissioning/commissioning_queue_model.h"
#include "commissioning/commissioning_run.h"
#include "commissioning/commissioning_strings.h"
#include "commissioning/commissioning_report.h"
#include "commissioning/widgets/run_controls.h"
#include "commissioning/widgets/verdict_band.h"
#include "tree/my7100_doc.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace CommissioningStrings;

namespace {
QString PlainText(int id)
{
    return Str(id).remove(QLatin1Char('&'));
}
} // namespace

void CommissioningWindow::Run(const CommissioningSetup &setup, QWidget *parent, const std::vector<ItemHandle> &chosen)
{
    CMy7100Doc &document = setup.document;
    if (!document.IsOpen())
        return;
    std::vector<Item *> items;
    for (const ItemHandle handle : chosen)
        if (Item *item = document.FindItem(handle))
            items.push_back(item);
    if (items.empty()) {
        Item *start = document.FindItem(document.CurrentItem());
        if (!start)
            start = document.Root();
        if (!start)
            return;
        items.push_back(start);
    }
    CommissioningChoice choice;
    try {
        choice = ChooseCommissioningQueue(document, document.Lookup(), setup.session, items);
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        return;
    }
    if (choice.cancelled)
        return;
    const QStringList ports = CommissioningPorts::configured();
    if (!ports.isEmpty()) {
        RunLanes(setup, ports, std::move(choice), parent);
        return;
    }
    auto run = std::make_unique<CommissioningRun>(document, document.Lookup(), setup.transfer, setup.link,
                                                  setup.session);
    if (!run->Prepare(std::move(choice.entries), choice.newRun))
        return;
    CommissioningWindow window(setup, std::move(run), parent);
    window.m_run->Start();
    window.exec();
}

void CommissioningWindow::RunLanes(const CommissioningSetup &setup, const QStringList &ports,
                                   CommissioningChoice choice, QWidget *parent)
{
    // The single-module window keeps its own port: a lane never shares it.
    if (const std::optional<QString> refusal = CommissioningPorts::Refusal(ports, ComPort::configuredName())) {
        MessageService::error(*refusal);
        return;
    }
    auto lanes = std::make_unique<CommissioningLanes>(setup.document, setup.catalogues, setup.session, ports);
    if (!lanes->Prepare(std::move(choice.entries), choice.newRun))
        return;
    CommissioningLanesWindow window(setup, std::move(lanes), parent);
    window.lanes().Start();
    window.exec();
}

CommissioningWindow::CommissioningWindow(const CommissioningSetup &setup, std::unique_ptr<CommissioningRun> run,
                                         QWidget *parent)
    : QDialog(parent), m_setup(setup), m_run(std::move(run))
{
    setObjectName(QStringLiteral("CommissioningWindow"));
    setWindowTitle(Str(WindowTitle));
    m_model = new CommissioningQueueModel(*m_run, this);

    m_verdict = new QLabel(this);
    m_verdict->setObjectName(QStringLiteral("CommissioningVerdict"));
    m_verdict->setAccessibleName(PlainText(WindowTitle));
    VerdictBand::Style(*m_verdict);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("CommissioningMessage"));
    m_message->setAccessibleName(PlainText(ColumnState));
    m_message->setWordWrap(true);
    QFont large = m_message->font();
    large.setPointSize(large.pointSize() + 4);
    m_message->setFont(large);

    m_table = RunControls::QueueTable(*m_model, *this);

    auto *buttons = new QHBoxLayout;
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_verdict);
    layout->addWidget(m_message);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);

    m_take = AddButton(ButtonTake, QStringLiteral("CommissioningTake"));
    m_skip = AddButton(ButtonSkip, QStringLiteral("CommissioningSkip"));
    m_retry = AddButton(ButtonRetry, QStringLiteral("CommissioningRetry"));
    m_pause = AddButton(ButtonPause, QStringLiteral("CommissioningPause"));
    QPushButton *pdf = AddButton(ButtonPdf, QStringLiteral("CommissioningPdf"));
    QPushButton *csv = AddButton(ButtonCsv, QStringLiteral("CommissioningCsv"));
    QPushButton *close = AddButton(ButtonClose, QStringLiteral("CommissioningClose"));
    for (QPushButton *button : {m_take, m_skip, m_retry, m_pause, pdf, csv, close})
        buttons->addWidget(button);
    // Enter takes the offered module (or writes a verified one again).
    m_take->setDefault(true);

    connect(m_take, &QPushButton::clicked, this, [this] { m_run->Confirm(); });
    connect(m_skip, &QPushButton::clicked, this, [this] { m_run->SkipKey(SelectedRow()); });
    connect(m_retry, &QPushButton::clicked, this, [this] { m_run->Retry(SelectedRow()); });
    connect(m_pause, &QPushButton::clicked, this, [this] { m_run->Pause(!m_run->isPaused()); });
    connect(pdf, &QPushButton::clicked, this, [this] { SaveReport(true); });
    connect(csv, &QPushButton::clicked, this, [this] { SaveReport(false); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // One key each, read from a metre away too: the buttons' letters work
    // without Alt, since nothing in the window takes typed text.
    const std::pair<int, QPushButton *> keys[] = {
        {Qt::Key_S, m_skip}, {Qt::Key_E, m_retry}, {Qt::Key_P, m_pause}, {Qt::Key_U, m_pause}};
    for (const auto &[key, button] : keys)
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, button, &QPushButton::click);
    connect(m_run.get(), &CommissioningRun::phaseChanged, this, &CommissioningWindow::Refresh);
    connect(m_run.get(), &CommissioningRun::entryChanged, this, &CommissioningWindow::Refresh);
    // Closing asked for while a module was written: once its verdict is
    // stored.
    connect(m_run.get(), &CommissioningRun::verdictReached, this, [this] {
        if (m_closeAfterVerdict)
            QTimer::singleShot(0, this, &CommissioningWindow::reject);
    });
    resize(900, 600);
    Refresh();
}

CommissioningWindow::~CommissioningWindow()
{
    // The table asks its model while the dialog hides; the model reads the
    // run, which goes before the dialog's children do.
    hide();
    m_table->setModel(nullptr);
}

QPushButton *CommissioningWindow::AddButton(int textId, const QString &id)
{
    return RunControls::Button(textId, id, *this);
}

int CommissioningWindow::SelectedRow() const
{
    return RunControls::SelectedRow(*m_table);
}

void CommissioningWindow::Refresh()
{
    VerdictBand::Show(*m_verdict, m_run->VerdictText());
    // The band says that the run is paused.
    m_message->setText(m_run->message());
    const bool asking = m_run->isAsking();
    RunControls::ShowTake(*m_take, *m_run);
    m_pause->setText(Str(m_run->isPaused() ? ButtonResume : ButtonPause));
    m_pause->setAccessibleName(m_pause->text().remove(QLatin1Char('&')));
    if (m_run->current() >= 0)
        m_table->selectRow(m_run->current());
    if (asking)
        m_take->setFocus();
}

void CommissioningWindow::reject()
{
    if (m_run->phase() == CommissioningRun::Phase::Downloading) {
        m_closeAfterVerdict = MessageService::question(Str(CloseWhileWriting)) == MessageAnswer::Yes;
        return;
    }
    m_closeAfterVerdict = false;
    const QString notStored = m_run->Finish();
    if (!notStored.isEmpty())
        MessageService::error(notStored);
    QDialog::reject();
}

void CommissioningWindow::SaveReport(bool pdf)
{
    const QString file = CommissioningReport::WithExtension(
        QFileDialog::getSaveFileName(this, PlainText(pdf ? ButtonPdf : ButtonCsv), QString(),
                                     pdf ? QStringLiteral("PDF (*.pdf)") : QStringLiteral("CSV (*.csv)")),
        pdf);
    if (file.isEmpty())
        return;
    // Qt's question was the consent to replace an unrelated file, never a project.
    const OutputFile::Target target{file, pdf ? OutputFile::Content::Pdf : OutputFile::Content::Text, true,
                                    m_setup.projectPath};
    if (const std::optional<QString> refusal = OutputFile::Refusal(target)) {
        MessageService::error(*refusal);
        return;
    }
    try {
        // The modules of this run, each with every attempt the project keeps.
        const std::vector<CommissioningHistory> histories = CommissioningReport::Histories(
            m_run->queue().entries(), CommissioningRecords(m_setup.session).List(), false);
        QString failure;
        if (pdf) {
            const std::unique_ptr<CProjectReport> report =
                CommissioningReport::Make(m_setup.document, m_setup.catalogues, histories);
            failure = WriteReportPdf(*report, target, PrinterSettings::Orientation());
        } else {
            failure = CommissioningReport::WriteCsv(histories, target);
        }
        if (!failure.isEmpty())
            MessageService::error(StrF(CannotWriteFile, {file}));
    } catch (const COLEDBException &error) {
        ReportDataError(error);
    }
}
