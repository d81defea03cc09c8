#pragma once

#include <QString>

// One text a user types into a field (a tag, a description, a comment, the
// memo, the date) with the rules it must keep before it is stored. Every
// way a name or text enters the project goes through this one check.
struct TextField {
    int scopeString = 0;   // "Channel 1", "Channel 2" or "Module"
    int captionString = 0; // the field's caption
    QString text;
    int maxCharacters = 0; // 0: the column's width decides
    bool required = false;
    bool isName = false;    // names are also path parts: no backslash
    bool multiLine = false; // line breaks and tabs allowed
};

// The refusal text for the first rule the field breaks, or empty.
QString TextFieldRefusal(const TextField &field);

// The widths the module's blocks and pages give the texts.
namespace TextFieldLimits {
inline constexpr int kSignalTag = 32;
inline constexpr int kDescription = 32;
inline constexpr int kComment = 50;
inline constexpr int kMemo = 120;
} // namespace TextFieldLimits
