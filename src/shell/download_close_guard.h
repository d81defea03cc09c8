#pragma once

#include <QObject>

class LinkController;
class ModuleTransfer;

// The main window's close while a module is being written: stopping the
// link then would leave the module half written, so the user is asked. Yes
// (the default: nothing is lost) waits for the download to end, its
// read-back included, and closes then; No abandons it, and the log says so.
class DownloadCloseGuard : public QObject {
    Q_OBJECT
public:
    DownloadCloseGuard(LinkController &link, ModuleTransfer &transfer, QObject *parent = nullptr);

    // A download has been asked of the link and not yet judged.
    bool IsWriting() const;
    // Whether the window may close now; false while it waits for the
    // download's end (closeDue follows then).
    bool MayClose();
    bool isWaiting() const { return m_waiting; }

signals:
    // The download waited for has ended: the window closes now.
    void closeDue();

private:
    void NoticeHandled();

    LinkController &m_link;
    ModuleTransfer &m_transfer;
    bool m_waiting = false;
};
