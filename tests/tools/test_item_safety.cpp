#include "tool_test_support.h"

#include <QtTest>

using namespace ToolTest;

// Item operations through the command-line tool on real project files: each
// either succeeds completely or is refused with a message and leaves the
// project exactly as it was.
class TestItemSafety : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void hostileTagsCreateNothing_data();
    void hostileTagsCreateNothing();
    void hostileFolderNamesAreRefused_data();
    void hostileFolderNamesAreRefused();
    void applyChecksNamesAndWidths_data();
    void applyChecksNamesAndWidths();
    void charactersAreCountedNotUtf16Units();
    void damagedSequencesCreateNothing_data();
    void damagedSequencesCreateNothing();
    void readOnlyAndHiddenItemsCannotBeDeleted_data();
    void readOnlyAndHiddenItemsCannotBeDeleted();
    void moduleOfAnUnknownTypeIsNotTouched();
    void storedControlCharactersArePrintedEscaped();

private:
    QTemporaryDir m_dir;
    QString m_template; // a project with one plant and one two-channel module
    QString Fresh(const QString &name);
};

namespace {
const QString kPlant = QStringLiteral("\\\\Project\\Plant1");
const QString kModule = QStringLiteral("\\\\Project\\Plant1\\7230/211-2 - [TT-101] [TT-102]");
} // namespace

void TestItemSafety::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_template = NewProject(m_dir, QStringLiteral("template.prj"));
    QCOMPARE(Ctl({"add", m_template, "\\\\Project", "plant"}).exitCode, 0);
    QCOMPARE(Ctl({"add-module", m_template, kPlant, "7", "TT-101", "TT-102"}).exitCode, 0);
}

QString TestItemSafety::Fresh(const QString &name)
{
    const QString path = m_dir.filePath(name + QStringLiteral(".prj"));
    QFile::remove(path);
    if (!QFile::copy(m_template, path))
        qWarning("cannot copy the template project");
    return path;
}

void TestItemSafety::hostileTagsCreateNothing_data()
{
    QTest::addColumn<QString>("tag");
    QTest::newRow("backslash") << "back\\slash";
    QTest::newRow("escape sequence") << "TT\x1b[2J";
    QTest::newRow("line feed") << "TT\nX";
    QTest::newRow("carriage return") << "TT\rX";
    QTest::newRow("tab") << "TT\tX";
    QTest::newRow("bell") << "TT\a";
    QTest::newRow("delete") << "TT\x7f";
    QTest::newRow("C1 control") << QString("TT") + QChar(0x9B) + "2J";
}

void TestItemSafety::hostileTagsCreateNothing()
{
    QFETCH(QString, tag);
    const QString project = Fresh(QTest::currentDataTag());
    const QByteArray before = Checksum(project);
    for (const QStringList &tags : {QStringList{tag, "X-2"}, QStringList{"X-1", tag}}) {
        const TestSupport::ToolRun run = Ctl(QStringList{"add-module", project, kPlant, "7"} + tags);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Signal-Tag"), qPrintable(run.err));
        // The refusal names the tag, escaped so that it cannot act on a terminal.
        QVERIFY2(!run.err.contains(QChar(0x1b)) && !run.err.contains(QChar(0x9B)), qPrintable(run.err));
        QCOMPARE(Checksum(project), before);
    }
}

void TestItemSafety::hostileFolderNamesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("backslash") << "Boiler\\house";
    QTest::newRow("screen clear") << "Boiler\x1b[2J";
    QTest::newRow("line feed") << "Boiler\nhouse";
}

void TestItemSafety::hostileFolderNamesAreRefused()
{
    QFETCH(QString, name);
    const QString project = Fresh(QStringLiteral("folder_") + QTest::currentDataTag());
    const QByteArray before = Checksum(project);
    const TestSupport::ToolRun run = Ctl({"add", project, "\\\\Project", "plant", name});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("invalid character"), qPrintable(run.err));
    QCOMPARE(Checksum(project), before);
}

void TestItemSafety::applyChecksNamesAndWidths_data()
{
    QTest::addColumn<QStringList>("assignments");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("backslash in the tag") << QStringList{"Name=A\\B"} << "contains invalid character(s)";
    QTest::newRow("escape in the tag") << QStringList{"Name=A\x1b[0m"} << "contains invalid character(s)";
    QTest::newRow("empty tag") << QStringList{"Name="} << "must not be empty";
    QTest::newRow("tag of 46") << QStringList{"Name=" + QString(46, 'T')} << "longer than 32 characters";
    QTest::newRow("description of 33") << QStringList{"Description=" + QString(33, 'd')}
                                       << "longer than 32 characters";
    QTest::newRow("comment of 51") << QStringList{"Comment=" + QString(51, 'c')} << "longer than 50 characters";
    QTest::newRow("date with a line feed") << QStringList{"LastProgramming=1\n2"} << "contains invalid character(s)";
}

void TestItemSafety::applyChecksNamesAndWidths()
{
    QFETCH(QStringList, assignments);
    QFETCH(QString, refusal);
    const QString project = Fresh(QStringLiteral("apply_") + QTest::currentDataTag());
    const QByteArray before = Checksum(project);
    const TestSupport::ToolRun run = Ctl(QStringList{"set", project, kModule, "--channel", "1"} + assignments);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(refusal), qPrintable(run.err));
    QCOMPARE(Checksum(project), before);
}

void TestItemSafety::charactersAreCountedNotUtf16Units()
{
    const QString project = Fresh(QStringLiteral("emoji"));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x94\xA5");
    const QString plant = QString(49, 'P') + emoji; // 50 characters, 51 UTF-16 units
    QCOMPARE(Ctl({"add", project, "\\\\Project", "plant", plant}).exitCode, 0);
    const QString tag = QString(31, 'T') + emoji;
    const TestSupport::ToolRun set = Ctl({"set", project, kModule, "--channel", "1", "Name=" + tag});
    QVERIFY2(set.exitCode == 0, qPrintable(set.err));
    QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Signals WHERE Name = '" + tag + "'").toInt(), 1);
    QVERIFY(Inconsistencies(project).isEmpty());
}

void TestItemSafety::damagedSequencesCreateNothing_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("mayCreate");
    QTest::newRow("sequences missing") << "DELETE FROM IDSequences" << true;
    QTest::newRow("counter not a number") << "UPDATE IDSequences SET ID = 'abc' WHERE SeqName = 'Signals'" << false;
    QTest::newRow("counter zero") << "UPDATE IDSequences SET ID = 0 WHERE SeqName = 'Signals'" << false;
    QTest::newRow("counter negative") << "UPDATE IDSequences SET ID = -5 WHERE SeqName = 'Signals'" << false;
    QTest::newRow("counter at the end") << "UPDATE IDSequences SET ID = 2147483647 WHERE SeqName = 'Signals'"
                                        << false;
}

void TestItemSafety::damagedSequencesCreateNothing()
{
    QFETCH(QString, damage);
    QFETCH(bool, mayCreate);
    const QString project = Fresh(QStringLiteral("sequence_") + QTest::currentDataTag());
    Exec(project, damage);
    const int signalsBefore = Scalar(project, "SELECT COUNT(*) FROM Signals").toInt();
    const QByteArray before = Checksum(project);
    const TestSupport::ToolRun run = Ctl({"add-module", project, kPlant, "7", "PT-1", "PT-2"});
    QVERIFY(Inconsistencies(project).isEmpty());
    if (run.exitCode == 0) {
        QVERIFY2(mayCreate, qPrintable(run.out));
        QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Signals").toInt(), signalsBefore + 2);
        QCOMPARE(Scalar(project, "SELECT COUNT(*) FROM Signals WHERE ID <= 0").toInt(), 0);
    } else {
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(Checksum(project), before);
        if (!mayCreate)
            QVERIFY2(run.err.contains("counter of sequence 'Signals'"), qPrintable(run.err));
    }
}

void TestItemSafety::readOnlyAndHiddenItemsCannotBeDeleted_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("signals root") << "\\\\Signals" << "read-only";
    QTest::newRow("project") << "\\\\Project" << "";
    QTest::newRow("module type row") << "\\\\Project\\Z 7230/211-2" << "No item";
    QTest::newRow("project options row") << "\\\\Project\\SignalCounter" << "No item";
}

void TestItemSafety::readOnlyAndHiddenItemsCannotBeDeleted()
{
    QFETCH(QString, path);
    QFETCH(QString, refusal);
    const QString project = Fresh(QStringLiteral("delete_") + QTest::currentDataTag());
    const QByteArray before = Checksum(project);
    const TestSupport::ToolRun run = Ctl({"delete", project, path, "--yes"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(refusal), qPrintable(run.err));
    QCOMPARE(Checksum(project), before);
    // New modules still get their signals afterwards.
    QCOMPARE(Ctl({"add-module", project, kPlant, "7", "AF-1", "AF-2"}).exitCode, 0);
    QVERIFY(Inconsistencies(project).isEmpty());
}

void TestItemSafety::moduleOfAnUnknownTypeIsNotTouched()
{
    const QString project = Fresh(QStringLiteral("unknown_type"));
    Exec(project, "UPDATE Modules7230_2 SET ModulTypID = 999");
    const QByteArray before = Checksum(project);
    TestSupport::ToolRun run = Ctl({"set", project, kModule, "--channel", "1", "Name=TT-900"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("The type 999 of module"), qPrintable(run.err));
    run = Ctl({"show", project, kModule});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("not in the project's catalogue"), qPrintable(run.err));
    QCOMPARE(Checksum(project), before);
    run = Ctl({"add-module", project, kPlant, "999"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(Checksum(project), before);
}

void TestItemSafety::storedControlCharactersArePrintedEscaped()
{
    // An old project, or one edited by another program, may hold them.
    const QString project = Fresh(QStringLiteral("old_texts"));
    Exec(project, "UPDATE Equipments SET Name = 'Plant' || char(27) || '[2J' || char(10) || 'X'");
    Exec(project, "UPDATE Signals SET Name = 'TT' || char(7) WHERE Name = 'TT-101'");
    const TestSupport::ToolRun tree = Ctl({"tree", project});
    QCOMPARE(tree.exitCode, 0);
    QVERIFY(!tree.out.contains(QChar(0x1b)) && !tree.out.contains(QChar(0x07)));
    QVERIFY2(tree.out.contains("\\\\Project\\Plant\\x1b[2J\\nX\n"), qPrintable(tree.out));
    QVERIFY2(tree.out.contains("\tTT\\x07\t"), qPrintable(tree.out));
}

QTEST_GUILESS_MAIN(TestItemSafety)
#include "test_item_safety.moc"
