#pragma once

#include "db/connection_properties.h"
#include "db/db_session.h"
#include "db/id_sequence.h"
#include "db/number_cells.h"
#include "db/table_level.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <memory>

// The connection to the open project: a project file (".prj") opened
// directly, or any data source named by a data link file (".udl"), an SQLite
// file or a PostgreSQL database shared by several engineers. Every open runs
// the version check, the upgrade and the schema check before the identifier
// sequences are made; an open that fails leaves nothing open.
//
// opened() and closed() are the hooks of the device link: it starts when a
// project has been opened and stops when it is closed.
class ProjectDatabase : public QObject {
    Q_OBJECT
public:
    explicit ProjectDatabase(QObject *parent = nullptr);
    ~ProjectDatabase() override;

    // The fixed parameters of opening.
    virtual bool SpareQuery() const { return true; }
    virtual int InitMode() const { return DataSource::kModeShareDenyNone; }
    virtual QString ProviderName() const { return ConnectionProperties::kProjectFileProvider; }
    virtual QString ReferenceExtension() const { return QStringLiteral("vor"); }
    virtual QString OpenUser() const { return QStringLiteral("Admin"); }
    virtual QString OpenPassword() const { return QString(); }
    virtual std::unique_ptr<CIdSequence> MakeIdSequence(DbSession &session);

    // Opens a ".prj" file or a ".udl" data link file (extension compared
    // without regard to case). Messages are shown for a refused file; data
    // errors are raised (COLEDBException carrying 50002) after the
    // connection has been closed again.
    bool OpenFile(const QString &path, const QString &user, const QString &password);
    // A file of another program that can be carried over into a project:
    // the hook answers nothing for a file it does not know, an empty text
    // when the user cancelled or the carrying-over failed (after saying so),
    // else the new project file, which is opened in the old one's place.
    using CarryOver = std::function<std::optional<QString>(const QString &path)>;
    void SetCarryOver(CarryOver carryOver) { m_carryOver = std::move(carryOver); }
    // The open dialog; a chosen file replaces the open project. Cancel
    // empties path and keeps the open project.
    bool AskAndOpen(QString &path);
    // A copy of the reference database under a name the user chooses, opened.
    bool CreateNew();
    // A copy of the open project file under another name, opened.
    bool SaveAs();
    // The Save As dialog of a project file, starting at proposed; empty for
    // Cancel. Only a ".prj" name is taken (the user is asked about another).
    QString AskTargetName(const QString &title, const QString &proposed);
    void CloseDatabase();

    // The data source's "Data Source" property: the project file's path.
    QString DisplayName() const;
    // The file that was opened: the project file or the data link file.
    const QString &OpenedPath() const { return m_openedPath; }
    bool IsOpen() const { return m_session != nullptr; }
    bool OpenedByDataLink() const { return m_openedByDataLink; }
    // A write-protected project file, or a data source whose data link file
    // says Mode=Read: it may be read, printed and saved under another name,
    // nothing may be written into it.
    bool ReadOnly() const { return m_readOnly; }
    // The damaged number cells of the open project file: their rows are
    // left out, and the project is open for reading only.
    const std::vector<DamagedCell> &DamagedCells() const { return m_damaged; }
    // The program's path with its last three characters replaced by "vor";
    // empty after a message when the program's path cannot be read.
    QString ReferenceDatabasePath() const;

    DbSession *Session() const { return m_session.get(); }
    CIdSequence *IdSequence() const { return m_idSequence.get(); }
    CLevelList &Levels() { return m_levels; }
    const ConnectionProperties &Properties() const { return m_properties; }

    bool RootShown() const { return m_rootShown; }
    void SetRootShown(bool shown) { m_rootShown = shown; }

signals:
    void opened();
    void closed();

private:
    bool ReadProperties(const QString &path, const QString &user, const QString &password,
                        ConnectionProperties &properties, bool &viaDataLink);
    bool Connect(const QString &path, const ConnectionProperties &properties, bool viaDataLink);
    bool CheckSqliteFile(const QString &path);
    bool IsWriteProtected();
    void ReopenForReading();
    void ForbidWritesOnServer();
    bool IsProject(const QString &path);
    bool CheckDatabase();
    void LeaveOutDamagedRows();
    // Drops a connection that never became the open project.
    void Abandon();
    bool CopyAndOpen(const QString &source, const QString &title, const QString &proposed,
                     const QString &user, const QString &password);

    CLevelList m_levels;
    std::unique_ptr<CIdSequence> m_idSequence;
    ConnectionProperties m_properties;
    std::unique_ptr<DbSession> m_session;
    bool m_openedByDataLink = false;
    bool m_readOnly = false;
    bool m_rootShown = false;
    QString m_openedPath;
    std::vector<DamagedCell> m_damaged;
    CarryOver m_carryOver;
};

// False after a message when path names something that exists but is no
// plain file or folder (a pipe, a device, a socket), before anything opens it.
bool RefuseNonPlainFile(const QString &path);

// What the "Connection Properties" dialog shows of the open data source.
struct ConnectionDetails {
    QString dataSourceName;
    QString providerName;
    QString providerVersion;
    // (description, value) of every initialisation property, in alphabetical
    // order of the descriptions.
    QList<QPair<QString, QString>> properties;
};

ConnectionDetails ReadConnectionDetails(const ProjectDatabase &database);
