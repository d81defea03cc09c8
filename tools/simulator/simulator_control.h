#pragma once

#include "tools/simulator/module_simulator.h"

#include <QString>

#include <optional>

// The simulator's faults and changes in words, one command a line, as the
// --fault option and a running simulator's standard input take them:
//
//   fault KIND [on=reads|writes|actions] [blocks=N,...] [times=N] [after=N] [status=S1[:S2]] [count=N]
//   clear | unplug | plug | unplug-port | replug | serial TEXT | new-module TEXT | live CHANNEL PERCENT|moving
//   module FAMILY TYPE CHANNELS SERIAL
class SimulatorControl {
public:
    explicit SimulatorControl(ModuleSimulator &simulator) : m_simulator(simulator) {}

    // A fault in words ("no-reply on=reads blocks=6 times=2"); nothing, with
    // the reason in error, for words that name none.
    static std::optional<SimulatorFault> ParseFault(const QString &words, QString *error);

    // Carries out one command line. The answer says what was done, or
    // starts with "error: " and says why nothing was.
    QString Execute(const QString &line);

    // What --help tells about the fault words and the commands.
    static QString Help();

private:
    QString Live(const QStringList &words);
    QString Module(const QStringList &words);
    QString Replug();

    ModuleSimulator &m_simulator;
};
