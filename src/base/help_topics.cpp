#include "base/help_topics.h"

namespace {
// One row per page, one column per family (7230, 7210, 7220); 0 is none.
constexpr int kPageTopics[6][3] = {
    {3149000, 3165000, 3201000}, // device info
    {3150000, 3166000, 0},       // input
    {3151000, 3167000, 0},       // signal processing
    {3160000, 3169000, 3205000}, // output
    {3152000, 3168000, 3204000}, // limiting value
    {3153000, 3170000, 3206000}, // memo
};
constexpr int kLiveTopics[3][3] = {
    {3138000, 3174000, 3224000},
    {3139000, 3175000, 3225000},
    {3140000, 3176000, 3226000}, // third and fourth page
};


int Column(ModuleFamily family)
{
    switch (family) {
    case Family7210:
        return 1;
    case Family7220:
        return 2;
    case Family7230:
        break;
    }
    return 0;
}
} // namespace

int HelpTopics::TopicFor(const Context &context)
{
    switch (context.view) {
    case View::Tree:
        return kTreeView;
    case View::List:
        return kListView;
    case View::ItemForm:
        return kItemForm;
    case View::OutputLog:
        return kOutputLog;
    case View::ParameterPage: {
        if (!context.family)
            return kContents;
        const int topic = kPageTopics[int(context.page)][Column(*context.family)];
        return topic != 0 ? topic : kContents;
    }
    case View::LiveValues: {
        if (!context.family || context.liveValuePage < 0 || context.liveValuePage > 3)
            return kContents;
        const int row = context.liveValuePage > 2 ? 2 : context.liveValuePage;
        return kLiveTopics[row][Column(*context.family)];
    }
    case View::Other:
        break;
    }
    return kContents;
}

std::optional<ModuleFamily> HelpTopics::FamilyOfModuleName(const QString &moduleName)
{
    return FamilyAtStartOf(moduleName);
}

std::optional<ModuleFamily> HelpTopics::FamilyOfTypeName(const QString &typeName)
{
    return typeName.isEmpty() ? std::nullopt : FamilyAtStartOf(typeName.mid(1));
}

QString HelpTopics::PagePath(int topic)
{
    return QStringLiteral("help/%1.html").arg(topic);
}
