#pragma once

// Numbers of the texts of the commissioning run in the language packs.
namespace CommissioningStrings {
enum : int {
    MenuCommissioning = 62180,
    CannotWriteFile = 62261,

    // Window.
    WindowTitle = 62262,
    ColumnModule = 62263,
    ColumnType = 62264,
    ColumnTags = 62265,
    ColumnState = 62266,
    ColumnSerial = 62267,
    ColumnTime = 62268,
    ButtonPause = 62269,
    ButtonResume = 62270,
    ButtonSkip = 62271,
    ButtonRetry = 62272,
    ButtonDownloadAgain = 62273,
    ButtonTake = 62274,
    ButtonPdf = 62275,
    ButtonCsv = 62276,
    ButtonClose = 62277,
    VerdictVerified = 62278,
    VerdictFailed = 62279,

    // States of a queued module.
    StateWaiting = 62280,
    StateInProgress = 62281,
    StateVerified = 62282,
    StateFailed = 62283,
    StateSkipped = 62284,

    // Why a module failed.
    ReasonNotStored = 62285,
    ReasonReadBackDiffers = 62286,
    ReasonNotReadBack = 62287,
    ReasonRefused = 62288,

    // What the run tells.
    LogVerified = 62289,
    LogFailed = 62290,
    TypeNotQueued = 62291,
    NoneOfTypeWaiting = 62292,
    OfferNext = 62293,
    AlreadyVerified = 62294,
    Unplug = 62295,
    PlugNext = 62296,
    Paused = 62297,
    NotWritable = 62298,
    Totals = 62299,

    // What could not be stored.
    ReasonRecordNotStored = 62247,
    KeptInSideFile = 62248,
    LeftNotStored = 62249,

    // A module known by its serial number.
    OtherModuleWithTags = 62250,
    ButtonReplace = 62251,
    TotalsOne = 62252,
    StateVerifiedWith = 62253,
    TagsOnly = 62254,
    LogVerifiedWith = 62255,
    Unplugged = 62256,
    CloseWhileWriting = 62257,

    // The report of the modules with their attempts.
    ReportTotals = 62258,
    AttemptCount = 62259,
    AttemptNumber = 62260,
    ContinueOrNewRun = 62217,

    // Lanes: a run over several ports.
    PluggedOnOtherLane = 64500,
    HeldOnOtherLane = 64501,
    PortMissing = 64502,
    PortBack = 64503,
    FolderGone = 64504,
    LaneLine = 64505,
    LaneTotals = 64506,
    MenuCommissioningPorts = 64507,
    PortsTitle = 64508,
    PortOfLane = 64509,
    TooManyPorts = 64510,
    PortOfTheInterface = 64511,
    PortNamedTwice = 64512,
    PortsHint = 64513,
    LaneTitle = 64514,

    // A lane's own line settings.
    NoPortSetting = 64651,
    NoBaudRate = 64652,
    NoParity = 64653,
    NoTimeout = 64654,
    BaudRateOfLane = 64655,
    ParityOfLane = 64656,
    TimeoutOfLane = 64657,
    ParityNone = 64658,
    ParityEven = 64659,
    ParityOdd = 64660,
    ColumnPort = 64661,
    ColumnBaudRate = 64662,
    ColumnParity = 64663,
    ColumnTimeout = 64664,
};
} // namespace CommissioningStrings
