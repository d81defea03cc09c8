#include "base/command_ids.h"
#include "pages_test_support.h"
#include "support/captured_log.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>

#include <QtTest>

// A number field of the pages takes pasted and dropped text only when it
// would take it typed, and Apply refuses a text that is no number, naming
// the field, instead of storing 0.
class TestNumericPaste : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void insertedTextFollowsTheTypingRules_data();
    void insertedTextFollowsTheTypingRules();
    void applyRefusesATextThatIsNoNumber_data();
    void applyRefusesATextThatIsNoNumber();

private:
    // The "To" field of the measuring range of a two-channel 7230 module.
    struct RangeField {
        PagesProject project;
        CChanelTabView *view = nullptr;
        CNumSpinEdit *edit = nullptr;
        RangeField()
        {
            const int type = project.typeWhere(Family7230, "Channels <> 0");
            QVERIFY(type > 0);
            view = &project.showModule(type, "TT");
            view->show();
            QVERIFY(QTest::qWaitForWindowExposed(view));
            view->SetActivePage(view->Page(PageKind::SignalProcessing));
            edit = project.control<CNumSpinEdit>(PageKind::SignalProcessing, "1336");
            QVERIFY(edit && edit->isEnabled());
            edit->setFocus();
            QTRY_VERIFY(edit->hasFocus());
        }
        double storedRangeEnd()
        {
            return project.scalar(QString("SELECT RangeEnd FROM Signals WHERE Name = 'TT_CH1'")).toDouble();
        }
    };
};

void TestNumericPaste::insertedTextFollowsTheTypingRules_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown"); // empty: refused, the field unchanged
    const QStringList ways = {"Ctrl+V", "Shift+Insert", "Edit Paste", "drop"};
    for (const QString &way : ways) {
        QTest::newRow(qPrintable(way + " letters around a digit")) << way << "abc9x" << "";
        QTest::newRow(qPrintable(way + " a number with letters after")) << way << "12abc" << "";
        QTest::newRow(qPrintable(way + " two points")) << way << "1.2.3" << "";
        QTest::newRow(qPrintable(way + " wider than the field")) << way << "123456789" << "";
        QTest::newRow(qPrintable(way + " more decimals than shown")) << way << "1.234" << "";
        QTest::newRow(qPrintable(way + " a number with blanks")) << way << " 150.5 " << "150.5";
        QTest::newRow(qPrintable(way + " a negative number")) << way << "-20" << "-20";
    }
}

void TestNumericPaste::insertedTextFollowsTheTypingRules()
{
    QFETCH(QString, way);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    RangeField field;
    CNumSpinEdit *edit = field.edit;
    // A drop goes in at the point it is dropped: into an empty field here.
    if (way == "drop")
        edit->clear();
    const QString before = edit->text();
    edit->selectAll();
    int refusals = 0;
    QObject::connect(edit, &CNumSpinEdit::notification, [&](int code, bool *handled) {
        refusals += code == CNumSpinEdit::kRefusedCharacter ? 1 : 0;
        *handled = true;
    });
    QGuiApplication::clipboard()->setText(text);
    if (way == "Ctrl+V") {
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    } else if (way == "Shift+Insert") {
        QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (way == "Edit Paste") {
        QCOMPARE(field.view->PaneCommandEnabled(CommandId::EditPaste), std::optional<bool>(true));
        QVERIFY(field.view->RunPaneCommand(CommandId::EditPaste));
    } else {
        QMimeData data;
        data.setText(text);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        edit->selectAll();
        // Straight to the field: the application would route a drop to the
        // target of a running drag, and there is none here.
        static_cast<QObject *>(edit)->event(&drop);
    }
    if (shown.isEmpty()) {
        QCOMPARE(edit->text(), before);
        QVERIFY(!field.project.document.IsModified());
        if (way != "drop" && text != "123456789" && text != "1.234")
            QCOMPARE(refusals, 1);
    } else {
        QCOMPARE(edit->text(), shown);
        QVERIFY(field.project.document.IsModified());
    }
}

void TestNumericPaste::applyRefusesATextThatIsNoNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("letters around a digit") << "abc9x";
    QTest::newRow("a number with letters after") << "12abc";
    QTest::newRow("a lone minus") << "-";
}

void TestNumericPaste::applyRefusesATextThatIsNoNumber()
{
    QFETCH(QString, text);
    ScriptedMessages messages;
    CapturedLog log;
    RangeField field;
    const double stored = field.storedRangeEnd();
    // Text that came past the filters (an input method, a program).
    field.edit->setText(text);
    emit field.edit->textEdited(text);
    QVERIFY(field.project.document.IsModified());
    field.view->Apply();
    const QString refusal = QStringLiteral("The value '%1' of 'to' is not a valid number.").arg(text);
    QCOMPARE(messages.texts(), QStringList{refusal});
    QCOMPARE(messages.shown().front().icon, MessageIcon::Error);
    QVERIFY(log.lines.contains(refusal));
    QVERIFY(!log.lines.filter("parameters can't apply!").isEmpty());
    QVERIFY(log.lines.filter("parameters applied.").isEmpty());
    QCOMPARE(field.storedRangeEnd(), stored);
    QVERIFY(field.project.document.IsModified());
    QCOMPARE(field.edit->text(), text);
}

QTEST_MAIN(TestNumericPaste)
#include "test_numeric_paste.moc"
