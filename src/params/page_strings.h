#pragma once

// Numbers of the texts of the parameter pages.
namespace PageStrings {
inline constexpr int DeviceInfo = 63700;
inline constexpr int ModuleType = 63701;
inline constexpr int Revision = 63702;
inline constexpr int SerialNumber = 63703;
inline constexpr int DipSwitch = 63704;
inline constexpr int Configuration = 63705;
inline constexpr int Date = 63706;
inline constexpr int Comment = 63707;
inline constexpr int SignalTag = 63708;
inline constexpr int Description = 63709;
inline constexpr int WorkingMode = 63710;
inline constexpr int SensorType = 63711;
inline constexpr int CircuitType = 63712;
inline constexpr int TcType = 63713;
inline constexpr int WireResistance = 63714;
inline constexpr int ComparisonTemperature = 63715;
inline constexpr int ImpulseType = 63716;
// The overflow box shares the comparison's parameter name.
inline constexpr int Overflow = 584;
inline constexpr int Units = 63718;
inline constexpr int From = 63719;
inline constexpr int To = 63720;
inline constexpr int OutputSignalType = 63721;
inline constexpr int OutputErrorValue = 63722;
inline constexpr int LastHoldenValue = 63723;
inline constexpr int ErrorControlOff = 63724;
inline constexpr int OutputFaultValue7220 = 63725;
inline constexpr int HoldLastValue7220 = 63726;
inline constexpr int FaultControlOff7220 = 63727;
inline constexpr int ImpulseOutputActive = 63728;
inline constexpr int Divisor = 63729;
inline constexpr int Relay1 = 63730;
inline constexpr int Relay2 = 63731;
inline constexpr int LimitingValueLabel = 63733;
inline constexpr int BehaviorContactLabel = 63734;
inline constexpr int MinimalValue = 63735;
inline constexpr int LimitValueLabel = 63736;
inline constexpr int Hysteresis = 63737;
inline constexpr int RelayLockout = 63738;
inline constexpr int ResetLockout = 63739;
inline constexpr int LockoutActive = 63740;
inline constexpr int LockoutDeactive = 63741;
inline constexpr int LockoutInactive = 63742;
inline constexpr int LockoutPowerReset = 63743;
inline constexpr int StartupDelay = 63744;
inline constexpr int UsedForImpulseOutput = 63745;
inline constexpr int ApplyButton = 63746;
inline constexpr int ResetButton = 63747;
inline constexpr int DownloadButton = 63748;
inline constexpr int UploadButton = 63749;
inline constexpr int UnitMilliampere = 63750;
inline constexpr int UnitVolt = 63751;
inline constexpr int UnitOhm = 63753;
inline constexpr int MeasuringRange = 63754;
inline constexpr int ErrorBehaviour = 63755;
inline constexpr int ImpulseOutput = 63756;
inline constexpr int ModuleGroup = 63757;
inline constexpr int SignalGroup = 63758;
// What the Device info page shows for the DIP switch; the transfer's texts too.
inline constexpr int PcConfigurable = 62220;
inline constexpr int DipConfigurable = 62221;
} // namespace PageStrings
