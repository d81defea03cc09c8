#pragma once

#include <QString>

#include <array>
#include <optional>

// The three module families: the one type every subsystem names a family
// by. The number is what projects and catalogues store.
enum ModuleFamily : int {
    Family7230 = 0, // sensor inputs, analogue output, relays
    Family7210 = 1, // frequency inputs, impulse output, relays
    Family7220 = 2, // relays set in mA, input not configured by the wizard
};

// Every family, in the order the project's tables and menus list them.
inline constexpr std::array<ModuleFamily, 3> kModuleFamilies = {Family7230, Family7210, Family7220};

// The model number a family is known by (7230, 7210, 7220).
inline constexpr int ModelNumber(ModuleFamily family)
{
    switch (family) {
    case Family7210:
        return 7210;
    case Family7220:
        return 7220;
    case Family7230:
        break;
    }
    return 7230;
}

// The family of a model number; none for any other number.
inline constexpr std::optional<ModuleFamily> FamilyOfModelNumber(int number)
{
    for (ModuleFamily family : kModuleFamilies)
        if (ModelNumber(family) == number)
            return family;
    return std::nullopt;
}

// The family whose model number a text begins with ("7210/211-0 - [FT-1]"
// gives 7210); none when it begins with no model number.
inline std::optional<ModuleFamily> FamilyAtStartOf(const QString &text)
{
    for (ModuleFamily family : kModuleFamilies)
        if (text.startsWith(QString::number(ModelNumber(family))))
            return family;
    return std::nullopt;
}
