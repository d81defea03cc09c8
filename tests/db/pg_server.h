#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A PostgreSQL server of its own for one test: made with initdb in a
// temporary folder, reachable only through a Unix socket in that folder (so
// that no port can collide with anything else on the machine), stopped and
// removed when the object ends. initdb refuses to run as root, so under root
// the server runs as the system's "postgres" user.
class PgTestServer {
public:
    PgTestServer();
    ~PgTestServer();
    PgTestServer(const PgTestServer &) = delete;
    PgTestServer &operator=(const PgTestServer &) = delete;

    // Makes the cluster and starts the server. On failure error says why.
    bool start(QString *error);
    void stop();
    bool isRunning() const { return m_running; }

    // Creates an empty database owned by the administrator.
    bool createDatabase(const QString &name, QString *error);

    // The socket folder; libpq takes it as the host name.
    QString host() const;
    int port() const { return m_port; }
    QString user() const { return QStringLiteral("zw_admin"); }
    QString password() const { return QStringLiteral("s3cret;pw"); }
    // "host:port" as a data link file names the server.
    QString dataSource() const;

private:
    bool run(const QString &program, const QStringList &args, QString *error, int timeoutMs = 60000);
    bool prepareFolder(QString *error);
    QString binDir() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_binDir;
    QString m_runAs;
    int m_port = 0;
    bool m_running = false;
};
