#include "db/project_commands.h"

#include "db/data_error.h"
#include "db/project_database.h"
#include "db/project_strings.h"
#include "log/output_log.h"
#include "base/message_service.h"
#include "base/settings.h"
#include "base/string_table.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString kFileName = QStringLiteral("FileName");
const QString kDataLinkFile = QStringLiteral("DataLinkFile");
const QString kRecentSection = QStringLiteral("Recent File List");

QSettings RecentStore()
{
    return QSettings(QString::fromLatin1(SettingsSection::kOrganisation),
                     QString::fromLatin1(SettingsSection::kApplication));
}
} // namespace

ProjectCommands::ProjectCommands(ProjectDatabase &database, QObject *parent)
    : QObject(parent), m_database(database)
{
    LoadRecentFiles();
    m_title = Str(ProjectStrings::Untitled);
}

void ProjectCommands::Log(const QString &text)
{
    WriteLogLine(text);
    emit logLine(text);
}

bool ProjectCommands::Guarded(const std::function<bool()> &operation)
{
    try {
        return operation();
    } catch (const COLEDBException &e) {
        ReportDataError(e);
        return false;
    }
}

// After New and Save As the title and the views follow when the command
// succeeded or the open project changed on the way.
bool ProjectCommands::Conclude(bool ok, bool hadSession)
{
    if (!ok && hadSession == m_database.IsOpen())
        return false;
    SetTitle();
    emit viewsReset();
    return true;
}

void ProjectCommands::OnFileNew()
{
    if (!MayLeaveCurrentItem())
        return;
    const bool hadSession = m_database.IsOpen();
    MakeActive();
    const bool ok = Guarded([this] { return m_database.CreateNew(); });
    if (Conclude(ok, hadSession) && ok && m_database.IsOpen()) {
        Log(StrF(ProjectStrings::LogNewCreated, {m_database.DisplayName()}));
        emit detectedModuleForgotten();
        return;
    }
    Log(Str(ProjectStrings::LogNewFailed));
}

// A project of the older tool opens as the new file it was carried into:
// the log names the file that is open, not the one that was asked for.
QString ProjectCommands::OpenedName(const QString &asked) const
{
    const QString opened = m_database.OpenedPath();
    return m_database.IsOpen() && !opened.isEmpty() && QFileInfo(asked).absoluteFilePath() != opened ? opened : asked;
}

void ProjectCommands::OnFileOpen()
{
    if (!MayLeaveCurrentItem())
        return;
    MakeActive();
    QString path = m_pathName;
    bool ok = Guarded([this, &path] { return m_database.AskAndOpen(path); });
    bool asked = false;
    while (!ok && !path.isEmpty()) {
        asked = true;
        const QString question = FillArguments(Str(ProjectStrings::SelectDifferentFile), {path});
        if (MessageService::question(question) == MessageAnswer::No)
            break;
        ok = Guarded([this, &path] { return m_database.AskAndOpen(path); });
    }
    // A Cancel in the dialog keeps the open project, but it is no
    // successful open.
    if (ok && m_database.IsOpen()) {
        Log(StrF(ProjectStrings::LogOpenSuccessful, {OpenedName(path)}));
        emit detectedModuleForgotten();
    } else {
        Log(StrF(ProjectStrings::LogOpenFailed, {path}));
    }
    if (ok || asked) {
        SetTitle();
        emit viewsReset();
    }
}

void ProjectCommands::OnFileSaveAs()
{
    if (!CanSaveAs() || !MayLeaveCurrentItem())
        return;
    const bool hadSession = m_database.IsOpen();
    MakeActive();
    const bool ok = Guarded([this] { return m_database.SaveAs(); });
    Log(Str(Conclude(ok, hadSession) ? ProjectStrings::LogSaveSuccessful : ProjectStrings::LogSaveFailed));
}

bool ProjectCommands::OnOpenRecentFile(int index)
{
    if (index < 0 || index >= m_recentFiles.size() || !MayLeaveCurrentItem())
        return false;
    return OnOpenDocument(m_recentFiles.at(index));
}

bool ProjectCommands::CanSaveAs() const
{
    return m_database.IsOpen() && !m_database.OpenedByDataLink();
}

bool ProjectCommands::CanMakeActive() const
{
    if (!m_database.IsOpen())
        return false;
    ConfigurationSettings configuration;
    configuration.load();
    const QString remembered =
        configuration.textValue(m_database.OpenedByDataLink() ? kDataLinkFile : kFileName);
    return remembered != m_pathName;
}

bool ProjectCommands::CanShowConnectionProperties() const
{
    return m_database.IsOpen();
}

// The start file is the file that was opened: for a project reached through
// a data link file that is the data link file, so that the next start opens
// it the same way.
void ProjectCommands::MakeActive()
{
    if (!m_database.IsOpen())
        return;
    ConfigurationSettings configuration;
    configuration.load();
    const bool viaDataLink = m_database.OpenedByDataLink();
    configuration.setValue(viaDataLink ? kDataLinkFile : kFileName, m_pathName);
    configuration.setValue(viaDataLink ? kFileName : kDataLinkFile, QString());
    configuration.save();
}

QString ProjectCommands::RememberedStartFile()
{
    ConfigurationSettings configuration;
    configuration.load();
    const QString dataLink = configuration.textValue(kDataLinkFile);
    return dataLink.isEmpty() ? configuration.textValue(kFileName) : dataLink;
}

void ProjectCommands::CloseAndLog()
{
    if (!m_database.IsOpen())
        return;
    const QString name = m_database.DisplayName();
    m_database.CloseDatabase();
    Log(StrF(ProjectStrings::LogClosed, {name}));
}

void ProjectCommands::OnNewDocument()
{
    CloseAndLog();
    SetTitle();
}

bool ProjectCommands::OnOpenDocument(const QString &path)
{
    CloseAndLog();
    const bool ok = Guarded([this, &path] {
        return m_database.OpenFile(path, m_database.OpenUser(), m_database.OpenPassword());
    });
    Log(ok ? StrF(ProjectStrings::LogOpenSuccessful, {OpenedName(path)})
           : StrF(ProjectStrings::LogOpenFailed, {path}));
    SetTitle();
    if (!ok)
        emit viewsReset();
    return ok;
}

void ProjectCommands::OnCloseDocument()
{
    MakeActive();
    CloseAndLog();
    SetTitle();
}

void ProjectCommands::SetTitle()
{
    if (m_database.IsOpen()) {
        m_pathName = m_database.OpenedPath();
        m_title = QFileInfo(m_pathName).fileName();
        AddRecentFile(m_pathName);
    } else {
        m_pathName.clear();
        m_title = Str(ProjectStrings::Untitled);
    }
    m_modified = false;
    emit titleChanged(m_title);
    emit treeRebuildRequested();
}

void ProjectCommands::AddRecentFile(const QString &path)
{
    m_recentFiles.removeAll(path);
    m_recentFiles.prepend(path);
    while (m_recentFiles.size() > kRecentFileCount)
        m_recentFiles.removeLast();
    SaveRecentFiles();
    emit recentFilesChanged();
}

void ProjectCommands::LoadRecentFiles()
{
    QSettings store = RecentStore();
    store.beginGroup(kRecentSection);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path = store.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty() && !m_recentFiles.contains(path))
            m_recentFiles << path;
    }
}

void ProjectCommands::SaveRecentFiles() const
{
    QSettings store = RecentStore();
    store.remove(kRecentSection);
    store.beginGroup(kRecentSection);
    for (int i = 0; i < m_recentFiles.size(); ++i)
        store.setValue(QStringLiteral("File%1").arg(i + 1), m_recentFiles.at(i));
}

bool AskSaveChanges(const SaveChangesHooks &hooks)
{
    if (hooks.isPumpingMessages())
        return false;
    if (!hooks.hasCurrentItem() || !hooks.isModified())
        return true;
    const QString question = Str(ProjectStrings::DataChanged);
    if (hooks.currentIsModuleOrSignal()) {
        const MessageAnswer answer = ReadSetting(QStringLiteral("AutoApplyChanges")).toInt() != 0
                                         ? MessageAnswer::Yes
                                         : MessageService::questionWithCancel(question);
        if (answer == MessageAnswer::Cancel)
            return false;
        if (answer == MessageAnswer::Yes)
            hooks.applyModuleView();
        else
            hooks.clearModified();
        return !hooks.isModified();
    }
    const MessageAnswer answer = MessageService::questionWithCancel(question);
    if (answer == MessageAnswer::Cancel)
        return false;
    if (answer == MessageAnswer::Yes && !hooks.applyItemView())
        return false;
    hooks.clearModified();
    return true;
}
