// zelnor-project: the project commands of the program on the command line.
#include "console.h"
#include "dialog_answers.h"
#include "db/connection_properties.h"
#include "db/data_error.h"
#include "db/project_copy.h"
#include "db/project_database.h"
#include "db/project_file_dialogs.h"
#include "db/project_strings.h"
#include "base/app_paths.h"
#include "base/language.h"
#include "base/message_service.h"
#include "base/string_table.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>

namespace {

// Messages are printed; questions cannot be asked here and are answered No.
void InstallPrinters()
{
    MessageService::setPresenter([](const MessageRequest &request) {
        Err() << request.text << Qt::endl;
        return request.buttons == MessageButtons::YesNoCancel ? MessageAnswer::Cancel
               : request.buttons == MessageButtons::Ok        ? MessageAnswer::Ok
                                                              : MessageAnswer::No;
    });
    DataErrorReporter::setPresenter([](const QString &text, const std::vector<ProviderErrorRecord> &records) {
        Err() << text;
        for (const ProviderErrorRecord &record : records)
            Err() << "  " << record.source << ": " << record.description << Qt::endl;
    });
}

void PrintOpened(const ProjectDatabase &database)
{
    Out() << StrF(ProjectStrings::LogOpenSuccessful, {database.OpenedPath()}) << Qt::endl;
    const ConnectionDetails details = ReadConnectionDetails(database);
    Out() << "  " << Str(ProjectStrings::PropertiesDataSourceName) << ' ' << details.dataSourceName
          << Qt::endl;
    Out() << "  " << Str(ProjectStrings::PropertiesProviderVersion) << ' ' << details.providerName << ", "
          << details.providerVersion << Qt::endl;
}

int Guarded(const std::function<bool()> &operation)
{
    try {
        return operation() ? 0 : 1;
    } catch (const COLEDBException &e) {
        ReportDataError(e);
        return 1;
    }
}

int Open(ProjectDatabase &database, const QString &path)
{
    return Guarded([&] {
        if (!database.OpenFile(path, database.OpenUser(), database.OpenPassword())) {
            Err() << StrF(ProjectStrings::LogOpenFailed, {path}) << Qt::endl;
            return false;
        }
        PrintOpened(database);
        return true;
    });
}

int NewProject(const QString &target, bool force)
{
    ProjectDatabase database;
    AnswerFileDialogsWith(target, force);
    return Guarded([&] {
        if (!database.CreateNew()) {
            Err() << Str(ProjectStrings::LogNewFailed) << Qt::endl;
            return false;
        }
        Out() << StrF(ProjectStrings::LogNewCreated, {database.DisplayName()}) << Qt::endl;
        return true;
    });
}

int SaveAs(const QString &source, const QString &target, bool force)
{
    ProjectDatabase database;
    if (Open(database, source) != 0)
        return 1;
    AnswerFileDialogsWith(target, force);
    return Guarded([&] {
        const bool ok = database.SaveAs();
        Out() << Str(ok ? ProjectStrings::LogSaveSuccessful : ProjectStrings::LogSaveFailed) << Qt::endl;
        return ok;
    });
}

int NextIds(const QString &path, const QString &sequence, int count)
{
    ProjectDatabase database;
    if (Open(database, path) != 0)
        return 1;
    if (database.ReadOnly()) {
        Err() << StrF(ProjectStrings::OpenForReadingOnly, {database.DisplayName()}) << Qt::endl;
        return 1;
    }
    return Guarded([&] {
        for (int i = 0; i < count; ++i)
            Out() << database.IdSequence()->NextId(sequence).toInt() << Qt::endl;
        return true;
    });
}

int ToServer(const QString &project, const QCommandLineParser &options)
{
    ConnectionProperties server;
    server.setValue(ConnectionProperties::kProvider, QStringLiteral("PostgreSQL"));
    server.setValue(ConnectionProperties::kDataSource, options.value("server"));
    server.setValue(ConnectionProperties::kInitialCatalog, options.value("database"));
    server.setValue(ConnectionProperties::kUserId, options.value("user"));
    const QString password =
        options.isSet("password") ? options.value("password") : qEnvironmentVariable("PGPASSWORD");
    server.setValue(ConnectionProperties::kPassword, password);
    const QString link =
        options.isSet("udl") ? QDir::current().absoluteFilePath(options.value("udl")) : QString();
    ProjectServerCopy copy;
    copy.setReplaceDataLink(options.isSet("force"));
    copy.setProgress(
        [](const QString &table, int rows) { Out() << "  " << table << ": " << rows << Qt::endl; });
    if (!copy.run(QDir::current().absoluteFilePath(project), server, link)) {
        Err() << copy.errorText() << Qt::endl;
        return 1;
    }
    Out() << StrF(ProjectStrings::CopyDone,
                  {project, options.value("database"), int(copy.tables().size()), copy.rowCount()})
          << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelnor-project"));
    // The reference database and the language texts are the program's.
    AppPaths::setProgramFile(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelnor-wizard")));
    StringTable::instance().loadBuiltin();
    InstallPrinters();
    Language::loadForTool();

    QCommandLineParser parser;
    parser.setApplicationDescription(Str(ProjectStrings::ToolUsage));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), Str(ProjectStrings::ToolCommandArgument));
    parser.addOption(
        {QStringLiteral("server"), Str(ProjectStrings::ToolServerOption), QStringLiteral("host:port")});
    parser.addOption(
        {QStringLiteral("database"), Str(ProjectStrings::ToolDatabaseOption), QStringLiteral("name")});
    parser.addOption({QStringLiteral("user"), Str(ProjectStrings::ToolUserOption), QStringLiteral("user")});
    parser.addOption(
        {QStringLiteral("password"), Str(ProjectStrings::ToolPasswordOption), QStringLiteral("password")});
    parser.addOption(
        {QStringLiteral("udl"), Str(ProjectStrings::ToolDataLinkOption), QStringLiteral("file")});
    parser.addOption({QStringLiteral("force"), ForceOptionText()});
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    if (command == QLatin1String("new") && args.size() == 2)
        return NewProject(args[1], parser.isSet(QStringLiteral("force")));
    if (command == QLatin1String("open") && args.size() == 2) {
        ProjectDatabase database;
        return Open(database, QDir::current().absoluteFilePath(args[1]));
    }
    if (command == QLatin1String("save-as") && args.size() == 3)
        return SaveAs(QDir::current().absoluteFilePath(args[1]), args[2], parser.isSet(QStringLiteral("force")));
    if (command == QLatin1String("next-id") && (args.size() == 3 || args.size() == 4))
        return NextIds(QDir::current().absoluteFilePath(args[1]), args[2],
                       args.size() == 4 ? args[3].toInt() : 1);
    if (command == QLatin1String("to-server") && args.size() == 2 && parser.isSet("server") &&
        parser.isSet("database") && parser.isSet("user") && parser.isSet("udl"))
        return ToServer(args[1], parser);
    Err() << parser.helpText();
    return 2;
}
