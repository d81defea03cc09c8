#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class CatalogueSet;
class CMy7100Doc;

// A row the import refused: its line in the file, the column it blames
// (empty when the row as a whole is refused) and the program's message.
struct ImportRefusal {
    int line = 0;
    QString column;
    QString message;
};

// One value of a module that the import changes.
struct ImportChange {
    QString column;
    QString before;
    QString after;
};

// A module the import adds (path) or changes (path and its changes).
struct ImportEntry {
    int line = 0;
    QString path;
    std::vector<ImportChange> changes;
};

// Which lines of a report are shown: every line, or one kind of row.
enum class ImportLines { All, Refused, Added, Changed, Moved };

// A module the import moves to where its row puts it.
struct ImportMove {
    int line = 0;
    QString from;
    QString to;
};

struct ImportReport {
    QString fileError; // the file as a whole cannot be read; nothing else is set
    QString encoding;  // the encoding the file was read in
    QStringList unknownColumns;
    QStringList addedFolders;
    std::vector<ImportEntry> added;
    std::vector<ImportEntry> changed;
    std::vector<ImportMove> moved;
    // The first kShownRefusals refusals; the rest are only counted, so that
    // a file of millions of bad rows neither floods the report nor fills
    // the memory.
    static constexpr size_t kShownRefusals = 1000;
    std::vector<ImportRefusal> refused;
    int refusalsNotShown = 0;
    int rows = 0;
    bool written = false;
    // The project is open for reading only: the report is a preview made
    // against a copy of it, and nothing can be imported. Says so.
    QString readOnly;
    // Another program deleted a folder the rows go into: nothing was
    // written, and fileError says which folder.
    bool stoppedByDeletion = false;

    // Drops what the rows did, after the import was given up.
    void Forget();
    // Takes a refusal of a cell (or, column empty, of the row) of the line.
    void Refuse(int line, const QString &column, const QString &message);
    bool accepted() const { return fileError.isEmpty() && readOnly.isEmpty() && refused.empty() && rows > 0; }
    // The rows refused; a row may be refused for several of its cells.
    int RefusedRows() const { return m_refusedRows; }
    // The refusal as one line: "Line 7, column Ch1.RangeEnd: ...".
    static QString RefusalText(const ImportRefusal &refusal);
    // The lines of the report: the encoding read, unknown columns, refusals
    // first, then added folders and modules and changes (old -> new); what
    // was not written as what would be done.
    QStringList Lines(ImportLines shown = ImportLines::All) const;
    // The report as a text file holds it: the summary, then every line.
    QString Text(const QString &fileName) const;
    // The closing sentence: what was imported, what would be, or why nothing.
    QString Summary(const QString &fileName) const;

private:
    // What was imported, what would be, or why nothing.
    QString Outcome(const QString &fileName) const;

private:
    int m_refusedRows = 0;
    int m_lastRefusedLine = -1;
};

// Reads an instrument list into a project: creates the folders that are
// missing under the hierarchy rules, creates a module (through the module
// dialog's checks) for each row whose module the project does not have,
// updates the module whose name matches, each value set and checked as the
// pages' Apply checks it. Every row is tried, in one transaction that is
// kept only when write is set and no row was refused. A folder found in the
// tree is asked within that transaction whether it still stands: when
// another program deleted it, nothing is written.
class InstrumentListImport {
public:
    InstrumentListImport(CMy7100Doc &document, const CatalogueSet &catalogues)
        : m_document(document), m_catalogues(catalogues)
    {
    }

    // fileName names the file in the messages about it as a whole.
    ImportReport Run(const QByteArray &file, bool write, const QString &fileName = QString());

private:
    // The preview of a project open for reading only, made against a copy
    // of its file; nothing where no copy can be opened for writing.
    std::optional<ImportReport> PreviewOnCopy(const QByteArray &file) const;

    CMy7100Doc &m_document;
    const CatalogueSet &m_catalogues;
};
