#pragma once

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/table_level.h"
#include "shell/app_paths.h"
#include "support/test_support.h"
#include "tree/document.h"
#include "tree/id_source.h"
#include "tree/tree_log.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

// Identifiers drawn from the IDSequences table: the counter is advanced and
// read in one transaction (the caller's when it holds one), a missing
// sequence starts at 100.
class TableIds : public IdSource {
public:
    explicit TableIds(DbSession &session) : m_session(session) {}

    QVariant NextId(const QString &sequence) override
    {
        // A refused BEGIN means the caller's transaction is already open.
        const bool started = m_session.BeginTransaction();
        try {
            if (run(QStringLiteral("UPDATE IDSequences SET ID = ID + 1 \t\t\t\t\t\t\t WHERE SeqName = ? "),
                    sequence)
                    .numRowsAffected() == 0)
                run(QStringLiteral(
                        "INSERT INTO IDSequences ( ID, SeqName ) \t\t\t\t\t\t\t VALUES ( 100, ? ) "),
                    sequence);
            QSqlQuery read =
                run(QStringLiteral("SELECT SeqName, ID FROM IDSequences WHERE SeqName = ? "), sequence);
            const QVariant id = read.next() ? QVariant(read.value(1).toInt() - 1) : QVariant();
            if (started && !m_session.Commit())
                RaiseDataError(50015, {sequence});
            return id;
        } catch (COLEDBException &error) {
            if (started)
                m_session.Rollback();
            AddMessage(error, 50015, {sequence});
            throw;
        }
    }

    int drawn = 0;

private:
    QSqlQuery run(const QString &statement, const QString &name)
    {
        QSqlQuery query = m_session.NewQuery();
        if (!query.prepare(m_session.Adapt(statement)))
            RaiseDataError(m_session.Records(query.lastError()));
        query.addBindValue(name);
        if (!query.exec())
            RaiseDataError(m_session.Records(query.lastError()));
        ++drawn;
        return query;
    }

    DbSession &m_session;
};

// Every notice a view would see: the hint and the handle of its item (0 for none).
class HintRecorder : public QObject {
public:
    explicit HintRecorder(C7100Document &document)
    {
        connect(&document, &C7100Document::updateAllViews, this, [this](QObject *, int hint, Item *item) {
            hints.push_back({hint, item ? item->handle() : 0});
        });
    }
    std::vector<int> codes() const
    {
        std::vector<int> result;
        for (const auto &[hint, handle] : hints)
            result.push_back(hint);
        return result;
    }
    void clear() { hints.clear(); }
    std::vector<std::pair<int, ItemHandle>> hints;
};

// Log lines of the item model, captured for the life of the object.
class CapturedLog {
public:
    CapturedLog()
    {
        m_previous = TreeLog::SetSink([this](const QString &text) { lines << text; });
    }
    ~CapturedLog() { TreeLog::SetSink(std::move(m_previous)); }
    CapturedLog(const CapturedLog &) = delete;
    CapturedLog &operator=(const CapturedLog &) = delete;
    QStringList lines;

private:
    TreeLog::Sink m_previous;
};

// A fresh project file copied from the reference database, opened the way
// the program opens one (schema facts of every level read), and a document
// over it.
class TreeProject {
public:
    explicit TreeProject(const QString &path = QString())
    {
        TestSupport::useBuiltProgramPaths();
        TestSupport::loadEnglish();
        m_path = path;
        if (m_path.isEmpty()) {
            m_path = m_dir.filePath(QStringLiteral("project.prj"));
            if (!QFile::copy(AppPaths::referenceDatabasePath(), m_path))
                qFatal("cannot copy the reference database");
            QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
        }
        std::vector<ProviderErrorRecord> error;
        m_session = DbSession::open(DataSource::sqliteFile(m_path), &error);
        if (!m_session)
            qFatal("cannot open the project copy");
        m_ids = std::make_unique<TableIds>(*m_session);
    }

    // Opens the document; call after any schema change made for a test.
    void open(bool rootShown = false)
    {
        for (const auto &level : m_levels.levels()) {
            if (level->kind() != LevelKind::Root)
                level->ReadSchemaFacts(*m_session);
        }
        document.OpenProject(
            {&m_levels, m_session.get(), m_ids.get(), QStringLiteral("Project file"), rootShown});
    }

    void exec(const QString &statement)
    {
        QSqlQuery query(m_session->database());
        if (!query.exec(statement))
            qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
    }
    QVariant scalar(const QString &statement)
    {
        QSqlQuery query(m_session->database());
        if (!query.exec(statement) || !query.next())
            return QVariant();
        return query.value(0);
    }
    int rows(const QString &table) { return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(); }
    int counter(const QString &sequence)
    {
        return scalar(QStringLiteral("SELECT ID FROM IDSequences WHERE SeqName = '%1'").arg(sequence))
            .toInt();
    }

    ContainerItem &projectItem() { return *document.Root()->containerChildren().at(0)->asContainer(); }
    ContainerItem &signalsRoot() { return *document.Root()->containerChildren().at(1)->asContainer(); }

    // Creates, names and saves a child; fails the test when that fails.
    Item *add(ContainerItem &parent, int nameString, const QString &name)
    {
        Item *item = document.CreateItem(parent, nameString);
        if (!item || !document.SetValue(*item, QStringLiteral("Name"), name, true) || !document.Save(*item))
            return nullptr;
        return item;
    }

    const QString &path() const { return m_path; }
    DbSession &session() { return *m_session; }
    TableIds &ids() { return *m_ids; }
    CLevelList &levels() { return m_levels; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<DbSession> m_session;
    std::unique_ptr<TableIds> m_ids;
    CLevelList m_levels;

public:
    C7100Document document;
};

namespace TreeNames {
constexpr int Plant = 486;
constexpr int Cabinet = 487;
constexpr int Carrier = 488;
constexpr int Module7230 = 489;
constexpr int Module7210 = 572;
constexpr int Module7220 = 590;
constexpr int Signal = 533;
} // namespace TreeNames
