#include "base/command_ids.h"
#include "pages_test_support.h"
#include "support/captured_log.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QTabBar>

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
    void aPageIsNotLeftWithATextThatIsNoNumber_data();
    void aPageIsNotLeftWithATextThatIsNoNumber();
    void applyAndDownloadCheckTheFieldsOfHiddenPages_data();
    void applyAndDownloadCheckTheFieldsOfHiddenPages();
    void aChoiceBesideATextThatIsNoNumberIsUndone();

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
        double storedRangeEnd() { return stored("RangeEnd"); }
        double stored(const QString &column)
        {
            return project.scalar(QString("SELECT %1 FROM Signals WHERE Name = 'TT_CH1'").arg(column)).toDouble();
        }
        // Clicks the tab of the page as the user does.
        void clickPageTab(PageKind kind)
        {
            QTabBar *tabs = view->tabBar();
            const int index = view->GetPageIndex(view->Page(kind));
            QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(index).center());
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

void TestNumericPaste::aPageIsNotLeftWithATextThatIsNoNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    QTest::newRow("a lone point") << "." << "The value '.' of 'Wire resistance' is not a valid number.";
    QTest::newRow("a lone minus") << "-" << "The value '-' of 'Wire resistance' is not a valid number.";
}

// Wire resistance reads "." or "-", the user clicks the Output tab: the page
// stays, the field has the focus, the user is told, and nothing is stored.
void TestNumericPaste::aPageIsNotLeftWithATextThatIsNoNumber()
{
    QFETCH(QString, text);
    QFETCH(QString, named);
    ScriptedMessages messages;
    CapturedLog log;
    RangeField field;
    CChanelTabView &view = *field.view;
    field.clickPageTab(PageKind::Input);
    QCOMPARE(view.GetActivePage(), view.Page(PageKind::Input));
    CNumSpinEdit *wire = field.project.control<CNumSpinEdit>(PageKind::Input, "1332");
    QVERIFY(wire);
    const double stored = field.stored("WireResistance");
    PagesProject::type(wire, text);
    field.clickPageTab(PageKind::Output);
    QCOMPARE(messages.texts(), QStringList{named});
    QVERIFY(log.lines.contains(named));
    QCOMPARE(view.GetActivePage(), view.Page(PageKind::Input));
    QCOMPARE(view.tabBar()->currentIndex(), view.GetPageIndex(view.Page(PageKind::Input)));
    QCOMPARE(wire->text(), text);
    // Apply and Download stop at the same field.
    view.Apply();
    view.Download();
    QCOMPARE(messages.texts(), (QStringList{named, named, named}));
    QCOMPARE(field.project.downloads, 0);
    QCOMPARE(field.stored("WireResistance"), stored);
    QVERIFY(log.lines.filter("parameters applied.").isEmpty());
    // A number lets the page go.
    PagesProject::type(wire, "12.5");
    field.clickPageTab(PageKind::Output);
    QCOMPARE(view.GetActivePage(), view.Page(PageKind::Output));
    QCOMPARE(messages.texts().size(), 3);
}

void TestNumericPaste::applyAndDownloadCheckTheFieldsOfHiddenPages_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Apply") << "Apply";
    QTest::newRow("Download") << "Download";
}

// A field of a page not on screen holds a text that is no number (left
// there by a program or an input method): Apply and Download refuse it and
// bring its page and channel tab to the front.
void TestNumericPaste::applyAndDownloadCheckTheFieldsOfHiddenPages()
{
    QFETCH(QString, command);
    ScriptedMessages messages;
    CapturedLog log;
    RangeField field;
    CChanelTabView &view = *field.view;
    CNumSpinEdit *secondTo = field.project.control<CNumSpinEdit>(PageKind::SignalProcessing, "1336", 1);
    QVERIFY(secondTo);
    field.clickPageTab(PageKind::DeviceInfo);
    QCOMPARE(view.GetActivePage(), view.Page(PageKind::DeviceInfo));
    PagesProject::type(secondTo, ".");
    const double stored =
        field.project.scalar("SELECT RangeEnd FROM Signals WHERE Name = 'TT_CH2'").toDouble();
    if (command == "Apply")
        view.Apply();
    else
        view.Download();
    const QString refusal = QStringLiteral("The value '.' of 'to' is not a valid number.");
    QCOMPARE(messages.texts(), QStringList{refusal});
    QVERIFY(log.lines.contains(refusal));
    QCOMPARE(field.project.downloads, 0);
    QVERIFY(log.lines.filter("parameters applied.").isEmpty());
    QCOMPARE(field.project.scalar("SELECT RangeEnd FROM Signals WHERE Name = 'TT_CH2'").toDouble(), stored);
    QCOMPARE(view.GetActivePage(), view.Page(PageKind::SignalProcessing));
    QCOMPARE(view.Page(PageKind::SignalProcessing)->currentTab(), 1);
    QTRY_VERIFY(secondTo->hasFocus());
}

// A choice whose change takes the page over (the working mode) while a
// field of the page reads "-": the user is told, the choice goes back, what
// was typed stays, and nothing is taken over as 0.
void TestNumericPaste::aChoiceBesideATextThatIsNoNumberIsUndone()
{
    ScriptedMessages messages;
    RangeField field;
    CChanelTabView &view = *field.view;
    field.clickPageTab(PageKind::Input);
    CNumSpinEdit *wire = field.project.control<CNumSpinEdit>(PageKind::Input, "1332");
    auto *mode = field.project.control<QComboBox>(PageKind::Input, "1331");
    QVERIFY(wire && mode && mode->count() > 1);
    const int before = mode->currentIndex();
    const double stored = field.stored("WireResistance");
    PagesProject::type(wire, "-");
    PagesProject::choose(mode, before == 0 ? 1 : 0);
    QCOMPARE(messages.texts(), QStringList{"The value '-' of 'Wire resistance' is not a valid number."});
    QCOMPARE(mode->currentIndex(), before);
    QCOMPARE(wire->text(), QStringLiteral("-"));
    // Nothing of the page was taken over.
    QCOMPARE(double(view.model().editor()->parameters().channel(1)->wireResistance), stored);
    QCOMPARE(field.stored("WireResistance"), stored);
    // With a number the choice takes.
    PagesProject::type(wire, "3");
    PagesProject::choose(mode, before == 0 ? 1 : 0);
    QCOMPARE(messages.texts().size(), 1);
    QCOMPARE(mode->currentIndex(), before == 0 ? 1 : 0);
}

QTEST_MAIN(TestNumericPaste)
#include "test_numeric_paste.moc"
