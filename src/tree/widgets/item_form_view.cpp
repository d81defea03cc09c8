#include "tree/widgets/item_form_view.h"

#include "params/page_strings.h"
#include "base/command_ids.h"
#include "base/help_topics.h"
#include "base/language.h"
#include "base/string_table.h"
#include "tree/document.h"
#include "tree/document_tree_model.h"
#include "tree/drag_drop_presenter.h"
#include "tree/item_form_strings.h"
#include "tree/widgets/command_focus.h"
#include "tree/widgets/text_field_commands.h"
#include "tree/widgets/tree_images.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {
constexpr int kIconSize = 20;
// Lines the description shows without scrolling.
constexpr int kDescriptionLines = 4;

// A button or label text without its access key.
QString WithoutAccessKey(const QString &text)
{
    QString plain = text;
    plain.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return plain;
}

// A field as wide as its limit of average characters (the description as
// wide as the form's text block), so that the form shows what fits.
int FieldWidth(const QFontMetrics &metrics, int characters)
{
    return metrics.averageCharWidth() * (characters + 2) + 12;
}
} // namespace

CTagView::CTagView(const ItemFormContext &context, const ItemFormTemplate &form, QWidget *parent)
    : QScrollArea(parent), m_context(context), m_form(form)
{
    setObjectName(form.viewClass);
    setProperty("helpTopic", HelpTopics::kItemForm);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setAcceptDrops(true);
    m_model = new ItemFormModel(*context.document, form, context.linkStarted, this);
    // Shown, or never shown nor hidden yet (a form being built); a form the
    // frame hid to put it away is not.
    m_model->setVisibleProbe(
        [this] { return isVisible() || !testAttribute(Qt::WA_WState_ExplicitShowHide); });
    BuildForm();
    connect(m_model, &ItemFormModel::textsChanged, this, &CTagView::ShowTexts);
    connect(m_model, &ItemFormModel::buttonsChanged, this, &CTagView::ShowEnabled);
    connect(m_model, &ItemFormModel::controlsEnabledChanged, this, &CTagView::ShowEnabled);
    connect(m_model, &ItemFormModel::itemChanged, this, &CTagView::ShowItem);
    if (m_context.port)
        m_context.port->Attach(m_model);
    m_model->InitialUpdate();
}

CTagView::~CTagView()
{
    if (m_context.port)
        m_context.port->Detach(m_model);
}

QWidget *CTagView::control(int controlId) const
{
    const auto found = m_fields.find(controlId);
    if (found != m_fields.end())
        return found->second;
    if (controlId == ItemForms::kApplyButton)
        return m_apply;
    if (controlId == ItemForms::kResetButton)
        return m_reset;
    if (controlId == ItemForms::kIconControl)
        return m_icon;
    return nullptr;
}

// ---------------------------------------------------------------- layout

void CTagView::BuildForm()
{
    auto *page = new QWidget(this);
    page->setObjectName(QString::number(m_form.templateId));
    auto *column = new QVBoxLayout(page);

    auto *head = new QHBoxLayout;
    m_icon = new QLabel(page);
    m_icon->setObjectName(QString::number(ItemForms::kIconControl));
    m_icon->setFixedSize(kIconSize, kIconSize);
    m_title = new QLabel(page);
    m_title->setObjectName(QStringLiteral("Title"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setTextFormat(Qt::PlainText);
    // The level's name stands after the item's own name, in every language
    // without punctuation between them.
    m_level = new QLabel(page);
    m_level->setObjectName(QStringLiteral("Level"));
    m_level->setForegroundRole(QPalette::PlaceholderText);
    head->addWidget(m_icon);
    head->addSpacing(4);
    head->addWidget(m_title);
    head->addSpacing(8);
    head->addWidget(m_level, 1);
    column->addLayout(head);

    // The one-line fields stand one below the other in an untitled group,
    // their labels in one column to their left.
    QGridLayout *grid = nullptr;
    for (const ItemFormField &field : m_form.fields) {
        if (field.multiLine)
            continue;
        if (!grid) {
            auto *group = new QGroupBox(page);
            group->setObjectName(QStringLiteral("FieldGroup"));
            grid = new QGridLayout(group);
            grid->setHorizontalSpacing(12);
            // The group is as wide as its widest field, not as the pane.
            column->addWidget(group, 0, Qt::AlignLeft);
        }
        const int row = grid->rowCount();
        auto *label = new QLabel(Str(field.labelString), page);
        label->setObjectName(QStringLiteral("Label%1").arg(field.controlId));
        QWidget *edit = BuildField(field);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(edit, row, 1, Qt::AlignLeft);
    }
    for (const ItemFormField &field : m_form.fields) {
        if (!field.multiLine)
            continue;
        auto *label = new QLabel(Str(field.labelString), page);
        label->setObjectName(QStringLiteral("Label%1").arg(field.controlId));
        QWidget *edit = BuildField(field);
        label->setBuddy(edit);
        column->addSpacing(4);
        column->addWidget(label);
        column->addWidget(edit, 0, Qt::AlignLeft);
    }

    auto *buttons = new QHBoxLayout;
    m_apply = new QPushButton(Str(PageStrings::ApplyButton), page);
    m_apply->setObjectName(QString::number(ItemForms::kApplyButton));
    m_apply->setAccessibleName(WithoutAccessKey(m_apply->text()));
    m_apply->setDefault(true);
    m_reset = new QPushButton(Str(PageStrings::ResetButton), page);
    m_reset->setObjectName(QString::number(ItemForms::kResetButton));
    m_reset->setAccessibleName(WithoutAccessKey(m_reset->text()));
    buttons->addWidget(m_apply);
    buttons->addWidget(m_reset);
    buttons->addStretch(1);
    column->addSpacing(6);
    column->addLayout(buttons);
    column->addStretch(1);
    connect(m_apply, &QPushButton::clicked, this, &CTagView::ApplyClicked);
    connect(m_reset, &QPushButton::clicked, this, [this] { m_model->Reset(); });
    setWidget(page);
}

QWidget *CTagView::BuildField(const ItemFormField &field)
{
    const QString name = WithoutAccessKey(Str(field.labelString))
                             .trimmed()
                             .remove(QRegularExpression(QStringLiteral("\\s*:$")));
    const int id = field.controlId;
    QWidget *edit = nullptr;
    if (field.multiLine) {
        auto *text = new QPlainTextEdit(this);
        text->setTabChangesFocus(true);
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        const QFontMetrics metrics(text->font());
        text->setFixedSize(FieldWidth(metrics, 60), metrics.lineSpacing() * kDescriptionLines + 12);
        connect(text, &QPlainTextEdit::textChanged, this, [this, text, id] {
            if (!m_filling)
                m_model->FieldEdited(id, text->toPlainText());
        });
        edit = text;
    } else {
        auto *line = new QLineEdit(this);
        line->setMaxLength(field.limit);
        line->setFixedWidth(FieldWidth(QFontMetrics(line->font()), field.limit));
        connect(line, &QLineEdit::textEdited, this,
                [this, id](const QString &text) { m_model->FieldEdited(id, text); });
        // Enter in a one-line field presses the default button.
        connect(line, &QLineEdit::returnPressed, this, &CTagView::ApplyClicked);
        edit = line;
    }
    edit->setObjectName(QString::number(id));
    edit->setAccessibleName(name);
    m_fields[id] = edit;
    return edit;
}

// ---------------------------------------------------------------- showing the model

void CTagView::ShowTexts()
{
    m_filling = true;
    for (const ItemFormField &field : m_form.fields) {
        const QString text = m_model->text(field.controlId);
        QWidget *edit = m_fields.at(field.controlId);
        if (auto *line = qobject_cast<QLineEdit *>(edit)) {
            if (line->text() != text)
                line->setText(text);
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(edit)) {
            if (plain->toPlainText() != text)
                plain->setPlainText(text);
        }
    }
    m_filling = false;
}

void CTagView::ShowEnabled()
{
    const bool enabled = m_model->ControlsEnabled();
    for (const auto &[id, edit] : m_fields)
        edit->setEnabled(enabled);
    m_apply->setEnabled(enabled && m_model->ApplyEnabled());
    m_reset->setEnabled(enabled && m_model->ResetEnabled());
}

void CTagView::ShowItem()
{
    const Item *item = m_model->ShownItem();
    if (!item) {
        m_icon->clear();
        m_title->clear();
        m_level->clear();
        return;
    }
    const CTableLevel &level = item->level();
    m_icon->setPixmap(
        TreeImages::IconOf(level.attributes().treeImage, level.tableName()).pixmap(kIconSize, kIconSize));
    // The project's name in the user's language, as the tree shows it.
    m_title->setText(DocumentTreeModel::EntryText(*m_context.document, *item, Language::current()));
    m_level->setText(C7100Document::LevelName(level));
}

void CTagView::ApplyClicked()
{
    if (!m_apply->isEnabled())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->Apply();
    QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------- commands

QWidget *CTagView::FirstField() const
{
    for (const bool multiLine : {false, true})
        for (const ItemFormField &field : m_form.fields)
            if (field.multiLine == multiLine)
                if (QWidget *edit = m_fields.at(field.controlId); edit->isEnabled())
                    return edit;
    return nullptr;
}

// The frame hands the focus to the pane (F6); keystrokes belong in a field,
// not in the scroll area around them.
void CTagView::focusInEvent(QFocusEvent *event)
{
    QScrollArea::focusInEvent(event);
    if (QWidget *field = FirstField())
        field->setFocus(event->reason());
}

std::optional<bool> CTagView::PaneCommandEnabled(int id)
{
    switch (id) {
    case CommandId::EditCopy:
    case CommandId::EditCut:
    case CommandId::EditPaste:
        if (const std::optional<bool> inField = TextFieldCommands::Enabled(*this, id))
            return *inField;
        return m_context.itemCommandEnabled && m_context.itemCommandEnabled(id);
    case CommandId::Rename:
        return m_model->HasControl(m_model->NameControlId());
    case CommandId::DeleteKey:
        return QApplication::focusWidget() != nullptr;
    case CommandId::FormApply:
        return m_apply->isEnabled();
    case CommandId::FormReset:
        return m_reset->isEnabled();
    default:
        return std::nullopt;
    }
}

bool CTagView::RunTextFieldCommand(int id)
{
    // What the clipboard changed in a field counts as the user's edit.
    if (auto *line = qobject_cast<QLineEdit *>(TextFieldCommands::Run(id)))
        m_model->FieldEdited(line->objectName().toInt(), line->text());
    return true;
}

bool CTagView::RunPaneCommand(int id)
{
    switch (id) {
    case CommandId::EditCopy:
    case CommandId::EditCut:
    case CommandId::EditPaste:
        if (TextFieldCommands::Focused(*this))
            return RunTextFieldCommand(id);
        if (m_context.runItemCommand)
            m_context.runItemCommand(id);
        return true;
    case CommandId::Rename:
        if (QWidget *name = control(m_model->NameControlId())) {
            name->setFocus();
            if (auto *line = qobject_cast<QLineEdit *>(name))
                line->selectAll();
        }
        return true;
    case CommandId::DeleteKey:
        TextFieldCommands::SendDeleteKey();
        return true;
    case CommandId::FormApply:
        ApplyClicked();
        return true;
    case CommandId::FormReset:
        m_model->Reset();
        return true;
    default:
        return false;
    }
}

AcceleratorTable CTagView::PaneAccelerators() const
{
    return AcceleratorTable::Form;
}

void CTagView::contextMenuEvent(QContextMenuEvent *event)
{
    const QPoint at =
        event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(0, 0)) : event->globalPos();
    if (m_context.showContextMenu)
        m_context.showContextMenu(at);
    event->accept();
}

// ---------------------------------------------------------------- drop target

DropEffect CTagView::EffectOver(const QMimeData &data, Qt::KeyboardModifiers modifiers) const
{
    const bool copy = modifiers.testFlag(Qt::ControlModifier);
    const bool accepted = m_context.canDrop && m_model->ShownItem() && m_context.canDrop(data, !copy);
    return ItemFormModel::DragEffect(accepted, copy);
}

void CTagView::dragEnterEvent(QDragEnterEvent *event)
{
    const DropEffect effect = EffectOver(*event->mimeData(), event->modifiers());
    if (effect == DropEffect::None) {
        event->ignore();
        return;
    }
    event->setDropAction(effect == DropEffect::Copy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void CTagView::dragMoveEvent(QDragMoveEvent *event)
{
    const DropEffect effect = EffectOver(*event->mimeData(), event->modifiers());
    if (effect == DropEffect::None) {
        event->ignore();
        return;
    }
    event->setDropAction(effect == DropEffect::Copy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void CTagView::dropEvent(QDropEvent *event)
{
    const bool right = event->mimeData()->hasFormat(TransferFormats::RightClickDrag());
    const DropEffect effect =
        DropData(*event->mimeData(), event->modifiers().testFlag(Qt::ControlModifier), right);
    if (effect == DropEffect::None) {
        event->ignore();
        return;
    }
    // The source learns the effect the drop had, not the one proposed: a
    // copy chosen from the menu must not delete the originals.
    event->setDropAction(effect == DropEffect::Copy ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

DropEffect CTagView::ChooseFromDropMenu(const QMimeData &data, DropEffect proposed)
{
    const bool moveAllowed = m_context.canDrop(data, true);
    const bool copyAllowed = m_context.canDrop(data, false);
    return DropMenuService::EffectOf(
        DropMenuService::Choose(ItemFormModel::DropMenu(moveAllowed, copyAllowed, proposed)));
}

DropEffect CTagView::DropData(const QMimeData &data, bool controlHeld, bool rightButton)
{
    DropEffect effect = EffectOver(data, controlHeld ? Qt::ControlModifier : Qt::NoModifier);
    if (effect == DropEffect::None || !m_context.drop)
        return DropEffect::None;
    if (rightButton)
        effect = ChooseFromDropMenu(data, effect);
    if (effect == DropEffect::None)
        return DropEffect::None;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool dropped = m_context.drop(data, effect == DropEffect::Move);
    QApplication::restoreOverrideCursor();
    return dropped ? effect : DropEffect::None;
}

// ---------------------------------------------------------------- factory

CTagView *CreateItemFormView(const QString &viewClass, const ItemFormContext &context, QWidget *parent)
{
    if (viewClass == ItemForms::ProjectRoot().viewClass)
        return new CProjectRootView(context, parent);
    if (viewClass == ItemForms::Equipment().viewClass)
        return new CEquipmentView(context, parent);
    if (viewClass == ItemForms::Rack().viewClass)
        return new CRackView(context, parent);
    if (viewClass == ItemForms::ZelnorHolder().viewClass)
        return new CZelnorHolderView(context, parent);
    return nullptr;
}
