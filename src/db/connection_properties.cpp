#include "db/connection_properties.h"

#include <QHash>

#include "db/db_session.h"
#include "db/project_strings.h"
#include "base/number_text.h"
#include "base/string_table.h"

#include <algorithm>

const QString ConnectionProperties::kProvider = QStringLiteral("Provider");
const QString ConnectionProperties::kDataSource = QStringLiteral("Data Source");
const QString ConnectionProperties::kInitialCatalog = QStringLiteral("Initial Catalog");
const QString ConnectionProperties::kUserId = QStringLiteral("User ID");
const QString ConnectionProperties::kPassword = QStringLiteral("Password");
const QString ConnectionProperties::kMode = QStringLiteral("Mode");

namespace {
// A port as a data link names it: digits only, 1 to 65535.
std::optional<int> PortNumber(const QString &text)
{
    const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    const std::optional<double> value = digitsOnly ? NumberText::Parse(text) : std::nullopt;
    if (!value || *value < 1 || *value > 65535)
        return std::nullopt;
    return int(*value);
}
} // namespace

int ConnectionProperties::ModeValue(const QString &text)
{
    bool numeric = false;
    const int number = text.trimmed().toInt(&numeric);
    if (numeric)
        return number;
    // Data link files written by hand or by other tools name the mode:
    // "Read", "ReadWrite", "Share Deny None|Read" and so on.
    static const QHash<QString, int> kNames = {
        {QStringLiteral("read"), 1},           {QStringLiteral("write"), 2},
        {QStringLiteral("readwrite"), 3},      {QStringLiteral("sharedenyread"), 4},
        {QStringLiteral("sharedenywrite"), 8}, {QStringLiteral("shareexclusive"), 12},
        {QStringLiteral("sharedenynone"), 16},
    };
    int mode = 0;
    for (QString part : text.split(QLatin1Char('|'))) {
        part.remove(QLatin1Char(' '));
        const auto found = kNames.constFind(part.toLower());
        // A mode that cannot be understood must not end up allowing writes.
        if (found == kNames.constEnd())
            return 1;
        mode |= *found;
    }
    return mode;
}
const QString ConnectionProperties::kProjectFileProvider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");

ConnectionProperties ConnectionProperties::forProjectFile(const QString &path, const QString &user,
                                                          const QString &password, int mode)
{
    ConnectionProperties p;
    p.setValue(kProvider, kProjectFileProvider);
    p.setValue(kDataSource, path);
    p.setValue(kUserId, user);
    p.setValue(kPassword, password);
    p.setValue(kMode, QString::number(mode));
    return p;
}

namespace {

// Reads a quoted value starting at the quote; pos ends behind the closing one.
bool readQuoted(const QString &s, qsizetype &pos, QString &value)
{
    const QChar quote = s[pos++];
    while (pos < s.size()) {
        if (s[pos] == quote) {
            if (pos + 1 < s.size() && s[pos + 1] == quote) {
                value += quote;
                pos += 2;
                continue;
            }
            ++pos;
            return true;
        }
        value += s[pos++];
    }
    return false;
}

bool needsQuotes(const QString &value)
{
    return value.contains(u';') || value.contains(u'"') || value.contains(u'\'') ||
           (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()));
}

QString quoted(const QString &value)
{
    if (!needsQuotes(value))
        return value;
    QString doubled = value;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

} // namespace

bool ConnectionProperties::parse(const QString &initString, ConnectionProperties &into, QString *error)
{
    ConnectionProperties result;
    qsizetype pos = 0;
    const QString &s = initString;
    while (pos < s.size()) {
        const qsizetype eq = s.indexOf(u'=', pos);
        const qsizetype semi = s.indexOf(u';', pos);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            const QString rest = s.mid(pos, semi < 0 ? -1 : semi - pos).trimmed();
            if (!rest.isEmpty()) {
                *error = StrF(ProjectStrings::DataLinkNoValue, {rest});
                return false;
            }
            pos = semi < 0 ? s.size() : semi + 1;
            continue;
        }
        const QString key = s.mid(pos, eq - pos).trimmed();
        if (key.isEmpty()) {
            *error = StrF(ProjectStrings::DataLinkNoName, {int(eq + 1)});
            return false;
        }
        pos = eq + 1;
        while (pos < s.size() && s[pos].isSpace())
            ++pos;
        QString value;
        if (pos < s.size() && (s[pos] == u'"' || s[pos] == u'\'')) {
            if (!readQuoted(s, pos, value)) {
                *error = StrF(ProjectStrings::DataLinkNoClosingQuote, {key});
                return false;
            }
            const qsizetype end = s.indexOf(u';', pos);
            if (!s.mid(pos, end < 0 ? -1 : end - pos).trimmed().isEmpty()) {
                *error = StrF(ProjectStrings::DataLinkTextAfterQuote, {key});
                return false;
            }
            pos = end < 0 ? s.size() : end + 1;
        } else {
            const qsizetype end = s.indexOf(u';', pos);
            value = s.mid(pos, end < 0 ? -1 : end - pos).trimmed();
            pos = end < 0 ? s.size() : end + 1;
        }
        result.setValue(key, value);
    }
    into = result;
    return true;
}

QString ConnectionProperties::toInitString() const
{
    QStringList parts;
    for (const auto &[name, value] : m_entries)
        parts << name + u'=' + quoted(value);
    return parts.join(u';');
}

QString ConnectionProperties::value(const QString &name) const
{
    for (const auto &[key, value] : m_entries) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool ConnectionProperties::contains(const QString &name) const
{
    for (const auto &entry : m_entries) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void ConnectionProperties::setValue(const QString &name, const QString &value)
{
    for (auto &entry : m_entries) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0) {
            entry.second = value;
            return;
        }
    }
    m_entries.append({name, value});
}

ConnectionProperties::Provider ConnectionProperties::provider() const
{
    const QString name = providerName().trimmed();
    if (name.compare(QStringLiteral("SQLite"), Qt::CaseInsensitive) == 0 ||
        name.compare(kProjectFileProvider, Qt::CaseInsensitive) == 0)
        return Provider::SQLite;
    if (name.compare(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return Provider::PostgreSQL;
    return Provider::Unknown;
}

bool ConnectionProperties::toDataSource(DataSource &into, QString *why) const
{
    DataSource source;
    switch (provider()) {
    case Provider::Unknown:
        return false;
    case Provider::SQLite:
        source = DataSource::sqliteFile(dataSource());
        source.user = value(kUserId);
        source.password = value(kPassword);
        break;
    case Provider::PostgreSQL: {
        source.driver = DbDriver::PostgreSQL;
        QString host = dataSource().trimmed();
        // Two colons or more: an IPv6 address, which has no port here.
        const qsizetype colon = host.count(u':') == 1 ? host.lastIndexOf(u':') : -1;
        if (colon >= 0) {
            const QString portText = host.mid(colon + 1).trimmed();
            const std::optional<int> port = PortNumber(portText);
            if (!port) {
                if (why)
                    *why = StrF(ProjectStrings::PortNotANumber, {portText, dataSource().trimmed()});
                return false;
            }
            source.port = *port;
            host.truncate(colon);
        }
        source.host = host;
        source.database = value(kInitialCatalog);
        source.user = value(kUserId);
        source.password = value(kPassword);
        break;
    }
    }
    source.provider = providerName();
    if (contains(kMode))
        source.mode = ModeValue(value(kMode));
    into = source;
    return true;
}
