#include "pages/widgets/property_view.h"

#include <QTabBar>
#include <QtTest>

namespace {
// A page that can refuse to be left or shown, and counts what it is asked.
class ProbePage : public CPropertyViewPage {
public:
    explicit ProbePage(const QString &caption) : CPropertyViewPage(caption) { setFocusPolicy(Qt::StrongFocus); }
    bool OnSetActive() override
    {
        ++shown;
        return allowShow;
    }
    bool OnKillActive() override
    {
        ++left;
        return allowLeave;
    }
    bool allowShow = true;
    bool allowLeave = true;
    int shown = 0;
    int left = 0;
};

struct ThreePages {
    ThreePages()
    {
        for (ProbePage *page : pages)
            view.AddPage(page);
        view.resize(400, 300);
    }
    CPropertyView view;
    std::array<ProbePage *, 3> pages{new ProbePage("One"), new ProbePage("Two"), new ProbePage("Three")};
};
} // namespace

// Tabs and pages of the property view: which page is active after adds,
// removals, clicks and Ctrl+Tab.
class TestParamsPropertyView : public QObject {
    Q_OBJECT
private slots:
    void firstPageBecomesActive();
    void removingPagesActivatesTheNeighbour_data();
    void removingPagesActivatesTheNeighbour();
    void removingTheOnlyPageLeavesNoActivePage();
    void refusingPageKeepsItsPlace();
    void refusedShowKeepsTheOldPage();
    void controlTabWrapsAround();
};

void TestParamsPropertyView::firstPageBecomesActive()
{
    ThreePages three;
    QCOMPARE(three.view.GetActiveIndex(), 0);
    QCOMPARE(three.view.tabBar()->count(), 3);
    QCOMPARE(three.view.tabBar()->tabText(2), QStringLiteral("Three"));
    QCOMPARE(three.pages[0]->shown, 1);
    QCOMPARE(three.pages[1]->shown, 0);
    QCOMPARE(three.view.GetPageIndex(three.pages[2]), 2);
}

void TestParamsPropertyView::removingPagesActivatesTheNeighbour_data()
{
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("nowActive");
    QTest::newRow("active first tab: the new last") << 0 << 0 << "Three";
    QTest::newRow("active second tab: the first") << 1 << 1 << "One";
    QTest::newRow("active last tab: the one before") << 2 << 2 << "Two";
    QTest::newRow("another tab: the active stays") << 2 << 0 << "Three";
}

void TestParamsPropertyView::removingPagesActivatesTheNeighbour()
{
    QFETCH(int, active);
    QFETCH(int, removed);
    QFETCH(QString, nowActive);
    ThreePages three;
    QVERIFY(three.view.SetActivePage(active));
    three.view.RemovePage(three.pages[size_t(removed)]);
    QCOMPARE(three.view.GetPageCount(), 2);
    QCOMPARE(three.view.GetActivePage()->caption(), nowActive);
    QCOMPARE(three.view.tabBar()->tabText(three.view.tabBar()->currentIndex()), nowActive);
    QVERIFY(three.view.GetActivePage()->isVisibleTo(&three.view));
}

void TestParamsPropertyView::removingTheOnlyPageLeavesNoActivePage()
{
    CPropertyView view;
    auto *page = new ProbePage("Only");
    view.AddPage(page);
    view.RemovePage(page);
    QCOMPARE(view.GetActiveIndex(), -1);
    QCOMPARE(view.GetActivePage(), nullptr);
    QCOMPARE(view.tabBar()->count(), 0);
    // Ctrl+Tab without tabs does nothing.
    QTest::keyClick(&view, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(view.GetActiveIndex(), -1);
}

void TestParamsPropertyView::refusingPageKeepsItsPlace()
{
    ThreePages three;
    three.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&three.view));
    three.pages[0]->setFocus();
    three.pages[0]->allowLeave = false;
    three.view.tabBar()->setCurrentIndex(1);
    QCOMPARE(three.view.GetActiveIndex(), 0);
    QCOMPARE(three.view.tabBar()->currentIndex(), 0);
    QTest::keyClick(three.pages[0], Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(three.view.GetActiveIndex(), 0);
    QVERIFY(!three.view.SetActivePage(2));
    QCOMPARE(three.pages[1]->shown, 0);
    QVERIFY(three.pages[0]->isVisible());
    QVERIFY(three.pages[0]->hasFocus());
}

void TestParamsPropertyView::refusedShowKeepsTheOldPage()
{
    ThreePages three;
    three.pages[1]->allowShow = false;
    three.view.tabBar()->setCurrentIndex(1);
    QCOMPARE(three.view.GetActiveIndex(), 0);
    QCOMPARE(three.view.tabBar()->currentIndex(), 0);
    QVERIFY(three.view.SetActivePage(2));
    QVERIFY(three.pages[2]->isVisibleTo(&three.view));
    QVERIFY(!three.pages[0]->isVisibleTo(&three.view));
}

void TestParamsPropertyView::controlTabWrapsAround()
{
    ThreePages three;
    three.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&three.view));
    QVERIFY(three.view.SetActivePage(2));
    QTest::keyClick(three.pages[2], Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(three.view.GetActiveIndex(), 0);
    QTest::keyClick(three.pages[0], Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(three.view.GetActiveIndex(), 2);
    QCOMPARE(three.view.tabBar()->currentIndex(), 2);
}

QTEST_MAIN(TestParamsPropertyView)
#include "test_params_property_view.moc"
