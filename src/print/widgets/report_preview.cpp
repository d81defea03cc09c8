#include "print/widgets/report_preview.h"

#include "print/print_strings.h"
#include "print/report_commands.h"
#include "base/message_service.h"
#include "base/string_table.h"

#include <QAbstractPrintDialog>
#include <QAction>
#include <QApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QToolBar>

using namespace PrintStrings;

namespace {
// A menu text without its access key, for accessible names.
QString Plain(const QString &text)
{
    QString plain = text;
    plain.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return plain;
}
} // namespace

C7100Preview::C7100Preview(std::unique_ptr<CProjectReport> report, QPrinter &printer, QWidget *parent)
    : QPrintPreviewDialog(&printer, parent), m_report(std::move(report)), m_printer(printer)
{
    setObjectName(QStringLiteral("C7100Preview"));
    setWindowTitle(Str(PreviewTitle) + QStringLiteral(" - ") + m_report->DocumentName());
    m_preview = findChild<QPrintPreviewWidget *>();
    connect(this, &QPrintPreviewDialog::paintRequested, this, &C7100Preview::Paint);
    BuildToolbar();
}

C7100Preview::~C7100Preview() = default;

int C7100Preview::CurrentPage() const
{
    return m_preview ? m_preview->currentPage() : 0;
}

void C7100Preview::BuildToolbar()
{
    auto *bar = findChild<QToolBar *>();
    if (!bar || !m_preview)
        return;
    // The dialog bar 552 in place of Qt's own buttons, each named by the
    // framework's command of its button.
    bar->clear();
    bar->setObjectName(QStringLiteral("552"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto add = [this, bar](int text, const char *name, auto slot) {
        QAction *action = bar->addAction(Str(text));
        // A button shows the action's icon text, which Qt derives from the
        // text without its "&" and "...": given whole, the button keeps its
        // access key and the dots.
        action->setIconText(Str(text));
        action->setObjectName(QLatin1String(name));
        action->setToolTip(Plain(Str(text)));
        connect(action, &QAction::triggered, this, slot);
        if (QWidget *button = bar->widgetForAction(action)) {
            button->setObjectName(QLatin1String(name));
            button->setAccessibleName(Plain(Str(text)));
        }
        return action;
    };
    add(PreviewPrint, "58116", [this] {
        if (PrintThroughDialog(*m_report, m_printer, this))
            accept();
    });
    add(PreviewNextPage, "58114", [this] { m_preview->setCurrentPage(m_preview->currentPage() + 1); });
    add(PreviewPrevPage, "58115", [this] { m_preview->setCurrentPage(m_preview->currentPage() - 1); });
    QAction *twoPage = add(PreviewTwoPage, "58113", [] {});
    twoPage->setCheckable(true);
    connect(twoPage, &QAction::toggled, this, [this, twoPage](bool two) {
        m_preview->setViewMode(two ? QPrintPreviewWidget::FacingPagesView
                                   : QPrintPreviewWidget::SinglePageView);
        twoPage->setText(Str(two ? PreviewOnePage : PreviewTwoPage));
        twoPage->setIconText(twoPage->text());
    });
    add(PreviewZoomIn, "58117", [this] { m_preview->zoomIn(); });
    add(PreviewZoomOut, "58118", [this] { m_preview->zoomOut(); });
    add(PreviewProperties, "58120", [this] { ShowProperties(); });
    add(PreviewClose, "58112", [this] { reject(); });
}

void C7100Preview::Paint(QPrinter *printer)
{
    m_report->Print(*printer);
}

void C7100Preview::ShowProperties()
{
    QPageSetupDialog setup(&m_printer, this);
    if (setup.exec() == QDialog::Accepted)
        ApplyProperties(m_printer.pageLayout().orientation());
}

void C7100Preview::ApplyProperties(QPageLayout::Orientation orientation)
{
    PrinterSettings::SetOrientation(orientation);
    emit propertiesChosen(this);
}

bool PrintThroughDialog(CProjectReport &report, QPrinter &printer, QWidget *parent)
{
    printer.setDocName(report.DocumentName());
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    report.Prepare();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QProgressDialog progress(parent);
    progress.setObjectName(QStringLiteral("Printing"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const QString printerName =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    ReportPrintRange range;
    range.fromPage = printer.fromPage() > 0 ? printer.fromPage() : 1;
    range.toPage = printer.toPage();
    range.lastPageFirst = printer.pageOrder() == QPrinter::LastPageFirst;
    range.beforePage = [&](int page) {
        progress.setLabelText(StrF(PrintingOn, {report.DocumentName(), printerName}) + QLatin1Char('\n') +
                              StrF(PrintingPage, {page}));
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    if (!report.Print(printer, range)) {
        MessageService::error(Str(CouldNotStartPrintJob));
        return false;
    }
    return true;
}

ReportPreviewLauncher::ReportPreviewLauncher(ReportCommands &commands, QWidget *window)
    : QObject(window), m_commands(commands), m_window(window)
{
}

ReportPreviewLauncher::~ReportPreviewLauncher()
{
    // The preview paints on the printer this object owns.
    delete m_preview.data();
}

bool ReportPreviewLauncher::Run(int command)
{
    if (command == ReportCommands::FilePrint) {
        std::unique_ptr<CProjectReport> report = m_commands.Start(command);
        if (!report)
            return false;
        m_printer.setPageOrientation(PrinterSettings::Orientation());
        return PrintThroughDialog(*report, m_printer, m_window);
    }
    return Open(command);
}

bool ReportPreviewLauncher::Open(int command)
{
    std::unique_ptr<CProjectReport> report = m_commands.Start(command);
    if (!report)
        return false;
    // Preparing: the pages are counted anew, on paper of the stored
    // orientation.
    report->Prepare();
    m_printer.setPageOrientation(PrinterSettings::Orientation());
    delete m_preview.data();
    m_preview = new C7100Preview(std::move(report), m_printer, m_window);
    m_preview->setAttribute(Qt::WA_DeleteOnClose);
    // The preview takes the place of the main window, as large as it.
    if (m_window)
        m_preview->resize(m_window->size().expandedTo(QSize(900, 700)));
    connect(m_preview, &C7100Preview::propertiesChosen, this, &ReportPreviewLauncher::Reopen,
            Qt::QueuedConnection);
    m_preview->open();
    return true;
}

void ReportPreviewLauncher::Reopen(C7100Preview *preview)
{
    if (preview != m_preview)
        return;
    const PrintMode mode = preview->Report().Mode();
    preview->close();
    Open(ReportCommands::CommandOf(mode));
}
