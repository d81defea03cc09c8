#include "link/selected_module_view.h"

#include "db/data_error.h"
#include "params/module_parameter_editor.h"
#include "params/parameter_rows.h"
#include "tree/my7100_doc.h"

namespace {
// The pages' rows: the fields their Apply stores are what the document's
// items of those rows hold from then on, so that a rename or delete through
// the tree compares against them and not against what was read before.
class DocumentParameterRows : public ProjectParameterRows {
public:
    DocumentParameterRows(C7100Document &document, DbSession &session, CLevelList &levels, const QString &table,
                          qint32 id)
        : ProjectParameterRows(session, levels, table, id), m_document(document)
    {
    }

    void WriteRows(const ModuleRows &before, const ModuleRows &after) override
    {
        ProjectParameterRows::WriteRows(before, after);
        Take(after.moduleTable, before.module, after.module);
        for (size_t i = 0; i < after.signalRows.size() && i < before.signalRows.size(); ++i)
            Take(QStringLiteral("Signals"), before.signalRows[i], after.signalRows[i]);
    }

private:
    void Take(const QString &table, const ParameterRow &before, const ParameterRow &after)
    {
        if (before.isValid() && after.isValid())
            m_document.TakeWrittenValues(table, after.intValue(QStringLiteral("ID")), before.values, after.values);
    }

    C7100Document &m_document;
};
} // namespace

SelectedModuleView::SelectedModuleView(C7100Document &document, const CatalogueSet &catalogues)
    : m_document(document), m_catalogues(catalogues)
{
}

SelectedModuleView::~SelectedModuleView() = default;

void SelectedModuleView::Reload()
{
    m_editor.reset();
    m_rows.reset();
    m_loadedFor = 0;
}

void SelectedModuleView::FillPages()
{
    if (m_pageView)
        m_pageView->FillPages();
}

ModuleParameterEditor *SelectedModuleView::ShownModule()
{
    if (m_pageView)
        return m_pageView->ShownModule();
    const ItemHandle current = m_document.CurrentItem();
    if (current == 0 || !m_document.IsOpen()) {
        Reload();
        return nullptr;
    }
    if (current != m_loadedFor && !LoadFor(current))
        return nullptr;
    return m_editor.get();
}

bool SelectedModuleView::LoadFor(ItemHandle handle)
{
    Reload();
    Item *item = m_document.FindItem(handle);
    DbSession *session = m_document.Registry().session();
    CLevelList *levels = m_document.Registry().levels();
    if (!item || !session || !levels)
        return false;
    QString table = item->level().tableName();
    qint32 id = item->id().toInt();
    int shownChannel = 0;
    if (!FamilyOfModuleLevel(item->level().displayString())) {
        if (table != QStringLiteral("Signals"))
            return false;
        std::optional<SignalOwner> owner;
        try {
            owner = ProjectParameterRows::FindSignalOwner(*session, *levels, id);
        } catch (const COLEDBException &) {
            return false;
        }
        if (!owner)
            return false;
        table = owner->moduleTable;
        id = owner->moduleId;
        shownChannel = owner->channel;
    }
    m_rows = std::make_unique<DocumentParameterRows>(m_document, *session, *levels, table, id);
    m_editor = std::make_unique<ModuleParameterEditor>(*m_rows, m_catalogues, shownChannel);
    m_editor->setModifiedHandler([this](bool modified) { m_document.SetModifiedFlag(modified); });
    if (!m_editor->Load()) {
        Reload();
        return false;
    }
    ReadSignalItems(handle);
    m_loadedFor = handle;
    return true;
}

void SelectedModuleView::ReadSignalItems(ItemHandle module)
{
    // The signals the pages show are read as the tree's items too, so that
    // deleting the module compares their rows with what was read, whether or
    // not the Signals folder was ever opened.
    auto *document = qobject_cast<CMy7100Doc *>(&m_document);
    Item *item = m_document.FindItem(module);
    if (!document || !item || !CMy7100Doc::IsModule(*item))
        return;
    for (int channel = 1; channel <= 2; ++channel)
        document->SignalOfChannel(*item, channel);
}

TransferViewPort::CreatedModule SelectedModuleView::CreateConnectedModule(ModuleFamily family,
                                                                          const CModuleImage &connected)
{
    auto *document = qobject_cast<CMy7100Doc *>(&m_document);
    if (!document || !document->Root() || document->Root()->containerChildren().empty())
        return {};
    Item *current = m_document.FindItem(m_document.CurrentItem());
    ContainerItem *parent = current && current->isContainer() ? current->asContainer()
                            : current                         ? current->parent()
                                                              : nullptr;
    if (!parent || !CMy7100Doc::IsFolder(*parent))
        parent = document->Root()->containerChildren().front()->asContainer();
    Reload();
    return {document->AddNewModule(*parent, family, connected.ModulTypID + 1), false};
}
