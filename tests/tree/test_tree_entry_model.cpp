#include "hierarchy_test_support.h"
#include "tree/hierarchy_strings.h"
#include "tree/widgets/tree_entry_model.h"
#include "tree/widgets/tree_images.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QtTest>

using namespace HierarchyStrings;

// The tree's pictures and entry looks as the pane paints them.
class TestTreeEntryModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void everyLevelImageHasItsOwnPicture_data();
    void everyLevelImageHasItsOwnPicture();
    void entriesPaintImageAndState();
};

namespace {

QImage Rendered(const QIcon &icon, int size)
{
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

void TestTreeEntryModel::everyLevelImageHasItsOwnPicture_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("16 px") << 16;
    QTest::newRow("32 px") << 32;
}

void TestTreeEntryModel::everyLevelImageHasItsOwnPicture()
{
    QFETCH(int, size);
    const std::vector<std::pair<int, QString>> pictures{
        {0, {}}, {1, {}}, {2, QStringLiteral("Modules7230_1")}, {2, QStringLiteral("Modules7210_2")},
        {2, QStringLiteral("Modules7220_3")}, {3, {}}, {4, {}}, {9, {}}, {11, {}}, {12, {}}, {13, {}}, {14, {}}};
    std::vector<QImage> seen;
    for (const auto &[image, table] : pictures) {
        const QImage drawn = Rendered(TreeImages::IconOf(image, table), size);
        QVERIFY2(!drawn.isNull() && drawn.size() == QSize(size, size), qPrintable(TreeImages::PathOf(image, table)));
        for (const QImage &other : seen)
            QVERIFY2(drawn != other, qPrintable(TreeImages::PathOf(image, table)));
        seen.push_back(drawn);
    }
    QVERIFY(TreeImages::IconOf(-1).isNull());
}

void TestTreeEntryModel::entriesPaintImageAndState()
{
    HierarchyProject project;
    project.open();
    Item *plant = project.addFolder(project.projectItem(), PlantName, "Plant");
    QVERIFY(plant);
    TreeEntryModel model(project.document);
    model.setImageSource([plant](const Item &item) { return &item == plant ? 12 : -1; });
    model.fetchMore({});
    const QModelIndex top = model.index(0, 0);
    model.fetchMore(top);
    const QModelIndex entry = model.indexOf(plant->handle());
    QCOMPARE(Rendered(model.data(entry, Qt::DecorationRole).value<QIcon>(), 16),
             Rendered(TreeImages::IconOf(12), 16));
    QVERIFY(!model.data(entry, Qt::FontRole).isValid());
    QVERIFY(!model.data(entry, Qt::ForegroundRole).isValid());
    QVERIFY(project.document.BeginEdit(*plant));
    QVERIFY(model.data(entry, Qt::FontRole).value<QFont>().bold());
    plant->endEditState();
    plant->setCutMark(true);
    QVERIFY(!model.data(entry, Qt::FontRole).isValid());
    QCOMPARE(model.data(entry, Qt::ForegroundRole).value<QBrush>(),
             QApplication::palette().brush(QPalette::Disabled, QPalette::Text));
}

QTEST_MAIN(TestTreeEntryModel)
#include "test_tree_entry_model.moc"
