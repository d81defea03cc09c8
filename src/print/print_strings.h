#pragma once

// Numbers of the texts the reports and their preview show.
namespace PrintStrings {
inline constexpr int ModuleType = 498;
inline constexpr int Revision = 499;
inline constexpr int SerialNumber = 500;
inline constexpr int DipSwitch = 501;
inline constexpr int Channel1 = 493;
inline constexpr int Channel2 = 494;
inline constexpr int Description = 349;
inline constexpr int Overflow = 584;
inline constexpr int ImpulseType = 585;
inline constexpr int Divisor = 586;
inline constexpr int StartupDelay = 587;
inline constexpr int ImpulseOutputActive = 588;

inline constexpr int ProgramNumber = 2040;
inline constexpr int ProjectOutputTitle = 2041;
inline constexpr int ClientFirm = 2042;
inline constexpr int ProjectLabel = 2043;
inline constexpr int ProjectPosition = 2044;
inline constexpr int PlantLabel = 2045;
inline constexpr int CabinetLabel = 2046;
inline constexpr int CarrierLabel = 2047;
inline constexpr int FolderDetails = 2048;
inline constexpr int FolderName = 2049;
inline constexpr int FolderDescription = 2050;
inline constexpr int ProjectFile = 2051;
inline constexpr int JobNumber = 2052;
inline constexpr int Producer = 2053;
inline constexpr int TermFrom = 2054;
inline constexpr int DocumentName = 2055;
inline constexpr int Testing = 2056;
inline constexpr int DocumentNumber = 2057;
inline constexpr int StandpointIndex = 2058;
inline constexpr int PageOf = 2059;
inline constexpr int ModuleDetails = 2060;
inline constexpr int ModuleName = 2061;
inline constexpr int ModuleDescription = 2062;
inline constexpr int SignalDetails = 2063;
inline constexpr int SignalName = 2064;
inline constexpr int SignalDescription = 2065;

inline constexpr int OutputSignalType = 2015;
inline constexpr int HoldenOutputError = 2016;
inline constexpr int OutputErrorValue = 2017;
inline constexpr int WorkingMode = 2020;
inline constexpr int CircuitType = 2022;
inline constexpr int WireResistance = 2023;
inline constexpr int TcType = 2024;
inline constexpr int TemperatureComparisonArea = 2025;
inline constexpr int Relay1Title = 2026;
inline constexpr int Relay2Title = 2028;
inline constexpr int DeviceInfo = 2069;
inline constexpr int ModuleInformationTitle = 2070;
inline constexpr int Date = 2071;
inline constexpr int ModuleNameRow = 2072;
inline constexpr int Channels = 2073;
inline constexpr int Input = 2076;
inline constexpr int SensorType = 2077;
inline constexpr int SignalProcessing = 2078;
inline constexpr int MeasuringRange = 2079;
inline constexpr int Output = 2080;
inline constexpr int LimitingValue = 2083;
inline constexpr int MinimalValue = 2084;
inline constexpr int Hysteresis = 2085;
inline constexpr int RelayLockout = 2086;
inline constexpr int Memo = 2089;
inline constexpr int ChannelsInfo = 2123;
inline constexpr int ChannelName = 2124;
inline constexpr int Comment = 2125;
inline constexpr int UsedForImpulseOutput = 2292;

inline constexpr int CouldNotStartPrintJob = 61702;
inline constexpr int CommandFailed = 61705;

// The program's own texts.
inline constexpr int PrintPopup = 63800;
inline constexpr int ModuleInformationCommand = 63801;
inline constexpr int ModuleDataCardCommand = 63802;
inline constexpr int PreviewPrint = 63803;
inline constexpr int PreviewNextPage = 63804;
inline constexpr int PreviewPrevPage = 63805;
inline constexpr int PreviewTwoPage = 63806;
inline constexpr int PreviewOnePage = 63807;
inline constexpr int PreviewZoomIn = 63808;
inline constexpr int PreviewZoomOut = 63809;
inline constexpr int PreviewProperties = 63810;
inline constexpr int PreviewClose = 63811;
inline constexpr int PreviewTitle = 63812;
inline constexpr int PrintingOn = 63816;
inline constexpr int PrintingPage = 63817;
inline constexpr int DataCardTitle = 63818;

// zelnorctl print.
inline constexpr int CtlPrintDescription = 63820;
inline constexpr int CtlPdfOption = 63821;
inline constexpr int CtlModuleOption = 63822;
inline constexpr int CtlCardOption = 63823;
inline constexpr int CtlOrientationOption = 63824;
inline constexpr int CtlBadOrientation = 63825;
inline constexpr int CtlCardOnly7230 = 63826;
inline constexpr int CtlPagesWritten = 63827;
inline constexpr int CtlCannotWritePdf = 63828;
inline constexpr int CtlCardNeedsModule = 63829;

// The commissioning report.
inline constexpr int CommissioningTitle = 63880;
inline constexpr int CommissioningModule = 63881;
inline constexpr int CommissioningSerial = 63882;
inline constexpr int CommissioningTime = 63883;
inline constexpr int CommissioningResult = 63884;
inline constexpr int CommissioningChecksums = 63885;
inline constexpr int CommissioningTotals = 63886;
inline constexpr int CommissioningChecksumNote = 63887;
} // namespace PrintStrings
