#include "log/output_log.h"
#include "log/widgets/output_view.h"
#include "base/app_paths.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

class TestOutputView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void paneIsReadOnlyMonospaceWithoutWrap();
    void paneStartsTheRunsLogBesideTheProgram();
    void firstDisplayWritesTheSystemInformationOnce();
    void textWithLineBreaksShowsAsSeveralLines();
    void newestTextStaysInView();
    void paneShowsALogOwnedElsewhere();

private:
    QTemporaryDir m_dir;
};

void TestOutputView::init()
{
    TestSupport::loadEnglish();
    AppPaths::setProgramFile(QDir(m_dir.path()).filePath(QStringLiteral("zelnor-wizard")));
}

void TestOutputView::cleanup()
{
    TestSupport::useBuiltProgramPaths();
}

void TestOutputView::paneIsReadOnlyMonospaceWithoutWrap()
{
    COutputView view;
    QVERIFY(view.isReadOnly());
    QCOMPARE(view.lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(QFontInfo(view.font()).fixedPitch());
    QCOMPARE(view.font().pointSize(), 9);
    QCOMPARE(view.objectName(), QStringLiteral("COutputView"));
}

void TestOutputView::paneStartsTheRunsLogBesideTheProgram()
{
    QString path;
    {
        COutputView view;
        QCOMPARE(OutputLog::active(), view.log());
        path = view.log()->filePath();
        QCOMPARE(QFileInfo(path).absolutePath(), QDir(m_dir.path()).filePath(QStringLiteral("Log")));
        QVERIFY(QFile::exists(path));
    }
    // The pane took its log along: nothing writes to it any more.
    QCOMPARE(OutputLog::active(), nullptr);
}

void TestOutputView::firstDisplayWritesTheSystemInformationOnce()
{
    COutputView view;
    QString port = QStringLiteral("/dev/pts/42");
    view.setPortSource([&port] { return port; });
    QCOMPARE(view.document()->isEmpty(), true);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QString shown = view.toPlainText();
    QVERIFY(shown.startsWith(QString(79, u'-') + QStringLiteral("\nSYSTEM INFORMATION\n")));
    // The header names the port its owner's link uses, asked when shown.
    QVERIFY(shown.contains(QStringLiteral("\n      Port              : /dev/pts/42\n")));
    port = QStringLiteral("/dev/ttyUSB0");
    view.hide();
    view.show();
    QCOMPARE(view.toPlainText(), shown);
    QFile file(view.log()->filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()).count(QStringLiteral("SYSTEM INFORMATION")), 1);
}

void TestOutputView::textWithLineBreaksShowsAsSeveralLines()
{
    COutputView view;
    const int before = view.blockCount();
    WriteLogLine(QStringLiteral("first\nsecond"));
    QCOMPARE(view.blockCount(), before + 2);
    const QStringList lines = view.toPlainText().split(u'\n');
    QVERIFY(lines[lines.size() - 3].endsWith(QStringLiteral("   first")));
    QCOMPARE(lines[lines.size() - 2], QStringLiteral("second"));
    QVERIFY(!view.toPlainText().contains(u'\r'));
}

void TestOutputView::newestTextStaysInView()
{
    COutputView view;
    view.resize(300, 120);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    for (int i = 0; i < 200; ++i)
        WriteLogLine(QStringLiteral("line %1").arg(i));
    QScrollBar *bar = view.verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestOutputView::paneShowsALogOwnedElsewhere()
{
    OutputLog log(m_dir.path(), QDateTime::currentDateTime());
    {
        COutputView view(&log);
        QCOMPARE(OutputLog::active(), nullptr);
        log.writeLogLine(QStringLiteral("seen"));
        QVERIFY(view.toPlainText().contains(QStringLiteral("   seen\n")));
    }
    log.writeLogLine(QStringLiteral("pane gone, file goes on"));
    QFile file(log.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("pane gone, file goes on\r\n"));
}

QTEST_MAIN(TestOutputView)
#include "test_output_view.moc"
