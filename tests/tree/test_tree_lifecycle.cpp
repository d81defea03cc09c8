#include "tree_test_support.h"

#include <QSqlRecord>

using namespace TreeNames;

// A whole editing session over plants, cabinets, carriers, modules and
// signals, after which the project file holds exactly what the document shows.
class TestTreeLifecycle : public QObject {
    Q_OBJECT
private slots:
    void wholeEditLifeCycle();

private:
    static QStringList paths(C7100Document &document);
    static void compareWithDatabase(TreeProject &project);
};

namespace {
const QStringList kTreeTables = {
    QStringLiteral("Equipments"),    QStringLiteral("Racks"),         QStringLiteral("ZelnorHolders"),
    QStringLiteral("Modules7230_1"), QStringLiteral("Modules7230_2"), QStringLiteral("Modules7230_3"),
    QStringLiteral("Modules7230_4"), QStringLiteral("Modules7210_1"), QStringLiteral("Modules7210_2"),
    QStringLiteral("Modules7210_3"), QStringLiteral("Modules7210_4"), QStringLiteral("Modules7220_1"),
    QStringLiteral("Modules7220_2"), QStringLiteral("Modules7220_3"), QStringLiteral("Modules7220_4"),
    QStringLiteral("Signals")};

void collect(C7100Document &document, const Item &item, QStringList &into)
{
    if (item.shown())
        into << item.level().tableName() + QLatin1Char(' ') + document.GetPath(item);
    if (const ContainerItem *container = const_cast<Item &>(item).asContainer())
        container->forEachChild([&](Item &child) { collect(document, child, into); });
}
} // namespace

QStringList TestTreeLifecycle::paths(C7100Document &document)
{
    document.CountDescendants(*document.Root());
    QStringList result;
    collect(document, *document.Root(), result);
    result.sort();
    return result;
}

// Every tree row against its item: same count per table, and every named
// column equal, an empty value standing for NULL.
void TestTreeLifecycle::compareWithDatabase(TreeProject &project)
{
    C7100Document &doc = project.document;
    QVERIFY(doc.CountDescendants(*doc.Root()) > 0);
    for (const QString &table : kTreeTables) {
        std::vector<Item *> items;
        for (Item *item : doc.Registry().items()) {
            if (item->level().tableName() == table) {
                QCOMPARE(item->editState(), EditState::Clean);
                items.push_back(item);
            }
        }
        QCOMPARE(project.rows(table), int(items.size()));
        const std::vector<ColumnInfo> &columns = *project.levels().FindByTable(table)->GetColumns();
        for (Item *item : items) {
            QSqlQuery row(project.session().database());
            QVERIFY(row.exec(
                QStringLiteral("SELECT * FROM %1 WHERE ID = %2").arg(table).arg(item->id().toInt())));
            QVERIFY2(row.next(), qPrintable(doc.GetPath(*item)));
            for (size_t i = 0; i < columns.size(); ++i) {
                if (columns[i].name.isEmpty())
                    continue;
                const QVariant stored = row.value(columns[i].name);
                const QVariant shown = item->values()[i];
                const QString where = doc.GetPath(*item) + QLatin1Char('.') + columns[i].name;
                if (stored.isNull()) {
                    QVERIFY2(!shown.isValid() || shown.toString().isEmpty(), qPrintable(where));
                } else if (columns[i].binding.type == FieldType::Text) {
                    QCOMPARE(shown.toString(), stored.toString());
                } else {
                    QVERIFY2(shown.isValid(), qPrintable(where));
                    const bool isBool = columns[i].binding.type == FieldType::Bool;
                    QCOMPARE(isBool ? (shown.toBool() ? -1 : 0) : shown.toInt(), stored.toInt());
                }
            }
            if (item->level().ParentColumnName().isEmpty())
                continue;
            QCOMPARE(doc.GetValue(*item, QStringLiteral("ParentID"), true), item->parent()->id());
        }
    }
}

void TestTreeLifecycle::wholeEditLifeCycle()
{
    TreeProject project;
    project.open();
    C7100Document &doc = project.document;
    ContainerItem &top = project.projectItem();
    ScriptedMessages messages;
    CapturedLog log;

    // Build the plant.
    Item *p1 = project.add(top, Plant, QStringLiteral("P1"));
    Item *p2 = project.add(top, Plant, QStringLiteral("P2"));
    QVERIFY(p1 && p2);
    Item *c1 = project.add(*p1->asContainer(), Cabinet, QStringLiteral("C1"));
    QVERIFY(c1);
    Item *z1 = project.add(*c1->asContainer(), Carrier, QStringLiteral("Z1"));
    QVERIFY(z1);
    Item *s1 = project.add(project.signalsRoot(), Signal, QStringLiteral("TI 1"));
    Item *s2 = project.add(project.signalsRoot(), Signal, QStringLiteral("TI 2"));
    QVERIFY(s1 && s2);
    Item *onProject = project.add(top, Module7230, QStringLiteral("7230 at the top"));
    Item *onPlant = project.add(*p1->asContainer(), Module7210, QStringLiteral("7210 in P1"));
    Item *onCarrier = project.add(*z1->asContainer(), Module7220, QStringLiteral("7220 on Z1"));
    QVERIFY(onProject && onPlant && onCarrier);
    QCOMPARE(onProject->level().tableName(), QStringLiteral("Modules7230_1"));
    QCOMPARE(onPlant->level().tableName(), QStringLiteral("Modules7210_2"));
    QCOMPARE(onCarrier->level().tableName(), QStringLiteral("Modules7220_4"));

    // A module in the cabinet with its two channel signals, saved only after
    // its name was corrected.
    Item *module = doc.CreateItem(*c1->asContainer(), Module7230);
    QVERIFY(module);
    QVERIFY(doc.SetValue(*module, QStringLiteral("Name"), QStringLiteral("TT\\1"), true));
    QVERIFY(doc.SetValue(*module, QStringLiteral("Ch1SignalID"), s1->id(), true));
    QVERIFY(doc.SetValue(*module, QStringLiteral("Ch2SignalID"), s2->id(), true));
    QVERIFY(doc.SetValue(*module, QStringLiteral("DIPSwitch"), QStringLiteral("Yes"), false));
    QVERIFY(!doc.Save(*module));
    QCOMPARE(messages.shown().size(), size_t(1));
    QVERIFY(doc.SetValue(*module, QStringLiteral("Name"), QStringLiteral("TT 1"), true));
    QVERIFY(doc.Save(*module));
    QCOMPARE(module->level().tableName(), QStringLiteral("Modules7230_3"));

    // Edits: a rename, a description, a new plant given up again.
    QVERIFY(doc.BeginEdit(*c1));
    QVERIFY(doc.SetValue(*c1, QStringLiteral("Name"), QStringLiteral("Cabinet 1"), true));
    QVERIFY(doc.Save(*c1));
    QVERIFY(doc.BeginEdit(*s1));
    QVERIFY(doc.SetValue(*s1, QStringLiteral("RangeEnd"), 150000, true));
    QVERIFY(doc.SetValue(*s1, QStringLiteral("Description"), QStringLiteral("tank temperature"), true));
    QVERIFY(doc.Save(*s1));
    Item *abandoned = doc.CreateItem(top, Plant);
    QVERIFY(doc.SetValue(*abandoned, QStringLiteral("Name"), QStringLiteral("never stored"), true));
    QVERIFY(doc.CancelEdit(*abandoned));

    // Deletions.
    messages.answer(MessageAnswer::Yes);
    QVERIFY(doc.ConfirmAndDelete(*p2));
    messages.answer(MessageAnswer::Yes);
    QVERIFY(doc.ConfirmAndDelete(*onPlant));
    QCOMPARE(log.lines, QStringList{QStringLiteral("Folder 'P2' was deleted.")});
    QCOMPARE(messages.unexpectedQuestions(), 0);

    compareWithDatabase(project);
    QCOMPARE(project.scalar(QStringLiteral("SELECT DIPSwitch FROM Modules7230_3")).toInt(), -1);
    QCOMPARE(project.scalar(QStringLiteral("SELECT Name FROM Racks")), QVariant(QStringLiteral("Cabinet 1")));
    QCOMPARE(project.rows(QStringLiteral("Equipments")), 1);

    // Another document over the same file sees the same tree.
    const QStringList shown = paths(doc);
    QVERIFY(shown.contains(QStringLiteral("Modules7230_3 \\\\Project\\P1\\Cabinet 1\\TT 1")));
    QVERIFY(shown.contains(QStringLiteral("Modules7220_4 \\\\Project\\P1\\Cabinet 1\\Z1\\7220 on Z1")));
    std::vector<ProviderErrorRecord> error;
    const std::unique_ptr<DbSession> session =
        DbSession::open(DataSource::sqliteFile(project.path()), &error);
    QVERIFY(session);
    ProjectDocument reopened(*session);
    reopened.open();
    QCOMPARE(paths(reopened.document), shown);
}

QTEST_GUILESS_MAIN(TestTreeLifecycle)
#include "test_tree_lifecycle.moc"
