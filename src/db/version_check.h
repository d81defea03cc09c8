#pragma once

#include "db/db_session.h"

#include <QString>
#include <QStringList>

#include <memory>

class CLevelList;
class CTableLevel;

// Makes sure that a connected project fits the program before anything of it
// is read: compares the project's version with the reference database beside
// the program, runs the reference database's upgrade scripts on an older
// project, refuses a newer one, and checks every table and column the levels
// expect. Lives for one connect; the reference database is closed with it.
class CVersionCheck {
public:
    static constexpr const char *kDefaultVersion = "0.00.00";

    // Opens the reference database (read-write, else read-only); says
    // "Unable to open file: %s" when neither works.
    explicit CVersionCheck(const DataSource &project);
    ~CVersionCheck();
    CVersionCheck(const CVersionCheck &) = delete;
    CVersionCheck &operator=(const CVersionCheck &) = delete;

    bool ReferenceOpened() const { return m_referenceSession != nullptr; }
    // Whether the reference file is a database with tables (reading only).
    static bool IsReadableDatabase(DbSession &session);
    // 1 when the project may be used, after an upgrade when one was due.
    int Run();
    // The version text of a database; makes SystemData and its row when
    // they are missing.
    static QString ReadVersion(const DataSource &source);
    // Runs the scripts of Versions that lead from number from to number to.
    int ApplyUpgrade(quint32 from, quint32 to);
    // Runs one script on the project; 1 unless its last statement fails.
    int RunScript(const QString &script);

    // major * 1,000,000 + minor * 1,000 + patch.
    static quint32 VersionNumber(const QString &text);
    static quint32 MajorNumber(const QString &text);
    // The statements of a script that "\r\ngo" separators end, in order; the
    // text after the last separator goes to rest.
    static QStringList SplitScript(const QString &script, QString *rest);

    // The schema check of one level: 1 when its table and named columns
    // exist. Otherwise name gets the missing table or column (empty when the
    // descriptions cannot be built) and tableMissing says which.
    static int CheckColumns(CTableLevel &level, DbSession &session, QString *name, bool *tableMissing);
    // Every level in list order; stops at the first failure after its
    // message (50006, 50007 or 50005).
    static int CheckAllLevels(CLevelList &levels, DbSession &session);

private:
    void OpenReference();

    DataSource m_project;
    DataSource m_reference;
    std::unique_ptr<DbSession> m_referenceSession;
};
