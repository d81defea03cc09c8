#include "db/db_session.h"
#include "db/table_level.h"
#include "db/variant_value.h"
#include "db_test_support.h"

#include <QtTest>

// The statement texts the builders make, character for character, and what
// the driver adaptation turns them into.
class TestDbStatements : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void selectListsPutConstantsWhereTheTableHasNoColumn();
    void childQueryOrdersByIdAndFiltersByParent();
    void insertTakesOnlyChangedNamedColumns();
    void updateNamesTheTableBeforeEveryColumn();
    void deleteUsesTheBareIdColumn();
    void literalsOfEveryKind_data();
    void literalsOfEveryKind();
    void nullValueBuildsNoStatement();
    void adaptationDropsSetPrefixesOutsideLiterals();
    void adaptationForPostgresQuotesNames();
    void fromDualIsDroppedOnlyWithoutDual();
};

void TestDbStatements::selectListsPutConstantsWhereTheTableHasNoColumn()
{
    CLevelList levels;
    QCOMPARE(
        levels.FindByTable("Equipments")->BuildSelectList(),
        QString("SELECT [T1].[ID], [T1].[ParentID], [T1].[Name], NULL, [T1].[Description] FROM Equipments AS "
                "[T1] "));
    QCOMPARE(
        levels.FindByTable("ProjectsRoot")->BuildSelectList(),
        QString("SELECT [T1].[ID], NULL, [T1].[Name], [T1].[NameL2], [T1].[NameL3], [T1].[NameL4], NULL, "
                "[T1].[Description], [T1].[Company], [T1].[Project], [T1].[DevicePlacement], "
                "[T1].[CreatedBy], [T1].[RevisionNr], [T1].[OrderNr], [T1].[DucumentName], "
                "[T1].[DocumentNr], [T1].[TestingBy], [T1].[NameL5] FROM ProjectsRoot AS [T1] "));
    QCOMPARE(
        levels.FindByTable("ComparePlaceTC")->BuildSelectList(),
        QString("SELECT [T1].[ID], [T1].[ParentID], [T1].[Name], [T1].[NameL2], [T1].[NameL3], "
                "[T1].[NameL4], [T1].[Sequence], [T1].[Description], 0, [T1].[NameL5] FROM ComparePlaceTC AS "
                "[T1] "));
}

void TestDbStatements::childQueryOrdersByIdAndFiltersByParent()
{
    CLevelList levels;
    QCOMPARE(
        levels.FindByTable("Racks")->BuildChildQuery(7),
        QString(
            "SELECT [T1].[ID], [T1].[ParentID], [T1].[Name], NULL, [T1].[Description] FROM Racks AS [T1]  "
            "WHERE [T1].[ParentID] = 7 ORDER BY [T1].[ID]"));
    const QString root = levels.FindByTable("ProjectsRoot")->BuildChildQuery(1);
    QVERIFY(!root.contains("WHERE"));
    QVERIFY(root.endsWith("FROM ProjectsRoot AS [T1]  ORDER BY [T1].[ID]"));
}

void TestDbStatements::insertTakesOnlyChangedNamedColumns()
{
    CLevelList levels;
    CTableLevel *racks = levels.FindByTable("Racks");
    const RowValues saved{QVariant(), QVariant(), QVariant(), DbNull(), QVariant()};
    const RowValues values{101, 7, QString("Cabinet 1"), DbNull(), QVariant()};
    QCOMPARE(racks->BuildInsert(values, saved),
             QString("INSERT INTO Racks ([ID], [ParentID], [Name]) VALUES (101, 7, 'Cabinet 1') "));
    QCOMPARE(racks->BuildInsert(values, values), QString());
    // Same value in another type counts as a change.
    RowValues typed = values;
    typed[1] = QVariant(qint64(7));
    QCOMPARE(racks->BuildInsert(typed, values), QString("INSERT INTO Racks ([ParentID]) VALUES (7) "));
}

void TestDbStatements::updateNamesTheTableBeforeEveryColumn()
{
    CLevelList levels;
    CTableLevel *racks = levels.FindByTable("Racks");
    const RowValues saved{101, 7, QString("Cabinet 1"), DbNull(), QString()};
    RowValues values = saved;
    values[2] = QString("Cabinet 2");
    QCOMPARE(racks->BuildUpdate(values, saved),
             QString("UPDATE Racks SET Racks.[Name] = 'Cabinet 2' WHERE Racks.[ID] = 101"));
    values[4] = QString("Left wall");
    QCOMPARE(racks->BuildUpdate(values, saved),
             QString("UPDATE Racks SET Racks.[Name] = 'Cabinet 2', Racks.[Description] = 'Left wall' WHERE "
                     "Racks.[ID] = 101"));
    QCOMPARE(racks->BuildUpdate(saved, saved), QString());
}

void TestDbStatements::deleteUsesTheBareIdColumn()
{
    CLevelList levels;
    CTableLevel *racks = levels.FindByTable("Racks");
    const RowValues values{101, 7, QString("Cabinet 1"), DbNull(), QString()};
    QCOMPARE(racks->BuildDelete(&values), QString("DELETE FROM Racks WHERE ( ID = 101 ) "));
    QCOMPARE(racks->BuildDelete(), QString("DELETE FROM Racks"));
    const RowValues noKey{DbNull(), 7, QString("x"), DbNull(), QString()};
    QVERIFY_THROWS_EXCEPTION(COLEDBException, racks->BuildDelete(&noKey));
}

void TestDbStatements::literalsOfEveryKind_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("apostrophe") << QVariant(QString("O'Brien")) << QString("'O''Brien'");
    QTest::newRow("backslash") << QVariant(QString("C:\\temp\\")) << QString("'C:\\temp\\'");
    QTest::newRow("empty text") << QVariant(QString("")) << QString("NULL");
    QTest::newRow("empty value") << QVariant() << QString("NULL");
    QTest::newRow("real") << QVariant(0.1) << QString("0.100000000000000");
    QTest::newRow("negative real") << QVariant(-2.5) << QString("-2.500000000000000");
    QTest::newRow("float") << QVariant(1.5f) << QString("1.500000000000000");
    QTest::newRow("integer") << QVariant(-42) << QString("-42");
    QTest::newRow("true") << QVariant(true) << QString("-1");
    QTest::newRow("false") << QVariant(false) << QString("0");
    QTest::newRow("bytes") << QVariant(QByteArray("ab")) << QString();
    QTest::newRow("date") << QVariant(QDateTime(QDate(1900, 1, 1), QTime(12, 0)))
                          << QString("2.500000000000000");
}

void TestDbStatements::literalsOfEveryKind()
{
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QCOMPARE(SqlLiteral(value), text);
}

void TestDbStatements::nullValueBuildsNoStatement()
{
    QVERIFY_THROWS_EXCEPTION(COLEDBException, SqlLiteral(DbNull()));
    CLevelList levels;
    CTableLevel *racks = levels.FindByTable("Racks");
    const RowValues saved{101, 7, QString("a"), DbNull(), QString()};
    RowValues values = saved;
    values[2] = DbNull();
    QVERIFY_THROWS_EXCEPTION(COLEDBException, racks->BuildUpdate(values, saved));
}

void TestDbStatements::adaptationDropsSetPrefixesOutsideLiterals()
{
    QCOMPARE(AdaptStatement("UPDATE Racks SET Racks.[Name] = 'Cabinet 2' WHERE Racks.[ID] = 101",
                            DbDriver::SQLite, true),
             QString("UPDATE Racks SET [Name] = 'Cabinet 2' WHERE Racks.[ID] = 101"));
    QCOMPARE(
        AdaptStatement("UPDATE Racks SET Racks.[Name] = 'Racks.[x] WHERE ', Racks.[Description] = NULL WHERE "
                       "Racks.[ID] = 1",
                       DbDriver::SQLite, true),
        QString("UPDATE Racks SET [Name] = 'Racks.[x] WHERE ', [Description] = NULL WHERE Racks.[ID] = 1"));
    const QString insert = "INSERT INTO Racks ([ID], [Name]) VALUES (1, 'Racks.[Name]') ";
    QCOMPARE(AdaptStatement(insert, DbDriver::SQLite, true), insert);
}

void TestDbStatements::adaptationForPostgresQuotesNames()
{
    QCOMPARE(AdaptStatement("SELECT [T1].[ID] FROM Racks AS [T1]  WHERE [T1].[Name] = '[a]'",
                            DbDriver::PostgreSQL, true),
             QString("SELECT \"T1\".\"ID\" FROM Racks AS \"T1\"  WHERE \"T1\".\"Name\" = '[a]'"));
}

void TestDbStatements::fromDualIsDroppedOnlyWithoutDual()
{
    QCOMPARE(AdaptStatement("SELECT 1+1 FROM DUAL", DbDriver::SQLite, true), QString("SELECT 1+1 FROM DUAL"));
    QCOMPARE(AdaptStatement("SELECT 1+1 FROM DUAL", DbDriver::SQLite, false), QString("SELECT 1+1"));
}

QTEST_GUILESS_MAIN(TestDbStatements)
#include "test_db_statements.moc"
