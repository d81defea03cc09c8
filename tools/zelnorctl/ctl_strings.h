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
inline constexpr int NoSuchPort = 64015;
inline constexpr int NoModuleAnswers = 64016;
inline constexpr int BadNumberOption = 64017;
inline constexpr int BadActionCode = 64018;
inline constexpr int PortOption = 64019;
inline constexpr int CountOption = 64020;
inline constexpr int IntervalOption = 64021;
inline constexpr int ActionNotDone = 64022;
inline constexpr int UnknownModuleType = 64023;
inline constexpr int NotAModuleParent = 64024;
inline constexpr int NoProjectModule = 64025;
inline constexpr int JsonOption = 64026;
inline constexpr int YesOption = 64027;
inline constexpr int CreateOption = 64028;
inline constexpr int NothingKept = 64029;
inline constexpr int NotKeptForModule = 64030;
} // namespace CtlStrings
