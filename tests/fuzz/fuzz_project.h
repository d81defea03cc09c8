#pragma once

#include "db/project_database.h"
#include "params/catalogues.h"
#include "tree/my7100_doc.h"

#include <QTemporaryDir>

#include <memory>

// A project for the targets that read into one: a copy of the reference
// database beside the target, with its item tree and catalogues as the
// program holds them, and a few modules of each family that rows can match.
class FuzzProject {
public:
    // Made on the first call; the process ends when it cannot be made.
    static FuzzProject &Instance();

    CMy7100Doc &Document() { return *m_document; }
    const CatalogueSet &Catalogues() const { return m_catalogues; }

private:
    FuzzProject();

    QTemporaryDir m_folder;
    ProjectDatabase m_database;
    CatalogueSet m_catalogues;
    std::unique_ptr<CMy7100Doc> m_document;
};
