#include "pages/numeric_input.h"
#include "pages/widgets/num_spin_edit.h"

#include <QtTest>

// The typing rules and the number format of the numeric edit fields.
class TestParamsNumericInput : public QObject {
    Q_OBJECT
private slots:
    void formatsValues_data();
    void formatsValues();
    void readsValues_data();
    void readsValues();
    void onlyANumberPassesTheApplyCheck_data();
    void onlyANumberPassesTheApplyCheck();
    void typingFollowsTheRules_data();
    void typingFollowsTheRules();
    void erasingToNothingShowsZero();
    void caretStaysBeforeThePercentSign();
    void refusedCharacterNotifiesTheParent();
    void editorKeysGoThroughTheRules();
};

void TestParamsNumericInput::formatsValues_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole hundred") << 0 << 2 << 100.0 << "100";
    QTest::newRow("one decimal") << 0 << 2 << 10.5 << "10.5";
    QTest::newRow("half") << 0 << 2 << 0.5 << "0.5";
    QTest::newRow("half in percent") << int(NumericInput::Percent) << 2 << 0.5 << "0.5%";
    QTest::newRow("rounded to the decimals") << 0 << 3 << 5.7504 << "5.75";
    QTest::newRow("no decimals truncates") << 0 << 0 << 19.9 << "19";
    QTest::newRow("negative") << 0 << 2 << -40.0 << "-40";
    QTest::newRow("tiny negative is zero") << 0 << 2 << -0.001 << "0";
    QTest::newRow("hexadecimal") << int(NumericInput::Hexadecimal) << 2 << 255.0 << "FF";
    QTest::newRow("hexadecimal zero") << int(NumericInput::Hexadecimal) << 2 << 0.0 << "0";
}

void TestParamsNumericInput::formatsValues()
{
    QFETCH(int, options);
    QFETCH(int, decimals);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(NumericInput(options, decimals).Format(value), text);
}

void TestParamsNumericInput::readsValues_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << 0 << "" << 0.0;
    QTest::newRow("percent sign ignored") << int(NumericInput::Percent) << "12.5%" << 12.5;
    QTest::newRow("trailing rubbish") << 0 << "3.25abc" << 3.25;
    QTest::newRow("negative") << 0 << "-7.5" << -7.5;
    QTest::newRow("only a point") << 0 << "." << 0.0;
    QTest::newRow("hexadecimal") << int(NumericInput::Hexadecimal) << "1aF" << 431.0;
}

void TestParamsNumericInput::readsValues()
{
    QFETCH(int, options);
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(NumericInput(options, 2).Parse(text), value);
}

void TestParamsNumericInput::onlyANumberPassesTheApplyCheck_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    const int decimal = NumericInput::DecimalPoint;
    QTest::newRow("decimal") << decimal << "-12.5" << true;
    QTest::newRow("plus sign") << decimal << "+3" << true;
    QTest::newRow("leading point") << decimal << ".5" << true;
    QTest::newRow("empty shows 0") << decimal << "  " << true;
    QTest::newRow("percent") << (decimal | int(NumericInput::Percent)) << "50%" << true;
    QTest::newRow("only a point") << decimal << "." << false;
    QTest::newRow("only a sign") << decimal << "-" << false;
    QTest::newRow("sign inside") << decimal << "1-2" << false;
    QTest::newRow("two points") << decimal << "1.2.3" << false;
    QTest::newRow("exponent") << decimal << "1e3" << false;
    QTest::newRow("nan") << decimal << "nan" << false;
    QTest::newRow("decimal comma") << decimal << "1,5" << false;
    QTest::newRow("other digits") << decimal << QString::fromUtf8("\u0661\u0662") << false;
    QTest::newRow("trailing rubbish") << decimal << "12abc" << false;
    QTest::newRow("hexadecimal") << int(NumericInput::Hexadecimal) << "1aF" << true;
    QTest::newRow("hexadecimal rubbish") << int(NumericInput::Hexadecimal) << "1G" << false;
}

void TestParamsNumericInput::onlyANumberPassesTheApplyCheck()
{
    QFETCH(int, options);
    QFETCH(QString, text);
    QFETCH(bool, number);
    const NumericInput rules(options, 2);
    QCOMPARE(rules.IsNumber(text), number);
    QCOMPARE(rules.RefusalAtApply(text, QStringLiteral("&Wire resistance:")).isEmpty(), number);
}

void TestParamsNumericInput::typingFollowsTheRules_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("refusals");
    const int point = NumericInput::DecimalPoint;
    QTest::newRow("digits") << point << "" << 0 << "123" << "123" << 0;
    QTest::newRow("minus goes in front") << point << "12" << 2 << "-" << "-12" << 0;
    QTest::newRow("plus removes the minus") << point << "12" << 2 << "-+" << "12" << 0;
    QTest::newRow("second minus changes nothing") << point << "-12" << 3 << "-" << "-12" << 0;
    QTest::newRow("second point moves the first") << point << "" << 0 << "1.2." << "12." << 0;
    QTest::newRow("point needs the option") << 0 << "12" << 2 << "." << "12" << 1;
    QTest::newRow("point not before too many digits") << point << "12345" << 1 << "." << "12345" << 0;
    QTest::newRow("point before as many digits as decimals") << point << "12345" << 3 << "." << "123.45" << 0;
    QTest::newRow("digits after the point stop at the decimals") << point << "1." << 2 << "2345" << "1.23" << 0;
    QTest::newRow("digits before the point are free") << point << "1.23" << 0 << "9" << "91.23" << 0;
    QTest::newRow("letters refused") << point << "1" << 1 << "a," << "1" << 2;
    QTest::newRow("no minus mode") << int(NumericInput::NoMinus) << "5" << 1 << "-" << "5" << 1;
    QTest::newRow("hexadecimal letters") << int(NumericInput::Hexadecimal) << "" << 0 << "aF9g" << "aF9" << 1;
    QTest::newRow("hexadecimal has no minus") << int(NumericInput::Hexadecimal) << "A" << 1 << "-" << "A" << 1;
    QTest::newRow("percent keeps its sign") << (point | int(NumericInput::Percent)) << "5%" << 1 << "0.5"
                                            << "50.5%" << 0;
}

void TestParamsNumericInput::typingFollowsTheRules()
{
    QFETCH(int, options);
    QFETCH(QString, start);
    QFETCH(int, caret);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, refusals);
    const NumericInput rules(options, 2);
    NumericInput::State state{start, caret, caret};
    int refused = 0;
    for (QChar c : typed) {
        const NumericInput::Result result = rules.Type(state, c);
        refused += result.outcome == NumericInput::Typed::Refused ? 1 : 0;
        state = result.state;
    }
    QCOMPARE(state.text, text);
    QCOMPARE(refused, refusals);
}

void TestParamsNumericInput::erasingToNothingShowsZero()
{
    const NumericInput rules(NumericInput::DecimalPoint, 2);
    for (const QString &left : {QString(), QStringLiteral(" "), QStringLiteral("0")})
        QCOMPARE(rules.AfterErase({left, 0, 0}).text, QStringLiteral("0"));
    QCOMPARE(rules.AfterErase({QStringLiteral("1"), 1, 1}).text, QStringLiteral("1"));
    const NumericInput percent(NumericInput::Percent, 2);
    QCOMPARE(percent.AfterErase({QStringLiteral("%"), 0, 0}).text, QStringLiteral("0%"));
}

void TestParamsNumericInput::caretStaysBeforeThePercentSign()
{
    const NumericInput rules(NumericInput::Percent, 2);
    const NumericInput::State clamped = rules.Clamped({QStringLiteral("12%"), 0, 3});
    QCOMPARE(clamped.selectionStart, 0);
    QCOMPARE(clamped.selectionEnd, 2);

    CNumSpinEdit edit;
    edit.Init(NumericInput::Percent | NumericInput::DecimalPoint, 12);
    QCOMPARE(edit.text(), QStringLiteral("12%"));
    edit.setCursorPosition(0);
    QTest::keyClick(&edit, Qt::Key_End);
    QCOMPARE(edit.cursorPosition(), 2);
    QTest::keyClick(&edit, Qt::Key_Right);
    QCOMPARE(edit.cursorPosition(), 2);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.text(), QStringLiteral("12%"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QStringLiteral("0%"));
    QCOMPARE(edit.GetValue(), 0.0);
}

void TestParamsNumericInput::refusedCharacterNotifiesTheParent()
{
    CNumSpinEdit edit;
    edit.Init(NumericInput::DecimalPoint, 1);
    QList<int> codes;
    connect(&edit, &CNumSpinEdit::notification, this, [&](int code, bool *handled) {
        codes << code;
        *handled = true;
    });
    edit.setCursorPosition(1);
    QTest::keyClicks(&edit, "x");
    QCOMPARE(codes, QList<int>{CNumSpinEdit::kRefusedCharacter});
    QCOMPARE(edit.text(), QStringLiteral("1"));
}

void TestParamsNumericInput::editorKeysGoThroughTheRules()
{
    CNumSpinEdit edit;
    edit.Init(NumericInput::DecimalPoint, 0);
    edit.SetMaxCharacters(8);
    edit.selectAll();
    QTest::keyClicks(&edit, "12.345");
    QCOMPARE(edit.text(), QStringLiteral("12.34"));
    QTest::keyClicks(&edit, "-");
    QCOMPARE(edit.text(), QStringLiteral("-12.34"));
    QCOMPARE(edit.GetValue(), -12.34);
    edit.SetValue(0.5);
    QCOMPARE(edit.text(), QStringLiteral("0.5"));
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, "999999");
    QCOMPARE(edit.text().size(), 8);
}

QTEST_MAIN(TestParamsNumericInput)
#include "test_params_numeric_input.moc"
