#include "shell/widgets/commissioning_window.h"

#include "base/message_service.h"
#include "base/string_table.h"
#include "db/data_error.h"
#include "link/commissioning_queue_model.h"
#include "link/commissioning_run.h"
#include "link/commissioning_strings.h"
#include "print/commissioning_report.h"
#include "shell/project_session.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

using namespace CommissioningStrings;

namespace {
QString PlainText(int id)
{
    return Str(id).remove(QLatin1Char('&'));
}
} // namespace

void CommissioningWindow::Run(ProjectSession &session, QWidget *parent, const std::vector<ItemHandle> &chosen)
{
    CMy7100Doc &document = session.Document();
    DbSession *db = session.Database().Session();
    if (!document.IsOpen() || !db)
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
    auto run = std::make_unique<CommissioningRun>(document, document.Lookup(), session.Transfer(),
                                                  session.Link(), *db);
    if (!run->Prepare(CommissioningQueue::EntriesUnder(document, items)))
        return;
    CommissioningWindow window(session, std::move(run), parent);
    window.m_run->Start();
    window.exec();
}

CommissioningWindow::CommissioningWindow(ProjectSession &session, std::unique_ptr<CommissioningRun> run,
                                         QWidget *parent)
    : QDialog(parent), m_session(session), m_run(std::move(run))
{
    setObjectName(QStringLiteral("CommissioningWindow"));
    setWindowTitle(Str(WindowTitle));
    m_model = new CommissioningQueueModel(*m_run, this);

    m_verdict = new QLabel(this);
    m_verdict->setObjectName(QStringLiteral("CommissioningVerdict"));
    m_verdict->setAccessibleName(PlainText(WindowTitle));
    m_verdict->setAlignment(Qt::AlignCenter);
    m_verdict->setMinimumHeight(110);
    QFont big = m_verdict->font();
    big.setPointSize(40);
    big.setBold(true);
    m_verdict->setFont(big);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("CommissioningMessage"));
    m_message->setAccessibleName(PlainText(ColumnState));
    m_message->setWordWrap(true);
    QFont large = m_message->font();
    large.setPointSize(large.pointSize() + 4);
    m_message->setFont(large);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("CommissioningQueue"));
    m_table->setAccessibleName(PlainText(ColumnModule));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();

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
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    // One key each, read from a metre away too: the buttons' letters work
    // without Alt, since nothing in the window takes typed text.
    const std::pair<int, QPushButton *> keys[] = {
        {Qt::Key_S, m_skip}, {Qt::Key_E, m_retry}, {Qt::Key_P, m_pause}, {Qt::Key_U, m_pause}};
    for (const auto &[key, button] : keys)
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, button, &QPushButton::click);
    connect(m_run.get(), &CommissioningRun::phaseChanged, this, &CommissioningWindow::Refresh);
    connect(m_run.get(), &CommissioningRun::entryChanged, this, &CommissioningWindow::Refresh);
    resize(900, 600);
    Refresh();
}

CommissioningWindow::~CommissioningWindow() = default;

QPushButton *CommissioningWindow::AddButton(int textId, const QString &id)
{
    auto *button = new QPushButton(Str(textId), this);
    button->setObjectName(id);
    button->setAccessibleName(PlainText(textId));
    button->setAutoDefault(false);
    return button;
}

int CommissioningWindow::SelectedRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CommissioningWindow::Refresh()
{
    const CommissioningRun::Phase phase = m_run->phase();
    const QString verdict = m_run->VerdictText();
    m_verdict->setText(verdict);
    QString style;
    if (verdict == Str(VerdictVerified))
        style = QStringLiteral("background: #1b8a2e; color: white;");
    else if (verdict == Str(VerdictFailed))
        style = QStringLiteral("background: #c0161d; color: white;");
    m_verdict->setStyleSheet(style);
    m_message->setText(m_run->isPaused() ? Str(Paused) + QLatin1Char('\n') + m_run->message()
                                         : m_run->message());
    const bool asking =
        phase == CommissioningRun::Phase::Offered || phase == CommissioningRun::Phase::AlreadyVerified;
    m_take->setText(
        Str(phase == CommissioningRun::Phase::AlreadyVerified ? ButtonDownloadAgain : ButtonTake));
    m_take->setAccessibleName(m_take->text().remove(QLatin1Char('&')));
    m_take->setEnabled(asking);
    m_pause->setText(Str(m_run->isPaused() ? ButtonResume : ButtonPause));
    m_pause->setAccessibleName(m_pause->text().remove(QLatin1Char('&')));
    if (m_run->current() >= 0)
        m_table->selectRow(m_run->current());
    if (asking)
        m_take->setFocus();
}

void CommissioningWindow::SaveReport(bool pdf)
{
    const QString file =
        QFileDialog::getSaveFileName(this, PlainText(pdf ? ButtonPdf : ButtonCsv), QString(),
                                     pdf ? QStringLiteral("PDF (*.pdf)") : QStringLiteral("CSV (*.csv)"));
    if (file.isEmpty())
        return;
    // Qt's question was the consent to replace an unrelated file, never a project.
    const OutputFile::Target target{file, pdf ? OutputFile::Content::Pdf : OutputFile::Content::Text, true,
                                    m_session.Database().OpenedPath()};
    if (const std::optional<QString> refusal = OutputFile::Refusal(target)) {
        MessageService::error(*refusal);
        return;
    }
    try {
        const std::vector<CommissioningRecord> records =
            CommissioningRecords(*m_session.Database().Session()).List();
        QString failure;
        if (pdf) {
            const std::unique_ptr<CProjectReport> report =
                CommissioningReport::Make(m_session.Document(), m_session.Catalogues(), records);
            failure = WriteReportPdf(*report, target, PrinterSettings::Orientation());
        } else {
            failure = CommissioningReport::WriteCsv(records, target);
        }
        if (!failure.isEmpty())
            MessageService::error(StrF(CannotWriteFile, {file}));
    } catch (const COLEDBException &error) {
        ReportDataError(error);
    }
}
