#include "commissioning/commissioning_records.h"

#include "db/id_sequence.h"
#include "db/session_statements.h"

#include <QSqlQuery>
#include <QVariant>

#include <array>

#include <pwd.h>
#include <unistd.h>

namespace {
QString Table()
{
    return QString::fromLatin1(CommissioningRecords::kTable);
}

std::array<quint32, 256> CrcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

bool IsUnder(const QString &path, const QString &under)
{
    if (under.isEmpty() || path == under)
        return true;
    return path.startsWith(under.endsWith(QLatin1Char('\\')) ? under : under + QLatin1Char('\\'));
}
} // namespace

QString CommissioningRecords::Crc32(const QByteArray &bytes)
{
    static const std::array<quint32, 256> table = CrcTable();
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = table[(crc ^ quint8(byte)) & 0xFFu] ^ (crc >> 8);
    return QStringLiteral("%1").arg(crc ^ 0xFFFFFFFFu, 8, 16, QLatin1Char('0')).toUpper();
}

QString CommissioningRecords::OsUser()
{
    if (const passwd *entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(geteuid());
}

qint32 CommissioningRecords::Add(const CommissioningRecord &record)
{
    qint32 id = 0;
    InOwnTransaction(m_session, [&] {
        id = CIdSequence(m_session).NextId(Table()).toInt();
        QSqlQuery insert = PrepareOrRaise(
            m_session,
            QStringLiteral("INSERT INTO %1 (ID, RecordedAt, ModuleTable, ModuleID, ModulePath, SerialNr, "
                           "Revision, OsUser, ProgramVersion, Result, Reason, CrcWritten, CrcReadBack, "
                           "ElapsedMs, Port) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(Table()));
        for (const QVariant &value :
             {QVariant(id), QVariant(record.recordedAt.toString(Qt::ISODate)), QVariant(record.moduleTable),
              QVariant(record.moduleId), QVariant(record.modulePath), QVariant(record.serialNr),
              QVariant(record.revision), QVariant(record.osUser), QVariant(record.programVersion),
              QVariant(record.verified ? QStringLiteral("verified") : QStringLiteral("failed")),
              QVariant(record.reason), QVariant(record.crcWritten), QVariant(record.crcReadBack),
              record.elapsedMs < 0 ? QVariant() : QVariant(record.elapsedMs), QVariant(record.port)})
            insert.addBindValue(value);
        ExecOrRaise(m_session, insert);
    });
    return id;
}

std::vector<CommissioningRecord> CommissioningRecords::List(const QString &under)
{
    QSqlQuery query = PrepareOrRaise(
        m_session,
        QStringLiteral("SELECT ID, RecordedAt, ModuleTable, ModuleID, ModulePath, SerialNr, Revision, "
                       "OsUser, ProgramVersion, Result, Reason, CrcWritten, CrcReadBack, ElapsedMs, Port "
                       "FROM %1 ORDER BY ID")
            .arg(Table()));
    ExecOrRaise(m_session, query);
    std::vector<CommissioningRecord> records;
    while (query.next()) {
        CommissioningRecord record;
        record.id = query.value(0).toInt();
        record.recordedAt = QDateTime::fromString(query.value(1).toString(), Qt::ISODate);
        record.moduleTable = query.value(2).toString();
        record.moduleId = query.value(3).toInt();
        record.modulePath = query.value(4).toString();
        if (!IsUnder(record.modulePath, under))
            continue;
        record.serialNr = query.value(5).toString();
        record.revision = query.value(6).toString();
        record.osUser = query.value(7).toString();
        record.programVersion = query.value(8).toString();
        record.verified = query.value(9).toString() == QLatin1String("verified");
        record.reason = query.value(10).toString();
        record.crcWritten = query.value(11).toString();
        record.crcReadBack = query.value(12).toString();
        record.elapsedMs = query.value(13).isNull() ? -1 : query.value(13).toLongLong();
        record.port = query.value(14).toString();
        records.push_back(std::move(record));
    }
    return records;
}

QJsonObject CommissioningRecords::Json(const CommissioningRecord &record)
{
    return QJsonObject{
        {"id", record.id},
        {"time", record.recordedAt.toString(Qt::ISODate)},
        {"moduleTable", record.moduleTable},
        {"moduleId", record.moduleId},
        {"path", record.modulePath},
        {"serialNumber", record.serialNr},
        {"revision", record.revision},
        {"user", record.osUser},
        {"programVersion", record.programVersion},
        {"verified", record.verified},
        {"reason", record.reason},
        {"crcWritten", record.crcWritten},
        {"crcReadBack", record.crcReadBack},
        {"seconds", record.elapsedMs < 0 ? QJsonValue() : QJsonValue(double(record.elapsedMs) / 1000.0)},
        {"port", record.port}};
}

CommissioningRecord CommissioningRecords::FromJson(const QJsonObject &object)
{
    CommissioningRecord record;
    record.id = object.value("id").toInt();
    record.recordedAt = QDateTime::fromString(object.value("time").toString(), Qt::ISODate);
    record.moduleTable = object.value("moduleTable").toString();
    record.moduleId = object.value("moduleId").toInt();
    record.modulePath = object.value("path").toString();
    record.serialNr = object.value("serialNumber").toString();
    record.revision = object.value("revision").toString();
    record.osUser = object.value("user").toString();
    record.programVersion = object.value("programVersion").toString();
    record.verified = object.value("verified").toBool();
    record.reason = object.value("reason").toString();
    record.crcWritten = object.value("crcWritten").toString();
    record.crcReadBack = object.value("crcReadBack").toString();
    record.port = object.value("port").toString();
    const QJsonValue seconds = object.value("seconds");
    record.elapsedMs = seconds.isDouble() ? qint64(seconds.toDouble() * 1000.0 + 0.5) : -1;
    return record;
}
