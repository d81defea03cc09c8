#pragma once

#include "tree/clipboard_port.h"

#include <QMimeData>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <map>

class QLocalServer;

// Transfer data read from a QMimeData (the clipboard's, or a drop's).
class MimeTransferData : public TransferData {
public:
    explicit MimeTransferData(const QMimeData *mime) : m_mime(mime) {}
    bool HasFormat(const QString &format) const override { return m_mime && m_mime->hasFormat(format); }
    QByteArray Data(const QString &format) const override
    {
        return m_mime ? m_mime->data(format) : QByteArray();
    }

private:
    const QMimeData *m_mime;
};

// The clipboard's data as read once after each change. The window asks
// several times a second whether Paste is possible, and each read of another
// program's data is a round trip to that program (which may hang).
class ClipboardSnapshot : public TransferData {
public:
    explicit ClipboardSnapshot(const QMimeData *mime);
    bool HasFormat(const QString &format) const override { return m_formats.contains(format); }
    QByteArray Data(const QString &format) const override;

private:
    QPointer<const QMimeData> m_mime;
    QStringList m_formats;
    mutable std::map<QString, QByteArray> m_read;
};

// The data of a drag as the views hand it to QDrag.
QMimeData *MakeTransferMimeData(const TransferPayload &payload);

// The desktop's clipboard (between programs through the window system).
//
// How a cut completes: the data object renders the completion format
// lazily, and what it renders is only an address (this program's local
// socket) and a token of this cut; rendering it completes nothing. A paste
// that succeeded reads the address and sends the token there; only then
// does the source delete its originals. So the clipboard flushed at the
// program's end, a clipboard manager or any program reading every format
// cannot complete a cut: they read, and nobody sends the token. A moving
// drag completes the same way: the drop that pasted it sends its token.
class SystemClipboard : public QObject, public ClipboardPort {
    Q_OBJECT
public:
    explicit SystemClipboard(QObject *parent = nullptr);
    ~SystemClipboard() override;

    const TransferData &Contents() override;
    void Put(const TransferPayload &payload, ClipboardOwner owner) override;
    void FlushOwn() override;
    void RequestCompletion(const QString &completionFormat) override;
    QByteArray OfferDrag(ClipboardOwner owner) override;
    void CompleteDrag(const QByteArray &completion) override;

    // The local socket this program hears completions on.
    QString ServerName() const;

private:
    void Release();
    void TokenReceived(const QByteArray &token);
    // The completion format's bytes: this program's socket and the token.
    QByteArray CompletionAddress(const QByteArray &token) const;
    // Sends the token of a completion to the program its address names.
    void SendCompletion(const QByteArray &completion);
    bool OwnsData() const;

    QLocalServer *m_server;
    ClipboardOwner m_owner;
    QByteArray m_token;
    // The drag this program offers now.
    ClipboardOwner m_dragOwner;
    QByteArray m_dragToken;
    QPointer<QMimeData> m_data;
    std::unique_ptr<ClipboardSnapshot> m_contents;
};
