#include "db/text_rules.h"
#include "params_test_support.h"

#include <QtTest>

// What the text fields of a module may hold when they are applied, and the
// text rules every name and stored text goes through.
class TestParamsTexts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void charactersAreCountedAsUsersCountThem();
    void controlCharactersAreEscapedForPrinting();
    void applyRefusesBadTexts_data();
    void applyRefusesBadTexts();
    void applyTakesTextsAtTheirLimits();
    void signalViewChecksBothChannels();
};

namespace {
const QString kEmoji = QString::fromUtf8("\xF0\x9F\x94\xA5"); // one character, two UTF-16 units
} // namespace

void TestParamsTexts::charactersAreCountedAsUsersCountThem()
{
    QCOMPARE(TextRules::CharacterCount(QString(49, 'a') + kEmoji), 50);
    QCOMPARE(TextRules::CharacterCount(QString()), 0);
    QCOMPARE(TextRules::CharacterCount(QString::fromUtf8("Messbereich Ü")), 13);
    QVERIFY(!TextRules::IsValidName("A\\B"));
    QVERIFY(!TextRules::IsValidName(QString("TT") + QChar(0x9B))); // C1
    QVERIFY(!TextRules::IsValidName(QString("TT") + QChar(0x7F)));
    QVERIFY(TextRules::IsValidName(QString::fromUtf8("ТТ-101 Ü") + kEmoji));
    QVERIFY(TextRules::HasControlCharacter("a\nb"));
    QVERIFY(!TextRules::HasControlCharacter("a\r\nb\tc", true));
    QVERIFY(TextRules::HasControlCharacter("a\x1b b", true));
}

void TestParamsTexts::controlCharactersAreEscapedForPrinting()
{
    QCOMPARE(TextRules::EscapeControls("Plant\x1b[2J\n1\t\x07"), QString("Plant\\x1b[2J\\n1\\t\\x07"));
    QCOMPARE(TextRules::EscapeControls("\\\\Project\\Plant1"), QString("\\\\Project\\Plant1"));
    QCOMPARE(TextRules::EscapeControls(QString("a") + QChar(0x85)), QString("a\\x85"));
}

void TestParamsTexts::applyRefusesBadTexts_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("tag with a backslash") << "tag" << "A\\B" << "Channel 1: the field 'Signal-Tag' ('A\\B') contains invalid character(s)!";
    QTest::newRow("tag with an escape") << "tag" << "TT\x1b[2J" << "Channel 1: the field 'Signal-Tag' ('TT\\x1b[2J') contains invalid character(s)!";
    QTest::newRow("empty tag") << "tag" << "" << "Channel 1: the field 'Signal-Tag' must not be empty!";
    QTest::newRow("blank tag") << "tag" << "   " << "Channel 1: the field 'Signal-Tag' must not be empty!";
    QTest::newRow("tag of 33") << "tag" << QString(33, 'T') << "Channel 1: the field 'Signal-Tag' is longer than 32 characters!";
    QTest::newRow("description of 33") << "description" << QString(33, 'd') << "Channel 1: the field 'Description' is longer than 32 characters!";
    QTest::newRow("description with a line break") << "description" << "two\nlines" << "Channel 1: the field 'Description' ('two\\nlines') contains invalid character(s)!";
    QTest::newRow("comment of 51") << "comment" << QString(51, 'c') << "Module: the field 'Comment' is longer than 50 characters!";
    QTest::newRow("comment with a bell") << "comment" << "ring\a" << "Module: the field 'Comment' ('ring\\x07') contains invalid character(s)!";
    QTest::newRow("memo of 121") << "memo" << QString(121, 'm') << "Module: the field 'Memo' is longer than 120 characters!";
    QTest::newRow("memo with an escape") << "memo" << "a\x1b" "b" << "Module: the field 'Memo' ('a\\x1bb') contains invalid character(s)!";
    QTest::newRow("date with a line break") << "date" << "09.12.\n2026" << "Module: the field 'Date' ('09.12.\\n2026') contains invalid character(s)!";
}

namespace {
void setField(LoadedModule &module, const QString &field, const QString &text)
{
    if (field == "tag")
        module.ch(1).name = text;
    else if (field == "description")
        module.ch(1).description = text;
    else if (field == "comment")
        module.parameters().module.description = text;
    else if (field == "memo")
        module.parameters().module.memo = text;
    else
        module.parameters().module.lastProgramming = text;
}
} // namespace

void TestParamsTexts::applyRefusesBadTexts()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    ParamsProject project;
    ScriptedMessages messages;
    CapturedLog log;
    LoadedModule module(project, 7, "TX");
    const QString before = project.dump();
    setField(module, field, text);
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Refused);
    QCOMPARE(messages.texts(), QStringList{refusal});
    QCOMPARE(log.lines.first(), refusal);
    QVERIFY(project.dump() == before);
}

void TestParamsTexts::applyTakesTextsAtTheirLimits()
{
    ParamsProject project;
    ScriptedMessages messages;
    LoadedModule module(project, 7, "LIM");
    const QString tag = QString(31, 'T') + kEmoji; // 32 characters, 33 UTF-16 units
    module.ch(1).name = tag;
    module.ch(2).description = QString(31, 'd') + kEmoji;
    module.parameters().module.description = QString(49, 'c') + kEmoji;
    module.parameters().module.memo = QString(60, 'm') + "\r\n" + QString(57, 'm') + "\t";
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Applied);
    QCOMPARE(messages.texts(), QStringList());
    const ModuleParameters stored = ParametersFromRows(project.rowsOf(7, module.moduleId)->ReadRows(), 0);
    QCOMPARE(stored.channel(1)->name, tag);
    QCOMPARE(stored.module.memo, module.parameters().module.memo);
}

void TestParamsTexts::signalViewChecksBothChannels()
{
    ParamsProject project;
    ScriptedMessages messages;
    LoadedModule module(project, 6, "SV", 2);
    const QString before = project.dump();
    // A download writes both channels, so channel 1 must hold, too.
    module.ch(1).workingModeId = 9;
    module.ch(2).description = "shown";
    module.editor.SetModified(true);
    QCOMPARE(module.editor.Apply(), ModuleParameterEditor::ApplyResult::Refused);
    QCOMPARE(messages.shown().size(), size_t(1));
    QVERIFY(messages.texts().first().contains("Channel 1"));
    QVERIFY(project.dump() == before);
}

QTEST_GUILESS_MAIN(TestParamsTexts)
#include "test_params_texts.moc"
