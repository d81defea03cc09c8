#include "tree/item_form_model.h"

#include "db/data_error.h"
#include "db/text_rules.h"
#include "params/page_strings.h"
#include "params/params_strings.h"
#include "base/command_ids.h"
#include "base/message_service.h"
#include "base/string_table.h"
#include "tree/document.h"
#include "tree/item_form_binder.h"
#include "tree/item_form_strings.h"

#include <algorithm>

using namespace ItemFormStrings;

namespace {
ItemFormField Description()
{
    return {ItemForms::kDescriptionControl, QStringLiteral("Description"), PageStrings::Description,
            ItemForms::kDescriptionLimit, true};
}

ItemFormField Line(int controlId, const char *column, int labelString, int limit)
{
    return {controlId, QString::fromLatin1(column), labelString, limit, false};
}

ItemFormTemplate DescriptionOnly(const char *viewClass, int templateId)
{
    return {QString::fromLatin1(viewClass), templateId, {Description()}};
}

// A label's text as a caption inside a message: without its colon.
QString Caption(int labelString)
{
    QString caption = Str(labelString).trimmed();
    while (caption.endsWith(u':'))
        caption.chop(1);
    return caption.trimmed();
}
} // namespace

namespace ItemForms {
const ItemFormTemplate &ProjectRoot()
{
    static const ItemFormTemplate form{
        QStringLiteral("CProjectRootView"),
        163,
        {Line(1064, "Company", Company, 30), Line(1072, "Project", Project, 50),
         Line(1065, "DevicePlacement", ProjectPlacement, 30), Line(1066, "CreatedBy", CreatedBy, 20),
         Line(1067, "RevisionNr", RevisionNumber, 20), Line(1068, "OrderNr", OrderNumber, 20),
         Line(1069, "DucumentName", DocumentName, 20), Line(1070, "DocumentNr", DocumentNumber, 20),
         Line(1071, "TestingBy", TestingBy, 50), Description()}};
    return form;
}

const ItemFormTemplate &Equipment()
{
    static const ItemFormTemplate form = DescriptionOnly("CEquipmentView", 161);
    return form;
}

const ItemFormTemplate &Rack()
{
    static const ItemFormTemplate form = DescriptionOnly("CRackView", 164);
    return form;
}

const ItemFormTemplate &ZelnorHolder()
{
    static const ItemFormTemplate form = DescriptionOnly("CZelnorHolderView", 162);
    return form;
}

const ItemFormTemplate *ForViewClass(const QString &viewClass)
{
    for (const ItemFormTemplate *form : {&ProjectRoot(), &Equipment(), &Rack(), &ZelnorHolder()})
        if (form->viewClass == viewClass)
            return form;
    return nullptr;
}
} // namespace ItemForms

ItemFormModel::ItemFormModel(C7100Document &document, const ItemFormTemplate &form,
                             std::function<bool()> linkStarted, QObject *parent)
    : QObject(parent), m_document(document), m_form(form), m_linkStarted(std::move(linkStarted))
{
    for (size_t i = 0; i < form.fields.size(); ++i) {
        m_texts << QString();
        m_storedTexts << QString();
    }
    connect(&document, &C7100Document::updateAllViews, this, &ItemFormModel::OnUpdate);
}

ItemFormModel::~ItemFormModel() = default;

int ItemFormModel::FieldIndex(int controlId) const
{
    for (size_t i = 0; i < m_form.fields.size(); ++i)
        if (m_form.fields[i].controlId == controlId)
            return int(i);
    return -1;
}

bool ItemFormModel::HasControl(int controlId) const
{
    return FieldIndex(controlId) >= 0;
}

QString ItemFormModel::text(int controlId) const
{
    const int index = FieldIndex(controlId);
    return index < 0 ? QString() : m_texts.at(index);
}

bool ItemFormModel::IsShownLevel(const Item &item) const
{
    return item.level().attributes().viewClass == m_form.viewClass;
}

Item *ItemFormModel::ShownItem() const
{
    Item *item = m_document.FindItem(m_document.CurrentItem());
    if (!item || item->handle() == m_gone || !IsShownLevel(*item))
        return nullptr;
    return item;
}

bool ItemFormModel::IsVisible() const
{
    return !m_visible || m_visible();
}

bool ItemFormModel::ControlsEnabled() const
{
    return m_linkStarted && m_linkStarted() && ShownItem() != nullptr;
}

// ---------------------------------------------------------------- changes

void ItemFormModel::FieldEdited(int controlId, const QString &text)
{
    const int index = FieldIndex(controlId);
    if (index < 0 || m_texts.at(index) == text)
        return;
    m_texts[index] = text;
    if (m_initialised && ControlsEnabled())
        MarkChanged();
}

void ItemFormModel::MarkChanged()
{
    if (m_document.IsModified())
        return;
    m_document.SetModifiedFlag(true);
    m_changed = true;
    UpdateButtons();
}

void ItemFormModel::UpdateButtons()
{
    Item *item = ShownItem();
    if (item && m_document.IsModified() && item->editState() == EditState::Clean)
        m_document.BeginEdit(*item);
    else if (item && !m_document.IsModified() && item->editState() == EditState::Modified)
        m_document.CancelEdit(*item, this);
    item = ShownItem();
    const bool enabled = item && (m_document.IsModified() || item->editState() == EditState::New);
    m_applyEnabled = enabled;
    m_resetEnabled = enabled;
    emit buttonsChanged();
}

// ---------------------------------------------------------------- exchange

void ItemFormModel::ExchangeFields(ItemFieldBinder &binder)
{
    for (size_t i = 0; i < m_form.fields.size(); ++i)
        binder.Bind(m_form.fields[i].column, m_texts[qsizetype(i)]);
}

bool ItemFormModel::Exchange(Item &item, bool toItem)
{
    ItemFieldBinder binder(
        m_document, item, toItem ? ItemFieldBinder::Direction::ToItem : ItemFieldBinder::Direction::FromItem);
    ExchangeFields(binder);
    return !binder.failed();
}

QStringList ItemFormModel::ReadTexts(Item &item) const
{
    QStringList texts;
    ItemFieldBinder binder(m_document, item, ItemFieldBinder::Direction::FromItem);
    for (const ItemFormField &field : m_form.fields) {
        QString text;
        binder.Bind(field.column, text);
        texts << text;
    }
    return texts;
}

void ItemFormModel::RememberStored(Item &item)
{
    m_storedTexts = ReadTexts(item);
    m_storedFor = item.handle();
}

// A failed save leaves the form's texts in the item; before its edit is
// dropped the item gets back what the database holds, so that the tree and
// the form never show texts that were not stored.
void ItemFormModel::RestoreStoredTexts(Item &item)
{
    if (item.editState() != EditState::Modified || m_storedFor != item.handle())
        return;
    ItemFieldBinder binder(m_document, item, ItemFieldBinder::Direction::ToItem);
    QStringList stored = m_storedTexts;
    for (size_t i = 0; i < m_form.fields.size(); ++i)
        binder.Bind(m_form.fields[i].column, stored[qsizetype(i)]);
}

bool ItemFormModel::CheckTexts() const
{
    const Item *item = ShownItem();
    const QString scope = item ? C7100Document::LevelName(item->level()) : QString();
    for (size_t i = 0; i < m_form.fields.size(); ++i) {
        const ItemFormField &field = m_form.fields[i];
        const QString &text = m_texts.at(qsizetype(i));
        if (TextRules::CharacterCount(text) > field.limit) {
            MessageService::warning(StrF(TooManyCharacters, {field.limit}));
            return false;
        }
        if (TextRules::HasControlCharacter(text, field.multiLine)) {
            MessageService::error(StrF(ParamsStrings::FieldInvalidCharacters,
                                       {scope, Caption(field.labelString), TextRules::EscapeControls(text)}));
            return false;
        }
    }
    return true;
}

void ItemFormModel::ShowValues()
{
    emit textsChanged();
}

// ---------------------------------------------------------------- commands

void ItemFormModel::InitialUpdate()
{
    m_initialised = true;
    emit controlsEnabledChanged();
    ReloadFromItem();
}

bool ItemFormModel::Apply()
{
    Item *item = ShownItem();
    if (!item || !CheckTexts() || !Exchange(*item, true))
        return false;
    struct Applying {
        bool &flag;
        explicit Applying(bool &f) : flag(f) { flag = true; }
        ~Applying() { flag = false; }
    } applying(m_applying);
    const bool saved = m_document.Save(*item, nullptr, true);
    Exchange(*item, false);
    if (saved) {
        RememberStored(*item);
        m_changed = false;
    }
    ShowValues();
    emit itemChanged();
    UpdateButtons();
    return saved;
}

void ItemFormModel::Reset()
{
    Item *item = ShownItem();
    if (item && item->editState() == EditState::New) {
        m_changed = false;
        m_document.SetModifiedFlag(false);
        const ItemHandle handle = item->handle();
        m_gone = handle;
        m_document.CancelEdit(*item, this);
        Forget();
        return;
    }
    ReloadFromItem();
}

void ItemFormModel::ReloadFromItem()
{
    m_document.SetModifiedFlag(false);
    m_changed = false;
    if (Item *item = ShownItem())
        RestoreStoredTexts(*item);
    UpdateButtons();
    emit itemChanged();
    if (Item *item = ShownItem()) {
        Exchange(*item, false);
        if (item->editState() == EditState::Clean)
            RememberStored(*item);
    } else {
        for (QString &text : m_texts)
            text.clear();
    }
    emit controlsEnabledChanged();
    ShowValues();
}

// The shown item is gone: the form is empty and disabled.
void ItemFormModel::Forget()
{
    m_changed = false;
    m_storedFor = 0;
    for (QString &text : m_texts)
        text.clear();
    m_applyEnabled = false;
    m_resetEnabled = false;
    emit buttonsChanged();
    emit itemChanged();
    emit controlsEnabledChanged();
    ShowValues();
}

// ---------------------------------------------------------------- notices

void ItemFormModel::OnUpdate(QObject *sender, int hint, Item *item)
{
    // A form the frame has put away (it goes a moment later) leaves the
    // item to its successor.
    if (m_applying || sender == this || !IsVisible())
        return;
    switch (hint) {
    case C7100Document::HintRebuild:
    case C7100Document::HintLanguage:
        if (ShownItem())
            ReloadFromItem();
        break;
    case C7100Document::HintWritten:
        ItemWrittenElsewhere(item, true);
        break;
    case C7100Document::HintSavedUnchanged:
        ItemWrittenElsewhere(item, false);
        break;
    case C7100Document::HintLinkStarted:
        emit controlsEnabledChanged();
        break;
    case C7100Document::HintRemoved:
        if (Item *shown = ShownItem(); item && shown && (item == shown || item->isAncestorOf(*shown))) {
            m_gone = shown->handle();
            Forget();
        }
        break;
    case C7100Document::HintClear:
        if (Item *shown = ShownItem()) {
            m_gone = shown->handle();
            Forget();
        }
        break;
    default:
        break;
    }
}

void ItemFormModel::ItemWrittenElsewhere(Item *item, bool ask)
{
    Item *shown = ShownItem();
    if (!item || item != shown)
        return;
    // A new item the program stored itself (a parent of what is added below
    // it) holds nothing typed: its form has nothing to lose and asks nothing.
    const bool pending = m_applyEnabled && m_changed;
    if (ask && (!pending || MessageService::riskyQuestion(Str(ChangedOutside)) == MessageAnswer::Yes)) {
        ReloadFromItem();
        return;
    }
    if (!pending || item->editState() != EditState::Clean)
        return;
    // The typed texts stay with an item in edit; the save that just ran
    // cleared the document's modified flag, which the pending texts set
    // again so that leaving the item still asks about them.
    RememberStored(*item);
    m_document.BeginEdit(*item);
    m_document.SetModifiedFlag(true);
}

// ---------------------------------------------------------------- clipboard and drop

ClipboardRoute ItemFormModel::RouteClipboardCommand(int command, const std::optional<FocusedTextField> &focus,
                                                    bool clipboardHasText, bool itemCommandEnabled)
{
    if (!focus)
        return {ClipboardRoute::Target::Item, itemCommandEnabled};
    ClipboardRoute route{ClipboardRoute::Target::TextField, false};
    switch (command) {
    case CommandId::EditCopy:
        route.enabled = focus->hasSelection;
        break;
    case CommandId::EditCut:
        route.enabled = focus->hasSelection && !focus->readOnly;
        break;
    case CommandId::EditPaste:
        route.enabled = clipboardHasText && !focus->readOnly;
        break;
    default:
        break;
    }
    return route;
}

DropEffect ItemFormModel::DragEffect(bool accepted, bool controlHeld)
{
    if (!accepted)
        return DropEffect::None;
    return controlHeld ? DropEffect::Copy : DropEffect::Move;
}

DropMenuChoice ItemFormModel::DropMenu(bool moveAllowed, bool copyAllowed, DropEffect proposed)
{
    return OfferDropMenu(moveAllowed, copyAllowed, proposed);
}
