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
    using NoticePoster = std::function<void(LinkNotice kind, int argument)>;

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
    bool openPort(CSerialLink &link);
    void closeVanishedPort(CSerialLink &link);
    bool poll(CSerialLink &link);
    bool fetchBlocks(CSerialLink &link, std::initializer_list<int> blocks);
    bool readIdentityBlocks(CSerialLink &link);
    bool readParameterBlocks(CSerialLink &link);
    bool download(CSerialLink &link);
    bool storeBlocks(CSerialLink &link, const std::vector<int> &blocks);
    bool postConnectionChanges();
    bool carryOutCommand(CSerialLink &link);
    // Posts the notice and waits until it was handled; false when the link is
    // to stop instead.
    bool post(LinkNotice kind, int argument = 0);

    LinkShared &m_shared;
    LinkEvents &m_events;
    NoticePoster m_poster;
    int m_lastPortResult = kNoPortResult;
    int m_waitTimeoutMs = 0;
    std::atomic<bool> m_finished{false};
};
