#pragma once

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
};
