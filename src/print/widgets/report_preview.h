#pragma once

#include "print/project_report.h"

#include <QPageLayout>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <memory>

class QPrintPreviewWidget;
class ReportCommands;

// The print preview of a report: the pages as they will be printed, with
// the toolbar "Print...", "Next Page", "Prev Page", "Two Page", "Zoom In",
// "Zoom Out", "Properties" and "Close".
class C7100Preview : public QPrintPreviewDialog {
    Q_OBJECT
public:
    C7100Preview(std::unique_ptr<CProjectReport> report, QPrinter &printer, QWidget *parent = nullptr);
    ~C7100Preview() override;

    CProjectReport &Report() { return *m_report; }
    QPrintPreviewWidget *PreviewWidget() const { return m_preview; }
    int CurrentPage() const;

    // After the printer setup of "Properties" was confirmed: the orientation
    // is stored and the preview asks to be opened anew.
    void ApplyProperties(QPageLayout::Orientation orientation);

signals:
    // The report must be laid out anew for the paper: the opener closes this
    // preview and opens another of the same report.
    void propertiesChosen(C7100Preview *preview);

private:
    void BuildToolbar();
    void ShowProperties();
    void Paint(QPrinter *printer);

    std::unique_ptr<CProjectReport> m_report;
    QPrinter &m_printer;
    QPrintPreviewWidget *m_preview = nullptr;
};

// Prints a report through the print dialog, with the printing progress;
// false when the user cancelled or the job could not start ("Could not
// start print job." has been shown then).
bool PrintThroughDialog(CProjectReport &report, QPrinter &printer, QWidget *parent);

// Opens the preview of the print commands and opens it again when its
// "Properties" changed the paper; owns the printer of the reports.
class ReportPreviewLauncher : public QObject {
    Q_OBJECT
public:
    ReportPreviewLauncher(ReportCommands &commands, QWidget *window);
    ~ReportPreviewLauncher() override;

    // Runs a print command: the report's preview (57607 prints the report of
    // the current print mode through the print dialog). False when it was
    // refused or could not be opened ("Command failed." has been shown).
    bool Run(int command);
    C7100Preview *Preview() const { return m_preview; }
    QPrinter &Printer() { return m_printer; }

private:
    bool Open(int command);
    void Reopen(C7100Preview *preview);

    ReportCommands &m_commands;
    QWidget *m_window;
    QPrinter m_printer;
    QPointer<C7100Preview> m_preview;
};
