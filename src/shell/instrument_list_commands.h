#pragma once

#include "exchange/instrument_list_import.h"

#include <QString>

#include <functional>

class CatalogueSet;
class CMy7100Doc;

// File > "Export instrument list..." and "Import instrument list...": the
// file dialogs, the preview of an import (added, changed, refused) that the
// user confirms before anything is written, and the messages afterwards.
class InstrumentListCommands {
public:
    enum : int { ExportCommand = 40302, ImportCommand = 40303 };
    // Numbers of the menu's and the preview's texts.
    enum : int {
        ExportMenuText = 62170,
        ImportMenuText = 62171,
        PreviewTitle = 62172,
        ImportButton = 62173,
        CancelButton = 62174,
        CsvExtension = 62175,
        CsvFilterName = 62176,
        RefusedHint = 62177,
        ExportTitle = 62178,
        ImportTitle = 62179,
        ForSpreadsheets = 64729,
        ForSpreadsheetsWithCommas = 64730,
        ShowLines = 64762,
        AllLines = 64763,
        RefusedLines = 64764,
        AddedLines = 64765,
        ChangedLines = 64766,
        SaveReportButton = 64767,
        ReportExtension = 64768,
        ReportFilterName = 64769,
        ReportWritten = 64770,
        ExportSelectedOnly = 64773,
        MovedLines = 64779,
    };

    // Shows the preview of an import; true when the user confirms it.
    using PreviewPresenter = std::function<bool(const ImportReport &)>;

    InstrumentListCommands(CMy7100Doc &document, const CatalogueSet &catalogues)
        : m_document(document), m_catalogues(catalogues)
    {
    }

    static bool IsCommand(int id) { return id == ExportCommand || id == ImportCommand; }
    bool IsEnabled(int id) const;
    void Run(int id);
    void SetPreviewPresenter(PreviewPresenter presenter) { m_preview = std::move(presenter); }

    // Asks for the file and writes the modules of the project into it: of
    // the selected folder only, when the user says so.
    bool Export();
    // Asks for a text file and writes the report of a preview into it
    // (its summary, then every line); false when nothing was written.
    static bool SaveReport(const ImportReport &report, const QString &openProject);
    // Asks for the file, tries it, shows the preview and, once the user
    // confirmed, imports it; a refused or cancelled import changes nothing.
    bool Import();

private:
    CMy7100Doc &m_document;
    const CatalogueSet &m_catalogues;
    PreviewPresenter m_preview;
};
