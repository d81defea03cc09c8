#include "db/db_strings.h"
#include "db/variant_value.h"
#include "db_test_support.h"

#include <QtTest>

// Conversions between variant types, and typed values of default texts.
class TestDbValues : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void typeNames();
    void conversions_data();
    void conversions();
    void impossibleConversionShowsMessageAndKeepsValue();
    void textToValue_data();
    void textToValue();
    void expressionsAreEvaluatedByTheDatabase();
};

void TestDbValues::typeNames()
{
    QCOMPARE(VarTypeName(VarTypeOf(QVariant())), QString("VT_EMPTY"));
    QCOMPARE(VarTypeName(VarTypeOf(DbNull())), QString("VT_NULL"));
    QCOMPARE(VarTypeName(VarTypeOf(QVariant(5))), QString("VT_I4"));
    QCOMPARE(VarTypeName(VarTypeOf(QVariant::fromValue(qint16(5)))), QString("VT_I2"));
    QCOMPARE(VarTypeName(VarTypeOf(QVariant(true))), QString("VT_BOOL"));
    QCOMPARE(VarTypeName(VarTypeOf(QVariant(QString("a")))), QString("VT_BSTR"));
    QCOMPARE(VarTypeName(VarTypeOf(QVariant(1.5))), QString("VT_R8"));
    QCOMPARE(VarTypeName(VarTypeOf(QVariant(QDateTime::currentDateTime()))), QString("VT_DATE"));
    QCOMPARE(VarTypeName(VT_STREAMED_OBJECT), QString("VT_STREAMED_OBJECT"));
    QCOMPARE(VarTypeName(VT_ILLEGAL), QString("VT_ILLEGAL"));
    QCOMPARE(VarTypeName(VT_ARRAY | VT_UI1), QString("Undefined type"));
    QCOMPARE(VarTypeName(15), QString("Undefined type"));
}

void TestDbValues::conversions_data()
{
    QTest::addColumn<QVariant>("from");
    QTest::addColumn<int>("target");
    QTest::addColumn<QVariant>("to");
    QTest::newRow("true to I4 is 1") << QVariant(true) << int(VT_I4) << QVariant(1);
    QTest::newRow("true to text is 1") << QVariant(true) << int(VT_BSTR) << QVariant(QString("1"));
    QTest::newRow("5 to bool") << QVariant(5) << int(VT_BOOL) << QVariant(true);
    QTest::newRow("0 to bool") << QVariant(0) << int(VT_BOOL) << QVariant(false);
    QTest::newRow("text to bool") << QVariant(QString("-3")) << int(VT_BOOL) << QVariant(true);
    QTest::newRow("text to real") << QVariant(QString("2.25")) << int(VT_R8) << QVariant(2.25);
    QTest::newRow("text to I4 rounds away") << QVariant(QString("2.5")) << int(VT_I4) << QVariant(3);
    QTest::newRow("negative rounds away") << QVariant(-2.5) << int(VT_I4) << QVariant(-3);
    QTest::newRow("I4 to text") << QVariant(-17) << int(VT_BSTR) << QVariant(QString("-17"));
    QTest::newRow("same type") << QVariant(4) << int(VT_I4) << QVariant(4);
    QTest::newRow("to variant") << QVariant(QString("x")) << int(VT_VARIANT) << QVariant(QString("x"));
    QTest::newRow("empty to I4") << QVariant() << int(VT_I4) << QVariant(0);
}

void TestDbValues::conversions()
{
    QFETCH(QVariant, from);
    QFETCH(int, target);
    QFETCH(QVariant, to);
    ScriptedMessages messages;
    QVariant value = from;
    QVERIFY(ConvertValue(value, VarType(target)));
    QCOMPARE(value, to);
    QCOMPARE(value.metaType(), to.metaType());
    QVERIFY(messages.shown().empty());
}

void TestDbValues::impossibleConversionShowsMessageAndKeepsValue()
{
    ScriptedMessages messages;
    QVariant value = QString("abc");
    QVERIFY(!ConvertValue(value, VT_I4));
    QCOMPARE(value, QVariant(QString("abc")));
    QCOMPARE(
        messages.texts(),
        QStringList("Can't convert VARIANT value ( abc ) from type 'VT_BSTR' to 'VT_I4':\nType mismatch."));
    QCOMPARE(messages.shown()[0].icon, MessageIcon::Error);
    messages.clear();
    value = 3e10;
    QVERIFY(!ConvertValue(value, VT_I4));
    QVERIFY(messages.texts().at(0).endsWith(") from type 'VT_R8' to 'VT_I4':\nOverflow."));
    messages.clear();
    value = DbNull();
    QVERIFY(!ConvertValue(value, VT_BSTR));
    QVERIFY(messages.texts().at(0).endsWith("from type 'VT_NULL' to 'VT_BSTR':\nInvalid use of Null."));
}

void TestDbValues::textToValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("empty") << "" << QVariant();
    QTest::newRow("quoted") << "\"abc\"" << QVariant(QString("abc"));
    QTest::newRow("yes") << "yes" << QVariant(true);
    QTest::newRow("TRUE") << "TRUE" << QVariant(true);
    QTest::newRow("No") << "No" << QVariant(false);
    QTest::newRow("false") << "false" << QVariant(false);
    QTest::newRow("number stays text") << "12.5" << QVariant(QString("12.5"));
    QTest::newRow("expression without session") << "1+1" << QVariant();
}

void TestDbValues::textToValue()
{
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    const QVariant result = TextToValue(text, nullptr);
    QCOMPARE(result, value);
    QCOMPARE(result.metaType(), value.metaType());
}

void TestDbValues::expressionsAreEvaluatedByTheDatabase()
{
    ProjectCopy project;
    QCOMPARE(EvaluateExpression(project.session(), "6*7").toInt(), 42);
    QCOMPARE(TextToValue("'Pt100'", &project.session()), QVariant(QString("Pt100")));
    QCOMPARE(EvaluateExpression(project.session(), "no_such_function(1)"), QVariant());
    // A project without the DUAL view still evaluates.
    ProjectCopy other;
    other.exec("DROP VIEW DUAL");
    QCOMPARE(EvaluateExpression(other.session(), "2+3").toInt(), 5);
}

QTEST_GUILESS_MAIN(TestDbValues)
#include "test_db_values.moc"
