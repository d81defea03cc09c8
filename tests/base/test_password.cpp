#include "base/password.h"
#include "base/settings.h"

#include <QSettings>
#include <QtTest>

class TestPassword : public QObject {
    Q_OBJECT
private slots:
    void scrambledFormHas32Characters();
    void scramblingIsStableAndCaseSensitive();
    void emptyPasswordTextMeansNoPassword();
    void emptyPasswordDiffersFromNoPassword();
    void missingValueMeansNoPassword();
    void charactersOutsideTheTableStayInside();
};

void TestPassword::scrambledFormHas32Characters()
{
    QCOMPARE(Password::scramble(QString()).size(), 32);
    QCOMPARE(Password::scramble(QStringLiteral("secret")).size(), 32);
    QCOMPARE(Password::scramble(QString(30, u'x')).size(), 32);
    QCOMPARE(Password::scrambledEmpty().size(), 32);
}

void TestPassword::scramblingIsStableAndCaseSensitive()
{
    QCOMPARE(Password::scramble("Valve42"), Password::scramble("Valve42"));
    QVERIFY(Password::scramble("Valve42") != Password::scramble("valve42"));
    QVERIFY(Password::matches("Valve42", Password::scramble("Valve42")));
    QVERIFY(!Password::matches("Valve43", Password::scramble("Valve42")));
    // The length is part of the scrambled text: a prefix does not match.
    QVERIFY(Password::scramble("Valve") != Password::scramble("Valve4"));
}

void TestPassword::emptyPasswordTextMeansNoPassword()
{
    QVERIFY(!Password::isSet(Password::scramble(Password::emptyPasswordText())));
    QVERIFY(Password::isSet(Password::scramble("x")));
}

void TestPassword::emptyPasswordDiffersFromNoPassword()
{
    QVERIFY(Password::isSet(Password::scramble(QString())));
    QVERIFY(Password::matches(QString(), Password::scramble(QString())));
}

void TestPassword::missingValueMeansNoPassword()
{
    QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication).remove("Settings/asld");
    QVERIFY(!Password::isSet(ReadSetting("asld").toString()));
}

void TestPassword::charactersOutsideTheTableStayInside()
{
    const QString scrambled = Password::scramble(QStringLiteral("Ключ-ß €"));
    QCOMPARE(scrambled.size(), 32);
    QVERIFY(scrambled.contains(u'€'));
    QCOMPARE(Password::scramble(QStringLiteral("Ключ-ß €")), scrambled);
}

QTEST_GUILESS_MAIN(TestPassword)
#include "test_password.moc"
