#include "shell/widgets/message_box_presenter.h"
#include "base/language.h"
#include "support/test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QtTest>

class TestMessageBoxPresenter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void questionShowsQuestionIconAndYesNo();
    void errorShowsStopIconAndOk();
    void questionThatThrowsWorkAwayDefaultsToNo();
    void buttonsSpeakTheChosenLanguage_data();
    void buttonsSpeakTheChosenLanguage();
};

// Answers the next message box that opens with the given button and reports
// what it showed.
static void answerNextBox(QMessageBox::StandardButton button, QMessageBox::Icon *icon,
                          QMessageBox::StandardButtons *buttons)
{
    QTimer::singleShot(0, [=] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                *icon = box->icon();
                *buttons = box->standardButtons();
                box->button(button)->click();
                return;
            }
        }
    });
}

void TestMessageBoxPresenter::questionShowsQuestionIconAndYesNo()
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    answerNextBox(QMessageBox::Yes, &icon, &buttons);
    const MessageAnswer answer =
        MessageBoxPresenter::present(nullptr, {"Delete?", MessageIcon::Question, MessageButtons::YesNo});
    QCOMPARE(answer, MessageAnswer::Yes);
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
}

void TestMessageBoxPresenter::errorShowsStopIconAndOk()
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    answerNextBox(QMessageBox::Ok, &icon, &buttons);
    MessageBoxPresenter::install();
    MessageService::error("Bad value");
    MessageService::setPresenter(nullptr);
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestMessageBoxPresenter::questionThatThrowsWorkAwayDefaultsToNo()
{
    for (const MessageAnswer defaultAnswer : {MessageAnswer::No, MessageAnswer::Ok}) {
        QMessageBox::StandardButton pressedByEnter = QMessageBox::NoButton;
        QTimer::singleShot(0, [&] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                    pressedByEnter = box->standardButton(box->defaultButton());
                    box->button(QMessageBox::No)->click();
                    return;
                }
            }
        });
        MessageBoxPresenter::present(
            nullptr, {"Reload and lose the changes?", MessageIcon::Warning, MessageButtons::YesNo, defaultAnswer});
        if (defaultAnswer == MessageAnswer::No)
            QCOMPARE(pressedByEnter, QMessageBox::No);
        else
            QVERIFY(pressedByEnter != QMessageBox::No);
    }
}

void TestMessageBoxPresenter::buttonsSpeakTheChosenLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("German") << 2 << QStringList{"&Ja", "&Nein", "Abbrechen"};
    QTest::newRow("Russian") << 4 << QStringList{"&Да", "&Нет", "Отмена"};
    QTest::newRow("English again") << 1 << QStringList{"&Yes", "&No", "Cancel"};
}

// The save question's buttons are Qt's own: they follow the language of
// the loaded pack, and back again.
void TestMessageBoxPresenter::buttonsSpeakTheChosenLanguage()
{
    QFETCH(int, language);
    QFETCH(QStringList, texts);
    QVERIFY(Language::load(language));
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                for (QMessageBox::StandardButton b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                    shown << box->button(b)->text();
                box->button(QMessageBox::Cancel)->click();
                return;
            }
        }
    });
    MessageBoxPresenter::present(nullptr, {"Save?", MessageIcon::Question, MessageButtons::YesNoCancel});
    QCOMPARE(shown, texts);
}

QTEST_MAIN(TestMessageBoxPresenter)
#include "test_message_box_presenter.moc"
