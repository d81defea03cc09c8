#pragma once

// Numbers of the command-line tool's own texts.
namespace CtlStrings {
inline constexpr int Description = 64000;
inline constexpr int CommandArgument = 64001;
inline constexpr int LanguageOption = 64002;
inline constexpr int ChannelOption = 64003;
inline constexpr int NoSuchItem = 64004;
inline constexpr int NotAModule = 64005;
inline constexpr int Usage = 64006;
inline constexpr int NotAnAssignment = 64007;
inline constexpr int UnknownCommand = 64008;
inline constexpr int NotAFolderKind = 64009;
inline constexpr int ItemAdded = 64010;
inline constexpr int ItemDeleted = 64011;
inline constexpr int NothingChanged = 64012;
inline constexpr int BadLanguage = 64013;
inline constexpr int BadChannel = 64014;
} // namespace CtlStrings
