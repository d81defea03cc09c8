#include "tree/clipboard_port.h"

#include <QUuid>

namespace {
std::shared_ptr<ClipboardPort> &Installed()
{
    static std::shared_ptr<ClipboardPort> port;
    return port;
}
} // namespace

std::shared_ptr<ClipboardPort> ClipboardService::setPort(std::shared_ptr<ClipboardPort> port)
{
    std::shared_ptr<ClipboardPort> previous = std::move(Installed());
    Installed() = std::move(port);
    return previous;
}

ClipboardPort &ClipboardService::Port()
{
    if (!Installed())
        Installed() = std::make_shared<MemoryClipboard>(std::make_shared<MemoryClipboardBoard>());
    return *Installed();
}

MemoryClipboard::~MemoryClipboard()
{
    m_board->drags.erase(m_dragToken);
    // The board keeps the data; the owner is gone.
    if (m_board->ownerPort == this) {
        m_board->ownerPort = nullptr;
        m_board->owner = {};
    }
}

void MemoryClipboard::Release()
{
    ClipboardOwner previous = std::move(m_board->owner);
    m_board->owner = {};
    m_board->ownerPort = nullptr;
    if (previous.released)
        previous.released();
}

void MemoryClipboard::Put(const TransferPayload &payload, ClipboardOwner owner)
{
    Release();
    m_board->data = payload;
    m_board->ownerPort = this;
    m_board->owner = std::move(owner);
}

void MemoryClipboard::FlushOwn()
{
    if (m_board->ownerPort == this)
        Release();
}

void MemoryClipboard::Clear()
{
    Release();
    m_board->data = TransferPayload();
}

void MemoryClipboard::RequestCompletion(const QString &completionFormat)
{
    if (!m_board->data.HasFormat(completionFormat))
        return;
    ++m_board->completionRequests;
    if (m_board->owner.completionRequested)
        m_board->owner.completionRequested();
}

QByteArray MemoryClipboard::OfferDrag(ClipboardOwner owner)
{
    m_board->drags.erase(m_dragToken);
    m_dragToken = QUuid::createUuid().toByteArray(QUuid::Id128);
    m_board->drags[m_dragToken] = std::move(owner);
    return m_dragToken;
}

void MemoryClipboard::CompleteDrag(const QByteArray &completion)
{
    const auto found = m_board->drags.find(completion);
    if (completion.isEmpty() || found == m_board->drags.end())
        return;
    // One completion per drag.
    const ClipboardOwner owner = std::move(found->second);
    m_board->drags.erase(found);
    if (owner.completionRequested)
        owner.completionRequested();
}
