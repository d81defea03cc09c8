// zelnor-demo: starts a simulated module and talks to it over the serial
// link as the wizard does, through the real pseudo-terminal.
#include "link/module_image.h"
#include "link/serial_link.h"
#include "base/string_table.h"
#include "tools/simulator/module_simulator.h"

#include <QCoreApplication>

#include <cstdio>

namespace {


void printModule(const CModuleImage &m, ModuleFamily family)
{
    static const char *const outputs[] = {"none", "current 0/4...20 mA", "voltage 0/1...5 V", "?"};
    std::printf("  family %d, module type code %d, %d channel(s), %s configurable\n", ModelNumber(family),
                m.ModulTypID, m.Channels + 1, m.DIPSwitch ? "DIP" : "PC");
    std::printf("  revision '%s', serial number '%s', last programming '%s'\n", qPrintable(m.Revision),
                qPrintable(m.SerialNr), qPrintable(m.LastProgramming));
    std::printf("  output %s, limit-value relays %s\n", outputs[m.OutputSignal & 3],
                m.LimitValue ? "yes" : "no");
    for (int ch = 0; ch <= m.Channels; ++ch) {
        const ChannelImage &c = m.Channel[ch];
        std::printf("  channel %d: tag '%s', description '%s'\n", ch + 1, qPrintable(c.Name),
                    qPrintable(c.Description));
        std::printf("    range %d .. %d (unit code %d), measured %d, output %d\n", c.Config.RangeBegin,
                    c.Config.RangeEnd, c.Config.RangeUnitsID, c.Live.MeasuredValue, c.Live.OutputValue);
    }
}

int fail(const char *what)
{
    std::fprintf(stderr, "zelnor-demo: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    StringTable::instance().loadBuiltin();

    SimulatorOptions options;
    options.family = Family7230;
    options.channels = 2;
    ModuleSimulator simulator(options);
    QString error;
    if (!simulator.start(&error))
        return fail(qPrintable(QStringLiteral("no pseudo-terminal: %1").arg(error)));
    std::printf("Simulated module on %s\n", qPrintable(simulator.devicePath()));

    CSerialLink link;
    if (const int code = link.Open(simulator.devicePath()); code != 0)
        return fail(qPrintable(link.LastOpenError()));

    CModuleImage module;
    for (int block = 0; block < kBlockCount; ++block) {
        if (!link.FetchBlock(block, module))
            return fail(qPrintable(QStringLiteral("reading block %1 failed").arg(block)));
    }
    std::printf("Read all ten blocks:\n");
    printModule(module, options.family);

    const QString newTag = QStringLiteral("TIC-4711");
    std::printf("Writing channel 1 tag '%s' ... ", qPrintable(newTag));
    CModuleImage changed = module;
    changed.Channel[0].Name = newTag;
    if (!link.StoreBlock(2, changed, options.family))
        return fail("writing block 2 failed");
    CModuleImage readBack;
    if (!link.FetchBlock(2, readBack) || readBack.Channel[0].Name != newTag)
        return fail("the tag did not read back");
    std::printf("read back '%s'\n", qPrintable(readBack.Channel[0].Name));

    std::printf("2-wire compensation, channel 1 ... ");
    if (!link.SendAction(ActionCode::TwoWireCompensation1))
        return fail("the action got no valid reply");
    const ActionReply &reply = link.GetActionReply();
    std::printf("%s, wire resistance %.2f Ohm\n", qPrintable(CSerialLink::ActionStatusText(reply.status)),
                reply.value / 100.0);

    link.Close();
    simulator.stop();
    std::printf("Traffic seen by the module: %s\n", qPrintable(simulator.traffic().join(QLatin1Char(' '))));
    return 0;
}
