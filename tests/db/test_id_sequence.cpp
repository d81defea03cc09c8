#include "db/data_error.h"
#include "db/db_strings.h"
#include "db/db_test_support.h"
#include "db/id_sequence.h"

#include <QSet>
#include <QtTest>

namespace {
QList<int> MessageNumbers(const COLEDBException &e)
{
    QList<int> numbers;
    for (const auto &m : e.messages())
        numbers << m.number;
    return numbers;
}
} // namespace

class TestIdSequence : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void newSequenceStartsAt99ThenCounts();
    void existingCounterIsHandedOutAndAdvanced();
    void longestNameWorks();
    void callersTransactionIsLeftOpen();
    void failureInsideCallersTransactionAdds50015();
    void failedCreationCarries50016And50015AndEndsItsTransaction();
    void twoSessionsOnOneFileNeverShareAnId();
    void sequenceTableCheck_data();
    void sequenceTableCheck();
};

void TestIdSequence::newSequenceStartsAt99ThenCounts()
{
    ProjectCopy project;
    project.exec("DELETE FROM IDSequences WHERE SeqName = 'Racks'");
    CIdSequence sequence(project.session());
    QCOMPARE(sequence.NextId("Racks").toInt(), 99);
    QCOMPARE(project.scalar("SELECT ID FROM IDSequences WHERE SeqName = 'Racks'").toInt(), 100);
    QCOMPARE(sequence.NextId("Racks").toInt(), 100);
    QCOMPARE(sequence.NextId("Racks").toInt(), 101);
    QCOMPARE(project.scalar("SELECT COUNT(*) FROM IDSequences WHERE SeqName = 'Racks'").toInt(), 1);
    QVERIFY(!project.session().InTransaction());
}

void TestIdSequence::existingCounterIsHandedOutAndAdvanced()
{
    ProjectCopy project;
    project.exec("UPDATE IDSequences SET ID = 107 WHERE SeqName = 'Modules7230_3'");
    CIdSequence sequence(project.session());
    QCOMPARE(sequence.NextId("Modules7230_3").toInt(), 107);
    QCOMPARE(project.scalar("SELECT ID FROM IDSequences WHERE SeqName = 'Modules7230_3'").toInt(), 108);
    // Other sequences are not touched.
    QCOMPARE(project.scalar("SELECT ID FROM IDSequences WHERE SeqName = 'Racks'").toInt(), 100);
}

void TestIdSequence::longestNameWorks()
{
    ProjectCopy project;
    CIdSequence sequence(project.session());
    const QString name(49, u'x');
    QCOMPARE(sequence.NextId(name).toInt(), 99);
    QCOMPARE(sequence.NextId(name).toInt(), 100);
    QCOMPARE(project.scalar("SELECT SeqName FROM IDSequences WHERE ID = 101").toString(), name);
}

void TestIdSequence::callersTransactionIsLeftOpen()
{
    ProjectCopy project;
    CIdSequence sequence(project.session());
    QVERIFY(project.session().BeginTransaction());
    QCOMPARE(sequence.NextId("Racks").toInt(), 100);
    QCOMPARE(sequence.NextId("Racks").toInt(), 101);
    QVERIFY(project.session().InTransaction());
    // The caller ends it: a rollback takes both identifiers back.
    QVERIFY(project.session().Rollback());
    QCOMPARE(sequence.NextId("Racks").toInt(), 100);
}

void TestIdSequence::failureInsideCallersTransactionAdds50015()
{
    ProjectCopy project;
    project.exec("ALTER TABLE IDSequences RENAME TO OldSequences");
    CIdSequence sequence(project.session());
    QVERIFY(project.session().BeginTransaction());
    try {
        sequence.NextId("Racks");
        QFAIL("no data error");
    } catch (const COLEDBException &e) {
        QCOMPARE(MessageNumbers(e), QList<int>{DbStrings::CantGetNewId});
        QCOMPARE(e.messages().front().args, QStringList{"Racks"});
        QVERIFY(!e.records().empty());
        QVERIFY(MessageText(e).contains("Can't get new ID from sequence 'Racks'."));
    }
    QVERIFY(project.session().InTransaction());
    QVERIFY(project.session().Rollback());
}

void TestIdSequence::failedCreationCarries50016And50015AndEndsItsTransaction()
{
    ProjectCopy project;
    project.exec("CREATE TRIGGER NoNewSequences BEFORE INSERT ON IDSequences "
                 "BEGIN SELECT RAISE(ABORT, 'sequences are locked'); END");
    CIdSequence sequence(project.session());
    try {
        sequence.NextId("Brandnew");
        QFAIL("no data error");
    } catch (const COLEDBException &e) {
        QCOMPARE(MessageNumbers(e), (QList<int>{DbStrings::CantCreateSequence, DbStrings::CantGetNewId}));
        QVERIFY(!project.session().InTransaction());
    }
    // Nothing half-done remains: existing sequences still work.
    QCOMPARE(sequence.NextId("Racks").toInt(), 100);
}

void TestIdSequence::twoSessionsOnOneFileNeverShareAnId()
{
    ProjectCopy project;
    std::vector<ProviderErrorRecord> error;
    auto second = DbSession::open(DataSource::sqliteFile(project.path()), &error);
    QVERIFY(second);
    CIdSequence first(project.session());
    CIdSequence other(*second);
    QSet<int> seen;
    for (int i = 0; i < 40; ++i) {
        const int a = first.NextId("Signals").toInt();
        const int b = other.NextId("Signals").toInt();
        QVERIFY2(!seen.contains(a) && !seen.contains(b), qPrintable(QString("%1 %2").arg(a).arg(b)));
        seen << a << b;
    }
    QCOMPARE(seen.size(), 80);
}

void TestIdSequence::sequenceTableCheck_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("sound") << QString() << 1 << QString();
    QTest::newRow("no table") << "DROP TABLE IDSequences" << 0 << "Missing table 'IDSequences'.";
    QTest::newRow("no ID") << "ALTER TABLE IDSequences DROP COLUMN ID" << 0
                           << "Missing column 'ID' in table 'IDSequences'.";
    QTest::newRow("neither") << "DROP TABLE IDSequences; CREATE TABLE IDSequences (Other INTEGER)" << 0
                             << "Missing column 'SeqName' in table 'IDSequences'.";
    QTest::newRow("names in other case")
        << "DROP TABLE IDSequences; CREATE TABLE IDSequences (seqname TEXT, id INT)" << 1 << QString();
}

void TestIdSequence::sequenceTableCheck()
{
    QFETCH(QString, setup);
    QFETCH(int, result);
    QFETCH(QString, message);
    ProjectCopy project;
    for (const QString &statement : setup.split(';', Qt::SkipEmptyParts))
        project.exec(statement.trimmed());
    ScriptedMessages messages;
    CIdSequence sequence(project.session());
    QCOMPARE(sequence.CheckSequenceTable(), result);
    if (message.isEmpty()) {
        QVERIFY(messages.texts().isEmpty());
    } else {
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.shown().front().icon, MessageIcon::Error);
    }
}

QTEST_GUILESS_MAIN(TestIdSequence)
#include "test_id_sequence.moc"
