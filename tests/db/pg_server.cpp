#include "db/pg_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <pwd.h>
#include <unistd.h>

namespace {

// Debian installs each major version under its own folder; the newest wins.
QString findBinDir()
{
    const QDir base(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = base.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toDouble() > b.toDouble(); });
    for (const QString &v : versions) {
        const QString bin = base.filePath(v + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) && QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return {};
}

bool giveTo(const QString &path, const QString &user, QString *error)
{
    const passwd *pw = getpwnam(user.toLocal8Bit().constData());
    if (!pw) {
        *error = QStringLiteral("there is no user '%1' to run the server as").arg(user);
        return false;
    }
    if (chown(QFile::encodeName(path).constData(), pw->pw_uid, pw->pw_gid) != 0) {
        *error = QStringLiteral("cannot hand %1 to user '%2'").arg(path, user);
        return false;
    }
    return true;
}

} // namespace

PgTestServer::PgTestServer() = default;

PgTestServer::~PgTestServer()
{
    stop();
}

QString PgTestServer::host() const
{
    return m_dir ? m_dir->path() : QString();
}

QString PgTestServer::dataSource() const
{
    return QStringLiteral("%1:%2").arg(host()).arg(m_port);
}

bool PgTestServer::run(const QString &program, const QStringList &args, QString *error, int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (m_runAs.isEmpty()) {
        process.start(program, args);
    } else {
        QStringList wrapped{QStringLiteral("-u"), m_runAs, QStringLiteral("--"), program};
        wrapped += args;
        process.start(QStringLiteral("runuser"), wrapped);
    }
    if (!process.waitForStarted(10000) || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        *error = QStringLiteral("%1 did not run: %2").arg(program, process.errorString());
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool PgTestServer::prepareFolder(QString *error)
{
    // Under root the server's user must reach the folder: the temporary
    // folder of root's environment may lie where it cannot.
    const QString base = geteuid() == 0 ? QStringLiteral("/tmp") : QDir::tempPath();
    m_dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/zw-pg-XXXXXX"));
    if (!m_dir->isValid()) {
        *error = QStringLiteral("cannot make a temporary folder: %1").arg(m_dir->errorString());
        return false;
    }
    const QString pwfile = m_dir->filePath(QStringLiteral("pwfile"));
    QFile f(pwfile);
    if (!f.open(QIODevice::WriteOnly) || f.write(password().toUtf8() + '\n') < 0) {
        *error = QStringLiteral("cannot write %1").arg(pwfile);
        return false;
    }
    f.close();
    if (geteuid() == 0) {
        m_runAs = QStringLiteral("postgres");
        if (!giveTo(m_dir->path(), m_runAs, error) || !giveTo(pwfile, m_runAs, error))
            return false;
    }
    return true;
}

bool PgTestServer::start(QString *error)
{
    m_binDir = findBinDir();
    if (m_binDir.isEmpty()) {
        *error = QStringLiteral("PostgreSQL is not installed (no initdb under /usr/lib/postgresql)");
        return false;
    }
    if (!prepareFolder(error))
        return false;
    const QString data = m_dir->filePath(QStringLiteral("data"));
    if (!run(m_binDir + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), data, QStringLiteral("-U"), user(), QStringLiteral("-A"),
              QStringLiteral("scram-sha-256"), QStringLiteral("--pwfile"),
              m_dir->filePath(QStringLiteral("pwfile")), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--no-sync"), QStringLiteral("--no-instructions")},
             error, 120000))
        return false;
    // The socket's name carries the port number; with no TCP listener any
    // number will do.
    m_port = 20000 + int(QRandomGenerator::global()->bounded(40000));
    const QString options =
        QStringLiteral("-c listen_addresses='' -k %1 -p %2 -c fsync=off").arg(host()).arg(m_port);
    if (!run(m_binDir + QStringLiteral("/pg_ctl"),
             {QStringLiteral("-D"), data, QStringLiteral("-o"), options, QStringLiteral("-l"),
              m_dir->filePath(QStringLiteral("server.log")), QStringLiteral("-w"), QStringLiteral("-t"),
              QStringLiteral("60"), QStringLiteral("start")},
             error, 90000)) {
        QFile log(m_dir->filePath(QStringLiteral("server.log")));
        if (log.open(QIODevice::ReadOnly))
            *error += QString::fromLocal8Bit(log.readAll());
        return false;
    }
    m_running = true;
    return true;
}

void PgTestServer::stop()
{
    if (!m_running)
        return;
    QString ignored;
    run(m_binDir + QStringLiteral("/pg_ctl"),
        {QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")), QStringLiteral("-m"),
         QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
        &ignored);
    m_running = false;
}

bool PgTestServer::createDatabase(const QString &name, QString *error)
{
    const QString connection =
        QStringLiteral("pg-admin-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(host());
        db.setPort(m_port);
        db.setUserName(user());
        db.setPassword(password());
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(name));
            if (!ok)
                *error = q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}
