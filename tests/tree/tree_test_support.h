#pragma once

#include "db/data_error.h"
#include "db/db_session.h"
#include "db/db_test_support.h"
#include "db/id_sequence.h"
#include "db/table_level.h"
#include "log/output_log.h"
#include "base/app_paths.h"
#include "support/captured_log.h"
#include "support/test_support.h"
#include "tree/document.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

// The documents under test draw identifiers as the program does.
using TableIds = CIdSequence;

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

// A document over an open session, opened the way the program opens a
// project (schema facts of every level read first).
template <typename Document> class BasicProjectDocument {
public:
    explicit BasicProjectDocument(DbSession &session) : m_session(session), m_ids(session)
    {
        TestSupport::loadEnglish();
    }

    // Call after any schema change made for a test.
    // name is the document's path name (two projects of one test differ).
    void open(bool rootShown = false, const QString &name = QStringLiteral("Project file"))
    {
        for (const auto &level : m_levels.levels()) {
            if (level->kind() != LevelKind::Root)
                level->ReadSchemaFacts(m_session);
        }
        document.OpenProject({&m_levels, &m_session, &m_ids, name, rootShown});
    }

    ContainerItem &projectItem() { return *document.Root()->containerChildren().at(0)->asContainer(); }
    ContainerItem &signalsRoot() { return *document.Root()->containerChildren().at(1)->asContainer(); }

    // A loaded item of a table by its ID; the test cannot go on without it.
    Item &row(const QString &table, int id)
    {
        Item *item = document.FindRow(table, id, true);
        if (!item)
            qFatal("no loaded row %d of %s", id, qPrintable(table));
        return *item;
    }
    ContainerItem &container(const QString &table, int id) { return *row(table, id).asContainer(); }

    // Creates, names and saves a child; null when any step fails.
    Item *add(ContainerItem &parent, int nameString, const QString &name)
    {
        Item *item = document.CreateItem(parent, nameString);
        if (!item || !document.SetValue(*item, QStringLiteral("Name"), name, true) || !document.Save(*item))
            return nullptr;
        return item;
    }

    TableIds &ids() { return m_ids; }
    CLevelList &levels() { return m_levels; }

private:
    DbSession &m_session;
    TableIds m_ids;
    CLevelList m_levels;

public:
    Document document;
};
using ProjectDocument = BasicProjectDocument<C7100Document>;

// A fresh project file copied from the reference database with a document
// over it.
class TreeProject : public ProjectCopy, public ProjectDocument {
public:
    TreeProject() : ProjectDocument(session()) {}

    int rows(const QString &table) { return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(); }
    int counter(const QString &sequence)
    {
        return scalar(QStringLiteral("SELECT ID FROM IDSequences WHERE SeqName = '%1'").arg(sequence))
            .toInt();
    }
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
