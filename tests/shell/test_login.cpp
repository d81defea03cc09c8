#include "shell/login.h"
#include "base/password.h"
#include "base/settings.h"
#include "shell/widgets/shell_dialogs.h"
#include "support/test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QtTest>

// The login at start and the "Password" command, through the dialogs.
class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void noStoredPasswordMeansNoLogin();
    void wrongPasswordIsRefused();
    void emptyConfirmationSetsTheEmptyPassword();
    void mismatchKeepsTheDialogOpen();
    void deactivateAsksAndRemovesThePassword();
    void escapeInTheLoginDialogCountsAsEmpty();

private:
    int m_asked = 0;
};

static QSettings store()
{
    return QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication);
}

// Works the dialog that opens next as the user would.
template <typename Dialog, typename Work> static void WhenOpen(Work work)
{
    QTimer::singleShot(0, [work] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        work(*dialog);
    });
}

static void Type(QDialog &dialog, const char *field, const QString &text)
{
    auto *edit = dialog.findChild<QLineEdit *>(field);
    QVERIFY(edit);
    edit->setText(text);
}

static void Press(QDialog &dialog, const char *button)
{
    auto *push = dialog.findChild<QPushButton *>(button);
    QVERIFY(push);
    push->click();
}

void TestLogin::initTestCase()
{
    TestSupport::loadEnglish();
}

void TestLogin::init()
{
    store().clear();
    m_asked = 0;
}

void TestLogin::noStoredPasswordMeansNoLogin()
{
    QVERIFY(LoginCheck::Run([this] { return ++m_asked, QString(); }));
    QCOMPARE(m_asked, 0);
    // The empty-password text itself is no password.
    store().setValue("Settings/asld", Password::scrambledEmpty());
    QVERIFY(!LoginCheck::PasswordIsSet());
}

void TestLogin::wrongPasswordIsRefused()
{
    ScriptedMessages messages;
    WriteSetting("asld", Password::scramble("Plant7"));
    QVERIFY(!LoginCheck::Run([] { return QStringLiteral("plant7"); }));
    QCOMPARE(messages.shown().size(), size_t(1));
    QCOMPARE(messages.shown().front().icon, MessageIcon::Error);
    QVERIFY(messages.texts().front().startsWith("Incorrect password! The application will be terminated."));
    QVERIFY(LoginCheck::Run([] { return QStringLiteral("Plant7"); }));
}

void TestLogin::emptyConfirmationSetsTheEmptyPassword()
{
    ScriptedMessages messages;
    WhenOpen<PasswordDialog>([](PasswordDialog &dialog) {
        QVERIFY(!dialog.findChild<QPushButton *>("4")->isEnabled());
        Press(dialog, "1");
    });
    PasswordDialog::Run();
    QVERIFY(LoginCheck::PasswordIsSet());
    QVERIFY(!LoginCheck::Run([] { return QStringLiteral("x"); }));
    QVERIFY(LoginCheck::Run([] { return QString(); }));
}

void TestLogin::mismatchKeepsTheDialogOpen()
{
    ScriptedMessages messages;
    WhenOpen<PasswordDialog>([](PasswordDialog &dialog) {
        Type(dialog, "1304", "Alpha");
        Type(dialog, "1305", "alpha");
        Press(dialog, "1");
        QVERIFY(dialog.isVisible());
        Type(dialog, "1305", "Alpha");
        Press(dialog, "1");
    });
    PasswordDialog::Run();
    QCOMPARE(messages.texts(),
             QStringList{"The passwords you typed do not match. Type the password in both text boxes."});
    QVERIFY(LoginCheck::Run([] { return QStringLiteral("Alpha"); }));

    // Cancel changes nothing.
    WhenOpen<PasswordDialog>([](PasswordDialog &dialog) {
        Type(dialog, "1304", "Beta");
        Type(dialog, "1305", "Beta");
        Press(dialog, "2");
    });
    PasswordDialog::Run();
    QVERIFY(LoginCheck::Run([] { return QStringLiteral("Alpha"); }));
}

void TestLogin::deactivateAsksAndRemovesThePassword()
{
    ScriptedMessages messages;
    WriteSetting("asld", Password::scramble("Alpha"));
    messages.answer(MessageAnswer::No);
    WhenOpen<PasswordDialog>([](PasswordDialog &dialog) { Press(dialog, "4"); });
    PasswordDialog::Run();
    QVERIFY(LoginCheck::PasswordIsSet());

    messages.answer(MessageAnswer::Yes);
    WhenOpen<PasswordDialog>([](PasswordDialog &dialog) { Press(dialog, "4"); });
    PasswordDialog::Run();
    QVERIFY(!LoginCheck::PasswordIsSet());
    QCOMPARE(messages.shown().back().icon, MessageIcon::Warning);
    QVERIFY(messages.texts().back().startsWith("You choose to deactivate the password functionality."));
}

void TestLogin::escapeInTheLoginDialogCountsAsEmpty()
{
    WhenOpen<LoginDialog>([](LoginDialog &dialog) {
        Type(dialog, "1304", "typed but not confirmed");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QCOMPARE(LoginDialog::Ask(), QString());
    WhenOpen<LoginDialog>([](LoginDialog &dialog) {
        Type(dialog, "1304", "Alpha");
        QTest::keyClick(dialog.findChild<QLineEdit *>("1304"), Qt::Key_Return);
    });
    QCOMPARE(LoginDialog::Ask(), QStringLiteral("Alpha"));
}

QTEST_MAIN(TestLogin)
#include "test_login.moc"
