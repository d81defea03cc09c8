#include "db/version_check.h"

#include <QSqlQuery>

#include "db/data_error.h"
#include "db/db_strings.h"
#include "db/project_strings.h"
#include "db/sql_query.h"
#include "db/table_level.h"
#include "base/app_paths.h"
#include "base/message_service.h"
#include "base/string_table.h"

namespace {

const QString kSeparator = QStringLiteral("\r\ngo");
const QString kInsertVersion =
    QStringLiteral("INSERT INTO SystemData (ID, ParentID,Version) VALUES (1, 1, '%s')");

bool RunStatement(CSQLQuery &query, const QString &text, bool showErrors)
{
    query.SetShowErrors(showErrors);
    query.SetText(text);
    return query.Execute();
}

void InsertDefaultVersion(CSQLQuery &query)
{
    RunStatement(query, FormatText(kInsertVersion, {QString::fromLatin1(CVersionCheck::kDefaultVersion)}),
                 true);
}

} // namespace

bool CVersionCheck::IsReadableDatabase(DbSession &session)
{
    QSqlQuery probe = session.NewQuery();
    return probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && probe.next() &&
           probe.value(0).toInt() > 0;
}

CVersionCheck::CVersionCheck(const DataSource &project) : m_project(project)
{
    OpenReference();
}

CVersionCheck::~CVersionCheck() = default;

void CVersionCheck::OpenReference()
{
    const QString path = AppPaths::programFile().isEmpty() ? QString() : AppPaths::referenceDatabasePath();
    if (path.isEmpty())
        MessageService::error(Str(ProjectStrings::ProgramPathUnreadable));
    m_reference = DataSource::sqliteFile(path, false);
    m_referenceSession = DbSession::open(m_reference, nullptr);
    if (!m_referenceSession) {
        m_reference = DataSource::sqliteFile(path, true);
        m_referenceSession = DbSession::open(m_reference, nullptr);
    }
    // SQLite opens any file and reads it only later: a file that is no
    // database, or an empty one, would switch the check off.
    if (m_referenceSession && !IsReadableDatabase(*m_referenceSession))
        m_referenceSession.reset();
    if (!m_referenceSession)
        MessageService::error(StrF(ProjectStrings::UnableToOpenFile, {path}));
}

QString CVersionCheck::ReadVersion(const DataSource &source)
{
    CSQLQuery query(source, true);
    // The probes tell a missing table or column (the statement fails) from
    // an empty table (it runs and finds no row): only the first is created.
    const bool tableExists = RunStatement(query, QStringLiteral("SELECT * FROM SystemData"), false);
    const bool hasRow = query.ValueCount() > 0;
    if (!tableExists) {
        RunStatement(
            query,
            QStringLiteral("CREATE TABLE SystemData (ID INTEGER NOT NULL, ParentID INTEGER NOT NULL, Name "
                           "CHAR(50), Version CHAR(50))"),
            true);
        InsertDefaultVersion(query);
    } else if (!RunStatement(query, QStringLiteral("SELECT Version FROM SystemData"), false)) {
        RunStatement(query, QStringLiteral("ALTER TABLE SystemData ADD COLUMN Version CHAR(50)"), true);
        if (hasRow)
            RunStatement(query,
                         FormatText(QStringLiteral("UPDATE SystemData SET Version = '%s'"),
                                    {QString::fromLatin1(kDefaultVersion)}),
                         true);
        else
            InsertDefaultVersion(query);
    } else if (!hasRow) {
        InsertDefaultVersion(query);
    }
    if (RunStatement(query, QStringLiteral("SELECT Version FROM SystemData"), true) &&
        query.ValueCount() > 0) {
        // A CHAR column comes back padded with blanks on some servers.
        const QString version = query.ReadText().trimmed();
        return version.isEmpty() ? QString::fromLatin1(kDefaultVersion) : version;
    }
    return QString::fromLatin1(kDefaultVersion);
}

static quint32 Piece(const QStringList &pieces, int index)
{
    if (index >= pieces.size())
        return 0;
    bool ok = false;
    const uint value = pieces[index].trimmed().toUInt(&ok, 10);
    return ok ? value : 0;
}

quint32 CVersionCheck::VersionNumber(const QString &text)
{
    const QStringList pieces = text.split(u'.');
    return Piece(pieces, 0) * 1000000u + Piece(pieces, 1) * 1000u + Piece(pieces, 2);
}

quint32 CVersionCheck::MajorNumber(const QString &text)
{
    return Piece(text.split(u'.'), 0);
}

int CVersionCheck::Run()
{
    if (!ReferenceOpened())
        return 0;
    const QString project = ReadVersion(m_project);
    const QString reference = ReadVersion(m_reference);
    const quint32 p = VersionNumber(project);
    const quint32 r = VersionNumber(reference);
    if (MajorNumber(reference) == 0)
        return 1;
    if (MajorNumber(reference) < MajorNumber(project)) {
        MessageService::error(Str(ProjectStrings::IncorrectVersion));
        return 0;
    }
    if (r < p) {
        MessageService::error(Str(ProjectStrings::DatabaseNewerThanProgram));
        return 0;
    }
    if (p < r)
        return ApplyUpgrade(p, r);
    return 1;
}

int CVersionCheck::ApplyUpgrade(quint32 from, quint32 to)
{
    CSQLQuery query(m_reference, true);
    query.SetText(FormatText(
        QStringLiteral("SELECT Name, SQLScript, Description FROM Versions WHERE ID > %u AND ID <=%u "
                       "ORDER BY ID"),
        {from, to}));
    if (!query.Execute())
        return 0;
    while (query.ValueCount() >= 3) {
        query.ReadText(); // Name
        const QString script = query.ReadText();
        query.ReadText(); // Description
        RunScript(script);
    }
    return 1;
}

QStringList CVersionCheck::SplitScript(const QString &script, QString *rest)
{
    QStringList statements;
    qsizetype start = 0;
    qsizetype at = script.indexOf(kSeparator);
    while (at >= 0) {
        const qsizetype behind = at + kSeparator.size();
        const bool ends = behind == script.size() || script[behind] == u' ' ||
                          script.mid(behind, 2) == QLatin1String("\r\n");
        if (ends) {
            statements << script.mid(start, at - start);
            start = behind;
        }
        at = script.indexOf(kSeparator, behind);
    }
    if (rest)
        *rest = script.mid(start);
    return statements;
}

int CVersionCheck::RunScript(const QString &script)
{
    QString rest;
    const QStringList statements = SplitScript(script, &rest);
    for (const QString &statement : statements) {
        // A blank piece between two separators is no statement.
        if (statement.trimmed().isEmpty())
            continue;
        CSQLQuery query(m_project, true);
        query.SetText(statement);
        query.Execute();
    }
    while (!rest.isEmpty() && rest.back().isSpace())
        rest.chop(1);
    if (rest.isEmpty())
        return 1;
    CSQLQuery query(m_project, true);
    query.SetText(rest);
    return query.Execute() ? 1 : 0;
}

int CVersionCheck::CheckColumns(CTableLevel &level, DbSession &session, QString *name, bool *tableMissing)
{
    name->clear();
    *tableMissing = false;
    const std::vector<ColumnInfo> *columns = level.GetColumns();
    if (!columns)
        return 0;
    level.ReadSchemaFacts(session);
    int missing = 0;
    for (const ColumnInfo &column : *columns) {
        if (!column.name.isEmpty() && !column.exists) {
            ++missing;
            *name = column.name;
        }
    }
    if (missing == 0)
        return 1;
    // Only a level whose every column is named can tell a missing table; the
    // others name their last missing column.
    if (missing == int(columns->size())) {
        *tableMissing = true;
        *name = level.tableName();
    }
    return 0;
}

int CVersionCheck::CheckAllLevels(CLevelList &levels, DbSession &session)
{
    for (const auto &level : levels.levels()) {
        QString name;
        bool tableMissing = false;
        if (CheckColumns(*level, session, &name, &tableMissing))
            continue;
        if (name.isEmpty())
            MessageService::error(Str(DbStrings::CantGetTablesInformation));
        else if (tableMissing)
            MessageService::error(FillArguments(Str(DbStrings::MissingTable), {name}));
        else
            MessageService::error(FillArguments(Str(DbStrings::MissingColumn), {name, level->tableName()}));
        return 0;
    }
    return 1;
}
