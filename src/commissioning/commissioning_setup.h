#pragma once

#include <QString>

class CMy7100Doc;
class CatalogueSet;
class DbSession;
class LinkController;
class ModuleTransfer;

// What a commissioning run works on: the open project and one link with the
// transfer over it.
struct CommissioningSetup {
    CMy7100Doc &document;
    DbSession &session;
    const CatalogueSet &catalogues;
    LinkController &link;
    ModuleTransfer &transfer;
    // The open project's file, which no report of the run may replace.
    QString projectPath;
};
