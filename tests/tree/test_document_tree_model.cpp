#include "hierarchy_test_support.h"
#include "tree/document_tree_model.h"
#include "tree/hierarchy_strings.h"
#include "tree/item_path.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace HierarchyStrings;

// The item tree as an item model: what stands at the top, what is shown,
// rows read when their parent is first expanded.
class TestDocumentTreeModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void projectAndSignalsAtTheTopWithoutCatalogues();
    void rowsArriveWhenFetched();
    void changesResetTheModel();
};

void TestDocumentTreeModel::initTestCase()
{
    TestSupport::loadEnglish();
}

void TestDocumentTreeModel::projectAndSignalsAtTheTopWithoutCatalogues()
{
    HierarchyProject project;
    project.open();
    DocumentTreeModel model(project.document);
    if (model.canFetchMore({}))
        model.fetchMore({});
    QCOMPARE(model.rowCount(), 2);
    const QModelIndex top = model.index(0, 0);
    QCOMPARE(model.data(top).toString(), QStringLiteral("Project"));
    QCOMPARE(model.data(model.index(1, 0)).toString(), project.document.GetName(*model.itemAt(model.index(1, 0))));
    QVERIFY(!model.parent(top).isValid());
    // The project's own catalogue rows are items of the tree, but no row.
    QVERIFY(model.canFetchMore(top));
    model.fetchMore(top);
    QCOMPARE(model.rowCount(top), 0);
    QVERIFY(!model.hasChildren(top));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestDocumentTreeModel::rowsArriveWhenFetched()
{
    HierarchyProject project;
    project.open();
    ContainerItem *root = &project.projectItem();
    project.addFolder(*root, PlantName, "North");
    project.addFolder(*root, PlantName, "South");
    project.document.DeleteContents();
    DocumentTreeModel model(project.document);
    model.fetchMore({});
    const QModelIndex top = model.index(0, 0);
    QVERIFY(model.hasChildren(top));
    QCOMPARE(model.rowCount(top), 0);
    model.fetchMore(top);
    QCOMPARE(model.rowCount(top), 2);
    const QModelIndex south = model.index(1, 0, top);
    QCOMPARE(model.data(south).toString(), QStringLiteral("South"));
    QCOMPARE(model.parent(south), top);
    QCOMPARE(model.indexOf(model.itemAt(south)->handle()), south);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestDocumentTreeModel::changesResetTheModel()
{
    HierarchyProject project;
    project.open();
    DocumentTreeModel model(project.document);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    ContainerItem *root = &project.projectItem();
    project.addFolder(*root, PlantName, "East");
    QVERIFY(resets.count() >= 1);
    if (model.canFetchMore({}))
        model.fetchMore({});
    const QModelIndex top = model.index(0, 0);
    if (model.canFetchMore(top))
        model.fetchMore(top);
    QCOMPARE(model.rowCount(top), 1);
    QCOMPARE(model.data(model.index(0, 0, top)).toString(), QStringLiteral("East"));
}

QTEST_GUILESS_MAIN(TestDocumentTreeModel)
#include "test_document_tree_model.moc"
