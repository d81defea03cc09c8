#include "db/schema.h"
#include "db/sql_query.h"
#include "db/table_level.h"
#include "db_test_support.h"

#include <QProcess>
#include <QSqlRecord>
#include <QtTest>

// The reference database the build makes: every table and column the levels
// read, the system rows, and an upgrade script that really upgrades.
class TestReferenceDatabase : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void everyNamedColumnExistsWithItsType();
    void systemRowsArePresent();
    void upgradeScriptBringsAnOldProjectUp();
    void failingSqlLeavesNoDatabaseBehind();
};

namespace {
QString DeclaredType(const FieldSpec &field)
{
    switch (field.type) {
    case FieldType::Long:
        return "INTEGER";
    case FieldType::Bool:
        return "SMALLINT";
    case FieldType::Text:
        return QString("VARCHAR(%1)").arg(field.width);
    }
    return QString();
}
} // namespace

void TestReferenceDatabase::everyNamedColumnExistsWithItsType()
{
    ProjectCopy project;
    CLevelList levels;
    for (const auto &level : levels.levels()) {
        if (level->kind() == LevelKind::Root)
            continue;
        const AccessorSpec *accessor = Schema::FindAccessor(level->accessorClass().toLatin1().constData());
        QVERIFY(accessor);
        QSqlQuery query(project.session().database());
        QVERIFY(query.exec(QString("PRAGMA table_info('%1')").arg(level->tableName())));
        QHash<QString, QString> declared;
        while (query.next())
            declared.insert(query.value(1).toString(), query.value(2).toString());
        QVERIFY2(!declared.isEmpty(), qPrintable(level->tableName()));
        int named = 0;
        for (const FieldSpec &field : accessor->fields) {
            if (!field.name)
                continue;
            ++named;
            const QString where = level->tableName() + "." + field.name;
            QVERIFY2(declared.contains(field.name), qPrintable(where));
            QString type = declared.value(field.name);
            if (field.name == QString("ID"))
                QCOMPARE(type, QString("INTEGER"));
            else
                QVERIFY2(type.startsWith(DeclaredType(field)), qPrintable(where + " " + type));
        }
        QCOMPARE(declared.size(), named);
    }
}

void TestReferenceDatabase::systemRowsArePresent()
{
    ProjectCopy project;
    QCOMPARE(project.scalar("SELECT Version FROM SystemData WHERE ID = 1").toString(), QString("1.00.04"));
    QCOMPARE(project.scalar("SELECT MAX(ID) FROM Versions").toInt(), 1000004);
    // The commissioning tables of a new project number their rows as every table does.
    for (const char *table : {"CommissioningRecords", "CommissioningQueue"}) {
        QCOMPARE(project.scalar(QString("SELECT COUNT(*) FROM %1").arg(table)).toInt(), 0);
        QCOMPARE(project.scalar(QString("SELECT ID FROM IDSequences WHERE SeqName = '%1'").arg(table)).toInt(), 100);
    }
    QCOMPARE(project.scalar("SELECT COUNT(*) FROM ProjectsRoot WHERE ID = 1").toInt(), 1);
    QCOMPARE(project.scalar("SELECT COUNT(*) FROM SignalsRoot WHERE ID = 1").toInt(), 1);
    QCOMPARE(project.scalar("SELECT COUNT(*) FROM ProjectOptions WHERE ID BETWEEN 1 AND 4 AND Option1 >= 1")
                 .toInt(),
             4);
    CLevelList levels;
    for (const auto &level : levels.levels()) {
        if (level->kind() == LevelKind::Root)
            continue;
        const QVariant next = project.scalar(
            QString("SELECT ID FROM IDSequences WHERE SeqName = '%1'").arg(level->tableName()));
        QVERIFY2(next.isValid(), qPrintable(level->tableName()));
        const int highest =
            project.scalar(QString("SELECT COALESCE(MAX(ID), 0) FROM %1").arg(level->tableName())).toInt();
        QVERIFY2(next.toInt() > highest, qPrintable(level->tableName()));
    }
}

void TestReferenceDatabase::upgradeScriptBringsAnOldProjectUp()
{
    ProjectCopy project;
    project.exec("DROP INDEX IX_Signals_ParentID");
    project.exec("DROP INDEX IX_Signals_Name");
    project.exec("DROP TABLE CommissioningRecords");
    project.exec("DROP TABLE CommissioningQueue");
    project.exec("UPDATE SystemData SET Version = '1.00.00'");
    CSQLQuery query(DataSource::sqliteFile(project.path()), true);
    ScriptedMessages messages;
    for (const int id : {1000001, 1000002, 1000003, 1000004}) {
        const QString script =
            project.scalar(QString("SELECT SQLScript FROM Versions WHERE ID = %1").arg(id)).toString();
        const QStringList statements = script.split("\r\ngo");
        QVERIFY(statements.size() >= 2);
        for (const QString &statement : statements) {
            query.SetText(statement.trimmed());
            QVERIFY2(query.Execute(), qPrintable(query.LastError()));
        }
    }
    QCOMPARE(project.scalar("SELECT Version FROM SystemData").toString(), QString("1.00.04"));
    for (const char *index : {"IX_Signals_ParentID", "IX_Signals_Name", "CommissioningRecords", "CommissioningQueue"})
        QCOMPARE(project.scalar(QString("SELECT COUNT(*) FROM sqlite_master WHERE name = '%1'").arg(index)).toInt(),
                 1);
}

void TestReferenceDatabase::failingSqlLeavesNoDatabaseBehind()
{
    QTemporaryDir dir;
    const QString good = dir.filePath("a.sql");
    const QString bad = dir.filePath("b.sql");
    {
        QFile file(good);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("CREATE TABLE T (ID INTEGER);\n");
    }
    {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("INSERT INTO Missing VALUES (1);\n");
    }
    const QString output = dir.filePath("out.vor");
    const auto build = [&](const QString &sources) {
        QProcess cmake;
        cmake.start(ZW_CMAKE, {"-DSQLITE3=" ZW_SQLITE3_PATH, "-DOUTPUT=" + output, "-DSOURCES=" + sources,
                               "-P", ZW_SOURCE_DIR "/resources/db/build_reference_db.cmake"});
        cmake.waitForFinished(60000);
        return cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
    };
    QVERIFY(!build(good + ";" + bad));
    QVERIFY(!QFile::exists(output));
    QVERIFY(!QFile::exists(output + ".tmp"));
    QVERIFY(build(good));
    QVERIFY(QFile::exists(output));
}

QTEST_GUILESS_MAIN(TestReferenceDatabase)
#include "test_reference_database.moc"
