#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// Carries a project of the older tool (a Jet 4 file) over into a new
// project file: every table and column the program knows, read by name, the
// rows with their IDs and the identifier counters as they were, the whole
// written in one transaction into a copy of the reference database and then
// brought up to the program's version by its own upgrade steps. The old
// file is only read. On any refusal nothing is left behind.
class JetProjectConverter {
public:
    struct Report {
        QString fromVersion;
        QString toVersion;
        // Table and rows carried, in the order they were written.
        std::vector<std::pair<QString, int>> tables;
        int totalRows() const;
    };

    // replaceAllowed: the user agreed that an existing target be replaced.
    // False with the reason in *error; the target is then as it was.
    static bool Convert(const QString &oldPath, const QString &newPath, bool replaceAllowed, Report *report,
                        QString *error);

    // What was carried over, for the log and the console: one line per
    // table with its row count, the upgrade when there was one, the sum.
    static QStringList ReportLines(const Report &report, const QString &oldPath, const QString &newPath);

    // The name proposed for the new file: OLD-converted.prj beside the old.
    static QString ProposedTarget(const QString &oldPath);
};
