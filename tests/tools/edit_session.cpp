// A second engineer for the tests: opens a project as the program does,
// begins an edit of one item (its parameters, its description, or its
// deletion), prints "began" and waits for a line on standard input before it
// stores the edit, so that another process can change the project between
// the two. Exit 0 when the edit was stored, 1 when it was refused, 2 when
// the project or the item could not be used; messages go to standard error.
//
//   edit_session PROJECT ITEM-PATH set CHANNEL COLUMN=VALUE
//   edit_session PROJECT ITEM-PATH describe TEXT
//   edit_session PROJECT ITEM-PATH delete
//   edit_session PROJECT ITEM-PATH import LIST.csv   (the tree read down to the item)

#include "base/app_paths.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "db/data_error.h"
#include "db/project_database.h"
#include "params/catalogues.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_column_edit.h"
#include "params/parameter_rows.h"
#include "exchange/instrument_list_import.h"
#include "tree/document_project.h"
#include "tree/item_path.h"
#include "tree/my7100_doc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

QTextStream &Err()
{
    static QTextStream stream(stderr);
    return stream;
}

void PrintMessages()
{
    MessageService::setPresenter([](const MessageRequest &request) {
        Err() << request.text << Qt::endl;
        return MessageAnswer::Yes;
    });
    DataErrorReporter::setPresenter([](const QString &text, const std::vector<ProviderErrorRecord> &) {
        Err() << text << Qt::endl;
    });
}

void WaitForGo()
{
    std::printf("began\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
}

int SetParameter(ProjectDatabase &database, const CatalogueSet &catalogues, Item &item, const QStringList &args)
{
    ProjectParameterRows rows(*database.Session(), database.Levels(), item.level().tableName(), item.id().toInt());
    ModuleParameterEditor editor(rows, catalogues);
    if (args.size() < 2 || !editor.Load())
        return 2;
    const qsizetype equals = args[1].indexOf(u'=');
    WaitForGo();
    const QString refusal =
        ParameterColumnEdit(editor).Apply(args[0].toInt(), {{args[1].left(equals), args[1].mid(equals + 1)}});
    if (!refusal.isEmpty()) {
        Err() << refusal << Qt::endl;
        return 2;
    }
    const ModuleParameterEditor::ApplyResult result = editor.Apply();
    Err() << (editor.ReadAgainAfterConflict() ? "read again" : "") << Qt::endl;
    return result == ModuleParameterEditor::ApplyResult::Applied ? 0 : 1;
}

int Describe(CMy7100Doc &document, Item &item, const QString &text)
{
    if (!document.BeginEdit(item))
        return 2;
    WaitForGo();
    document.SetValue(item, QStringLiteral("Description"), text, true);
    const ItemHandle handle = item.handle();
    const bool saved = document.Save(item);
    if (Item *shown = document.FindItem(handle))
        Err() << "shown: " << document.GetValue(*shown, QStringLiteral("Description"), true).toString() << Qt::endl;
    else
        Err() << "shown: gone" << Qt::endl;
    return saved ? 0 : 1;
}

// The instrument list goes in as the window imports it, into the tree this
// program read before it was told to go on.
int Import(CMy7100Doc &document, const CatalogueSet &catalogues, const QString &file)
{
    QFile list(file);
    if (!list.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray bytes = list.readAll();
    WaitForGo();
    const ImportReport report = InstrumentListImport(document, catalogues).Run(bytes, true);
    Err() << report.Summary(file) << Qt::endl;
    return report.written ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    AppPaths::setProgramFile(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelnor-wizard")));
    StringTable::instance().loadBuiltin();
    PrintMessages();
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3)
        return 2;
    ProjectDatabase database;
    CatalogueSet catalogues;
    try {
        if (!database.OpenFile(QDir::current().absoluteFilePath(args[0]), database.OpenUser(), database.OpenPassword()))
            return 2;
        catalogues.Load(*database.Session(), database.Levels());
    } catch (const COLEDBException &error) {
        ReportDataError(error);
        return 2;
    }
    CMy7100Doc document;
    document.OpenProject(DocumentProject(database));
    document.StartLink();
    Item *item = FindItemByPath(document, args[1]);
    if (!item) {
        Err() << "no item " << args[1] << Qt::endl;
        return 2;
    }
    int code = 2;
    if (args[2] == QLatin1String("set"))
        code = SetParameter(database, catalogues, *item, args.mid(3));
    else if (args[2] == QLatin1String("import") && args.size() > 3)
        code = Import(document, catalogues, args[3]);
    else if (args[2] == QLatin1String("describe") && args.size() > 3)
        code = Describe(document, *item, args[3]);
    else if (args[2] == QLatin1String("delete")) {
        const ItemHandle handle = item->handle();
        WaitForGo();
        code = document.Delete(*item) ? 0 : 1;
        Err() << "shown: " << (document.FindItem(handle) ? "kept" : "gone") << Qt::endl;
    }
    document.CloseProject();
    return code;
}
