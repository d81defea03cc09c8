#include "tree/drag_drop_presenter.h"

#include "base/presenter_slot.h"
#include "tree/document.h"
#include "tree/item_progress.h"

#include <QPointer>

#include <algorithm>
#include <utility>

namespace {
using MenuSlot = PresenterSlot<DropMenuService, DropMenuService::Presenter>;
}

DropMenuService::Presenter DropMenuService::setPresenter(Presenter presenter)
{
    return MenuSlot::replace(std::move(presenter));
}

DropChoice DropMenuService::Choose(const DropMenuChoice &offer)
{
    const Presenter &presenter = MenuSlot::current();
    if (!presenter || offer.entries.empty())
        return DropChoice::Cancel;
    const DropChoice choice = presenter(offer);
    // An answer the menu did not offer cancels.
    const DropEffect effect = EffectOf(choice);
    if (std::find(offer.entries.begin(), offer.entries.end(), effect) == offer.entries.end())
        return DropChoice::Cancel;
    return choice;
}

DropEffect DropMenuService::EffectOf(DropChoice choice)
{
    switch (choice) {
    case DropChoice::Move:
        return DropEffect::Move;
    case DropChoice::Copy:
        return DropEffect::Copy;
    case DropChoice::Cancel:
        break;
    }
    return DropEffect::None;
}

// The drag this program offers: its items, whether it still runs here, and
// whether a drop has pasted its move in full. Shared with the completion
// callback, which may come after the view that began the drag is gone.
struct DragDropPresenter::OfferedDrag {
    QPointer<C7100Document> document;
    std::vector<ItemHandle> items;
    bool running = true;
    bool completed = false;

    void DeleteItems()
    {
        if (!document)
            return;
        BulkScope bulk(*document, false);
        for (ItemHandle handle : std::exchange(items, {}))
            if (Item *item = document->FindItem(handle))
                document->Delete(*item);
    }
};

DragDropPresenter::DragDropPresenter(C7100Document &document) : m_document(document)
{
}

DragDropPresenter::~DragDropPresenter() = default;

std::optional<TransferPayload> DragDropPresenter::StartDrag(const std::vector<ItemHandle> &items,
                                                            bool rightButton, const QByteArray &dragImage)
{
    m_offered.reset();
    std::vector<Item *> dragged;
    for (ItemHandle handle : items) {
        Item *item = m_document.FindItem(handle);
        if (!m_document.CanCopy(item))
            return std::nullopt;
        dragged.push_back(item);
    }
    if (dragged.empty())
        return std::nullopt;
    const std::optional<TransferSet> set = m_document.Describe(dragged, false);
    if (!set)
        return std::nullopt;
    TransferPayload payload = m_document.MakeTransferData(*set);
    payload.Set(TransferFormats::BitmapDrag(), dragImage);
    if (rightButton)
        payload.Set(TransferFormats::RightClickDrag(), QByteArray());
    auto offered = std::make_shared<OfferedDrag>();
    offered->document = &m_document;
    offered->items = items;
    // The drop's program says when a move was pasted; while the drag still
    // runs here its end deletes the items.
    const QString completion = m_document.TransferFormatNames().completion;
    payload.Set(completion, m_document.Clipboard().OfferDrag(ClipboardOwner{completion, [offered] {
                                                                                 offered->completed = true;
                                                                                 if (!offered->running)
                                                                                     offered->DeleteItems();
                                                                             },
                                                                             {}}));
    m_offered = std::move(offered);
    return payload;
}

DropEffect DragDropPresenter::DragOver(const TransferData &data, ItemHandle target, bool control) const
{
    if (!m_document.AcceptsData(data, m_document.FindItem(target)))
        return DropEffect::None;
    // A right drag decides at the drop; until then it shows a move.
    if (data.HasFormat(TransferFormats::RightClickDrag()))
        return DropEffect::Move;
    return control ? DropEffect::Copy : DropEffect::Move;
}

DropEffect DragDropPresenter::Fail(const char *reason)
{
    m_lastFailure = QString::fromLatin1(reason);
    return DropEffect::None;
}

DragDropPresenter::Dropped DragDropPresenter::Read(const TransferData &data) const
{
    // Read once, before any menu: the source may stop offering its data
    // while the user chooses.
    Dropped dropped;
    dropped.set = m_document.ReadTransferData(data);
    dropped.completion = data.Data(m_document.TransferFormatNames().completion);
    return dropped;
}

DropEffect DragDropPresenter::Drop(const TransferData &data, ItemHandle target, bool control)
{
    m_lastFailure.clear();
    DropEffect effect = control ? DropEffect::Copy : DropEffect::Move;
    const bool accepted = m_document.AcceptsData(data, m_document.FindItem(target));
    const Dropped dropped = Read(data);
    if (data.HasFormat(TransferFormats::RightClickDrag()) && dropped.set) {
        effect = DropMenuService::EffectOf(DropMenuService::Choose(OfferDropMenu(true, true, effect)));
        if (effect == DropEffect::None)
            return Fail("OnDrop: cancelled");
    }
    return PasteDropped(dropped, accepted, target, effect);
}

DropEffect DragDropPresenter::DropAs(const TransferData &data, ItemHandle target, DropEffect effect)
{
    m_lastFailure.clear();
    const bool accepted = m_document.AcceptsData(data, m_document.FindItem(target));
    return PasteDropped(Read(data), accepted, target, effect);
}

DropEffect DragDropPresenter::PasteDropped(const Dropped &dropped, bool accepted, ItemHandle target,
                                           DropEffect effect)
{
    if (!dropped.set)
        return Fail("OnDrop: unsupported drag and drop format");
    if (effect == DropEffect::None)
        return Fail("OnDrop: cancelled");
    TransferSet set = *dropped.set;
    set.move = effect == DropEffect::Move;
    Item *parent = m_document.FindItem(target);
    // A drop may arrive where the last move was not asked (Ctrl let go).
    if (!parent || !parent->isContainer() || !accepted)
        return Fail("OnDrop: Parent isn't a Level.");
    if (!m_document.PasteItems(set, *parent))
        return Fail("OnDrop: don't proceed moving");
    // Only now may the source of a move delete its items.
    if (set.move)
        m_document.Clipboard().CompleteDrag(dropped.completion);
    return effect;
}

void DragDropPresenter::DragFinished(DropEffect)
{
    // The effect the drop reported is not what counts: between programs it
    // is reported before the drop has been carried out (or its menu
    // answered).
    if (!m_offered)
        return;
    m_offered->running = false;
    // A drop in this program completed the move already; one in another
    // program may complete it later.
    if (m_offered->completed)
        m_offered->DeleteItems();
}
