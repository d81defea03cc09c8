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
inline constexpr int NotMultiplied = 64031;
inline constexpr int FirstOption = 64032;
inline constexpr int PlacesOption = 64033;
inline constexpr int NoSubtreeOption = 64034;

// Listings of types and ports.
inline constexpr int TypesHeader = 64110;
inline constexpr int NoOutput = 64111;
inline constexpr int BadFamily = 64112;
inline constexpr int PortsHeader = 64113;
inline constexpr int PortUsable = 64114;
inline constexpr int PortNoPermission = 64115;
inline constexpr int PortMissing = 64116;
inline constexpr int AdapterThief = 64117;
inline constexpr int NoPortFound = 64118;

// Help, questions answered for lack of an option.
inline constexpr int AnsweredNo = 64119;
// What --create decided: "Yes: the module was added to the project as ...".
inline constexpr int AnsweredYesCreated = 64550;
inline constexpr int CommandsHeading = 64120;
inline constexpr int ExampleHeading = 64121;
inline constexpr int MoreHelp = 64122;
inline constexpr int VersionOption = 64123;
inline constexpr int FamilyOption = 64125;
inline constexpr int FirstCommandDescription = 64130;

// What a column accepts.
inline constexpr int ChoicesNumberWithUnit = 64150;
inline constexpr int ChoicesNumber = 64151;
inline constexpr int ChoicesText = 64152;
inline constexpr int ChoicesHeader = 64153;
inline constexpr int ChoicesNumberWithLimits = 64154;

// Copying and moving items.
inline constexpr int ItemCopied = 64180;
inline constexpr int ItemMoved = 64181;
inline constexpr int MoveOption = 64182;
inline constexpr int CannotStandUnder = 64183;
inline constexpr int CopyDescription = 64184;
} // namespace CtlStrings
