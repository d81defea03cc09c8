#include "base/help_topics.h"

#include <QtTest>

// The help topic of every page, family and view.
class TestHelpTopics : public QObject {
    Q_OBJECT
private slots:
    void topic_data();
    void topic();
    void familyFromNames_data();
    void familyFromNames();
};

using View = HelpTopics::View;
using Page = HelpTopics::Page;
Q_DECLARE_METATYPE(HelpTopics::Context)

static HelpTopics::Context PageOf(Page page, std::optional<ModuleFamily> family)
{
    HelpTopics::Context context;
    context.view = View::ParameterPage;
    context.page = page;
    context.family = family;
    return context;
}

static HelpTopics::Context LiveOf(int page, std::optional<ModuleFamily> family)
{
    HelpTopics::Context context;
    context.view = View::LiveValues;
    context.liveValuePage = page;
    context.family = family;
    return context;
}

static HelpTopics::Context ViewOf(View view)
{
    HelpTopics::Context context;
    context.view = view;
    return context;
}

void TestHelpTopics::topic_data()
{
    QTest::addColumn<HelpTopics::Context>("context");
    QTest::addColumn<int>("topic");
    const struct {
        Page page;
        int topics[3];
    } pages[] = {
        {Page::DeviceInfo, {3149000, 3165000, 3201000}}, {Page::Input, {3150000, 3166000, 3083000}},
        {Page::SignalProcessing, {3151000, 3167000, 3083000}}, {Page::Output, {3160000, 3169000, 3205000}},
        {Page::LimitingValue, {3152000, 3168000, 3204000}}, {Page::Memo, {3153000, 3170000, 3206000}},
    };
    const ModuleFamily families[3] = {Family7230, Family7210, Family7220};
    for (const auto &row : pages)
        for (int f = 0; f < 3; ++f)
            QTest::addRow("page %d family %d", int(row.page), f) << PageOf(row.page, families[f]) << row.topics[f];
    const int live[4][3] = {{3138000, 3174000, 3224000},
                            {3139000, 3175000, 3225000},
                            {3140000, 3176000, 3226000},
                            {3140000, 3176000, 3226000}};
    for (int page = 0; page < 4; ++page)
        for (int f = 0; f < 3; ++f)
            QTest::addRow("live %d family %d", page, f) << LiveOf(page, families[f]) << live[page][f];
    QTest::newRow("page without family") << PageOf(Page::Memo, std::nullopt) << 3083000;
    QTest::newRow("live without family") << LiveOf(0, std::nullopt) << 3083000;
    QTest::newRow("tree") << ViewOf(View::Tree) << 3094000;
    QTest::newRow("list") << ViewOf(View::List) << 3095000;
    QTest::newRow("item form") << ViewOf(View::ItemForm) << 3096000;
    QTest::newRow("output log") << ViewOf(View::OutputLog) << 3137000;
    QTest::newRow("other") << ViewOf(View::Other) << 3083000;
}

void TestHelpTopics::topic()
{
    QFETCH(HelpTopics::Context, context);
    QTEST(HelpTopics::TopicFor(context), "topic");
}

void TestHelpTopics::familyFromNames_data()
{
    QTest::addColumn<QString>("moduleName");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<int>("family"); // -1: none
    QTest::newRow("7230") << "7230/211-2 - [TT-101] [TT-102]" << "Z7230/211-2" << int(Family7230);
    QTest::newRow("7210") << "7210/12 - [FT-1]" << "Z7210/12" << int(Family7210);
    QTest::newRow("7220") << "7220/31 - [LS-7]" << "Z7220/31" << int(Family7220);
    QTest::newRow("none") << "Pump 3" << "7230/211" << -1;
}

void TestHelpTopics::familyFromNames()
{
    QFETCH(QString, moduleName);
    QFETCH(QString, typeName);
    QFETCH(int, family);
    const auto byName = HelpTopics::FamilyOfModuleName(moduleName);
    const auto byType = HelpTopics::FamilyOfTypeName(typeName);
    QCOMPARE(byName ? int(*byName) : -1, family);
    QCOMPARE(byType ? int(*byType) : -1, family);
}

QTEST_GUILESS_MAIN(TestHelpTopics)
#include "test_help_topics.moc"
