#include "pages/pages_test_support.h"

#include "params/page_strings.h"
#include "db/project_commands.h"
#include "params/parameter_values.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

// The parameter pages over a real project: the pages and tabs of each
// family, the enable rules and reactions, the button states, and Apply.
class TestParamsPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void familiesShowTheirPages_data();
    void familiesShowTheirPages();
    void oneChannelModuleShowsOneChannelTab();
    void typeWithoutOutputHasNoOutputPage();
    void signalItemShowsItsOwnChannel();
    void channelTabIsSharedByThePages();
    void loadingNeverMarksTheProjectModified();
    void readOnlyFieldsLookReadOnly();
    void notUsedRelayDisablesItsControls();
    void impulseOutputNeedsAWorkingModeOtherThanZero();
    void relayGroupsShareOneNaming_data();
    void relayGroupsShareOneNaming();
    void overflowBelongsToTheCounter();
    void workingModeChangeOffersItsUnitsAndDefaultRange();
    void errorControlOffKeepsTheStoredValue();
    void outputErrorValueShowsThreeDecimals_data();
    void outputErrorValueShowsThreeDecimals();
    void refusedApplyLeavesDatabaseAndPage();
    void appliedRangeIsStoredAndResetBringsBackTheDatabase();
    void buttonsFollowModifiedAndLink();
    void controlsNeedPcConfigurationAndLink();
    void leavingChangedPagesAppliesOnYes();
    void transferWorksOnTheViewOnScreen();

private:
    static QStringList captions(CChanelTabView &view)
    {
        QStringList texts;
        for (int i = 0; i < view.tabBar()->count(); ++i)
            texts << view.tabBar()->tabText(i);
        return texts;
    }
    static const char *kFull;
};

// A type with output, relays and two channels.
const char *TestParamsPages::kFull = "OutputSignal = 1 AND LimitValue <> 0 AND Channels = 1";

void TestParamsPages::familiesShowTheirPages_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QStringList>("pages");
    QTest::newRow("7230") << int(Family7230) << kFull << 2
                          << QStringList{"Device info", "Input", "Signal processing", "Output", "Limiting value",
                                         "Memo"};
    QTest::newRow("7210") << int(Family7210) << kFull << 2
                          << QStringList{"Device info", "Input", "Signal processing", "Output", "Limiting value",
                                         "Memo"};
    QTest::newRow("7220") << int(Family7220) << "OutputSignal = 1 AND LimitValue <> 0" << 1 << QStringList{"Device info", "Output", "Limit value", "Memo"};
}

void TestParamsPages::familiesShowTheirPages()
{
    QFETCH(int, family);
    QFETCH(QString, condition);
    QFETCH(int, channels);
    QFETCH(QStringList, pages);
    PagesProject project;
    const int type = project.typeWhere(ModuleFamily(family), condition);
    QVERIFY(type > 0);
    CChanelTabView &view = project.showModule(type, "F");
    QCOMPARE(captions(view), pages);
    QCOMPARE(view.Page(PageKind::DeviceInfo)->channelTabs()->count(), channels);
    QCOMPARE(view.Page(PageKind::DeviceInfo)->channelTabs()->tabText(channels - 1),
             QString("Channel %1").arg(channels));
    QVERIFY(!view.Page(PageKind::Memo)->channelTabs());
    QCOMPARE(project.control<QLineEdit>(PageKind::DeviceInfo, "SignalTag", channels - 1)->text(),
             QString("F_CH%1").arg(channels));
    const QString dipLabel = family == Family7220 ? "Configuration" : "DIP Switch";
    QCOMPARE(project.control<QLineEdit>(PageKind::DeviceInfo, "DipSwitch")->accessibleName(), dipLabel);
}

void TestParamsPages::oneChannelModuleShowsOneChannelTab()
{
    PagesProject project;
    const int type = project.typeWhere(Family7230, "Channels = 0 AND OutputSignal <> 0 AND LimitValue <> 0");
    QVERIFY(type > 0);
    CChanelTabView &view = project.showModule(type, "ONE");
    for (int i = 0; i < view.GetPageCount(); ++i) {
        auto *page = static_cast<CChanelPage *>(view.GetPage(i));
        if (page->kind() == PageKind::Memo)
            continue;
        QCOMPARE(page->channelTabs()->count(), 1);
        QVERIFY(page->form(1));
    }
    // Channel 1 alone is checked and written.
    ScriptedMessages messages;
    CapturedLog log;
    project.type(project.control<CNumSpinEdit>(PageKind::SignalProcessing, "1336"), "120");
    view.Apply();
    QVERIFY2(messages.shown().empty(), qPrintable(messages.texts().join('\n')));
    QCOMPARE(project.scalar(QString("SELECT Ch2SignalID FROM Modules7230_1 WHERE ID = %1").arg(project.lastModuleId))
                 .toInt(),
             0);
    QVERIFY(!project.document.IsModified());
}

void TestParamsPages::typeWithoutOutputHasNoOutputPage()
{
    PagesProject project;
    const int type = project.typeWhere(Family7230, "OutputSignal = 0");
    QVERIFY(type > 0);
    CChanelTabView &view = project.showModule(type, "NO");
    QVERIFY(!view.Page(PageKind::Output));
    QVERIFY(!captions(view).contains("Output"));
    // The values of the missing output are neither checked nor changed.
    project.exec("UPDATE Signals SET OutputErrorStop = 99 WHERE Name LIKE 'NO_%'");
    project.show(project.moduleItem(type, project.lastModuleId));
    auto *description = project.control<QLineEdit>(PageKind::DeviceInfo, "Description");
    description->setText("no output");
    emit description->textEdited(description->text());
    ScriptedMessages messages;
    CapturedLog log;
    project.view->Apply();
    QVERIFY2(messages.shown().empty(), qPrintable(messages.texts().join('\n')));
    QCOMPARE(project.scalar("SELECT OutputErrorStop FROM Signals WHERE Name = 'NO_CH1'").toInt(), 99);
    QCOMPARE(project.scalar("SELECT Description FROM Signals WHERE Name = 'NO_CH1'").toString(),
             QStringLiteral("no output"));
}

void TestParamsPages::signalItemShowsItsOwnChannel()
{
    PagesProject project;
    const int type = project.typeWhere(Family7230, kFull);
    project.lastModuleId = project.createModule(type, "SIG");
    Item *module = project.moduleItem(type, project.lastModuleId);
    Item *signal = project.document.SignalOfChannel(*module, 2);
    QVERIFY(signal);
    CChanelTabView &view = project.show(signal);
    QVERIFY(!view.Page(PageKind::Input)->channelTabs());
    QCOMPARE(project.control<QLineEdit>(PageKind::DeviceInfo, "SignalTag")->text(), QStringLiteral("SIG_CH2"));
}

void TestParamsPages::channelTabIsSharedByThePages()
{
    PagesProject project;
    CChanelTabView &view = project.showModule(project.typeWhere(Family7230, kFull), "TAB");
    view.Page(PageKind::DeviceInfo)->channelTabs()->setCurrentIndex(1);
    QVERIFY(view.SetActivePage(view.GetPageIndex(view.Page(PageKind::Output))));
    QCOMPARE(view.Page(PageKind::Output)->channelTabs()->currentIndex(), 1);
}

void TestParamsPages::loadingNeverMarksTheProjectModified()
{
    PagesProject project;
    // Every module exists before the first is loaded into the tree.
    std::vector<std::pair<int, int>> modules;
    for (ModuleFamily family : {Family7230, Family7210, Family7220}) {
        for (int type : project.typeIds(family))
            modules.push_back({type, project.createModule(type, QString("L%1").arg(type))});
    }
    {
        for (const auto &[type, moduleId] : modules) {
            CChanelTabView &view = project.show(project.moduleItem(type, moduleId));
            for (int i = 0; i < view.GetPageCount(); ++i)
                QVERIFY(view.SetActivePage(i));
            QVERIFY2(!project.document.IsModified(), qPrintable(QString::number(type)));
            QVERIFY(!project.control<QPushButton>(PageKind::DeviceInfo, "1307")->isEnabled());
        }
    }
}

// The module's identity fields cannot be typed into and show it: their
// inside has the page's colour, the fields the user fills stay white.
void TestParamsPages::readOnlyFieldsLookReadOnly()
{
    PagesProject project;
    CChanelTabView &view = project.showModule(project.typeWhere(Family7230, kFull), "RO");
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const auto inside = [](QLineEdit *edit) {
        const QImage image = edit->grab().toImage();
        return image.pixelColor(image.width() - 6, image.height() / 2);
    };
    auto *comment = project.control<QLineEdit>(PageKind::DeviceInfo, "Comment");
    QVERIFY(comment && comment->isEnabled() && !comment->isReadOnly());
    const QColor face = view.Page(PageKind::DeviceInfo)->palette().color(QPalette::Window);
    QVERIFY(inside(comment) != face);
    for (const char *name : {"ModuleType", "Revision", "SerialNumber", "DipSwitch"}) {
        auto *field = project.control<QLineEdit>(PageKind::DeviceInfo, name);
        QVERIFY2(field && field->isReadOnly(), name);
        QCOMPARE(inside(field), face);
    }
}

void TestParamsPages::notUsedRelayDisablesItsControls()
{
    PagesProject project;
    project.showModule(project.typeWhere(Family7230, kFull), "REL");
    auto *function = project.control<QComboBox>(PageKind::LimitingValue, "1073");
    const int used = function->findData(5);
    QVERIFY(used >= 0);
    PagesProject::choose(function, used);
    QVERIFY(project.control<CNumSpinEdit>(PageKind::LimitingValue, "1283")->isEnabled());
    QVERIFY(project.control<QRadioButton>(PageKind::LimitingValue, "1311")->isEnabled());
    PagesProject::choose(function, function->findData(CatalogueChoices::kRelayNotUsedId));
    for (const char *name : {"1283", "1286"})
        QVERIFY(!project.control<CNumSpinEdit>(PageKind::LimitingValue, name)->isEnabled());
    for (const char *name : {"1311", "1312"})
        QVERIFY(!project.control<QRadioButton>(PageKind::LimitingValue, name)->isEnabled());
    QVERIFY(project.control<QRadioButton>(PageKind::LimitingValue, "1312")->isChecked());
    QCOMPARE(project.view->model().editor()->channel(1)->relay1AgainSettingProtection, 0);
    QVERIFY(project.document.IsModified());
}

void TestParamsPages::impulseOutputNeedsAWorkingModeOtherThanZero()
{
    PagesProject project;
    const int type = project.typeWhere(Family7210, QString(kFull) + " AND HaveImpulseOutput <> 0");
    QVERIFY(type > 0);
    CChanelTabView &view = project.showModule(type, "IMP");
    auto *mode = project.control<QComboBox>(PageKind::Input, "1331");
    auto *impulse = project.control<QCheckBox>(PageKind::Output, "1355");
    PagesProject::choose(mode, mode->findData(1));
    QVERIFY(impulse->isEnabled());
    impulse->setChecked(true);
    emit impulse->clicked(true);
    QVERIFY(project.control<CNumSpinEdit>(PageKind::Output, "2290")->isEnabled());
    // Relay B serves the impulse output.
    view.FillPage(PageKind::LimitingValue);
    auto *relayB = project.view->Page(PageKind::LimitingValue)->form(0)->findChild<QGroupBox *>("1357");
    QVERIFY(relayB->title().endsWith(" - Used for impulse output"));
    QVERIFY(!project.control<QComboBox>(PageKind::LimitingValue, "1088")->isEnabled());
    PagesProject::choose(mode, mode->findData(0));
    QVERIFY(!impulse->isChecked());
    QVERIFY(!impulse->isEnabled());
    QVERIFY(!project.control<CNumSpinEdit>(PageKind::Output, "2290")->isEnabled());
    QCOMPARE(view.model().editor()->channel(1)->impulsausgangaktiv, 0);
}

void TestParamsPages::relayGroupsShareOneNaming_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("7230") << int(Family7230) << kFull << QStringList{"Relay 1", "Relay 2"};
    QTest::newRow("7210") << int(Family7210) << kFull << QStringList{"Relay 1", "Relay 2"};
    QTest::newRow("7210 impulse output")
        << int(Family7210) << QString(kFull) + " AND HaveImpulseOutput <> 0"
        << QStringList{"Relay 1", "Relay 2 - Used for impulse output"};
    QTest::newRow("7220") << int(Family7220) << "OutputSignal = 1 AND LimitValue <> 0"
                          << QStringList{"Relay A", "Relay B"};
}

// The two relay groups of a page are named the same way: numbered, or
// lettered on 7220, never one of each.
void TestParamsPages::relayGroupsShareOneNaming()
{
    QFETCH(int, family);
    QFETCH(QString, condition);
    QFETCH(QStringList, titles);
    PagesProject project;
    const int type = project.typeWhere(ModuleFamily(family), condition);
    QVERIFY(type > 0);
    CChanelTabView &view = project.showModule(type, "NAM");
    if (titles.last().contains(" - ")) {
        auto *mode = project.control<QComboBox>(PageKind::Input, "1331");
        PagesProject::choose(mode, mode->findData(1));
        auto *impulse = project.control<QCheckBox>(PageKind::Output, "1355");
        impulse->setChecked(true);
        emit impulse->clicked(true);
    }
    view.FillPage(PageKind::LimitingValue);
    ChannelForm *form = view.Page(PageKind::LimitingValue)->form(0);
    QCOMPARE((QStringList{form->findChild<QGroupBox *>("Relay1Group")->title(),
                          form->findChild<QGroupBox *>("1357")->title()}),
             titles);
}

void TestParamsPages::overflowBelongsToTheCounter()
{
    PagesProject project;
    project.showModule(project.typeWhere(Family7210, kFull), "OVF");
    auto *mode = project.control<QComboBox>(PageKind::Input, "1331");
    auto *overflow = project.control<QCheckBox>(PageKind::Input, "1356");
    PagesProject::choose(mode, mode->findData(0));
    QVERIFY(!overflow->isHidden());
    QVERIFY(project.control<CNumSpinEdit>(PageKind::SignalProcessing, "1335")->text() == "0");
    QVERIFY(!project.control<CNumSpinEdit>(PageKind::SignalProcessing, "1335")->isEnabled());
    PagesProject::choose(mode, mode->findData(1));
    QVERIFY(overflow->isHidden());
}

void TestParamsPages::workingModeChangeOffersItsUnitsAndDefaultRange()
{
    PagesProject project;
    CChanelTabView &view = project.showModule(project.typeWhere(Family7230, kFull), "WM");
    auto *mode = project.control<QComboBox>(PageKind::Input, "1331");
    auto *units = project.control<QComboBox>(PageKind::SignalProcessing, "1334");
    int defaultRanges = 0;
    for (int entry = mode->count() - 1; entry >= 0; --entry) {
        PagesProject::choose(mode, entry);
        ChannelParameters channel = *view.model().editor()->channel(1);
        QCOMPARE(channel.workingModeId, mode->itemData(entry).toInt());
        const CatalogueChoice offered = view.model().editor()->Choices().Units(channel);
        QCOMPARE(units->count(), int(offered.entries.size()));
        for (int i = 0; i < units->count(); ++i)
            QCOMPARE(units->itemText(i), offered.entries[size_t(i)].text);
        if (const ParameterRow *row = FindRangeRow(project.catalogues(), Family7230, channel, false)) {
            const int factor = RangeFactor(project.catalogues(), Family7230, channel.rangeUnitsId);
            QCOMPARE(channel.rangeBegin, row->intValue("RangeBeginFrom") * factor);
            QCOMPARE(channel.rangeEnd, row->intValue("RangeEndTo") * factor);
            QCOMPARE(project.control<CNumSpinEdit>(PageKind::SignalProcessing, "1336")->GetValue(),
                     double(row->intValue("RangeEndTo")));
            ++defaultRanges;
        }
    }
    QVERIFY(defaultRanges > 0);
}

void TestParamsPages::errorControlOffKeepsTheStoredValue()
{
    PagesProject project;
    const int type = project.typeWhere(Family7230, kFull);
    project.showModule(type, "ERR");
    const qint32 stored = project.view->model().editor()->channel(1)->outputErrorValue;
    auto *off = project.control<QRadioButton>(PageKind::Output, "ErrorControlOffButton");
    off->click();
    QVERIFY(!project.control<CNumSpinEdit>(PageKind::Output, "1340")->isEnabled());
    ScriptedMessages messages;
    CapturedLog log;
    project.view->Apply();
    QVERIFY2(messages.shown().empty(), qPrintable(messages.texts().join('\n')));
    const QString select = "SELECT %1 FROM Signals WHERE Name = 'ERR_CH1'";
    QCOMPARE(project.scalar(select.arg("OutputErrorStop")).toInt(), 8);
    QCOMPARE(project.scalar(select.arg("OutputErrorValue")).toInt(), stored);
    project.control<QRadioButton>(PageKind::Output, "ErrorValueButton")->click();
    QVERIFY(project.control<CNumSpinEdit>(PageKind::Output, "1340")->isEnabled());
}

void TestParamsPages::outputErrorValueShowsThreeDecimals_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("taken");
    QTest::newRow("current 23 mA") << "OutputSignal = 1" << 23000000 << "23.000" << 23000000;
    QTest::newRow("current 21.5 mA") << "OutputSignal = 1" << 21500000 << "21.500" << 21500000;
    QTest::newRow("current 2 mA") << "OutputSignal = 1" << 2000000 << "2.000" << 2000000;
    QTest::newRow("voltage 5.75 V") << "OutputSignal = 2" << 23000000 << "5.750" << 23000000;
}

// The output error value shows all three decimals, and what it shows is
// taken back unchanged.
void TestParamsPages::outputErrorValueShowsThreeDecimals()
{
    QFETCH(QString, condition);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(int, taken);
    PagesProject project;
    const int type = project.typeWhere(Family7230, condition);
    QVERIFY(type > 0);
    CChanelTabView &view = project.showModule(type, "DEC");
    ChannelParameters *channel = view.model().editor()->channel(1);
    channel->outputErrorStop = 0;
    channel->outputErrorValue = stored;
    view.FillPage(PageKind::Output);
    auto *value = project.control<CNumSpinEdit>(PageKind::Output, "1340");
    QCOMPARE(value->text(), shown);
    view.Page(PageKind::Output)->Take();
    QCOMPARE(channel->outputErrorValue, taken);
}

void TestParamsPages::refusedApplyLeavesDatabaseAndPage()
{
    PagesProject project;
    project.showModule(project.typeWhere(Family7230, kFull), "BAD");
    const QString before = project.dump();
    auto *to = project.control<CNumSpinEdit>(PageKind::SignalProcessing, "1336");
    auto *hysteresis = project.control<CNumSpinEdit>(PageKind::LimitingValue, "1286");
    PagesProject::type(hysteresis, "55");
    PagesProject::type(to, "99999");
    ScriptedMessages messages;
    CapturedLog log;
    project.view->Apply();
    QCOMPARE(messages.shown().size(), size_t(1));
    QCOMPARE(messages.shown().front().icon, MessageIcon::Error);
    QVERIFY(log.lines.contains(QString("Module '%1' parameters can't apply!")
                                   .arg(project.view->model().editor()->parameters().module.name)));
    QCOMPARE(project.dump(), before);
    QCOMPARE(to->text(), QStringLiteral("99999"));
    QCOMPARE(hysteresis->text(), QStringLiteral("55"));
    QVERIFY(project.document.IsModified());
    QVERIFY(project.control<QPushButton>(PageKind::SignalProcessing, "1307")->isEnabled());
}

void TestParamsPages::appliedRangeIsStoredAndResetBringsBackTheDatabase()
{
    PagesProject project;
    project.showModule(project.typeWhere(Family7230, kFull), "OK");
    auto *to = project.control<CNumSpinEdit>(PageKind::SignalProcessing, "1336", 1);
    const double end = to->GetValue() - 1;
    PagesProject::type(to, QString::number(end));
    ScriptedMessages messages;
    CapturedLog log;
    project.view->Apply();
    QVERIFY2(messages.shown().empty(), qPrintable(messages.texts().join('\n')));
    const int factor = project.view->model().editor()->RangeFactorOf(2);
    QCOMPARE(project.scalar("SELECT RangeEnd FROM Signals WHERE Name = 'OK_CH2'").toInt(), int(end * factor));
    QVERIFY(log.lines.last().endsWith("parameters applied."));
    QVERIFY(!project.document.IsModified());

    PagesProject::type(to, "7");
    QVERIFY(project.document.IsModified());
    project.view->Reset();
    QCOMPARE(to->GetValue(), end);
    QVERIFY(!project.document.IsModified());
    QVERIFY(log.lines.last().endsWith("parameters reseted."));
}

void TestParamsPages::buttonsFollowModifiedAndLink()
{
    PagesProject project;
    const int type = project.typeWhere(Family7230, kFull);
    CChanelTabView &view = project.showModule(type, "BTN");
    const ItemHandle shown = view.model().shownItem();
    auto buttons = [&] {
        QList<bool> states;
        for (const char *name : {"1307", "1080", "1314", "1315"})
            states << project.control<QPushButton>(PageKind::Input, name, 1)->isEnabled();
        return states;
    };
    QCOMPARE(buttons(), (QList<bool>{false, false, false, false}));
    project.facts.moduleConnected = true;
    project.facts.connectedTypeId = type;
    project.facts.onlineModule = shown;
    view.model().Broadcast(17);
    QCOMPARE(buttons(), (QList<bool>{false, false, false, true}));
    project.facts.differences = true;
    view.model().Broadcast(17);
    QCOMPARE(buttons(), (QList<bool>{false, false, true, true}));
    PagesProject::type(project.control<CNumSpinEdit>(PageKind::Input, "1332"), "3");
    // The online module itself is not applied from its pages.
    QCOMPARE(buttons(), (QList<bool>{false, true, true, true}));
    project.facts.onlineModule = 0;
    project.facts.connectedTypeId = type + 1;
    view.model().Broadcast(17);
    QCOMPARE(buttons(), (QList<bool>{true, true, false, false}));
    project.control<QPushButton>(PageKind::Input, "1314", 1)->setEnabled(true);
    project.control<QPushButton>(PageKind::Input, "1314", 1)->click();
    QCOMPARE(project.downloads, 1);
}

void TestParamsPages::controlsNeedPcConfigurationAndLink()
{
    PagesProject project;
    project.facts.linkStarted = false;
    project.showModule(project.typeWhere(Family7230, kFull), "DIS");
    QVERIFY(!project.control<QComboBox>(PageKind::Input, "1331")->isEnabled());
    QVERIFY(!project.control<QLineEdit>(PageKind::DeviceInfo, "Comment")->isEnabled());
    project.facts.linkStarted = true;
    project.view->model().Broadcast(16);
    QVERIFY(project.control<QComboBox>(PageKind::Input, "1331")->isEnabled());
    QVERIFY(project.control<QPushButton>(PageKind::Input, "1315")->isEnabled() == false);
}

void TestParamsPages::leavingChangedPagesAppliesOnYes()
{
    PagesProject project;
    project.showModule(project.typeWhere(Family7230, kFull), "ASK");
    auto *to = project.control<CNumSpinEdit>(PageKind::SignalProcessing, "1336");
    const double end = to->GetValue() - 2;
    PagesProject::type(to, QString::number(end));
    SaveChangesHooks hooks;
    hooks.isPumpingMessages = [] { return false; };
    hooks.hasCurrentItem = [] { return true; };
    hooks.isModified = [&] { return project.document.IsModified(); };
    hooks.currentIsModuleOrSignal = [] { return true; };
    // What the program's question does on Yes: the shown module applies,
    // through its pages.
    hooks.applyModuleView = [&] {
        if (ModuleParameterEditor *editor = project.transferView.ShownModule())
            editor->Apply();
    };
    hooks.clearModified = [&] { project.document.SetModifiedFlag(false); };
    ScriptedMessages messages;
    CapturedLog log;
    messages.answer(MessageAnswer::Yes);
    QVERIFY(AskSaveChanges(hooks));
    QCOMPARE(messages.unexpectedQuestions(), 0);
    const int factor = project.view->model().editor()->RangeFactorOf(1);
    QCOMPARE(project.scalar("SELECT RangeEnd FROM Signals WHERE Name = 'ASK_CH1'").toInt(), int(end * factor));
    QVERIFY(!project.document.IsModified());
}

void TestParamsPages::transferWorksOnTheViewOnScreen()
{
    PagesProject project;
    const int type = project.typeWhere(Family7230, kFull);
    project.showModule(type, "NEXT");
    ModuleParameterEditor *first = project.view->model().editor();
    QCOMPARE(project.transferView.ShownModule(), first);
    // The frame makes the next view before the old one is gone.
    std::unique_ptr<CChanelTabView> old = std::move(project.view);
    project.show(project.moduleItem(type, project.lastModuleId));
    old.reset();
    QCOMPARE(project.transferView.ShownModule(), project.view->model().editor());
    project.view.reset();
    // Without a view on screen the transfer loads the module itself.
    ModuleParameterEditor *own = project.transferView.ShownModule();
    QVERIFY(own);
    QCOMPARE(own->parameters().module.id, project.lastModuleId);
}

QTEST_MAIN(TestParamsPages)
#include "test_params_pages.moc"
