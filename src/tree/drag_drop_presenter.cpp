#include "tree/drag_drop_presenter.h"

#include "base/presenter_slot.h"
#include "tree/document.h"
#include "tree/item_progress.h"

#include <algorithm>

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

std::optional<TransferPayload> DragDropPresenter::StartDrag(const std::vector<ItemHandle> &items,
                                                            bool rightButton, const QByteArray &dragImage)
{
    m_dragged.clear();
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
    m_dragged = items;
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

DropEffect DragDropPresenter::Drop(const TransferData &data, ItemHandle target, bool control)
{
    m_lastFailure.clear();
    DropEffect effect = control ? DropEffect::Copy : DropEffect::Move;
    if (data.HasFormat(TransferFormats::RightClickDrag()) && m_document.ReadTransferData(data)) {
        effect = DropMenuService::EffectOf(DropMenuService::Choose(OfferDropMenu(true, true, effect)));
        if (effect == DropEffect::None)
            return Fail("OnDrop: cancelled");
    }
    return DropAs(data, target, effect);
}

DropEffect DragDropPresenter::DropAs(const TransferData &data, ItemHandle target, DropEffect effect)
{
    m_lastFailure.clear();
    std::optional<TransferSet> set = m_document.ReadTransferData(data);
    if (!set)
        return Fail("OnDrop: unsupported drag and drop format");
    if (effect == DropEffect::None)
        return Fail("OnDrop: cancelled");
    set->move = effect == DropEffect::Move;
    Item *parent = m_document.FindItem(target);
    // A drop may arrive where the last move was not asked (Ctrl let go).
    if (!parent || !parent->isContainer() || !m_document.AcceptsData(data, parent))
        return Fail("OnDrop: Parent isn't a Level.");
    if (!m_document.PasteItems(*set, *parent))
        return Fail("OnDrop: don't proceed moving");
    return effect;
}

void DragDropPresenter::DragFinished(DropEffect effect)
{
    const std::vector<ItemHandle> dragged = std::move(m_dragged);
    m_dragged.clear();
    if (effect != DropEffect::Move)
        return;
    BulkScope bulk(m_document, false);
    for (ItemHandle handle : dragged)
        if (Item *item = m_document.FindItem(handle))
            m_document.Delete(*item);
}
