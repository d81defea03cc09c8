#pragma once

// Numbers of the texts of the parameter model, its checks and Apply/Reset.
namespace ParamsStrings {
// Range messages: integer, two-decimal and three-decimal bounds.
inline constexpr int OutOfRangeWhole = 2013;
inline constexpr int OutOfRangeReal2 = 2014;
inline constexpr int OutOfRangeReal3 = 2019;
inline constexpr int TypeNotAllowed = 3004;
inline constexpr int Sil2ReserveType = 3006;
inline constexpr int Sil2Function = 3007;
inline constexpr int Sil2FaultValueTooHigh = 3011;
inline constexpr int Sil2RelayFunction = 3015;
inline constexpr int FrequencyLowerTooSmall = 3019;
inline constexpr int FrequencyUpperNotBigger = 3020;
inline constexpr int FrequencyUpperTooBig = 3021;
inline constexpr int FrequencySpanTooSmall = 3022;

// Measuring-range messages of channel 1 and channel 2.
struct RangeMessages {
    int beginOutOfRange;
    int endOutOfRange;
    int beginNotBelowEnd;
    int spanTooSmall;
    int freqOutOfRange;
    int freqOutOfRangeOrZero;
};
inline constexpr RangeMessages kRangeMessages[2] = {{2012, 2005, 2006, 2007, 2295, 2299},
                                                    {2011, 2008, 2009, 2010, 2296, 2300}};

// Parameter names.
inline constexpr int OutputSignalType = 2015;
inline constexpr int HoldenOutputError = 2016;
inline constexpr int OutputErrorValue = 2017;
inline constexpr int MeasuringRangeUnits = 2018;
inline constexpr int WorkingMode = 2020;
inline constexpr int CircuitType = 2022;
inline constexpr int WireResistance = 2023;
inline constexpr int TcType = 2024;
inline constexpr int TemperatureComparisonArea = 2025;
inline constexpr int LimitingValueRelay1 = 2026;
inline constexpr int Relay1Lockout = 2027;
inline constexpr int LimitingValueRelay2 = 2028;
inline constexpr int Relay2Lockout = 2029;
inline constexpr int MinimalValueRelay1 = 2030;
inline constexpr int HysteresisRelay1 = 2031;
inline constexpr int MinimalValueRelay2 = 2032;
inline constexpr int HysteresisRelay2 = 2033;
inline constexpr int StartupDelay = 2290;
inline constexpr int Divisor = 2291;
inline constexpr int SensorType = 3005;
inline constexpr int HoldLastValue = 3008;
inline constexpr int FaultControlOff = 3009;
inline constexpr int OutputFaultValue = 3010;
inline constexpr int BehaviorContact = 3012;
inline constexpr int RelayA = 3013;
inline constexpr int RelayB = 3014;
inline constexpr int SignalProcessing = 3016;
inline constexpr int From = 3017;
inline constexpr int To = 3018;

// Page captions used as section names, and the channel names.
inline constexpr int SectionInput = 63400;
inline constexpr int SectionOutput = 63401;
inline constexpr int SectionLimitingValue = 63402;
inline constexpr int SectionLimitValue = 63403;
inline constexpr int Channel1 = 63404;
inline constexpr int Channel2 = 63405;

// Apply and Reset.
inline constexpr int ModuleNameExists = 63406;
inline constexpr int SignalNameExists = 63407;
// The module dialog's text: the two channels' names equal without regard to case.
inline constexpr int SameChannelNames = 2288;
inline constexpr int ParametersApplied = 63408;
inline constexpr int ParametersNotApplied = 63409;
inline constexpr int ParametersReset = 63410;

// A relay function the module's two bits cannot hold.
inline constexpr int RelayFunctionNotDownloadable = 63411;

// The text fields of the pages and what they may hold.
inline constexpr int FieldEmpty = 63412;
inline constexpr int FieldInvalidCharacters = 63413;
inline constexpr int FieldTooLong = 63414;
inline constexpr int FieldSignalTag = 63415;
inline constexpr int FieldDescription = 63416;
inline constexpr int FieldComment = 63417;
inline constexpr int FieldMemo = 63418;
inline constexpr int FieldDate = 63419;
inline constexpr int ScopeModule = 63420;

// A module whose type row is missing.
inline constexpr int ModuleTypeUnknown = 63421;

// Values set by their column name.
inline constexpr int ColumnUnknown = 63500;
inline constexpr int ColumnNotANumber = 63501;
inline constexpr int ColumnNotOnModule = 63502;
inline constexpr int ColumnCodeNotOffered = 63503;
inline constexpr int ColumnNoChannel = 63504;
inline constexpr int ColumnBeyondField = 63505;
} // namespace ParamsStrings
