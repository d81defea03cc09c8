#pragma once

#include <QCommandLineParser>
#include <QStringList>

// zelnorctl repair: the damaged number cells of a project listed, or set
// right in a copy of it.
namespace CtlRepair {

inline constexpr int Description = 64610;
inline constexpr int ListOption = 64611;
inline constexpr int SetOption = 64612;
inline constexpr int CopyOption = 64613;
inline constexpr int NoDamage = 64614;
inline constexpr int RepairUsage = 64615;
inline constexpr int CopyWritten = 64616;
inline constexpr int CopySound = 64617;
inline constexpr int CopyStillDamaged = 64618;

void AddOptions(QCommandLineParser &parser);
// args: the project, then the row ID and COLUMN=VALUE of each --set TABLE.
int Repair(const QStringList &args, const QCommandLineParser &parser);

} // namespace CtlRepair
