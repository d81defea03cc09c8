#include "fuzz_project.h"

#include "fuzz_target.h"

#include "base/app_paths.h"
#include "base/message_service.h"
#include "exchange/instrument_list_import.h"
#include "tree/document_project.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

// Modules of the three families in a folder, so that rows can change them.
const char kModules[] = "Plant,Cabinet,Type,Module,Ch1.Name,Ch2.Name\r\n"
                        "Boiler house,Cab 1,7,,TT-101,TT-102\r\n"
                        "Boiler house,,35,,FT-7,\r\n"
                        "Boiler house,Cab 2,65,,LS-9,\r\n";

} // namespace

FuzzProject &FuzzProject::Instance()
{
    static FuzzProject project;
    return project;
}

FuzzProject::FuzzProject()
{
    Fuzz::Setup();
    // The open checks the project against the reference database beside
    // the program, which the target stands in for.
    const QDir programFolder(QCoreApplication::applicationDirPath());
    AppPaths::setProgramFile(programFolder.filePath(QStringLiteral("zelnor-wizard")));
    const QString reference = programFolder.filePath(QStringLiteral("zelnor-wizard.vor"));
    const QString path = m_folder.filePath(QStringLiteral("fuzz.prj"));
    Fuzz::Require(QFile::copy(reference, path), "the reference database is beside the target", reference);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QStringList said;
    const MessageService::Presenter answering = MessageService::setPresenter([&](const MessageRequest &request) {
        said << request.text;
        return answering(request);
    });
    const bool opened = m_database.OpenFile(path, m_database.OpenUser(), m_database.OpenPassword());
    MessageService::setPresenter(answering);
    Fuzz::Require(opened, "the copy of the reference database opens", path + QLatin1Char('\n') + said.join('\n'));
    m_catalogues.Load(*m_database.Session(), m_database.Levels());
    m_document = std::make_unique<CMy7100Doc>();
    m_document->OpenProject(DocumentProject(m_database));
    const ImportReport modules = InstrumentListImport(*m_document, m_catalogues).Run(kModules, true);
    Fuzz::Require(modules.written, "the project's modules are imported", modules.Lines().join(QLatin1Char('\n')));
}
