#include "db/connection_properties.h"
#include "db/data_link_file.h"
#include "db/db_session.h"
#include "support/test_support.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}
} // namespace

class TestSharedProjectFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void writesTheWindowsLayout();
    void readsWhatWindowsWrites_data();
    void readsWhatWindowsWrites();
    void quotedValuesKeepSemicolonsAndQuotes();
    void namesAreMatchedWithoutCase();
    void malformedFiles_data();
    void malformedFiles();
    void failedWriteKeepsTheOldFile();
    void dataSourceOfEachProvider();
};

void TestSharedProjectFiles::writesTheWindowsLayout()
{
    QTemporaryDir dir;
    ConnectionProperties p;
    p.setValue("Provider", "PostgreSQL");
    p.setValue("Data Source", "db.example.net:5433");
    p.setValue("Initial Catalog", "plant");
    const QString path = dir.filePath("plant.udl");
    QString error;
    QVERIFY(DataLinkFile::write(path, p, &error));
    const QByteArray bytes = ReadBytes(path);
    QVERIFY(bytes.startsWith("\xFF\xFE[\0o\0l\0"));
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    const QByteArray expected = utf16(
        QStringLiteral("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                       "Provider=PostgreSQL;Data Source=db.example.net:5433;Initial Catalog=plant\r\n"));
    QCOMPARE(bytes.mid(2), expected);
    ConnectionProperties back;
    QVERIFY(DataLinkFile::read(path, back, &error));
    QCOMPARE(back.entries(), p.entries());
}

void TestSharedProjectFiles::readsWhatWindowsWrites_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QStringLiteral("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                                        "Provider=SQLite;Data Source=C:\\Projekte\\Kühlung.prj\r\n");
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    QTest::newRow("UTF-16LE with mark") << QByteArray("\xFF\xFE") + QByteArray(utf16(text));
    QTest::newRow("UTF-16LE without mark") << QByteArray(utf16(text));
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QTest::newRow("UTF-8, line feeds only") << QString(text).replace("\r\n", "\n").toUtf8();
}

void TestSharedProjectFiles::readsWhatWindowsWrites()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("a.udl");
    WriteBytes(path, bytes);
    ConnectionProperties p;
    QString error;
    QVERIFY2(DataLinkFile::read(path, p, &error), qPrintable(error));
    QCOMPARE(p.provider(), ConnectionProperties::Provider::SQLite);
    QCOMPARE(p.dataSource(), QStringLiteral("C:\\Projekte\\Kühlung.prj"));
}

void TestSharedProjectFiles::quotedValuesKeepSemicolonsAndQuotes()
{
    ConnectionProperties p;
    p.setValue("Provider", "PostgreSQL");
    p.setValue("Password", "a;b\"c'd ");
    p.setValue("User ID", " lead");
    ConnectionProperties back;
    QString error;
    QVERIFY(DataLinkFile::parseText(DataLinkFile::compose(p), back, &error));
    QCOMPARE(back.value("Password"), QString("a;b\"c'd "));
    QCOMPARE(back.value("User ID"), QString(" lead"));
    QVERIFY(ConnectionProperties::parse("Password='it''s;x' ; Provider = SQLite", back, &error));
    QCOMPARE(back.value("Password"), QString("it's;x"));
    QCOMPARE(back.providerName(), QString("SQLite"));
}

void TestSharedProjectFiles::namesAreMatchedWithoutCase()
{
    ConnectionProperties p;
    QString error;
    QVERIFY(ConnectionProperties::parse("PROVIDER=postgresql;data source=h;initial catalog=c;user id=u", p,
                                        &error));
    QCOMPARE(p.provider(), ConnectionProperties::Provider::PostgreSQL);
    QCOMPARE(p.value(ConnectionProperties::kInitialCatalog), QString("c"));
    p.setValue("Data Source", "k");
    QCOMPARE(p.entries().size(), 4);
    QCOMPARE(p.dataSource(), QString("k"));
}

void TestSharedProjectFiles::malformedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray() << "The file does not begin with the line \"[oledb]\".";
    QTest::newRow("other section") << QByteArray("[odbc]\r\nDSN=x\r\n")
                                   << "The file does not begin with the line \"[oledb]\".";
    QTest::newRow("no init string") << QByteArray("[oledb]\r\n; comment\r\n")
                                    << "The file holds no connection string.";
    QTest::newRow("open quote") << QByteArray("[oledb]\r\nProvider=SQLite;Password=\"abc\r\n")
                                << "The value of 'Password' has no closing quote.";
    QTest::newRow("word without value")
        << QByteArray("[oledb]\r\nProvider=SQLite;Trusted\r\n") << "'Trusted' has no value.";
    QTest::newRow("value without name")
        << QByteArray("[oledb]\r\n=SQLite\r\n") << "A value without a name at position 1.";
    QTest::newRow("binary") << QByteArray(200000, '\x01') << "The file is too large for a data link file.";
}

void TestSharedProjectFiles::malformedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.udl");
    WriteBytes(path, bytes);
    ConnectionProperties p;
    p.setValue("Provider", "untouched");
    QString why;
    QVERIFY(!DataLinkFile::read(path, p, &why));
    QCOMPARE(why, error);
    QCOMPARE(p.providerName(), QString("untouched"));
}

void TestSharedProjectFiles::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    QString error;
    QVERIFY(!DataLinkFile::write(dir.filePath("no-folder/x.udl"), ConnectionProperties(), &error));
    QVERIFY(!error.isEmpty());
    const QString path = dir.filePath("x.udl");
    WriteBytes(path, "[oledb]\r\nProvider=SQLite;Data Source=a.prj\r\n");
    ConnectionProperties p;
    p.setValue("Provider", "PostgreSQL");
    QVERIFY(DataLinkFile::write(path, p, &error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"x.udl"});
}

void TestSharedProjectFiles::dataSourceOfEachProvider()
{
    ConnectionProperties p;
    QString error;
    DataSource source;
    QVERIFY(ConnectionProperties::parse(
        "Provider=PostgreSQL;Data Source=/run/zw sock:5499;Initial Catalog=plant;User ID=eng;Password=pw", p,
        &error));
    QVERIFY(p.toDataSource(source));
    QCOMPARE(source.driver, DbDriver::PostgreSQL);
    QCOMPARE(source.host, QString("/run/zw sock"));
    QCOMPARE(source.port, 5499);
    QCOMPARE(source.database, QString("plant"));
    QCOMPARE(source.user, QString("eng"));
    QCOMPARE(source.password, QString("pw"));
    QVERIFY(ConnectionProperties::parse("Provider=PostgreSQL;Data Source=db.example.net;Initial Catalog=x", p,
                                        &error));
    QVERIFY(p.toDataSource(source));
    QCOMPARE(source.host, QString("db.example.net"));
    QCOMPARE(source.port, -1);
    const ConnectionProperties file = ConnectionProperties::forProjectFile("/p/a.prj", "Admin", "", 1);
    QVERIFY(file.toDataSource(source));
    QCOMPARE(source.driver, DbDriver::SQLite);
    QCOMPARE(source.database, QString("/p/a.prj"));
    QVERIFY(source.readOnly());
    QCOMPARE(source.mode, 1);
    QCOMPARE(source.provider, QString("Microsoft.Jet.OLEDB.4.0"));
    QCOMPARE(file.providerName(), QString("Microsoft.Jet.OLEDB.4.0"));
    QVERIFY(ConnectionProperties::parse("Provider=MSDASQL;Data Source=x", p, &error));
    QVERIFY(!p.toDataSource(source));

    // A port is digits from 1 to 65535 and nothing else; what is none is
    // named instead of being taken as part of the host or wrapped around.
    for (const char *port : {"abc", "0", "65536", "99999999999", "-1", "+5432", "54.32", "5e3", "nan", ""}) {
        QVERIFY(ConnectionProperties::parse(QStringLiteral("Provider=PostgreSQL;Data Source=srv:%1;Initial Catalog=x")
                                                .arg(QLatin1String(port)),
                                            p, &error));
        QString why;
        QVERIFY2(!p.toDataSource(source, &why), port);
        QCOMPARE(why, QStringLiteral("The port '%1' of the data source 'srv:%1' is not a number from 1 to 65535.")
                          .arg(QLatin1String(port)));
    }
    QVERIFY(ConnectionProperties::parse("Provider=PostgreSQL;Data Source=srv:65535;Initial Catalog=x", p, &error));
    QVERIFY(p.toDataSource(source));
    QCOMPARE(source.port, 65535);
    QVERIFY(ConnectionProperties::parse("Provider=PostgreSQL;Data Source=fe80::1;Initial Catalog=x", p, &error));
    QVERIFY(p.toDataSource(source));
    QCOMPARE(source.host, QString("fe80::1"));
    QCOMPARE(source.port, -1);
}

QTEST_GUILESS_MAIN(TestSharedProjectFiles)
#include "test_shared_project_files.moc"
