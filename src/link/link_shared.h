#pragma once

#include "link/auto_reset_event.h"
#include "link/module_image.h"
#include "link/serial_link.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

// What the link worker is to do next.
enum class LinkCommand : int {
    None = 0,
    Stop = 1,
    Upload = 3,   // read everything
    Download = 4, // write the write image
    Reopen = 5,   // close the port and open the current one
    Action = 7,   // send the module action
};

// The kinds of notice the worker hands to the user-interface thread; it
// goes on only when the notice has been handled.
enum class LinkNotice : int {
    Connection = 2, // argument: a ConnectionChange
    UploadDone = 3,
    DownloadDone = 4,
    PortResult = 5, // argument: 0 or the error code of Open
    ActionDone = 7, // argument: the ActionCode
};

enum ConnectionChange : int {
    PeriodicRefresh = 0,
    ModuleConnected = 1,
    ModuleLost = 2,
};

// What tells one module from another between two polls.
struct ModuleIdentity {
    QString channel1Name;
    QString channel2Name; // two-channel modules only
    int modulTypId = 0;
    QString serialNr;

    bool operator==(const ModuleIdentity &) const = default;
    static ModuleIdentity of(const CModuleImage &image);
};

// The three events of the hand-off between the threads.
struct LinkEvents {
    AutoResetEvent timer;
    AutoResetEvent command;
    AutoResetEvent handled;

    void resetAll();
};

// Everything the user-interface thread and the link worker share. The worker
// changes it only outside the handling of a notice; the user-interface
// thread reads and changes it only while handling one, or (command, action,
// write image, family, port) before it signals the command event. The
// command and the online flag are also looked at outside that rule and are
// therefore atomic.
struct LinkShared {
    std::atomic<LinkCommand> command{LinkCommand::None};
    std::atomic<ActionCode> action{ActionCode::ResetLimitValue1};
    bool connected = false;
    bool wasConnected = false;
    bool sameModule = false;
    bool forceFullRead = false;
    bool recheckAfterRead = false;
    // Whether the forced full read behind recheckAfterRead read every block.
    bool fullReadOk = false;
    ModuleIdentity previous;
    int lastStoreOk = 1;
    ActionReply actionReply;
    // How the latest action's exchange ended; actionReply is its answer
    // only when this is Ok.
    LinkResult actionResult = LinkResult::Ok;
    // The port's own words about the latest failed open.
    QString lastOpenError;

    CModuleImage connectedImage;
    // Blocks 0 to 7 as the module sent them at their latest read, byte for
    // byte (decoding drops what the image has no field for).
    std::array<QByteArray, 8> connectedBlocks;
    CModuleImage writeImage;
    // The family of the open project's module, for writing.
    ModuleFamily family = Family7230;
    // The wait between two attempts to open the port, set when a port notice
    // is handled.
    int retryWaitMs = 0;
    // The latest poll's result, for the views.
    std::atomic<bool> online{false};
    // When the module connected now began to answer (the start of the poll
    // that found it), in SteadyMs: a cycle of work on it counts from there.
    std::atomic<qint64> moduleAnsweredAtMs{0};

    // Counters for whoever watches the link's pace.
    std::atomic<std::uint64_t> polls{0};
    std::atomic<std::uint64_t> noticesPosted{0};

    // A monotonic clock in milliseconds, the same on every thread.
    static qint64 SteadyMs();

    QString portName() const;
    // The line settings the port is opened with.
    LineSettings lineSettings() const;
    void setPort(const QString &name, const LineSettings &settings);

    bool stopRequested() const { return command.load() == LinkCommand::Stop; }
    // An upload or a download has been asked for and its notice not yet
    // handled.
    bool busy() const
    {
        const LinkCommand pending = command.load();
        return pending == LinkCommand::Download || pending == LinkCommand::Upload;
    }

private:
    // A standard mutex: the race detector sees its hand-offs.
    mutable std::mutex m_portLock;
    QString m_portName;
    LineSettings m_lineSettings;
};
