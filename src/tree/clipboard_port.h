#pragma once

#include "tree/transfer_set.h"

#include <functional>
#include <map>
#include <memory>

// What the owner of clipboard data hears about it: a paste that succeeded
// asked for the completion signal (the cut is to be completed), or the data
// left the clipboard (another copy, another program, the clipboard emptied).
struct ClipboardOwner {
    // The name of the completion format among the data's formats.
    QString completionFormat;
    std::function<void()> completionRequested;
    std::function<void()> released;
};

// The system clipboard as the item operations use it. The program installs
// the desktop's clipboard; tests use a board in memory that two documents
// share as two programs share the desktop's.
class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    // What the clipboard holds now, from whichever program.
    virtual const TransferData &Contents() = 0;
    // Puts the data on the clipboard with this program as its owner. The
    // completion format is rendered only when asked for.
    virtual void Put(const TransferPayload &payload, ClipboardOwner owner) = 0;
    // When this program's earlier data is still on the clipboard, it is
    // released (its owner hears so) and the clipboard keeps a copy of it.
    virtual void FlushOwn() = 0;
    // Asks the clipboard's owner for the completion signal, which tells it
    // that its data was pasted in full.
    virtual void RequestCompletion(const QString &completionFormat) = 0;

    // A moving drag finishes as a cut does: its data carries, under the
    // completion format, what names this program and this drag (returned
    // here), and only a drop that pasted it in full sends that back, upon
    // which the owner hears completionRequested. A program offers one drag
    // at a time; the next one forgets the previous owner.
    virtual QByteArray OfferDrag(ClipboardOwner owner) = 0;
    // Tells the source of dropped data that its move was pasted in full.
    virtual void CompleteDrag(const QByteArray &completion) = 0;
};

// The port the documents use unless one was given its own.
class ClipboardService {
public:
    // Installs a port and returns the one it replaces.
    static std::shared_ptr<ClipboardPort> setPort(std::shared_ptr<ClipboardPort> port);
    // The installed port; a board of this process alone when none is.
    static ClipboardPort &Port();
};

// A clipboard in memory. Every port made on one board sees the same data;
// each stands for one program.
class MemoryClipboardBoard {
public:
    TransferPayload data;
    ClipboardPort *ownerPort = nullptr;
    ClipboardOwner owner;
    // How often the completion format was rendered.
    int completionRequests = 0;
    // The drag each port offers now, by the drag's token.
    std::map<QByteArray, ClipboardOwner> drags;
};

class MemoryClipboard : public ClipboardPort {
public:
    explicit MemoryClipboard(std::shared_ptr<MemoryClipboardBoard> board) : m_board(std::move(board)) {}
    ~MemoryClipboard() override;
    const TransferData &Contents() override { return m_board->data; }
    void Put(const TransferPayload &payload, ClipboardOwner owner) override;
    void FlushOwn() override;
    void RequestCompletion(const QString &completionFormat) override;
    QByteArray OfferDrag(ClipboardOwner owner) override;
    void CompleteDrag(const QByteArray &completion) override;
    // Another program takes the clipboard (or it is emptied): the owner
    // hears that its data was released.
    void Clear();
    MemoryClipboardBoard &Board() { return *m_board; }

private:
    void Release();

    std::shared_ptr<MemoryClipboardBoard> m_board;
    QByteArray m_dragToken;
};
