#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <vector>

class DbSession;

// One attempt to commission a module, as the project keeps it in the table
// CommissioningRecords: the evidence that a module was written and read back.
struct CommissioningRecord {
    qint32 id = 0;
    QDateTime recordedAt;
    QString moduleTable;
    qint32 moduleId = 0;
    QString modulePath; // at the time of the attempt
    QString serialNr;
    QString revision;
    QString osUser;
    QString programVersion;
    bool verified = false;
    QString reason;
    QString crcWritten;  // CRC-32 of the blocks written, eight hex digits
    QString crcReadBack; // of the same blocks read back; empty when not read
    qint64 elapsedMs = -1;
    QString port; // the serial port of the attempt
};

// Writes and reads the records. Raises COLEDBException on a data error;
// nothing is written then.
class CommissioningRecords {
public:
    static constexpr const char *kTable = "CommissioningRecords";

    explicit CommissioningRecords(DbSession &session) : m_session(session) {}

    // Stores the record with a new ID and returns that ID.
    qint32 Add(const CommissioningRecord &record);
    // The records in the order they were made; with under, only those of
    // modules whose path then was under (or was) that path.
    std::vector<CommissioningRecord> List(const QString &under = QString());

    // The CRC-32 (IEEE 802.3) of bytes, as eight upper-case hex digits.
    static QString Crc32(const QByteArray &bytes);
    // The user the program runs as.
    static QString OsUser();
    // A record as JSON (the form of `zelnorctl records --json`) and back.
    static QJsonObject Json(const CommissioningRecord &record);
    static CommissioningRecord FromJson(const QJsonObject &object);

private:
    DbSession &m_session;
};
