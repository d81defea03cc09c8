#include "base/language.h"
#include "base/string_table.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QResource>
#include <QStringDecoder>
#include <QtTest>

// What F1 and "Help Topics" may ask a pack for: the contents, the views, and
// every parameter and live-value page of the three families.
static const int kTopics[] = {
    3083000, 3094000, 3095000, 3096000, 3137000,                                     // contents and views
    3149000, 3150000, 3151000, 3160000, 3152000, 3153000, 3138000, 3139000, 3140000, // 7230
    3165000, 3166000, 3167000, 3169000, 3168000, 3170000, 3174000, 3175000, 3176000, // 7210
    3201000, 3205000, 3204000, 3206000, 3224000, 3225000, 3226000,                   // 7220
};
static const char kContentsLink[] = "href=\"3083000.html\"";

// A built pack mounted as the program mounts it, for the life of the object.
class MountedPack {
public:
    explicit MountedPack(int index)
        : m_file(QDir(TestSupport::binDirectory()).filePath(Language::packFileName(index))),
          m_root(QStringLiteral("/helpcheck%1").arg(index)), m_ok(QResource::registerResource(m_file, m_root))
    {
    }
    ~MountedPack()
    {
        if (m_ok)
            QResource::unregisterResource(m_file, m_root);
    }
    MountedPack(const MountedPack &) = delete;
    MountedPack &operator=(const MountedPack &) = delete;

    bool ok() const { return m_ok; }
    QString path(const QString &relative) const { return ":" + m_root + "/" + relative; }
    QHash<int, QString> strings() const
    {
        StringTable table;
        QString error;
        return table.loadFromResourceDir(path(QStringLiteral("strings")), &error) ? table.entries()
                                                                                  : QHash<int, QString>();
    }

private:
    QString m_file;
    QString m_root;
    bool m_ok;
};

// The file as text, or a null string when it is missing or not UTF-8.
static QString readUtf8(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(file.readAll());
    return decoder.hasError() ? QString() : text;
}

// A message quoted on a page as the program shows it: entities decoded and
// each <br> a line break.
static QString quotedText(QString html)
{
    html.replace(QStringLiteral("<br>"), QStringLiteral("\n"));
    static const std::pair<const char *, const char *> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#x27;", "'"}, {"&amp;", "&"}};
    for (const auto &[entity, character] : entities)
        html.replace(QLatin1String(entity), QLatin1String(character));
    return html;
}

struct PopplerRun {
    bool finished = false;
    QString out;
};

static PopplerRun runPoppler(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    PopplerRun run;
    run.finished = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
                   process.exitCode() == 0;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

class TestHelpContent : public QObject {
    Q_OBJECT
private slots:
    void packs_data();
    void everyTopicHasAPageLinkedToTheContents_data() { packs_data(); }
    void everyTopicHasAPageLinkedToTheContents();
    void linksOfEveryPageLeadToPagesOfThePack_data() { packs_data(); }
    void linksOfEveryPageLeadToPagesOfThePack();
    void quotedMessagesAreThoseOfThePack_data() { packs_data(); }
    void quotedMessagesAreThoseOfThePack();
    void splashNamesProductAndVersion_data() { packs_data(); }
    void splashNamesProductAndVersion();
    void readmeBesideTheProgramIsAShortGuideInItsLanguage_data();
    void readmeBesideTheProgramIsAShortGuideInItsLanguage();
};

void TestHelpContent::packs_data()
{
    QTest::addColumn<int>("index");
    for (int index = 1; index <= Language::kCount; ++index)
        QTest::newRow(qPrintable(Language::packFileName(index))) << index;
}

void TestHelpContent::everyTopicHasAPageLinkedToTheContents()
{
    QFETCH(int, index);
    const MountedPack pack(index);
    QVERIFY(pack.ok());
    static const QRegularExpression title(QStringLiteral("<title>\\s*(\\S[^<]*)</title>"));
    for (int topic : kTopics) {
        const QString name = QStringLiteral("help/%1.html").arg(topic);
        const QString page = readUtf8(pack.path(name));
        QVERIFY2(!page.isEmpty(), qPrintable(name + " is missing or not UTF-8"));
        QVERIFY2(page.contains(QStringLiteral("<meta charset=\"utf-8\">")), qPrintable(name));
        QVERIFY2(title.match(page).hasMatch(), qPrintable(name + " has no title"));
        QVERIFY2(page.contains(QLatin1String(kContentsLink)),
                 qPrintable(name + " has no way back to the contents"));
    }
}

void TestHelpContent::linksOfEveryPageLeadToPagesOfThePack()
{
    QFETCH(int, index);
    const MountedPack pack(index);
    QVERIFY(pack.ok());
    static const QRegularExpression link(QStringLiteral("href=\"([^\"]*)\""));
    const QStringList pages = QDir(pack.path(QStringLiteral("help"))).entryList(QDir::Files);
    QVERIFY(pages.size() >= int(std::size(kTopics)));
    for (const QString &name : pages) {
        const QString page = readUtf8(pack.path("help/" + name));
        QVERIFY2(!page.isEmpty(), qPrintable(name + " is not UTF-8"));
        for (auto it = link.globalMatch(page); it.hasNext();) {
            const QString target = it.next().captured(1);
            QVERIFY2(!target.contains(':') && !target.startsWith('/'),
                     qPrintable(name + " leaves the pack: " + target));
            const QString targetPage = readUtf8(pack.path("help/" + target.section('#', 0, 0)));
            QVERIFY2(!targetPage.isEmpty(), qPrintable(name + " links to a missing page: " + target));
            const QString anchor = target.section('#', 1);
            QVERIFY2(anchor.isEmpty() || targetPage.contains("name=\"" + anchor + "\""),
                     qPrintable(name + " links to a missing place: " + target));
        }
    }
}

// The pages quote the messages of their own pack word for word, so that an
// engineer finds the text the program showed.
void TestHelpContent::quotedMessagesAreThoseOfThePack()
{
    QFETCH(int, index);
    const MountedPack pack(index);
    QVERIFY(pack.ok());
    const QHash<int, QString> strings = pack.strings();
    QVERIFY(!strings.isEmpty());
    const QSet<QString> messages(strings.cbegin(), strings.cend());
    static const QRegularExpression quoted(QStringLiteral("<p class=\"msg\">(.*?)</p>"));
    int seen = 0;
    for (int topic : kTopics) {
        const QString name = QStringLiteral("help/%1.html").arg(topic);
        for (auto it = quoted.globalMatch(readUtf8(pack.path(name))); it.hasNext(); ++seen) {
            const QString message = quotedText(it.next().captured(1));
            QVERIFY2(messages.contains(message),
                     qPrintable(name + " quotes a text the pack does not hold: " + message));
        }
    }
    QVERIFY(seen > int(std::size(kTopics)));
}

void TestHelpContent::splashNamesProductAndVersion()
{
    QFETCH(int, index);
    const MountedPack pack(index);
    QVERIFY(pack.ok());
    const QString splash = readUtf8(pack.path(QStringLiteral("splash.svg")));
    QVERIFY(splash.contains(QStringLiteral("<svg")));
    QVERIFY(splash.contains(QStringLiteral("Zelnor Wizard")));
    QVERIFY(splash.contains(QStringLiteral("3.04.00")));
}

void TestHelpContent::readmeBesideTheProgramIsAShortGuideInItsLanguage_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("file");
    QTest::newRow("English") << 1 << "Readme!_EN.pdf";
    QTest::newRow("German") << 2 << "Readme!_GE.pdf";
    QTest::newRow("French") << 3 << "Readme!_FR.pdf";
    QTest::newRow("Russian") << 4 << "Readme!_RU.pdf";
    QTest::newRow("Spanish") << 5 << "Readme!_ES.pdf";
}

// The guide quotes the program's own online line and names the Signal
// processing page as the pack does; a page count of 2 to 4 keeps it short.
void TestHelpContent::readmeBesideTheProgramIsAShortGuideInItsLanguage()
{
    QFETCH(int, index);
    QFETCH(QString, file);
    const QString pdf = QDir(TestSupport::binDirectory()).filePath(file);
    QVERIFY2(QFile::exists(pdf), qPrintable(pdf));

    const PopplerRun info = runPoppler(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.finished, "pdfinfo (poppler-utils) failed");
    static const QRegularExpression pagesLine(QStringLiteral("^Pages:\\s+(\\d+)"),
                                              QRegularExpression::MultilineOption);
    const int pages = pagesLine.match(info.out).captured(1).toInt();
    QVERIFY2(pages >= 2 && pages <= 4, qPrintable(QStringLiteral("%1 pages").arg(pages)));

    const PopplerRun text = runPoppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY2(text.finished, "pdftotext (poppler-utils) failed");
    const QString words = text.out.simplified();
    const QHash<int, QString> own = MountedPack(index).strings();
    const QHash<int, QString> english = MountedPack(1).strings();
    for (int id : {3016, 62430}) {
        const QString expected = own.value(id).simplified();
        QVERIFY(!expected.isEmpty());
        QVERIFY2(words.contains(expected), qPrintable(file + " lacks \"" + expected + "\""));
        if (index != 1)
            QVERIFY2(!words.contains(english.value(id).simplified()),
                     qPrintable(file + " holds English text"));
    }
}

QTEST_MAIN(TestHelpContent)
#include "test_help_content.moc"
