// The page buttons when the module leaves: what may still be sent to it.
#include "link/transfer_harness.h"
#include "pages/widgets/chanel_pages.h"
#include "pages/widgets/chanel_tab_view.h"
#include "pages/widgets/num_spin_edit.h"

#include <QPushButton>

class TestParamsPagesOffline : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void transferButtonsGoWithTheModule_data();
    void transferButtonsGoWithTheModule();
};

void TestParamsPagesOffline::transferButtonsGoWithTheModule_data()
{
    QTest::addColumn<bool>("edited");
    QTest::newRow("nothing edited") << false;
    QTest::newRow("an edit not applied") << true;
}

void TestParamsPagesOffline::transferButtonsGoWithTheModule()
{
    QFETCH(bool, edited);
    TransferHarness h(TwoChannel7230());
    TransferProject project;
    const int moduleId = project.createModule(kTwoChannel7230, QStringLiteral("TT"));
    project.exec(QStringLiteral("UPDATE Modules7230_1 SET SerialNr = 'SIM-1' WHERE ID = %1").arg(moduleId));
    project.open();
    h.simulate(project.imageOfModule(kTwoChannel7230, moduleId));
    h.attach(project);
    QVERIFY(h.goOnline());

    CChanelTabView view(ProgramChanelTabContext(project.document, project.catalogues(), *h.transfer, h.view.get()));
    CChanelPage *range = view.Page(PageKind::SignalProcessing);
    QVERIFY(view.SetActivePage(range));
    auto button = [&](const char *id) { return range->form(0)->findChild<QPushButton *>(id); };
    auto *to = range->form(0)->findChild<CNumSpinEdit *>("1336");
    QVERIFY(button("1315")->isEnabled());
    if (edited) {
        to->selectAll();
        QTest::keyClicks(to, "120");
        QVERIFY(project.document.IsModified());
        QVERIFY(button("1314")->isEnabled());
    }
    const QString typed = to->text();

    const qsizetype notices = h.link.notices.size();
    h.link.simulator.setUnplugged(true);
    QVERIFY(h.link.waitForNotice(2, 2, 5000, notices));
    QVERIFY(!button("1314")->isEnabled());
    QVERIFY(!button("1315")->isEnabled());
    // The edit stays on the page, to be applied to the project.
    QCOMPARE(to->text(), typed);
    QCOMPARE(project.document.IsModified(), edited);
    QCOMPARE(button("1307")->isEnabled(), edited);
}

QTEST_MAIN(TestParamsPagesOffline)
#include "test_params_pages_offline.moc"
