// A connected module that cannot become a project module: its tags cannot be
// names, or the project's catalogue does not hold its type. Nothing is made.
#include "transfer_harness.h"

class TestConnectedModuleRefusals : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }

    void connectedModuleThatCannotBeMadeChangesNothing_data()
    {
        QTest::addColumn<QString>("tag1");
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("backslash in a tag") << "TT\\101" << kTwoChannel7230 - 1 << "('TT\\101')";
        QTest::newRow("escape in a tag") << "TT\x1b[2J" << kTwoChannel7230 - 1 << "('TT\\x1b[2J')";
        QTest::newRow("type without catalogue row")
            << "TT-101" << 0xFF << "reports the type code 255, which the project's catalogue does not hold";
    }

    void connectedModuleThatCannotBeMadeChangesNothing()
    {
        QFETCH(QString, tag1);
        QFETCH(int, typeCode);
        QFETCH(QString, refusal);
        TransferProject project;
        const int template7230 = project.createModule(kTwoChannel7230, QStringLiteral("X"));
        project.open();
        CModuleImage image = project.imageOfModule(kTwoChannel7230, template7230, QStringLiteral("SN-BAD"));
        image.ModulTypID = typeCode;
        image.Channel[0].Name = tag1;
        image.Channel[1].Name = QStringLiteral("TT-102");
        const QString before = project.dump();
        TransferHarness h(TwoChannel7230());
        h.simulate(image);
        h.attach(project);
        const auto previous = ModuleDialogService::setPresenter(&ModuleDialogService::acceptProposals);
        h.messages.answer(MessageAnswer::Yes);
        const bool online = h.goOnline();
        ModuleDialogService::setPresenter(previous);
        QVERIFY(online);
        QCOMPARE(h.transfer->OnlineModule(), ItemHandle(0));
        QVERIFY2(h.messages.texts().join('\n').contains(refusal), qPrintable(h.messages.texts().join('\n')));
        QVERIFY(project.dump() == before);
        QVERIFY(!h.transfer->Upload());
        QVERIFY(project.dump() == before);
    }
};

QTEST_GUILESS_MAIN(TestConnectedModuleRefusals)
#include "test_connected_module_refusals.moc"
