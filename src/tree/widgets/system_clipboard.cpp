#include "tree/widgets/system_clipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QUuid>

#include <utility>

namespace {
constexpr int kSocketWaitMs = 3000;
// One line: the token of the cut, as the completion format handed it out.
constexpr qint64 kMaxTokenLine = 256;

// Offers the formats of a payload; the completion format's bytes (the
// address and the token) are produced only when someone asks for them.
class TransferMime : public QMimeData {
public:
    TransferMime(const TransferPayload &payload, QString completionFormat, QByteArray completion)
        : m_payload(payload), m_completionFormat(std::move(completionFormat)),
          m_completion(std::move(completion))
    {
    }
    QStringList formats() const override
    {
        QStringList names;
        for (const auto &[format, bytes] : m_payload.All())
            names << format;
        return names;
    }
    bool hasFormat(const QString &format) const override { return m_payload.HasFormat(format); }

protected:
    QVariant retrieveData(const QString &format, QMetaType) const override
    {
        if (!m_payload.HasFormat(format))
            return QVariant();
        // Rendering completes nothing: see SystemClipboard.
        if (format == m_completionFormat)
            return m_completion;
        return m_payload.Data(format);
    }

private:
    TransferPayload m_payload;
    QString m_completionFormat;
    QByteArray m_completion;
};
} // namespace

QMimeData *MakeTransferMimeData(const TransferPayload &payload)
{
    auto *mime = new QMimeData;
    for (const auto &[format, bytes] : payload.All())
        mime->setData(format, bytes);
    return mime;
}

ClipboardSnapshot::ClipboardSnapshot(const QMimeData *mime)
    : m_mime(mime), m_formats(mime ? mime->formats() : QStringList())
{
}

QByteArray ClipboardSnapshot::Data(const QString &format) const
{
    const auto known = m_read.find(format);
    if (known != m_read.end())
        return known->second;
    const QByteArray data = m_mime && m_formats.contains(format) ? m_mime->data(format) : QByteArray();
    m_read.emplace(format, data);
    return data;
}

SystemClipboard::SystemClipboard(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = QStringLiteral("zelnor-wizard-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QUuid::createUuid().toString(QUuid::Id128));
    m_server->listen(name);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > kMaxTokenLine)
                        socket->abort();
                    return;
                }
                TokenReceived(socket->readLine(kMaxTokenLine).trimmed());
                socket->disconnectFromServer();
            });
        }
    });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        m_contents.reset();
        if (!OwnsData())
            Release();
    });
}

SystemClipboard::~SystemClipboard() = default;

QString SystemClipboard::ServerName() const
{
    return m_server->fullServerName();
}

bool SystemClipboard::OwnsData() const
{
    // The clipboard hands out the owner's own data object; another owner's
    // data comes wrapped. (Not every platform reports ownership itself.)
    return m_data && QGuiApplication::clipboard()->mimeData() == m_data.data();
}

const TransferData &SystemClipboard::Contents()
{
    if (!m_contents)
        m_contents = std::make_unique<ClipboardSnapshot>(QGuiApplication::clipboard()->mimeData());
    return *m_contents;
}

void SystemClipboard::Release()
{
    ClipboardOwner previous = std::move(m_owner);
    m_owner = {};
    m_token.clear();
    m_data.clear();
    if (previous.released)
        previous.released();
}

void SystemClipboard::Put(const TransferPayload &payload, ClipboardOwner owner)
{
    Release();
    m_token = QUuid::createUuid().toByteArray(QUuid::Id128);
    auto *mime = new TransferMime(payload, owner.completionFormat, CompletionAddress(m_token));
    m_data = mime;
    m_owner = std::move(owner);
    // The clipboard owns the data object from here on.
    QGuiApplication::clipboard()->setMimeData(mime);
}

void SystemClipboard::FlushOwn()
{
    if (m_data)
        Release();
}

void SystemClipboard::TokenReceived(const QByteArray &token)
{
    if (token.isEmpty())
        return;
    if (token == m_dragToken) {
        // One completion per drag.
        m_dragToken.clear();
        const ClipboardOwner owner = std::exchange(m_dragOwner, {});
        if (owner.completionRequested)
            owner.completionRequested();
        return;
    }
    if (token != m_token || !OwnsData() || !m_owner.completionRequested)
        return;
    // One completion per cut.
    m_token.clear();
    m_owner.completionRequested();
}

QByteArray SystemClipboard::CompletionAddress(const QByteArray &token) const
{
    return ServerName().toUtf8() + '\n' + token;
}

void SystemClipboard::RequestCompletion(const QString &completionFormat)
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime || !mime->hasFormat(completionFormat))
        return;
    SendCompletion(mime->data(completionFormat));
}

QByteArray SystemClipboard::OfferDrag(ClipboardOwner owner)
{
    m_dragToken = QUuid::createUuid().toByteArray(QUuid::Id128);
    m_dragOwner = std::move(owner);
    return CompletionAddress(m_dragToken);
}

void SystemClipboard::CompleteDrag(const QByteArray &completion)
{
    SendCompletion(completion);
}

void SystemClipboard::SendCompletion(const QByteArray &completion)
{
    const QList<QByteArray> parts = completion.split('\n');
    if (parts.size() != 2 || parts[0].isEmpty() || parts[1].isEmpty())
        return;
    const QString server = QString::fromUtf8(parts[0]);
    // Clipboard and drag data is anybody's: only a socket of this program's
    // kind and a token of its form are used.
    static const QRegularExpression kServer(QStringLiteral("(^|/)zelnor-wizard-\\d+-[0-9a-f]{32}$"));
    static const QRegularExpression kToken(QStringLiteral("^[0-9a-f]{32}$"));
    if (!kServer.match(server).hasMatch() || !kToken.match(QString::fromLatin1(parts[1])).hasMatch())
        return;
    if (server == ServerName()) {
        TokenReceived(parts[1]);
        return;
    }
    QLocalSocket socket;
    socket.connectToServer(server);
    if (!socket.waitForConnected(kSocketWaitMs))
        return;
    socket.write(parts[1] + '\n');
    socket.waitForBytesWritten(kSocketWaitMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kSocketWaitMs);
}
