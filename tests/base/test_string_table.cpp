#include "base/string_table.h"

#include <QtTest>

class TestStringTable : public QObject {
    Q_OBJECT
private slots:
    void parsesNumbersTextsAndEscapes();
    void refusesMalformedAndDuplicateLines();
    void missingTextShowsItsNumber();
    void formatsPrintfPlaceholders_data();
    void formatsPrintfPlaceholders();
};

void TestStringTable::parsesNumbersTextsAndEscapes()
{
    QHash<int, QString> t;
    QString error;
    QVERIFY(
        StringTable::parse("# comment\r\n2206\tOpen project '%s' failed.\r\n\n50011 Line one\\nLine two\n7\n"
                           "8\t  two leading blanks and a \\\\ backslash\n",
                           t, &error));
    QCOMPARE(t.size(), 4);
    QCOMPARE(t.value(2206), QStringLiteral("Open project '%s' failed."));
    QCOMPARE(t.value(50011), QStringLiteral("Line one\nLine two"));
    QCOMPARE(t.value(7), QString());
    QCOMPARE(t.value(8), QStringLiteral("  two leading blanks and a \\ backslash"));
}

void TestStringTable::refusesMalformedAndDuplicateLines()
{
    QHash<int, QString> t;
    QString error;
    QVERIFY(!StringTable::parse("12 a\nx13 b\n", t, &error));
    QVERIFY(error.contains("line 2"));
    t.clear();
    QVERIFY(!StringTable::parse("12 a\n12 b\n", t, &error));
    QVERIFY(error.contains("12"));
    t.clear();
    QVERIFY(!StringTable::parse("12a text\n", t, &error));
    // Numbers that would all read as text 0: too large, or in other digits.
    t.clear();
    QVERIFY(!StringTable::parse("1 a\n99999999999 b\n", t, &error));
    QVERIFY(error.contains("line 2"));
    t.clear();
    QVERIFY(!StringTable::parse("1 a\n\xD9\xA1\xD9\xA2 b\n", t, &error));
    QVERIFY(error.contains("line 2"));
}

void TestStringTable::missingTextShowsItsNumber()
{
    StringTable table;
    table.replace({{1, "one"}});
    QCOMPARE(table.text(1), QStringLiteral("one"));
    QCOMPARE(table.text(2), QStringLiteral("#2"));
}

void TestStringTable::formatsPrintfPlaceholders_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text") << "Open project '%s' failed." << QVariantList{"demo.prj"}
                          << "Open project 'demo.prj' failed.";
    QTest::newRow("integers") << "%d of %i, %u" << QVariantList{-3, 7, 9} << "-3 of 7, 9";
    QTest::newRow("zero padded") << "S%03d_CH1" << QVariantList{7} << "S007_CH1";
    QTest::newRow("long modifier") << "%ld/%lu" << QVariantList{12, 13} << "12/13";
    QTest::newRow("reals") << "%.2f %.3f %.15f" << QVariantList{10.5, 23.0, 0.1}
                           << "10.50 23.000 0.100000000000000";
    QTest::newRow("percent") << "100%% %s" << QVariantList{"done"} << "100% done";
    QTest::newRow("hex") << "0x%02X" << QVariantList{0x9a} << "0x9A";
    QTest::newRow("padded text counts characters")
        << "[%-6s][%6s]" << QVariantList{"Grüße", "ab"} << "[Grüße ][    ab]";
    QTest::newRow("missing argument") << "%s and %d" << QVariantList{"x"} << "x and 0";
    QTest::newRow("dangling percent") << "50 %" << QVariantList{} << "50 %";
    // A pack's width or precision past any text's stays written, rather
    // than filling gigabytes; the argument still goes to it.
    QTest::newRow("width past any text") << "[%999999999s|%s]" << QVariantList{"a", "b"} << "[%999999999s|b]";
    QTest::newRow("precision past any text") << "%.999999999f %d" << QVariantList{1.5, 2} << "%.999999999f 2";
    QTest::newRow("widest allowed") << "%256d|" << QVariantList{1} << QString(255, ' ') + "1|";
}

void TestStringTable::formatsPrintfPlaceholders()
{
    QFETCH(QString, format);
    QFETCH(QVariantList, args);
    QFETCH(QString, expected);
    QCOMPARE(FormatText(format, args), expected);
}

QTEST_GUILESS_MAIN(TestStringTable)
#include "test_string_table.moc"
