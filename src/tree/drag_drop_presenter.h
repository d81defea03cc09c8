#pragma once

#include "tree/drop_effect.h"
#include "tree/item.h"
#include "tree/transfer_set.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class C7100Document;

// The entries of the menu a right drag shows at the drop ("Move Here",
// "Copy Here", "Cancel").
enum class DropChoice { Move, Copy, Cancel };

// Asks the user what a right drag does, offering the allowed entries with
// the proposed one as default. The program shows the menu (the tree, the
// list and the item forms share it); tests answer it; without a presenter
// the drop is cancelled.
class DropMenuService {
public:
    using Presenter = std::function<DropChoice(const DropMenuChoice &offer)>;
    static Presenter setPresenter(Presenter presenter);
    // Cancel at once when the offer holds no entry.
    static DropChoice Choose(const DropMenuChoice &offer);
    // The effect of a choice (None for Cancel).
    static DropEffect EffectOf(DropChoice choice);
};

// Dragging items out of the tree or the list and dropping them on an entry,
// without a window: the views pass what the drag carries and where the
// cursor is, and show what it answers. A view holds one and:
// - on a left or right drag past the start distance: StartDrag(handles,
//   right, entry image as PNG); nothing means no drag; else a QDrag with
//   MakeTransferMimeData(payload), exec(Copy | Move), then DragFinished;
// - on drag enter and move: DragOver(MimeTransferData(mime), handle under the
//   cursor, Ctrl held); None ignores the event, else that action is accepted;
//   the entry under the cursor opens after AutoExpandDelay ms;
// - on the drop: Drop(...) with the same arguments; None ignores the event,
//   else the action is accepted and the target becomes selected.
class DragDropPresenter {
public:
    explicit DragDropPresenter(C7100Document &document);
    ~DragDropPresenter();
    DragDropPresenter(const DragDropPresenter &) = delete;
    DragDropPresenter &operator=(const DragDropPresenter &) = delete;

    // How long the cursor rests on a closed entry before it opens.
    static int AutoExpandDelay() { return 1000; }

    // Starts a drag of items (tree: one; list: every selected row): the data
    // to offer with the copy and move effects, the drag image under
    // "BitmapDragDrop", and for a right drag "RightClickDragDrop" too.
    // Nothing when an item cannot be copied.
    std::optional<TransferPayload> StartDrag(const std::vector<ItemHandle> &items, bool rightButton,
                                             const QByteArray &dragImage);
    // The effect a drop on target would have now; None where it is refused.
    DropEffect DragOver(const TransferData &data, ItemHandle target, bool control) const;
    // The drop on target (a container item): pasted with the move flag for a
    // move; the effect reported to the source, None when it failed. A move
    // pasted in full tells its source, in this program or another, which
    // then deletes the dragged items.
    DropEffect Drop(const TransferData &data, ItemHandle target, bool control);
    // The drop with an effect already decided (the item forms ask their
    // menu first): pasted under target, moving for Move.
    DropEffect DropAs(const TransferData &data, ItemHandle target, DropEffect effect);
    // The drag that StartDrag began has ended. Its items are deleted
    // without a question once a drop has told that it pasted their move,
    // now or (from another program) later; a cancelled drop, a copy or a
    // failed paste tells nothing and nothing is deleted.
    void DragFinished(DropEffect reported);

    // Why the last drop ended without effect (never shown to the user).
    const QString &LastFailure() const { return m_lastFailure; }

private:
    struct OfferedDrag;
    // What a drop carries, read at once.
    struct Dropped {
        std::optional<TransferSet> set;
        QByteArray completion;
    };
    Dropped Read(const TransferData &data) const;
    DropEffect PasteDropped(const Dropped &dropped, bool accepted, ItemHandle target, DropEffect effect);
    DropEffect Fail(const char *reason);

    C7100Document &m_document;
    std::shared_ptr<OfferedDrag> m_offered;
    QString m_lastFailure;
};
