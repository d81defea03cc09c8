#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class ProjectDatabase;

// The document's project commands (New, Open, Save As, "Make current
// database active", the recent files) and its life cycle (new, open with a
// path, close), with their log lines, the document title and the start file
// remembered in the "Configuration" section. The main frame connects to the
// signals: viewsReset() resets its views,
// detectedModuleForgotten() makes the device link forget its last module,
// treeRebuildRequested() rebuilds the item tree. Log lines are written to
// the output log and told by logLine() as well.
class ProjectCommands : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentFileCount = 16;

    explicit ProjectCommands(ProjectDatabase &database, QObject *parent = nullptr);

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSaveAs();
    void MakeActive();
    // Opens entry index (0 = most recent) of the recent-file list.
    bool OnOpenRecentFile(int index);

    // The question before the current item is left with unapplied edits:
    // every command here that leaves it asks first and stops on a refusal.
    void SetLeaveGuard(std::function<bool()> mayLeave) { m_mayLeave = std::move(mayLeave); }
    // True when the current item may be left now (asking when it must).
    bool MayLeaveCurrentItem() const { return !m_mayLeave || m_mayLeave(); }

    // Whether the commands can be chosen now.
    bool CanSaveAs() const;
    bool CanMakeActive() const;
    bool CanShowConnectionProperties() const;

    // Document life cycle.
    void OnNewDocument();
    bool OnOpenDocument(const QString &path);
    void OnCloseDocument();
    // The project to open at start: the remembered data link file or
    // project file; empty when none is remembered.
    static QString RememberedStartFile();

    const QString &PathName() const { return m_pathName; }
    const QString &Title() const { return m_title; }
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    const QStringList &RecentFiles() const { return m_recentFiles; }

signals:
    void logLine(const QString &text);
    void titleChanged(const QString &title);
    void viewsReset();
    void detectedModuleForgotten();
    void treeRebuildRequested();
    void recentFilesChanged();

private:
    void SetTitle();
    QString OpenedName(const QString &asked) const;
    void Log(const QString &text);
    bool Conclude(bool ok, bool hadSession);
    void CloseAndLog();
    void AddRecentFile(const QString &path);
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    // Runs an operation that may raise a data error; the error is reported
    // and counts as failure.
    bool Guarded(const std::function<bool()> &operation);

    ProjectDatabase &m_database;
    QString m_pathName;
    QString m_title;
    bool m_modified = false;
    QStringList m_recentFiles;
    std::function<bool()> m_mayLeave;
};

// The document's question before edits are left (a new current item, a
// refresh, a command that needs a clean state, closing). The hooks tell the
// state of the document and carry out the answers.
struct SaveChangesHooks {
    std::function<bool()> isPumpingMessages; // inside a long operation
    std::function<bool()> hasCurrentItem;
    std::function<bool()> isModified;
    std::function<bool()> currentIsModuleOrSignal;
    std::function<void()> applyModuleView; // the module view applies its changes
    std::function<bool()> applyItemView;   // the item view applies; false when it fails
    std::function<void()> clearModified;
};

// True when the document may go on: nothing was changed, the changes were
// applied, or the user dropped them.
bool AskSaveChanges(const SaveChangesHooks &hooks);
