#include "support/test_support.h"
#include "tree/item_progress.h"
#include "tree/multiply_dialog_logic.h"
#include "tree/widgets/multiply_dialog.h"
#include "tree/widgets/progress_animation.h"
#include "tree/widgets/progress_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

// The multiply dialog and the progress window as the user sees and works them.
class TestMultiplyWidgets : public QObject {
    Q_OBJECT
private:
    // With ZW_PROGRESS_SHOTS=/some/folder the windows are saved as pictures.
    static void saveShot(QWidget &widget, const QString &name)
    {
        const QString folder = qEnvironmentVariable("ZW_PROGRESS_SHOTS");
        if (!folder.isEmpty())
            widget.grab().save(QDir(folder).filePath(name + ".png"));
    }

    static ProgressWindow *shownWindow()
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *window = qobject_cast<ProgressWindow *>(widget); window && window->isVisible())
                return window;
        return nullptr;
    }

private slots:
    void init()
    {
        TestSupport::loadEnglish();
        ProgressWindow::install(nullptr);
    }
    void cleanup() { ProgressService::setFactory({}); }

    void theWindowShowsLateAndCancelEndsTheOperation()
    {
        std::unique_ptr<ItemProgress> progress = ProgressService::Begin(ProgressKind::Deleting, 5);
        QVERIFY(progress->Step(1, "\\\\Project\\A", {}));
        QVERIFY(!shownWindow());
        QTest::qWait(ProgressPresenter::kShowAfterMs + 50);
        QVERIFY(progress->Step(1, "\\\\Project\\B", {}));
        ProgressWindow *window = shownWindow();
        QVERIFY(window);
        QCOMPARE(window->objectName(), QStringLiteral("24604"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Deleting..."));
        QCOMPARE(window->findChild<QLabel *>("1155")->text(), QStringLiteral("Deleting '\\\\Project\\B'"));
        QCOMPARE(window->findChild<QProgressBar *>("1156")->value(), 2);
        QCOMPARE(window->findChild<QProgressBar *>("1156")->maximum(), 5);
        QVERIFY(window->Animation()->Playing());
        QCOMPARE(window->Animation()->AnimationId(), 24631);
        window->Animation()->SetPhase(0.4);
        saveShot(*window, "progress_delete");
        QPushButton *cancel = window->findChild<QPushButton *>("IDCANCEL");
        QCOMPARE(cancel->accessibleName(), QStringLiteral("Cancel"));
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(!progress->Step(1, "\\\\Project\\C", {}));
        QVERIFY(progress->Cancelled());
        progress.reset();
        QVERIFY(!shownWindow());
    }

    void aShownWindowStaysASecond()
    {
        std::unique_ptr<ItemProgress> progress = ProgressService::Begin(ProgressKind::Multiplying, 2);
        QTest::qWait(ProgressPresenter::kShowAfterMs + 10);
        QVERIFY(progress->Step(1, "\\\\Project\\A", "\\\\Project\\A001"));
        QElapsedTimer shown;
        shown.start();
        QVERIFY(shownWindow());
        QCOMPARE(shownWindow()->findChild<QLabel *>("1155")->text(),
                 QStringLiteral("Inserting '\\\\Project\\A001'"));
        progress.reset();
        QVERIFY(shown.elapsed() >= ProgressPresenter::kShownAtLeastMs - 20);
        QVERIFY(!shownWindow());
    }

    void everyAnimationMoves_data()
    {
        QTest::addColumn<int>("animation");
        QTest::newRow("document moving on") << 24630;
        QTest::newRow("document into the bin") << 24631;
        QTest::newRow("document between folders") << 24632;
    }
    void everyAnimationMoves()
    {
        QFETCH(int, animation);
        ProgressAnimation widget;
        widget.resize(widget.sizeHint());
        widget.Play(animation);
        QVERIFY(widget.Playing());
        widget.SetPhase(0.1);
        const QImage early = widget.grab().toImage();
        widget.SetPhase(0.5);
        const QImage middle = widget.grab().toImage();
        saveShot(widget, QString::number(animation));
        widget.SetPhase(0.1);
        QCOMPARE(widget.grab().toImage(), early);
        QVERIFY(early != middle);
        // Something is drawn at all: not every pixel is the background.
        const QRgb background = early.pixel(0, 0);
        bool drawn = false;
        for (int y = 0; y < early.height() && !drawn; ++y)
            for (int x = 0; x < early.width() && !drawn; ++x)
                drawn = early.pixel(x, y) != background;
        QVERIFY(drawn);
        widget.Stop();
        QVERIFY(!widget.Playing());
    }

    void theDialogKeepsOpenOnARefusalAndTakesGoodNumbers()
    {
        MultiplyDialogLogic logic;
        logic.Open("Cab", "\\\\Project\\Plant1\\Cab", false);
        CMultiplyDlg dialog(logic);
        dialog.show();
        QCOMPARE(dialog.objectName(), QStringLiteral("24596"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Multiply Item"));
        saveShot(dialog, "multiply_dialog");
        auto *base = dialog.findChild<QLineEdit *>("1021");
        auto *items = dialog.findChild<QLineEdit *>("1024");
        auto *places = dialog.findChild<QLineEdit *>("1023");
        auto *first = dialog.findChild<QLineEdit *>("1022");
        QVERIFY(base && items && places && first);
        QCOMPARE(base->text(), QStringLiteral("Cab"));
        QCOMPARE(base->maxLength(), 50);
        QCOMPARE(items->accessibleName(), QStringLiteral("Number of items:"));
        QCOMPARE(dialog.findChild<QCheckBox *>("1027")->accessibleName(),
                 QStringLiteral("Including subtree"));
        QVERIFY(dialog.findChild<QCheckBox *>("1027")->isVisible());
        // Every control a user reaches has its id and a name to be read out.
        for (const char *id :
             {"1020", "1021", "1022", "1023", "1024", "1027", "1105", "1106", "IDOK", "IDCANCEL"}) {
            auto *control = dialog.findChild<QWidget *>(id);
            QVERIFY2(control && !control->accessibleName().isEmpty(), id);
        }
        ScriptedMessages messages;
        items->setText("0");
        QTest::mouseClick(dialog.findChild<QPushButton *>("IDOK"), Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{"Please enter an integer between 1 and 100000."});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        // The spin buttons step the field beside them.
        auto *spin = dialog.findChild<QSpinBox *>("1106");
        spin->setValue(2);
        QCOMPARE(places->text(), QStringLiteral("2"));
        items->setText("40");
        first->setText("1");
        dialog.findChild<QCheckBox *>("1027")->setChecked(false);
        QTest::mouseClick(dialog.findChild<QPushButton *>("IDOK"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(logic.NumberOfItems(), 40);
        QCOMPARE(logic.CopyName(39), QStringLiteral("Cab40"));
        QVERIFY(!logic.CopiesSubtree());
    }

    void aLeafHasNoSubtreeBox()
    {
        MultiplyDialogLogic logic;
        logic.Open("M", "\\\\Project\\M", true);
        CMultiplyDlg dialog(logic);
        dialog.show();
        QVERIFY(!dialog.findChild<QCheckBox *>("1027")->isVisible());
        QVERIFY(!logic.CopiesSubtree());
    }
};

QTEST_MAIN(TestMultiplyWidgets)
#include "test_multiply_widgets.moc"
