#pragma once

#include "link/module_image.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// What the simulated module is.
struct SimulatorOptions {
    ModuleFamily family = Family7230;
    int moduleType = 0; // ModulTypID, the row of the family's module-type table
    int channels = 2;
    QString serialNumber = QStringLiteral("SIM00000001");
    int outputSignal = -1; // 0 none, 1 current, 2 voltage; -1: the family's usual one
    int impulseOutput = -1; // 0 none, 1 an impulse output; -1: the family's usual one
    bool dipConfigured = false;
    // Pace every byte as a 9600 baud 8E1 line would (11 bits, about 1.15 ms),
    // both the request coming in and the reply going out.
    bool lineRate = false;
    // The rate the module's line runs at: it hears only a port set to this
    // rate (bytes at any other rate are noise to it) and paces at it. 0: it
    // hears a port at any rate and paces at 9600 baud.
    int baudRate = 0;
    // The module's own time between the end of a request and its reply.
    int replyDelayUs = 0;
    // When set, a symbolic link of this name follows the pseudo-terminal, so
    // that the port keeps its name across unplugging and replugging.
    QString linkPath;
};

// A misbehaviour the module shows on its next exchanges.
struct SimulatorFault {
    enum Kind {
        NoReply,     // swallow the request
        BadChecksum, // reply with a wrong last byte
        WrongHeader, // reply starting with another byte than 0x06 (checksum still right)
        CutShort,    // send the header and only part of the body
        WrongEcho,   // echo another command byte (checksum still right)
        Status,      // reply with status bytes status1, status2
        StaleBytes,  // send count junk bytes behind the reply, left for the next exchange
        WrongLength, // make the reply body count bytes longer (or shorter if negative), checksum right
        Misstore,    // answer a write well but keep byte count of the block changed
    };
    Kind kind = NoReply;
    int times = 1; // how many matching exchanges show it
    int after = 0; // how many matching exchanges pass unharmed first
    // Only requests with one of these command bytes; empty: any.
    std::vector<int> commands;
    std::uint8_t status1 = 0;
    std::uint8_t status2 = 0;
    int count = 0;
};

// A parameter module behind a pseudo-terminal. It answers the frame protocol
// with its ten blocks, keeps what is written, answers the module actions and
// lets its live values move. It runs on a thread of its own, so a test can
// start it beside the code that talks to it.
class ModuleSimulator {
public:
    static constexpr double kByteTimeUs = 11.0 * 1'000'000.0 / 9600.0;
    // Whether the simulator knows the rate (one of the standard ones).
    static bool IsLineSpeed(int baudRate);

    explicit ModuleSimulator(SimulatorOptions options = {});
    ~ModuleSimulator();
    ModuleSimulator(const ModuleSimulator &) = delete;
    ModuleSimulator &operator=(const ModuleSimulator &) = delete;

    // Opens the pseudo-terminal and starts answering. False with the reason
    // in error when no pseudo-terminal could be had.
    bool start(QString *error = nullptr);
    void stop();
    // The device the wizard connects to: the link path when one was given,
    // otherwise the pseudo-terminal itself ("/dev/pts/7").
    QString devicePath() const;
    QString terminalPath() const { return m_devicePath; }

    void injectFault(const SimulatorFault &fault);
    void clearFaults();
    // A module unplugged from its line hears nothing and answers nothing;
    // the port stays.
    void setUnplugged(bool unplugged);
    // The port itself goes away, as a USB adapter pulled out does: the
    // pseudo-terminal closes and the link path is removed. Replugging opens
    // a new pseudo-terminal behind the same link path; the module keeps its
    // blocks.
    void unplugPort();
    bool replugPort(QString *error = nullptr);
    // Another module of the same kind takes this one's place.
    void setSerialNumber(const QString &serial);
    // A new module of the same kind, as it leaves the factory, takes this
    // one's place: an unplug and a fresh plug in one step.
    void replaceModule(const QString &serial);
    // A module of another kind takes this one's place on the same line, as
    // it leaves the factory, between two exchanges.
    void replaceModule(ModuleFamily family, int moduleType, int channels, const QString &serial);
    // Holds the channel's (1 or 2) measured value at this fraction of its
    // range (0.5 is the middle); none lets it move again.
    void setLiveFraction(int channel, std::optional<double> fraction);
    void setLineRate(bool lineRate);
    // Writes bytes to the line at once, outside any exchange.
    void sendUnsolicited(const QByteArray &bytes);

    // The block's bytes as the module holds them (live values as of now).
    QByteArray block(int number) const;
    void setBlock(int number, const QByteArray &bytes);
    CModuleImage image() const;
    const SimulatorOptions &options() const { return m_options; }

    // Every well-formed request so far, answered or refused, in order: "R<n>" block read, "W<n>"
    // block write, "A<cc>:<d>" action command cc (hex) for data byte d.
    QStringList traffic() const;
    void clearTraffic();
    // Every byte that reached the module, well-formed or not.
    qint64 receivedBytes() const;
    // Waits until the traffic holds at least count entries.
    bool waitForTraffic(int count, int timeoutMs) const;

private:
    // The blocks of a module as it leaves the factory, made from the options;
    // the caller holds the mutex.
    void loadFactoryBlocks();

    struct Reply {
        QByteArray frame;
        bool send = true;
        bool paced = false;
    };
    // Where a channel's simulated measurement stands at this moment.
    struct ChannelNow {
        double seconds = 0;
        double fraction = 0; // of the measuring range
        double begin = 0;
        double end = 0;
        std::array<bool, 2> relayOn = {false, false};
        std::array<bool, 2> lockout = {false, false};
    };

    void run();
    // 11 bit times at the module's rate.
    double byteTimeUs() const;
    // Whether the port on the other side is set to the module's rate.
    bool hearsTheLine() const;
    void receive(const std::uint8_t *bytes, int count);
    void processFrames();
    Reply answer(std::uint8_t command, const QByteArray &data);
    QByteArray readBlock(int number);
    std::pair<std::uint8_t, QByteArray> writeBlock(int number, const QByteArray &data);
    std::pair<std::uint8_t, QByteArray> action(std::uint8_t command, const QByteArray &data);
    ChannelNow channelNow(int channel) const;
    QByteArray liveBlock(int channel) const;
    void applyFault(std::uint8_t command, Reply &reply);
    void transmit(const QByteArray &frame, bool paced);
    void noteTraffic(std::uint8_t command, const QByteArray &data);

    SimulatorOptions m_options;
    QString m_devicePath;
    int m_master = -1;
    int m_slave = -1; // kept open so the line stays up between clients
    bool m_linkCreated = false;
    std::array<int, 2> m_wake = {-1, -1};
    std::thread m_thread;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_trafficChanged;
    std::array<QByteArray, kBlockCount> m_blocks;
    std::array<std::array<bool, 2>, 2> m_relayLocked = {};
    std::array<std::optional<double>, 2> m_liveFraction;
    std::deque<SimulatorFault> m_faults;
    QStringList m_traffic;
    bool m_unplugged = false;
    qint64 m_receivedBytes = 0;
    QByteArray m_pending;
    std::int64_t m_requestStartUs = 0;
    std::int64_t m_startUs = 0;
};
