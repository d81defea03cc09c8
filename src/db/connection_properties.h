#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include "db/db_session.h"

// The initialisation properties of a data source as an init string names
// them ("Provider=SQLite;Data Source=/srv/plant.prj"): the provider, where
// the data lies, who connects, and the sharing mode. Property names are
// matched without regard to case; their order is kept for writing.
class ConnectionProperties {
public:
    enum class Provider { Unknown, SQLite, PostgreSQL };

    static const QString kProvider;
    static const QString kDataSource;
    static const QString kInitialCatalog;
    static const QString kUserId;
    static const QString kPassword;
    // The mode as a number; also its names ("Read", "ReadWrite" ...).
    static int ModeValue(const QString &text);
    static const QString kMode;
    // The provider name of a project file opened directly; it stands for the
    // embedded SQLite database.
    static const QString kProjectFileProvider;

    // A project file opened directly.
    static ConnectionProperties forProjectFile(const QString &path, const QString &user,
                                               const QString &password,
                                               int mode = DataSource::kModeShareDenyNone);

    // Reads "Key=Value;Key=Value". A value may be quoted with '"' or '\''
    // (a doubled quote inside stands for one) so that it may hold ';'.
    // Returns false and says why on a malformed string.
    static bool parse(const QString &initString, ConnectionProperties &into, QString *error);
    QString toInitString() const;

    QString value(const QString &name) const;
    void setValue(const QString &name, const QString &value);
    bool contains(const QString &name) const;
    const QList<QPair<QString, QString>> &entries() const { return m_entries; }

    QString providerName() const { return value(kProvider); }
    Provider provider() const;
    QString dataSource() const { return value(kDataSource); }

    // What the session opens. A PostgreSQL "Data Source" is host[:port]; the
    // host may be a socket folder. Mode 1 opens an SQLite file read-only.
    // False for an unknown provider, or a port that is no number from 1 to
    // 65535 (why then says so).
    bool toDataSource(DataSource &into, QString *why = nullptr) const;

private:
    QList<QPair<QString, QString>> m_entries;
};
