#pragma once

#include "base/pane_commands.h"
#include "tree/item_form_model.h"

#include <QPointer>
#include <QScrollArea>

#include <functional>
#include <map>

class C7100Document;
class QLabel;
class QLineEdit;
class QMimeData;
class QPlainTextEdit;
class QPushButton;

// What an item form needs of the program.
struct ItemFormContext {
    C7100Document *document = nullptr;
    std::function<bool()> linkStarted;
    // The form on screen, for the question before the current item is left.
    ItemFormPort *port = nullptr;
    // The tree's clipboard commands on the current item (Copy, Cut, Paste):
    // whether one is enabled, and carrying it out. Without them the
    // commands act on text fields only.
    std::function<bool(int command)> itemCommandEnabled;
    std::function<void(int command)> runItemCommand;
    // Shows the form's context menu (24624) at a point of the screen.
    std::function<void(const QPoint &globalPos)> showContextMenu;
    // Dropping dragged items under the current item: whether the data can
    // go there, and the drop itself (true when it was carried out).
    std::function<bool(const QMimeData &data, bool move)> canDrop;
    std::function<bool(const QMimeData &data, bool move)> drop;
};

// The form of an item of the project, a plant, a cabinet or a
// zelnor-carrier: the level's icon, the item's name, the text fields of
// its template with their labels, and "&Apply" and "&Reset". It shows the
// form model and forwards what the user does; the rules live in the model.
class CTagView : public QScrollArea, public PaneCommandTarget {
    Q_OBJECT
public:
    CTagView(const ItemFormContext &context, const ItemFormTemplate &form, QWidget *parent = nullptr);
    ~CTagView() override;

    ItemFormModel &model() { return *m_model; }
    QWidget *control(int controlId) const;

    // PaneCommandTarget.
    std::optional<bool> PaneCommandEnabled(int id) override;
    bool RunPaneCommand(int id) override;
    AcceleratorTable PaneAccelerators() const override;

    // The drop of dragged data at a point of the form, as the mouse would
    // drop it; rightButton shows the Move Here / Copy Here menu first. The
    // effect it had; None when nothing was dropped.
    DropEffect DropData(const QMimeData &data, bool controlHeld, bool rightButton);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void BuildForm();
    QWidget *BuildField(const ItemFormField &field);
    void ShowTexts();
    void ShowEnabled();
    void ShowItem();
    void ApplyClicked();
    // The field that takes the focus when the form gets it as a pane: the
    // first one-line field, else the description; only an enabled one.
    QWidget *FirstField() const;
    bool RunTextFieldCommand(int id);
    DropEffect EffectOver(const QMimeData &data, Qt::KeyboardModifiers modifiers) const;
    DropEffect ChooseFromDropMenu(const QMimeData &data, DropEffect proposed);

    ItemFormContext m_context;
    const ItemFormTemplate &m_form;
    ItemFormModel *m_model = nullptr;
    QLabel *m_icon = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_level = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_reset = nullptr;
    std::map<int, QWidget *> m_fields;
    bool m_filling = false;
};

// The four forms name their template; the rest is the base's.
class CProjectRootView : public CTagView {
    Q_OBJECT
public:
    CProjectRootView(const ItemFormContext &context, QWidget *parent = nullptr)
        : CTagView(context, ItemForms::ProjectRoot(), parent)
    {
    }
};

class CEquipmentView : public CTagView {
    Q_OBJECT
public:
    CEquipmentView(const ItemFormContext &context, QWidget *parent = nullptr)
        : CTagView(context, ItemForms::Equipment(), parent)
    {
    }
};

class CRackView : public CTagView {
    Q_OBJECT
public:
    CRackView(const ItemFormContext &context, QWidget *parent = nullptr)
        : CTagView(context, ItemForms::Rack(), parent)
    {
    }
};

class CZelnorHolderView : public CTagView {
    Q_OBJECT
public:
    CZelnorHolderView(const ItemFormContext &context, QWidget *parent = nullptr)
        : CTagView(context, ItemForms::ZelnorHolder(), parent)
    {
    }
};

// The form of a view class; null when the class names no form.
CTagView *CreateItemFormView(const QString &viewClass, const ItemFormContext &context, QWidget *parent);
