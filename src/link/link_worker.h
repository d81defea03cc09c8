#pragma once

#include "link/link_shared.h"

#include <QThread>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <vector>

class CSerialLink;

// The thread that alone owns the serial port. It polls the connected module
// back to back, reads the whole parameter set when a module appears or
// changes, carries out the commands of the user interface and hands every
// event the user must see to the user-interface thread as a notice, waiting
// until that notice has been handled.
class LinkWorker : public QThread {
    Q_OBJECT
public:
    // Hands a notice over to the user-interface thread; it must not block.
    // waited: the worker waits until the notice was handled, so only such a
    // notice may let the handler read what the worker changes.
    using NoticePoster = std::function<void(LinkNotice kind, int argument, bool waited)>;

    static constexpr int kNoPortResult = -1;

    // The blocks a download of image writes, in the order it writes them.
    static std::vector<int> DownloadBlocks(const CModuleImage &image, bool tagsOnly);

    LinkWorker(LinkShared &shared, LinkEvents &events, NoticePoster poster, QObject *parent = nullptr);

    // True once run() has returned; seen after wait(), it orders everything
    // the thread did before whatever follows (Qt's own ordering is hidden
    // from the race detector).
    bool hasFinished() const { return m_finished.load(std::memory_order_acquire); }

protected:
    void run() override;

private:
    // How a poll ended: the module answered every read, it did not, or the
    // poll gave way between two frames to a command that came meanwhile.
    enum class PollOutcome { Answered, Silent, GaveWay };

    bool openPort(CSerialLink &link);
    void closeVanishedPort(CSerialLink &link);
    PollOutcome poll(CSerialLink &link, bool mayGiveWay);
    // A poll and the notices it calls for; false when the link is to stop.
    // woke: as AutoResetEvent::waitForEither answered (0 the refresh tick,
    // 1 a command).
    bool pollAndReport(CSerialLink &link, int woke, bool &gaveWay);
    // Whether the module answered a whole poll so lately that a poll before
    // a command would tell nothing more: the poll before a command is there
    // to find the module still there and still the same, and polling back to
    // back finds it no sooner than within one poll's time.
    bool answeredWithinAPoll() const;
    // A routine poll of a module known to be there gives way to a command
    // between two frames; a forced read, the reading of a new module and
    // the poll for a command itself never do.
    bool givesWayToCommand() const;
    bool fetchBlocks(CSerialLink &link, std::initializer_list<int> blocks);
    bool readIdentityBlocks(CSerialLink &link);
    bool readParameterBlocks(CSerialLink &link);
    bool download(CSerialLink &link);
    // Whether the module there now is the one the write image was made of:
    // a module that took its place since the download was asked for is not
    // overwritten with another module's data.
    bool isTheModuleWrittenFor() const;
    bool storeBlocks(CSerialLink &link, const std::vector<int> &blocks);
    bool postConnectionChanges();
    bool carryOutCommand(CSerialLink &link);
    // Posts the notice and waits until it was handled; false when the link is
    // to stop instead.
    bool post(LinkNotice kind, int argument = 0);
    // Posts a notice whose handling reads nothing the worker changes, and
    // goes on at once.
    void announce(LinkNotice kind, int argument);

    LinkShared &m_shared;
    LinkEvents &m_events;
    NoticePoster m_poster;
    int m_lastPortResult = kNoPortResult;
    int m_waitTimeoutMs = 0;
    // When the latest poll the module answered in full ended, and how long
    // it took (SteadyMs); none yet: lastedMs < 0.
    struct AnsweredPoll {
        qint64 endedAtMs = 0;
        qint64 lastedMs = -1;
    };
    AnsweredPoll m_lastAnswered;
    // Set while a poll may give way to a command; whether it did.
    bool m_mayGiveWay = false;
    bool m_gaveWay = false;
    std::atomic<bool> m_finished{false};
};
