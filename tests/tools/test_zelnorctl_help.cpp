#include "tool_test_support.h"

#include "base/settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <pty.h>
#include <unistd.h>

using namespace ToolTest;

// What a new user finds out from the tool itself: the commands, what each
// does, the module types and the serial ports, and what was assumed for
// them when a question was answered No.
class TestZelnorctlHelp : public QObject {
    Q_OBJECT
private slots:
    void everyCommandExplainsItself_data();
    void everyCommandExplainsItself();
    void noArgumentsListTheCommands();
    void helpFollowsTheLanguage();
    void theToolSpeaksItsOptionThenTheLocaleThenTheWindowsLast();
    void typesAgreeWithTheCatalogue();
    void portsListAGivenDeviceAndItsAccess();
    void aQuestionAnsweredNoSaysWhichOptionAnswersYes();
    void folderWordsOfTheProgramAreTaken();
    void choicesFollowTheCatalogueAndTheWorkingMode();
    void showAsJsonFeedsSetBackUnchanged_data();
    void showAsJsonFeedsSetBackUnchanged();
};

void TestZelnorctlHelp::everyCommandExplainsItself_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("arguments");
    const QList<QPair<QString, QString>> commands = {
        {"new", "FILE.prj [--force]"},
        {"tree", "PROJECT [--json]"},
        {"add", "PROJECT PARENT-PATH plant|cabinet|carrier [NAME]"},
        {"add-module", "PROJECT PARENT-PATH TYPE-ID [TAG1 [TAG2]]"},
        {"set", "PROJECT MODULE-PATH [--channel 1|2] COLUMN=VALUE ..."},
        {"show", "PROJECT MODULE-PATH [--json]"},
        {"delete", "PROJECT ITEM-PATH [--yes]"},
        {"multiply", "PROJECT ITEM-PATH --count N [--first F] [--places P] [--no-subtree]"},
        {"compare", "PROJECT --port DEVICE [--json]"},
        {"upload", "PROJECT --port DEVICE [--create]"},
        {"download", "PROJECT MODULE-PATH --port DEVICE [--yes]"},
        {"history", "PROJECT SERIAL-NUMBER [--json]"},
        {"restore", "PROJECT ENTRY-ID --port DEVICE"},
        {"monitor", "--port DEVICE [--count N] [--interval SECONDS]"},
        {"action", "--port DEVICE CODE"},
        {"commission", "PROJECT --port DEVICE[:SETTINGS] [--port DEVICE[:SETTINGS] ...] --under PATH [--assign-next] [--retry-failed] "
                       "[--skip PATH] [--reset PATH] [--count N]"},
        {"records", "PROJECT [--under PATH] [--json|--csv FILE|--pdf FILE] [--force]"},
        {"types", "[PROJECT] [--family 7230|7210|7220] [--json]"},
        {"ports", "[--port DEVICE] [--json]"},
        {"choices", "PROJECT MODULE-PATH [--channel 1|2] COLUMN [--json]"},
        {"print", "PROJECT --pdf FILE [--module MODULE-PATH [--card]] [--orientation portrait|landscape] [--force]"},
        {"export", "PROJECT --csv FILE|-|--xlsx FILE|- [--under PATH] [--codes] [--delimiter ,|;] [--decimal-comma] "
                   "[--bom] [--force]"},
        {"import", "PROJECT FILE [--dry-run]"},
        {"repair", "PROJECT --list | PROJECT --set TABLE ID COLUMN=VALUE ... [--copy FILE.prj]"},
        {"convert", "OLD.prj NEW.prj [--json] [--force]"},
        {"help", "[COMMAND]"},
    };
    for (const auto &[command, arguments] : commands)
        QTest::newRow(qPrintable(command)) << command << arguments;
}

void TestZelnorctlHelp::everyCommandExplainsItself()
{
    QFETCH(QString, command);
    QFETCH(QString, arguments);
    for (const QStringList &asked : {QStringList{command, "--help"}, QStringList{"help", command}}) {
        const TestSupport::ToolRun run = Ctl(asked);
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split('\n');
        QCOMPARE(lines.value(0), "Usage: zelnorctl " + command + ' ' + arguments);
        // A description of at least one sentence, then an example of the
        // command itself.
        QVERIFY2(lines.value(2).size() > 30 && lines.value(2).endsWith('.'), qPrintable(lines.value(2)));
        QCOMPARE(lines.value(4), QStringLiteral("Example:"));
        QVERIFY(lines.value(5).startsWith("  zelnorctl " + command));
        QVERIFY(run.out.contains("--lang"));
    }
}

void TestZelnorctlHelp::noArgumentsListTheCommands()
{
    const TestSupport::ToolRun run = Ctl({});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("Commands:\n  action      --port DEVICE CODE\n"));
    QVERIFY(run.out.contains("  types       [PROJECT]"));
    const TestSupport::ToolRun unknown = Ctl({"rack"});
    QCOMPARE(unknown.exitCode, 2);
    QVERIFY(unknown.err.contains("Unknown command 'rack'."));
    QVERIFY(unknown.out.contains("Commands:"));
    const TestSupport::ToolRun version = Ctl({"--version"});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("zelnorctl 3.04.00 (Zelnor Wizard)\n"));
}

void TestZelnorctlHelp::helpFollowsTheLanguage()
{
    const TestSupport::ToolRun run = Ctl({"help", "types", "--lang", "2"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("Listet jeden Modultyp") && run.out.contains("Beispiel:"), qPrintable(run.out));
    QVERIFY(run.out.contains("Sprache der Texte"));
}

// After a Russian session of the window the tool speaks the language it is
// asked for, else the one of the shell's locale, and the window's last one
// only when neither says.
void TestZelnorctlHelp::theToolSpeaksItsOptionThenTheLocaleThenTheWindowsLast()
{
    WriteSetting(QStringLiteral("LangDLL"), 4);
    const QByteArray all = qgetenv("LC_ALL"), messages = qgetenv("LC_MESSAGES"), lang = qgetenv("LANG");
    const auto helpUnder = [](const char *allValue, const char *langValue, const QStringList &options = {}) {
        qputenv("LC_ALL", allValue);
        qputenv("LC_MESSAGES", "");
        qputenv("LANG", langValue);
        return Ctl(QStringList{"help", "types"} + options).out;
    };
    const QString english = "Lists every module type";
    const QString german = "Listet jeden Modultyp";
    const QString russian = QString::fromUtf8("Выводит все типы модулей");
    const QString french = "Liste chaque type de module";
    const QString fromGerman = helpUnder("", "de_DE.UTF-8");
    const QString fromLcAll = helpUnder("fr_FR.UTF-8", "de_DE.UTF-8");
    const QString fromOption = helpUnder("", "de_DE.UTF-8", {"--lang", "1"});
    const QString fromPosix = helpUnder("", "C.UTF-8");
    const QString fromNothing = helpUnder("", "");
    const QString fromUnspoken = helpUnder("", "it_IT.UTF-8");
    qputenv("LC_ALL", all);
    qputenv("LC_MESSAGES", messages);
    qputenv("LANG", lang);
    WriteSetting(QStringLiteral("LangDLL"), 1);
    QVERIFY2(fromGerman.contains(german), qPrintable(fromGerman));
    QVERIFY2(fromLcAll.contains(french), qPrintable(fromLcAll));
    QVERIFY2(fromOption.contains(english), qPrintable(fromOption));
    QVERIFY2(fromPosix.contains(english), qPrintable(fromPosix));
    QVERIFY2(fromNothing.contains(russian), qPrintable(fromNothing));
    QVERIFY2(fromUnspoken.contains(russian), qPrintable(fromUnspoken));
}

void TestZelnorctlHelp::typesAgreeWithTheCatalogue()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const TestSupport::ToolRun run = Ctl({"types", "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonArray types = QJsonDocument::fromJson(run.out.toUtf8()).array();
    int expected = 0;
    for (const char *table : {"ModuleTypes7230", "ModuleTypes7210", "ModuleTypes7220"})
        expected += Scalar(project, QString("SELECT COUNT(*) FROM %1").arg(table)).toInt();
    QCOMPARE(types.size(), expected);
    for (const QJsonValue &value : types) {
        const QJsonObject type = value.toObject();
        const QString table = "ModuleTypes" + QString::number(type["family"].toInt());
        const QString where = QString(" FROM %1 WHERE ID = %2").arg(table).arg(type["id"].toInt());
        QCOMPARE(type["name"].toString(), Scalar(project, "SELECT Name" + where).toString());
        QCOMPARE(type["channels"].toInt(), Scalar(project, "SELECT Channels" + where).toInt() + 1);
        QCOMPARE(type["relays"].toBool(), Scalar(project, "SELECT LimitValue" + where).toInt() != 0);
        QCOMPARE(type["code"].toInt(), type["id"].toInt() - 1);
    }
    // The README's story: the simulator's --type 6 is the type with ID 7.
    const TestSupport::ToolRun family = Ctl({"types", project, "--family", "7230"});
    QCOMPARE(family.exitCode, 0);
    QVERIFY(family.out.contains("\n7\t7230\t6\t2\tmA\tYes\tZ 7230/211-2\n"));
    QVERIFY(!family.out.contains("\t7210\t"));
    QCOMPARE(Ctl({"types", "--family", "7240"}).exitCode, 2);
}

void TestZelnorctlHelp::portsListAGivenDeviceAndItsAccess()
{
    int master = -1;
    int slave = -1;
    char name[128] = {};
    QVERIFY(::openpty(&master, &slave, name, nullptr, nullptr) == 0);
    const QString device = QString::fromLocal8Bit(name);
    const TestSupport::ToolRun run = Ctl({"ports", "--port", device, "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject listing = QJsonDocument::fromJson(run.out.toUtf8()).object();
    bool found = false;
    for (const QJsonValue &port : listing["ports"].toArray()) {
        if (port["port"].toString() == device) {
            found = true;
            QVERIFY(port["exists"].toBool());
            QCOMPARE(port["mayOpen"].toBool(), ::access(name, R_OK | W_OK) == 0);
        }
    }
    QVERIFY(found);
    const TestSupport::ToolRun missing = Ctl({"ports", "--port", "/dev/ttyUSB99"});
    QVERIFY(missing.out.contains("/dev/ttyUSB99\t\t\tdoes not exist\n"));
    ::close(slave);
    ::close(master);
}

void TestZelnorctlHelp::aQuestionAnsweredNoSaysWhichOptionAnswersYes()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    QCOMPARE(Ctl({"add", project, "\\\\Project", "plant"}).exitCode, 0);
    const TestSupport::ToolRun run = Ctl({"delete", project, "\\\\Project\\Plant1"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("(answered No; give --yes to answer Yes)"), qPrintable(run.err));
}

void TestZelnorctlHelp::folderWordsOfTheProgramAreTaken()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    QCOMPARE(Ctl({"add-module", project, "\\\\Project", "7", "TT-1", "TT-2"}).exitCode, 0);
    QCOMPARE(Ctl({"add", project, "\\\\Project", "Plant", "A"}).exitCode, 0);
    QCOMPARE(Ctl({"add", project, "\\\\Project\\A", "Schrank", "B", "--lang", "2"}).exitCode, 0);
    QCOMPARE(Ctl({"add", project, "\\\\Project\\A\\B", "zelnor-carrier", "C"}).exitCode, 0);
    // The tree as JSON names every item, and modules with their type and tags.
    const TestSupport::ToolRun tree = Ctl({"tree", project, "--json"});
    QCOMPARE(tree.exitCode, 0);
    const QJsonArray items = QJsonDocument::fromJson(tree.out.toUtf8()).array();
    QStringList paths;
    for (const QJsonValue &item : items)
        paths << item["path"].toString();
    QCOMPARE(paths, QStringList({"\\\\Project", "\\\\Project\\A", "\\\\Project\\A\\B", "\\\\Project\\A\\B\\C",
                                 "\\\\Project\\7230/211-2 - [TT-1] [TT-2]", "\\\\Signals", "\\\\Signals\\TT-1",
                                 "\\\\Signals\\TT-2"}));
    QCOMPARE(items[4]["type"].toString(), QStringLiteral("Z 7230/211-2"));
    QCOMPARE(items[4]["tags"].toArray().size(), 2);
    const TestSupport::ToolRun rack = Ctl({"add", project, "\\\\Project", "rack"});
    QCOMPARE(rack.exitCode, 2);
    QVERIFY(rack.err.contains("Folders: plant (under the project), cabinet (under a plant), carrier"));
}

void TestZelnorctlHelp::choicesFollowTheCatalogueAndTheWorkingMode()
{
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    QCOMPARE(Ctl({"add-module", project, "\\\\Project", "7", "C-1", "C-2"}).exitCode, 0);
    const QString module = "\\\\Project\\7230/211-2 - [C-1] [C-2]";
    const auto offered = [&](const QString &column) {
        const TestSupport::ToolRun run = Ctl({"choices", project, module, "--channel", "2", column, "--json"});
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    };
    // Working mode 0 offers the sensors with a text in the first name column.
    const QJsonObject sensors = offered("SensorTypID");
    QCOMPARE(sensors["kind"].toString(), QStringLiteral("code"));
    QCOMPARE(sensors["offered"].toArray().size(),
             Scalar(project, "SELECT COUNT(*) FROM SensorTypes7230 WHERE Name <> ''").toInt());
    QCOMPARE(sensors["offered"].toArray()[0].toObject()["text"].toString(),
             Scalar(project, "SELECT Name FROM SensorTypes7230 WHERE Name <> '' ORDER BY ID").toString());
    // The comparison place exists only for thermocouples (working mode 2).
    QCOMPARE(Ctl({"choices", project, module, "--channel", "2", "TCtypeID"}).exitCode, 1);
    QCOMPARE(Ctl({"set", project, module, "--channel", "2", "WorkingModeID=2"}).exitCode, 0);
    QCOMPARE(offered("TCtypeID")["kind"].toString(), QStringLiteral("code"));
    QCOMPARE(offered("SensorTypID")["offered"].toArray().size(),
             Scalar(project, "SELECT COUNT(*) FROM SensorTypes7230 WHERE Name3 <> ''").toInt());
    // Every code offered is taken by set.
    for (const QJsonValue &code : offered("Relay1LimitValue")["offered"].toArray()) {
        const TestSupport::ToolRun set = Ctl({"set", project, module, "--channel", "2",
                                              "Relay1LimitValue=" + QString::number(code.toObject()["code"].toInt())});
        QVERIFY2(set.exitCode == 0, qPrintable(set.err));
    }
    const QJsonObject range = offered("RangeEnd");
    QCOMPARE(range["kind"].toString(), QStringLiteral("number"));
    QVERIFY(!range["unit"].toString().isEmpty());
    // The limits are those Apply checks: one beyond them is refused.
    QVERIFY(range.contains("low") && range.contains("high"));
    const double high = range["high"].toDouble();
    QCOMPARE(Ctl({"set", project, module, "--channel", "2", "RangeEnd=" + QString::number(high + 1)}).exitCode, 1);
    QCOMPARE(Ctl({"set", project, module, "--channel", "2", "RangeEnd=" + QString::number(high)}).exitCode, 0);
    QCOMPARE(Ctl({"choices", project, module, "Nonsense"}).exitCode, 2);
}

void TestZelnorctlHelp::showAsJsonFeedsSetBackUnchanged_data()
{
    QTest::addColumn<QString>("typeId");
    QTest::addColumn<QString>("module");
    QTest::newRow("7230 two channels") << "7" << "\\\\Project\\7230/211-2 - [A-1] [A-2]";
    QTest::newRow("7210 two channels") << "39" << "\\\\Project\\7210/211-0 - [A-1] [A-2]";
    QTest::newRow("7220") << "67" << "";
}

void TestZelnorctlHelp::showAsJsonFeedsSetBackUnchanged()
{
    QFETCH(QString, typeId);
    QFETCH(QString, module);
    QTemporaryDir dir;
    const QString project = NewProject(dir);
    const TestSupport::ToolRun added = Ctl({"add-module", project, "\\\\Project", typeId, "A-1", "A-2"});
    QCOMPARE(added.exitCode, 0);
    const QString path =
        module.isEmpty() ? added.out.split('\n').filter("Added '").value(0).section('\'', 1, 1) : module;
    const TestSupport::ToolRun shown = Ctl({"show", project, path, "--json"});
    QCOMPARE(shown.exitCode, 0);
    const QJsonArray columns = QJsonDocument::fromJson(shown.out.toUtf8()).object()["columns"].toArray();
    QVERIFY(columns.size() > 10);
    const QByteArray before = Checksum(project);
    for (int channel = 1; channel <= 2; ++channel) {
        QStringList assignments;
        for (const QJsonValue &value : columns) {
            const QJsonObject column = value.toObject();
            if (column["channel"].toInt(channel) == channel)
                assignments << column["column"].toString() + '=' + column["text"].toString();
        }
        if (assignments.size() < 3)
            continue;
        const TestSupport::ToolRun set =
            Ctl(QStringList{"set", project, path, "--channel", QString::number(channel)} + assignments);
        QVERIFY2(set.exitCode == 0, qPrintable(set.err + assignments.join(' ')));
        QVERIFY2(set.out.contains("Nothing changed."), qPrintable(set.out));
    }
    QCOMPARE(Checksum(project), before);
}

QTEST_GUILESS_MAIN(TestZelnorctlHelp)
#include "test_zelnorctl_help.moc"
