// The parameter pages with a simulated module online: what a user does to
// commission a module from its pages.
#include "link/transfer_harness.h"
#include "pages/widgets/chanel_pages.h"
#include "pages/widgets/chanel_tab_view.h"
#include "pages/widgets/num_spin_edit.h"

#include <QPushButton>

class TestParamsPagesOnline : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void rangeChangedOnThePageIsAppliedAndDownloaded();
};

void TestParamsPagesOnline::rangeChangedOnThePageIsAppliedAndDownloaded()
{
    TransferHarness h(TwoChannel7230());
    TransferProject project;
    const int moduleId = project.createModule(kTwoChannel7230, QStringLiteral("TT"));
    project.exec(QStringLiteral("UPDATE Modules7230_1 SET SerialNr = 'SIM-1' WHERE ID = %1").arg(moduleId));
    project.open();
    h.simulate(project.imageOfModule(kTwoChannel7230, moduleId));
    h.attach(project);
    QVERIFY(h.goOnline());
    Item *module = project.moduleItem(kTwoChannel7230, moduleId);
    QCOMPARE(project.document.CurrentItem(), module->handle());

    CChanelTabView view(ProgramChanelTabContext(project.document, project.catalogues(), *h.transfer, h.view.get()));
    CChanelPage *range = view.Page(PageKind::SignalProcessing);
    QVERIFY(view.SetActivePage(range));
    auto *to = range->form(0)->findChild<CNumSpinEdit *>("1336");
    auto button = [&](const char *id) { return range->form(0)->findChild<QPushButton *>(id); };
    // The online module without differences: nothing to apply or download.
    QVERIFY(!button("1307")->isEnabled());
    QVERIFY(!button("1314")->isEnabled());
    QVERIFY(button("1315")->isEnabled());

    to->selectAll();
    QTest::keyClicks(to, "120");
    QVERIFY(project.document.IsModified());
    QVERIFY(button("1314")->isEnabled());
    const qsizetype notices = h.link.notices.size();
    button("1314")->click();
    QVERIFY(h.waitForReadBack(4, notices));
    // The page's value went through Apply into the project and the module.
    QCOMPARE(project.scalar("SELECT RangeEnd FROM Signals WHERE Name = 'TT_CH1'").toInt(), 120000);
    QCOMPARE(h.link.simulator.image().Channel[0].Config.RangeEnd, 1200);
    QVERIFY(!project.document.IsModified());
    QTRY_COMPARE_WITH_TIMEOUT(h.transfer->TreeImageOf(module->handle()), int(ModuleTransfer::ImageOnlineEqual),
                              8000);
    QVERIFY(!button("1314")->isEnabled());
    QVERIFY2(h.messages.shown().empty(), qPrintable(h.messages.texts().join('\n')));
}

QTEST_MAIN(TestParamsPagesOnline)
#include "test_params_pages_online.moc"
