#pragma once

#include "tree/drop_effect.h"
#include "tree/item.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class C7100Document;
class ItemFieldBinder;

// One text field of a form and the column it edits.
struct ItemFormField {
    int controlId = 0;
    QString column;
    int labelString = 0; // its label's text
    int limit = 0;       // characters the field keeps
    bool multiLine = false;
};

// What a form shows: the view class the level list names, the template,
// and its fields in the order they stand on the form.
struct ItemFormTemplate {
    QString viewClass;
    int templateId = 0;
    std::vector<ItemFormField> fields;
};

namespace ItemForms {
inline constexpr int kIconControl = 50354;
inline constexpr int kDescriptionControl = 1042;
inline constexpr int kApplyButton = 40200;
inline constexpr int kResetButton = 40201;
// The control the rename command focuses; none of the forms has one.
inline constexpr int kNameControl = 1299;
inline constexpr int kDescriptionLimit = 76;

const ItemFormTemplate &ProjectRoot();
const ItemFormTemplate &Equipment();
const ItemFormTemplate &Rack();
const ItemFormTemplate &ZelnorHolder();
// The form of a view class; null for a class that is not a form.
const ItemFormTemplate *ForViewClass(const QString &viewClass);
} // namespace ItemForms

// The focused control when it is a text field, as the clipboard commands
// see it.
struct FocusedTextField {
    bool readOnly = false;
    bool hasSelection = false;
};

// Where a clipboard command of the form goes: into the focused text field,
// or to the tree, which acts on the current item.
struct ClipboardRoute {
    enum class Target { TextField, Item };
    Target target = Target::Item;
    bool enabled = false;
};

// The logic of an item form: the members of its fields, when a change
// begins the item's edit, Apply, Reset, the reload when the item was
// written elsewhere, which controls and buttons are enabled, and where the
// clipboard commands go. The widget shows the members and forwards what
// the user types; tests drive the same operations without a window.
class ItemFormModel : public QObject {
    Q_OBJECT
public:
    ItemFormModel(C7100Document &document, const ItemFormTemplate &form, std::function<bool()> linkStarted,
                  QObject *parent = nullptr);
    ~ItemFormModel() override;

    const ItemFormTemplate &form() const { return m_form; }
    // The visible state of the widget; without a probe the form counts as
    // visible.
    void setVisibleProbe(std::function<bool()> probe) { m_visible = std::move(probe); }

    // The form's members, one text per field in template order.
    const QStringList &texts() const { return m_texts; }
    QString text(int controlId) const;
    // The user changed the text of a field (edit update notification).
    void FieldEdited(int controlId, const QString &text);

    // First update: from now on changes count; the controls follow the
    // link-started flag; then the values are shown.
    void InitialUpdate();
    void OnUpdate(QObject *sender, int hint, Item *item);

    bool Apply();
    void Reset();
    void ReloadFromItem();

    // The current item when this form shows its level; else null.
    Item *ShownItem() const;
    bool IsChanged() const { return m_changed; }
    bool ApplyEnabled() const { return m_applyEnabled; }
    bool ResetEnabled() const { return m_resetEnabled; }
    bool ControlsEnabled() const;
    int NameControlId() const { return ItemForms::kNameControl; }
    bool HasControl(int controlId) const;

    // The clipboard commands (Copy, Cut, Paste) with the focused text field,
    // or none when the focus is elsewhere.
    static ClipboardRoute RouteClipboardCommand(int command, const std::optional<FocusedTextField> &focus,
                                                bool clipboardHasText, bool itemCommandEnabled);
    // The effect of a drag over the form: copy with Ctrl, else move, when the
    // document accepts the data under the current item.
    static DropEffect DragEffect(bool accepted, bool controlHeld);
    // The entries of the drop menu: the allowed effects, the proposed one
    // marked as default.
    static DropMenuChoice DropMenu(bool moveAllowed, bool copyAllowed, DropEffect proposed);

signals:
    // The members changed: the controls show them again.
    void textsChanged();
    // Apply and Reset changed their enabled state.
    void buttonsChanged();
    // The controls became enabled or disabled.
    void controlsEnabledChanged();
    // The item shown changed (its icon and title).
    void itemChanged();

private:
    void MarkChanged();
    void UpdateButtons();
    bool Exchange(Item &item, bool toItem);
    void ExchangeFields(ItemFieldBinder &binder);
    // The texts the controls hold keep their limits and hold no control
    // characters; false after the message that says which does not.
    bool CheckTexts() const;
    bool IsShownLevel(const Item &item) const;
    bool IsVisible() const;
    void ItemWrittenElsewhere(Item *item, bool ask);
    void ShowValues();
    void RestoreStoredTexts(Item &item);
    QStringList ReadTexts(Item &item) const;
    void RememberStored(Item &item);
    void Forget();
    int FieldIndex(int controlId) const;

    C7100Document &m_document;
    const ItemFormTemplate &m_form;
    std::function<bool()> m_linkStarted;
    std::function<bool()> m_visible;
    QStringList m_texts;
    // The texts of the item as last read from a clean item or stored: what
    // the database holds.
    QStringList m_storedTexts;
    ItemHandle m_storedFor = 0;
    // The item the form showed until it was removed.
    ItemHandle m_gone = 0;
    bool m_changed = false;
    bool m_initialised = false;
    bool m_applying = false;
    bool m_applyEnabled = false;
    bool m_resetEnabled = false;
};

// The form on screen, for the question before the current item is left:
// "Yes" applies it. A form that goes detaches only itself.
class ItemFormPort {
public:
    void Attach(ItemFormModel *form) { m_form = form; }
    void Detach(const ItemFormModel *form)
    {
        if (m_form == form)
            m_form = nullptr;
    }
    ItemFormModel *Shown() const { return m_form; }
    // True when there is nothing to apply or the apply succeeded.
    bool Apply() { return !m_form || !m_form->ShownItem() || m_form->Apply(); }

private:
    ItemFormModel *m_form = nullptr;
};
