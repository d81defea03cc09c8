#pragma once

#include "db/project_database.h"
#include "params/catalogues.h"
#include "params/parameter_rows.h"
#include "tree/document.h"

#include <memory>
#include <optional>

// A project opened for one command: the database with its checks, the item
// tree over it and the catalogues, as the program holds them.
class CtlProject {
public:
    CtlProject();
    ~CtlProject();

    // Opens a project file or a data link file; a refusal has been printed.
    bool Open(const QString &path);

    ProjectDatabase &Database() { return m_database; }
    C7100Document &Document() { return *m_document; }
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

private:
    ProjectDatabase m_database;
    std::unique_ptr<C7100Document> m_document;
    CatalogueSet m_catalogues;
};
