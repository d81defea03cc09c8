#pragma once

#include "tree/widgets/c7100_tree_view.h"

// The application's tree in the left pane. Signals and the signals root
// offer only Rename and the view commands in their context menu.
class CLeftView : public C7100TreeView {
    Q_OBJECT
public:
    explicit CLeftView(CMy7100Doc &document, QWidget *parent = nullptr);

protected:
    bool PrepareContextMenu(QMenu &menu, Item &item) override;
};
