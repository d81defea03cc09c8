#pragma once

#include "db/db_session.h"
#include "db/project_database.h"
#include "link/module_image.h"
#include "params/catalogues.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_rows.h"
#include "tree/my7100_doc.h"

#include <memory>
#include <optional>

// A project opened for one command: the database with its checks, the item
// tree over it and the catalogues, as the program holds them.
class CtlProject {
public:
    CtlProject();
    ~CtlProject();

    // What the command does with the project: a command that writes is
    // refused for a project open for reading only.
    enum class Access { Read, Write };
    // Opens a project file or a data link file; a refusal has been printed.
    bool Open(const QString &path, Access access = Access::Read);
    // The exit code of a failed Open: refused for a project that can only
    // be read, else unusable.
    int OpenFailure() const;

    ProjectDatabase &Database() { return m_database; }
    CMy7100Doc &Document() { return *m_document; }
    const CatalogueSet &Catalogues() const { return m_catalogues; }

    // The item of a path; prints the refusal when there is none.
    Item *FindItem(const QString &path);

    // The module row a module or signal item stands for, and the channel a
    // signal item shows (0 for a module item). Nothing, after a printed
    // refusal, for another item.
    struct ModuleRef {
        QString table;
        qint32 id = 0;
        int shownChannel = 0;
    };
    std::optional<ModuleRef> ModuleOf(Item &item);
    std::unique_ptr<ProjectParameterRows> RowsOf(const ModuleRef &module);

    // The module (or the signal's module) of a path, loaded as the parameter
    // view loads it; null after a printed refusal.
    struct LoadedModule {
        ModuleRef ref;
        std::unique_ptr<ProjectParameterRows> rows;
        std::unique_ptr<ModuleParameterEditor> editor;
    };
    std::unique_ptr<LoadedModule> LoadModule(const QString &path);

private:
    ProjectDatabase m_database;
    std::unique_ptr<CMy7100Doc> m_document;
    CatalogueSet m_catalogues;
    bool m_refusedReadOnly = false;
};

// The catalogues of the reference database beside the program, for the
// commands that talk to a module without a project.
class CtlReference {
public:
    CtlReference();
    ~CtlReference();
    // Opens the reference database read-only; a refusal has been printed.
    bool Open();
    const CatalogueSet &Catalogues() const { return m_catalogues; }
    // The family of the connected module's type; 7230 for a type the
    // reference database does not know.
    ModuleFamily FamilyOf(const CModuleImage &image);

private:
    CLevelList m_levels;
    std::unique_ptr<DbSession> m_session;
    CatalogueSet m_catalogues;
};
