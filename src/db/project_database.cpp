#include "db/project_database.h"

#include "db/data_error.h"
#include "db/damaged_rows.h"
#include "db/data_link_file.h"
#include "db/db_strings.h"
#include "db/number_cells.h"
#include "db/output_file.h"
#include "db/project_file_copy.h"
#include "db/project_file_dialogs.h"
#include "db/project_strings.h"
#include "db/version_check.h"
#include "base/app_paths.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "log/output_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace {

constexpr int kSqliteReadOnly = 8;
// A project file its owner may not write is never replaced.
constexpr int kTargetWriteProtected = 62990;

QString ProjectExtension()
{
    return Str(ProjectStrings::ProjectExtension);
}

// A name that differs from the project's only in case is taken for it, as on
// the file systems that do not tell the two apart.
bool SameNameInAnyCase(const QString &a, const QString &b)
{
    return QFileInfo(a).absoluteFilePath().compare(QFileInfo(b).absoluteFilePath(), Qt::CaseInsensitive) == 0;
}

// The system's text of a file error, with the file it concerns.
QString FileErrorText(const QString &path, const QFileDevice &file)
{
    return StrF(ProjectStrings::FileError, {QDir::toNativeSeparators(path), file.errorString()});
}

} // namespace

bool RefuseNonPlainFile(const QString &path)
{
    // A folder is named as such by the open that follows.
    if (QFileInfo(path).isDir())
        return true;
    if (const std::optional<QString> refusal = InputFile::Refusal(path)) {
        MessageService::error(*refusal);
        return false;
    }
    return true;
}

ProjectDatabase::ProjectDatabase(QObject *parent) : QObject(parent)
{
}

ProjectDatabase::~ProjectDatabase()
{
    m_idSequence.reset();
    m_session.reset();
}

std::unique_ptr<CIdSequence> ProjectDatabase::MakeIdSequence(DbSession &session)
{
    return std::make_unique<CIdSequence>(session);
}

QString ProjectDatabase::DisplayName() const
{
    return IsOpen() ? m_properties.dataSource() : QString();
}

QString ProjectDatabase::ReferenceDatabasePath() const
{
    const QString program = AppPaths::programFile();
    if (program.isEmpty()) {
        MessageService::error(Str(ProjectStrings::ProgramPathUnreadable));
        return {};
    }
    const QFileInfo info(program);
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    return AppPaths::sharedFile(base + u'.' + ReferenceExtension());
}

bool ProjectDatabase::ReadProperties(const QString &path, const QString &user, const QString &password,
                                     ConnectionProperties &properties, bool &viaDataLink)
{
    // Opening a pipe for reading waits for a writer that never comes, and a
    // device or a socket is no project either: refuse on what stat says.
    if (!RefuseNonPlainFile(path))
        return false;
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        MessageService::error(FileErrorText(path, probe));
        return false;
    }
    probe.close();
    const QString extension = QFileInfo(path).fileName().right(3);
    if (extension.compare(QLatin1String("prj"), Qt::CaseInsensitive) == 0) {
        properties = ConnectionProperties::forProjectFile(QFileInfo(path).absoluteFilePath(), user, password,
                                                          InitMode());
        properties.setValue(ConnectionProperties::kProvider, ProviderName());
        viaDataLink = false;
        return true;
    }
    if (extension.compare(QLatin1String("udl"), Qt::CaseInsensitive) == 0) {
        QString why;
        if (!DataLinkFile::read(path, properties, &why)) {
            MessageService::error(StrF(ProjectStrings::CantReadDataLink, {path, why}));
            return false;
        }
        // A file named by a data link file lies relative to that file.
        if (properties.provider() == ConnectionProperties::Provider::SQLite &&
            !properties.dataSource().trimmed().isEmpty() && QFileInfo(properties.dataSource()).isRelative())
            properties.setValue(ConnectionProperties::kDataSource,
                                QFileInfo(path).absoluteDir().absoluteFilePath(properties.dataSource()));
        viaDataLink = true;
        return true;
    }
    MessageService::error(FillArguments(Str(ProjectStrings::WrongFileType), {path}));
    return false;
}

bool ProjectDatabase::OpenFile(const QString &path, const QString &user, const QString &password)
{
    if (m_carryOver) {
        if (const std::optional<QString> carried = m_carryOver(path))
            return !carried->isEmpty() && OpenFile(*carried, user, password);
    }
    ConnectionProperties properties;
    bool viaDataLink = false;
    if (!ReadProperties(path, user, password, properties, viaDataLink))
        return false;
    return Connect(path, properties, viaDataLink);
}

bool ProjectDatabase::Connect(const QString &path, const ConnectionProperties &properties, bool viaDataLink)
{
    CloseDatabase();
    DataSource source;
    QString why;
    if (!properties.toDataSource(source, &why) || !QSqlDatabase::isDriverAvailable(source.driverName())) {
        if (!why.isEmpty())
            MessageService::error(why);
        else if (viaDataLink)
            MessageService::error(FillArguments(Str(ProjectStrings::DataLinkProviderNotFound), {path}));
        else
            MessageService::error(
                FillArguments(Str(ProjectStrings::ProviderNotFound), {properties.providerName()}));
        return false;
    }
    if (source.driver == DbDriver::SQLite && !RefuseNonPlainFile(source.database))
        return false;
    if (source.driver == DbDriver::SQLite && !QFileInfo(source.database).isFile()) {
        // Name what is wrong with the file the data link points at, not
        // only that it is missing.
        if (viaDataLink && properties.dataSource().trimmed().isEmpty())
            MessageService::error(StrF(ProjectStrings::NoDataSource, {path}));
        else if (QFileInfo(source.database).isDir())
            MessageService::error(StrF(ProjectStrings::ProjectIsAFolder, {source.database}));
        else
            MessageService::error(StrF(ProjectStrings::DatabaseFileMissing, {source.database}));
        return false;
    }
    // A project file its owner may not write was protected on purpose: it
    // opens for reading for every user, the superuser too, whom the
    // system would let write it anyway.
    if (source.driver == DbDriver::SQLite && !(QFileInfo(source.database).permissions() & QFile::WriteOwner))
        source.mode = DataSource::kModeRead;
    std::vector<ProviderErrorRecord> records;
    std::unique_ptr<DbSession> session = DbSession::open(source, &records);
    if (!session)
        RaiseDataError(records, DbStrings::CantConnect, {path});
    m_session = std::move(session);
    m_readOnly = source.readOnly();
    if (m_readOnly && source.driver == DbDriver::PostgreSQL)
        ForbidWritesOnServer();
    m_properties = properties;
    m_openedByDataLink = viaDataLink;
    m_openedPath = QFileInfo(path).absoluteFilePath();
    bool ok = false;
    try {
        // A damaged project behind a data link file is named by its own path.
        const QString database = source.driver == DbDriver::SQLite ? source.database : path;
        ok = (source.driver != DbDriver::SQLite || CheckSqliteFile(database)) && IsProject(database) &&
             CheckDatabase();
    } catch (COLEDBException &e) {
        AddMessage(e, DbStrings::CantConnect, {DisplayName()});
        Abandon();
        throw;
    }
    if (!ok) {
        Abandon();
        return false;
    }
    emit opened();
    return true;
}

// The server itself refuses what a data link file for reading alone must
// never do, whatever code path would try it.
void ProjectDatabase::ForbidWritesOnServer()
{
    QSqlQuery statement = m_session->NewQuery();
    if (!statement.exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY")))
        RaiseDataError(m_session->Records(statement.lastError()), DbStrings::CantConnect, {m_openedPath});
}

// SQLite reads a file lazily: only reading its pages shows that it is no
// database or that it was cut short, and only a write lock that a file
// opened for reading alone cannot take shows that it is write-protected:
// the project is then open for reading only.
bool ProjectDatabase::CheckSqliteFile(const QString &path)
{
    QString verdict;
    {
        QSqlQuery check = m_session->NewQuery();
        if (!check.exec(QStringLiteral("PRAGMA quick_check")))
            RaiseDataError(m_session->Records(check.lastError()), ProjectStrings::NotADatabase, {path});
        verdict = check.next() ? check.value(0).toString() : QString();
    }
    if (verdict.compare(QLatin1String("ok"), Qt::CaseInsensitive) != 0)
        RaiseDataError({{m_session->driverName(), verdict, QString()}}, ProjectStrings::NotADatabase, {path});
    if (m_readOnly)
        return true;
    if (IsWriteProtected())
        ReopenForReading();
    return true;
}

bool ProjectDatabase::IsWriteProtected()
{
    // The probe table is made inside a transaction that is rolled back: the
    // file stays as it was.
    QSqlQuery lock = m_session->NewQuery();
    if (!lock.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false; // busy with another writer: the file itself is fine
    const bool writable = lock.exec(QStringLiteral("CREATE TABLE zw_write_probe (x INTEGER)"));
    const int code = lock.lastError().nativeErrorCode().toInt() & 0xff;
    lock.exec(QStringLiteral("ROLLBACK"));
    return !writable && code == kSqliteReadOnly;
}

void ProjectDatabase::ReopenForReading()
{
    // A file SQLite opened for writing falls back to reading only when it is
    // write-protected; opened so from the start, no statement can try.
    DataSource source = m_session->source();
    source.mode = DataSource::kModeRead;
    std::vector<ProviderErrorRecord> records;
    std::unique_ptr<DbSession> session = DbSession::open(source, &records);
    if (!session)
        RaiseDataError(records, DbStrings::CantConnect, {source.database});
    m_session = std::move(session);
    m_readOnly = true;
}

bool ProjectDatabase::IsProject(const QString &path)
{
    // The version check creates what an old project lacks; it must never
    // write into a file or a server database that is no project at all.
    for (const QString &table : {QStringLiteral("IDSequences"), QStringLiteral("Signals")}) {
        const auto columns = m_session->ColumnSchema(table);
        if (!columns || columns->empty()) {
            MessageService::error(StrF(ProjectStrings::NotAProject, {path}));
            return false;
        }
    }
    return true;
}

bool ProjectDatabase::CheckDatabase()
{
    {
        CVersionCheck check(m_session->source());
        if (!check.Run())
            return false;
    }
    if (!CVersionCheck::CheckAllLevels(m_levels, *m_session))
        return false;
    m_damaged = NumberCells::Find(*m_session, m_levels);
    if (!m_damaged.empty())
        LeaveOutDamagedRows();
    m_idSequence = MakeIdSequence(*m_session);
    return m_idSequence->CheckSequenceTable() == 1;
}

// One damaged cell does not lock the project away: it opens for reading
// only, without the rows that cannot be read soundly, and says which.
void ProjectDatabase::LeaveOutDamagedRows()
{
    if (!m_readOnly)
        ReopenForReading();
    const std::vector<DamagedRows::LeftOutWith> with = DamagedRows::LeaveOut(*m_session, m_levels, m_damaged);
    for (const DamagedCell &cell : m_damaged)
        WriteLogLine(StrF(DbStrings::LeftOutDamaged, {cell.Text()}));
    for (const DamagedRows::LeftOutWith &row : with)
        WriteLogLine(StrF(DbStrings::LeftOutWith, {row.withRow, row.withTable, row.row, row.table}));
    MessageService::warning(StrF(DbStrings::DamagedProjectOpened, {DisplayName(), int(m_damaged.size())}));
}

void ProjectDatabase::Abandon()
{
    m_damaged.clear();
    m_idSequence.reset();
    m_session.reset();
    m_properties = ConnectionProperties();
    m_openedByDataLink = false;
    m_readOnly = false;
    m_openedPath.clear();
}

void ProjectDatabase::CloseDatabase()
{
    const bool hadDataSource = m_session != nullptr;
    Abandon();
    if (hadDataSource)
        emit closed();
}

bool ProjectDatabase::AskAndOpen(QString &path)
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.filters = FileDialogService::BuildFilters(
        {{ProjectStrings::ProjectExtension, ProjectStrings::ProjectFilterName},
         {ProjectStrings::DataLinkExtension, ProjectStrings::DataLinkFilterName}});
    request.initialPath = path;
    const QString chosen = FileDialogService::show(request);
    if (chosen.isEmpty()) {
        path.clear();
        return false;
    }
    path = chosen;
    CloseDatabase();
    return OpenFile(path, OpenUser(), OpenPassword());
}

QString ProjectDatabase::AskTargetName(const QString &title, const QString &proposed)
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = title;
    request.filters = FileDialogService::BuildFilters(
        {{ProjectStrings::ProjectExtension, ProjectStrings::ProjectFilterName}});
    request.defaultExtension = ProjectExtension();
    request.initialPath = proposed;
    for (;;) {
        const QString chosen = FileDialogService::show(request);
        if (chosen.isEmpty())
            return {};
        if (QFileInfo(chosen).suffix().compare(ProjectExtension(), Qt::CaseInsensitive) == 0)
            return chosen;
        const QString question = FillArguments(Str(ProjectStrings::ExtensionNotAllowed), {chosen});
        if (MessageService::question(question) != MessageAnswer::Yes) {
            MessageService::error(FillArguments(Str(ProjectStrings::CantSaveAs), {chosen}));
            return {};
        }
        request.initialPath = chosen;
    }
}

bool ProjectDatabase::CopyAndOpen(const QString &source, const QString &title, const QString &proposed,
                                  const QString &user, const QString &password)
{
    const QString target = AskTargetName(title, proposed);
    if (target.isEmpty())
        return false;
    if (OutputFile::IsSameFile(target, source) || SameNameInAnyCase(target, source)) {
        MessageService::error(FillArguments(Str(ProjectStrings::SameAsSource), {target}));
        return false;
    }
    // The file dialog asked before an existing file is replaced.
    if (const std::optional<QString> refusal =
            OutputFile::Refusal({target, OutputFile::Content::Project, true, m_openedPath})) {
        MessageService::error(*refusal);
        return false;
    }
    // A project its owner protected opens for reading only; replacing it
    // would undo that protection (the superuser is not stopped by it).
    if (QFileInfo(target).isFile() && !(QFileInfo(target).permissions() & QFile::WriteOwner)) {
        MessageService::error(StrF(kTargetWriteProtected, {target}));
        return false;
    }
    QString why;
    if (!ProjectFileCopy::Copy(source, target, &why)) {
        MessageService::error(FillArguments(Str(ProjectStrings::CantSaveAs), {target}) + QLatin1Char('\n') + why);
        return false;
    }
    CloseDatabase();
    return OpenFile(target, user, password);
}

bool ProjectDatabase::CreateNew()
{
    const QString reference = ReferenceDatabasePath();
    if (reference.isEmpty())
        return false;
    // Told before a file is asked for: without the template there is
    // nothing to copy, and the copy's own error would name only the target.
    const QFileInfo referenceFile(reference);
    if (!referenceFile.isFile() || !referenceFile.isReadable()) {
        MessageService::error(StrF(ProjectStrings::ReferenceDatabaseMissing, {referenceFile.absoluteFilePath()}));
        return false;
    }
    const QFileInfo program(AppPaths::programFile());
    const QString base = program.suffix().isEmpty() ? program.fileName() : program.completeBaseName();
    const QString proposed = program.absoluteDir().filePath(base + u'.' + ProjectExtension());
    return CopyAndOpen(reference, Str(ProjectStrings::SaveNewTitle), proposed, QStringLiteral("Admin"),
                       QString());
}

bool ProjectDatabase::SaveAs()
{
    if (!IsOpen() || m_openedByDataLink)
        return false;
    const QString user = m_properties.value(ConnectionProperties::kUserId);
    const QString password = m_properties.value(ConnectionProperties::kPassword);
    const QString source = DisplayName();
    return CopyAndOpen(source, QString(), source, user, password);
}

namespace {

QString PropertyDescription(const QString &name)
{
    static const std::pair<const QString *, int> known[] = {
        {&ConnectionProperties::kProvider, ProjectStrings::PropertyProvider},
        {&ConnectionProperties::kDataSource, ProjectStrings::PropertyDataSource},
        {&ConnectionProperties::kInitialCatalog, ProjectStrings::PropertyInitialCatalog},
        {&ConnectionProperties::kUserId, ProjectStrings::PropertyUserId},
        {&ConnectionProperties::kPassword, ProjectStrings::PropertyPassword},
        {&ConnectionProperties::kMode, ProjectStrings::PropertyMode},
    };
    for (const auto &[key, text] : known) {
        if (key->compare(name, Qt::CaseInsensitive) == 0)
            return Str(text);
    }
    if (name.compare(QLatin1String("Persist Security Info"), Qt::CaseInsensitive) == 0)
        return Str(ProjectStrings::PropertyPersistSecurityInfo);
    return name;
}

QString PropertyValue(const QString &name, const QString &value)
{
    // The dialog is for looking, not for handing out the password.
    if (name.compare(ConnectionProperties::kPassword, Qt::CaseInsensitive) == 0 && !value.isEmpty())
        return QString(8, u'*');
    if (value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return Str(ProjectStrings::TrueText);
    if (value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return Str(ProjectStrings::FalseText);
    return value;
}

QString FirstCell(const DbSession &session, const QString &statement)
{
    QSqlQuery query = session.NewQuery();
    if (query.exec(statement) && query.next())
        return query.value(0).toString();
    return {};
}

} // namespace

ConnectionDetails ReadConnectionDetails(const ProjectDatabase &database)
{
    ConnectionDetails details;
    const DbSession *session = database.Session();
    if (!session)
        return details;
    if (session->source().driver == DbDriver::SQLite) {
        details.dataSourceName = session->source().database;
        details.providerName = QStringLiteral("SQLite");
        details.providerVersion = FirstCell(*session, QStringLiteral("SELECT sqlite_version()"));
    } else {
        details.dataSourceName = FirstCell(*session, QStringLiteral("SELECT current_database()"));
        details.providerName = QStringLiteral("PostgreSQL");
        details.providerVersion = FirstCell(*session, QStringLiteral("SHOW server_version"));
    }
    for (const auto &[name, value] : database.Properties().entries())
        details.properties.append({PropertyDescription(name), PropertyValue(name, value)});
    std::sort(details.properties.begin(), details.properties.end(),
              [](const auto &a, const auto &b) { return a.first.localeAwareCompare(b.first) < 0; });
    return details;
}
