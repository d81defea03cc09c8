#pragma once

#include "base/module_family.h"

#include <QString>

#include <optional>

// Which help page a help request opens.
class HelpTopics {
public:
    static constexpr int kContents = 3083000;
    static constexpr int kTreeView = 3094000;
    static constexpr int kListView = 3095000;
    static constexpr int kItemForm = 3096000;
    static constexpr int kOutputLog = 3137000;

    // What has the focus when F1 is pressed.
    enum class View { Other, Tree, List, ItemForm, OutputLog, ParameterPage, LiveValues };
    enum class Page { DeviceInfo, Input, SignalProcessing, Output, LimitingValue, Memo };

    struct Context {
        View view = View::Other;
        Page page = Page::DeviceInfo;
        int liveValuePage = 0; // 0-based page of the live-value view
        std::optional<ModuleFamily> family;
    };

    // The topic of a context; the contents when the table has none.
    static int TopicFor(const Context &context);
    // The family a module name begins with ("7230", "7210", "7220").
    static std::optional<ModuleFamily> FamilyOfModuleName(const QString &moduleName);
    // The family standing after the first character of a module type name
    // (the live-value view's Diagnose page).
    static std::optional<ModuleFamily> FamilyOfTypeName(const QString &typeName);
    // The page of a topic inside a language pack: "help/3083000.html".
    static QString PagePath(int topic);
};
