#include "base/string_table.h"
#include "support/test_support.h"
#include "tree/progress_presenter.h"
#include "tree/progress_text.h"

#include <QtTest>

// The progress window's rules: its texts, the shortening of long paths and
// its timing, driven by a clock the test moves.
class TestProgress : public QObject {
    Q_OBJECT
private:
    // What the window would show, on a clock that only the test (and the
    // presenter's waiting) moves on.
    struct FakeView : ProgressView {
        qint64 *clock = nullptr;
        QString caption;
        int animation = 0;
        bool animating = false;
        int range = -1;
        QString text;
        int position = -1;
        bool visible = false;
        int shows = 0;
        int pumps = 0;
        bool closed = false;
        bool waitCursor = false;
        void SetCaption(const QString &c) override { caption = c; }
        void StartAnimation(int id) override { animation = id, animating = true; }
        void StopAnimation() override { animating = false; }
        void SetRange(int length) override { range = length; }
        void SetText(const QString &t) override { text = t; }
        void SetPosition(int p) override { position = p; }
        void Show() override { visible = true, ++shows; }
        bool IsVisible() const override { return visible; }
        void Close() override { visible = false, closed = true; }
        void PumpMessages() override { ++pumps; }
        void PumpFor(int ms) override { ++pumps, *clock += ms; }
        void SetWaitCursor(bool on) override { waitCursor = on; }
    };
    struct Running {
        qint64 now = 1000;
        FakeView *view = nullptr;
        std::unique_ptr<ProgressPresenter> presenter;
        explicit Running(ProgressKind kind, int length)
        {
            auto made = std::make_unique<FakeView>();
            made->clock = &now;
            view = made.get();
            presenter =
                std::make_unique<ProgressPresenter>(kind, length, std::move(made), [this] { return now; });
        }
    };

private slots:
    void init() { TestSupport::loadEnglish(); }

    void eachKindHasItsCaptionAnimationAndStepText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("animation");
        QTest::addColumn<QString>("step");
        QTest::newRow("multiply") << 0 << "Multiplying..." << 24630 << "Inserting '\\\\P\\A1'";
        QTest::newRow("delete") << 1 << "Deleting..." << 24631 << "Deleting '\\\\P\\A'";
        QTest::newRow("copy") << 2 << "Copying..." << 24630 << "From: '\\\\P\\A'\nTo: '\\\\P\\A1'";
        QTest::newRow("move") << 3 << "Moving..." << 24632 << "From: '\\\\P\\A'\nTo: '\\\\P\\A1'";
    }
    void eachKindHasItsCaptionAnimationAndStepText()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(int, animation);
        QFETCH(QString, step);
        Running run(ProgressKind(kind), 4);
        QCOMPARE(run.view->caption, caption);
        QCOMPARE(run.view->animation, animation);
        QVERIFY(run.view->animating);
        QCOMPARE(run.view->range, 4);
        QCOMPARE(run.view->position, 0);
        const QString source = "\\\\P\\A";
        const QString destination = kind == 1 ? QString() : QStringLiteral("\\\\P\\A1");
        QVERIFY(run.presenter->Step(1, source, destination));
        QCOMPARE(run.view->text, step);
        QCOMPARE(run.view->position, 1);
    }

    void theRoomOfAnArgumentIsItsLineLessTheOtherCharacters()
    {
        QCOMPARE(ProgressText::ArgumentWidth("Inserting '%1'", 1), 48);
        // The line break that begins the second line counts.
        QCOMPARE(ProgressText::ArgumentWidth("From: '%1'\nTo: '%2'", 1), 52);
        QCOMPARE(ProgressText::ArgumentWidth("From: '%1'\nTo: '%2'", 2), 53);
        QCOMPARE(ProgressText::ArgumentWidth("Inserting '%1'", 2), 60);
    }

    void aLongPathKeepsItsFirstTwoAndLastNamesWhole()
    {
        const QString path =
            "\\\\Project\\Plant-North\\Cabinet-0017\\Carrier-0003\\7230/211-2 - [TT-101] [TT-102]";
        QCOMPARE(ProgressText::ShortenPath(path, 200), path);
        // Not even the last name fits after the first two: it stands alone.
        QCOMPARE(ProgressText::ShortenPath(path, 48), QStringLiteral("7230/211-2 - [TT-101] [TT-102]"));
        QCOMPARE(
            ProgressText::ShortenPath(path, 70),
            QStringLiteral("\\\\Project\\Plant-North\\...\\Carrier-0003\\7230/211-2 - [TT-101] [TT-102]"));
        QCOMPARE(ProgressText::ShortenPath(path, 60),
                 QStringLiteral("\\\\Project\\Plant-North\\...\\7230/211-2 - [TT-101] [TT-102]"));
        // Every width gives whole names only, and fits when it can.
        const QStringList names = path.mid(2).split('\\');
        for (int width = 1; width < path.size(); ++width) {
            const QString shown = ProgressText::ShortenPath(path, width);
            QVERIFY(shown.size() <= width || shown == names.last());
            for (const QString &part : shown.mid(shown.startsWith("\\\\") ? 2 : 0).split('\\'))
                QVERIFY2(part == "..." || names.contains(part), qPrintable(shown));
        }
    }

    void theStepTextShortensEachPathToItsLine()
    {
        const QString longPath =
            "\\\\Project\\Plant1\\" + QString(30, 'c') + "\\" + QString(10, 'z') + "\\Module";
        const QString text = ProgressText::StepText(ProgressKind::Copying, longPath, longPath);
        const QStringList lines = text.split('\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].size() <= ProgressText::kLineWidth);
        QVERIFY(lines[1].size() < ProgressText::kLineWidth);
        QVERIFY(lines[0].contains("\\\\Project\\Plant1\\...\\"));
    }

    void theWindowShowsAfterHalfASecondAndStaysASecond()
    {
        Running run(ProgressKind::Multiplying, 10);
        QVERIFY(run.view->waitCursor);
        run.now += 499;
        QVERIFY(run.presenter->Step(1, "a", "b"));
        QCOMPARE(run.view->shows, 0);
        QVERIFY(run.view->waitCursor);
        run.now += 1;
        QVERIFY(run.presenter->Step(1, "a", "b"));
        QCOMPARE(run.view->shows, 1);
        QVERIFY(!run.view->waitCursor);
        const int pumpsWhenShown = run.view->pumps;
        // Messages go through at most every 100 ms.
        run.now += 99;
        run.presenter->Step(1, "a", "b");
        QCOMPARE(run.view->pumps, pumpsWhenShown);
        run.now += 1;
        run.presenter->Step(1, "a", "b");
        QCOMPARE(run.view->pumps, pumpsWhenShown + 1);
        const qint64 shownAt = run.now - 100;
        run.presenter->End();
        QVERIFY(run.now - shownAt >= ProgressPresenter::kShownAtLeastMs);
        QVERIFY(run.now - shownAt < ProgressPresenter::kShownAtLeastMs + ProgressPresenter::kPumpEveryMs);
        QVERIFY(run.view->closed);
        QVERIFY(!run.view->animating);
    }

    void aQuickOperationNeverShowsTheWindow()
    {
        Running run(ProgressKind::Deleting, 3);
        for (int i = 0; i < 3; ++i) {
            run.now += 100;
            QVERIFY(run.presenter->Step(1, "a", {}));
        }
        const qint64 before = run.now;
        run.presenter.reset();
        QCOMPARE(run.now, before);
    }

    void cancelHidesTheWindowAndFailsTheNextStep()
    {
        Running run(ProgressKind::Deleting, 3);
        run.now += 600;
        QVERIFY(run.presenter->Step(1, "a", {}));
        run.view->visible = false; // the user pressed Cancel
        QVERIFY(!run.presenter->Cancelled());
        QVERIFY(!run.presenter->Step(1, "b", {}));
        QVERIFY(run.presenter->Cancelled());
        // A window the user closed is not held open for its second.
        const qint64 before = run.now;
        run.presenter->End();
        QCOMPARE(run.now, before);
    }
};

QTEST_GUILESS_MAIN(TestProgress)
#include "test_progress.moc"
