#include "tree/widgets/system_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>

// The desktop clipboard port: rendering formats completes nothing, only the
// token of the current cut sent to this program's socket does, once.
namespace {
const QString kTables = QStringLiteral("Descriptor7100_ZelnorWizard");
const QString kData = QStringLiteral("(7100_ZelnorWizard");
const QString kCompletion = QStringLiteral("Dummy7100Configurator_ZelnorWizard");

TransferPayload Payload()
{
    TransferPayload payload;
    payload.Set(kTables, QByteArray("tables"));
    payload.Set(kData, QByteArray("items"));
    payload.Set(kCompletion, QByteArray());
    return payload;
}

struct Heard {
    int completions = 0;
    int releases = 0;
    ClipboardOwner owner()
    {
        return {kCompletion, [this] { ++completions; }, [this] { ++releases; }};
    }
};

// What another program does with the address it read: sends a line.
void SendLine(const QString &server, const QByteArray &line)
{
    QLocalSocket socket;
    socket.connectToServer(server);
    QVERIFY(socket.waitForConnected(3000));
    socket.write(line + '\n');
    QVERIFY(socket.waitForBytesWritten(3000));
    socket.disconnectFromServer();
}
} // namespace

class TestSystemClipboard : public QObject {
    Q_OBJECT
private slots:
    void readingEveryFormatCompletesNothing()
    {
        SystemClipboard clipboard;
        Heard heard;
        clipboard.Put(Payload(), heard.owner());
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        QVERIFY(mime);
        QCOMPARE(mime->formats().size(), 3);
        for (const QString &format : mime->formats())
            mime->data(format);
        QCOMPARE(mime->data(kData), QByteArray("items"));
        const QList<QByteArray> address = mime->data(kCompletion).split('\n');
        QCOMPARE(address.size(), 2);
        QCOMPARE(QString::fromUtf8(address[0]), clipboard.ServerName());
        QTest::qWait(200);
        QCOMPARE(heard.completions, 0);

        // A wrong token, an overlong line, then the right one: one completion.
        SendLine(clipboard.ServerName(), "not-the-token");
        SendLine(clipboard.ServerName(), QByteArray(4096, 'x'));
        QTest::qWait(300);
        QCOMPARE(heard.completions, 0);
        SendLine(clipboard.ServerName(), address[1]);
        QTRY_COMPARE(heard.completions, 1);
        SendLine(clipboard.ServerName(), address[1]);
        QTest::qWait(300);
        QCOMPARE(heard.completions, 1);
        QCOMPARE(heard.releases, 0);
    }

    void aPasteInTheSameProgramCompletesDirectly()
    {
        SystemClipboard clipboard;
        Heard heard;
        clipboard.Put(Payload(), heard.owner());
        MimeTransferData contents(QApplication::clipboard()->mimeData());
        QVERIFY(contents.HasFormat(kTables) && contents.HasFormat(kData) && contents.HasFormat(kCompletion));
        clipboard.RequestCompletion(kCompletion);
        QCOMPARE(heard.completions, 1);
    }

    void anAddressThatIsNotOursIsNotUsed()
    {
        // Data of another program naming some socket: nothing is sent there.
        QLocalServer stranger;
        QVERIFY(
            stranger.listen(QStringLiteral("some-other-service-%1").arg(QCoreApplication::applicationPid())));
        auto *mime = new QMimeData;
        mime->setData(kCompletion, stranger.fullServerName().toUtf8() + "\n0123456789abcdef0123456789abcdef");
        QApplication::clipboard()->setMimeData(mime);
        SystemClipboard clipboard;
        clipboard.RequestCompletion(kCompletion);
        QTest::qWait(200);
        QVERIFY(!stranger.hasPendingConnections());
    }

    void anotherOwnerOrTheNextCopyReleasesTheData()
    {
        SystemClipboard clipboard;
        Heard first;
        clipboard.Put(Payload(), first.owner());
        const QByteArray token =
            QApplication::clipboard()->mimeData()->data(kCompletion).split('\n').value(1);
        Heard second;
        clipboard.Put(Payload(), second.owner());
        QCOMPARE(first.releases, 1);
        // The first cut's token is worth nothing now.
        SendLine(clipboard.ServerName(), token);
        QTest::qWait(300);
        QCOMPARE(first.completions + second.completions, 0);

        QApplication::clipboard()->setText(QStringLiteral("from another program"));
        QTRY_COMPARE(second.releases, 1);
        clipboard.RequestCompletion(kCompletion); // the text has no completion format
        QCOMPARE(second.completions, 0);
        clipboard.FlushOwn();
        QCOMPARE(second.releases, 1);
    }
};

QTEST_MAIN(TestSystemClipboard)
#include "test_system_clipboard.moc"
