// The simulator's control lines, as its standard input and --fault take
// them, against a simulated module that is not on a line.
#include "fuzz_target.h"

#include "tools/simulator/simulator_control.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Fuzz::Setup();
    ModuleSimulator simulator;
    SimulatorControl control(simulator);
    for (const QString &line : Fuzz::Text(data, size).split(QLatin1Char('\n'))) {
        // Replugging opens a pseudo-terminal and a thread for real: it is
        // the one command that reaches beyond the parser.
        if (line.trimmed().startsWith(QLatin1String("replug")))
            continue;
        const QString answer = control.Execute(line);
        Fuzz::Require(answer.startsWith(QLatin1String("ok: ")) || answer.startsWith(QLatin1String("error: ")),
                      "every line is answered with ok or error", answer);
        SimulatorControl::ParseFault(line, nullptr);
    }
    return 0;
}
