#include "commissioning/commissioning_backlog.h"

#include "db/output_file.h"

#include "base/app_paths.h"
#include "db/data_error.h"
#include "db/db_session.h"
#include "db/session_statements.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {
// One side file a project: named after the project's file and the whole
// name of its database, so that two projects of one name do not share it.
QString SideFileOf(const DbSession &session)
{
    const QString database = session.source().database + QLatin1Char('@') + session.source().host;
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(database.toUtf8(), QCryptographicHash::Sha1).toHex().left(8));
    const QString folder = AppPaths::writableSubdirectory(QStringLiteral("commissioning"));
    const QString name =
        QStringLiteral("%1-%2.not-stored.json").arg(QFileInfo(session.source().database).completeBaseName(), hash);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}

QJsonObject StateJson(const CommissioningEntry &entry)
{
    return QJsonObject{{"moduleTable", entry.moduleTable},
                       {"moduleId", entry.moduleId},
                       {"state", int(entry.state)},
                       {"reason", entry.reason},
                       {"serialNumber", entry.serialNr},
                       {"elapsedMs", double(entry.elapsedMs)},
                       {"changedAt", entry.changedAt.toString(Qt::ISODate)}};
}

CommissioningEntry StateFromJson(const QJsonObject &object)
{
    CommissioningEntry entry;
    entry.moduleTable = object.value("moduleTable").toString();
    entry.moduleId = object.value("moduleId").toInt();
    const int state = object.value("state").toInt();
    entry.state = state >= 0 && state <= int(CommissioningState::Skipped) ? static_cast<CommissioningState>(state)
                                                                         : CommissioningState::Waiting;
    entry.reason = object.value("reason").toString();
    entry.serialNr = object.value("serialNumber").toString();
    entry.elapsedMs = qint64(object.value("elapsedMs").toDouble(-1));
    entry.changedAt = QDateTime::fromString(object.value("changedAt").toString(), Qt::ISODate);
    return entry;
}

bool SameModule(const CommissioningEntry &a, const CommissioningEntry &b)
{
    return a.moduleId == b.moduleId && a.moduleTable.compare(b.moduleTable, Qt::CaseInsensitive) == 0;
}
} // namespace

QString StoreFailureText(const COLEDBException &error)
{
    for (const ProviderErrorRecord &record : error.records()) {
        if (!record.description.trimmed().isEmpty())
            return record.description.trimmed();
    }
    return MessageText(error).trimmed().replace(QLatin1Char('\n'), QLatin1Char(' '));
}

CommissioningBacklog::CommissioningBacklog(DbSession &session) : m_session(session), m_sideFile(SideFileOf(session))
{
}

void CommissioningBacklog::StoreKept()
{
    CommissioningStore store(m_session);
    for (const CommissioningEntry &entry : m_states)
        store.Write(entry);
    CommissioningRecords records(m_session);
    for (const CommissioningRecord &record : m_records)
        records.Add(record);
}

bool CommissioningBacklog::Store(const CommissioningEntry &entry, const CommissioningRecord *record, QString *reason,
                                 const PlaceCheck &check, bool *placeGone)
{
    // Raised inside the transaction to roll it back.
    struct PlaceGone {
        QString reason;
    };
    try {
        InOwnTransaction(m_session, [&] {
            QString gone;
            if (check && !check(gone))
                throw PlaceGone{gone};
            StoreKept();
            CommissioningStore(m_session).Write(entry);
            if (record)
                CommissioningRecords(m_session).Add(*record);
        });
    } catch (const COLEDBException &error) {
        if (reason)
            *reason = StoreFailureText(error);
        return false;
    } catch (const PlaceGone &gone) {
        if (reason)
            *reason = gone.reason;
        if (placeGone)
            *placeGone = true;
        return false;
    }
    const bool hadKept = !empty();
    m_states.clear();
    m_records.clear();
    if (hadKept)
        QFile::remove(m_sideFile);
    return true;
}

bool CommissioningBacklog::Flush(QString *reason)
{
    if (empty())
        return true;
    try {
        InOwnTransaction(m_session, [&] { StoreKept(); });
    } catch (const COLEDBException &error) {
        if (reason)
            *reason = StoreFailureText(error);
        return false;
    }
    m_states.clear();
    m_records.clear();
    QFile::remove(m_sideFile);
    return true;
}

bool CommissioningBacklog::Keep(const CommissioningEntry &entry, const CommissioningRecord *record)
{
    const auto same = std::find_if(m_states.begin(), m_states.end(),
                                   [&entry](const CommissioningEntry &kept) { return SameModule(kept, entry); });
    if (same != m_states.end())
        *same = entry;
    else
        m_states.push_back(entry);
    if (record)
        m_records.push_back(*record);
    return WriteSideFile();
}

bool CommissioningBacklog::WriteSideFile() const
{
    if (m_sideFile.isEmpty())
        return false;
    QJsonArray states;
    for (const CommissioningEntry &entry : m_states)
        states.append(StateJson(entry));
    QJsonArray records;
    for (const CommissioningRecord &record : m_records)
        records.append(CommissioningRecords::Json(record));
    const QJsonObject all{{"project", m_session.source().database}, {"states", states}, {"records", records}};
    // The program's own file, which an earlier side file of the run replaces.
    return OutputFile::WriteBytes(OutputFile::Target{m_sideFile, OutputFile::Content::Text, true, {}},
                                  QJsonDocument(all).toJson())
        .isEmpty();
}

void CommissioningBacklog::TakeOverSideFile(std::vector<CommissioningEntry> &entries)
{
    QFile in(m_sideFile);
    if (m_sideFile.isEmpty() || !in.open(QIODevice::ReadOnly))
        return;
    const QJsonObject all = QJsonDocument::fromJson(in.readAll()).object();
    for (const QJsonValue &value : all.value("states").toArray()) {
        CommissioningEntry kept = StateFromJson(value.toObject());
        if (kept.state == CommissioningState::InProgress)
            kept.state = CommissioningState::Waiting;
        m_states.push_back(kept);
        for (CommissioningEntry &entry : entries) {
            if (!SameModule(entry, kept))
                continue;
            entry.state = kept.state;
            entry.reason = kept.reason;
            entry.serialNr = kept.serialNr;
            entry.elapsedMs = kept.elapsedMs;
            entry.changedAt = kept.changedAt;
        }
    }
    for (const QJsonValue &value : all.value("records").toArray())
        m_records.push_back(CommissioningRecords::FromJson(value.toObject()));
}
