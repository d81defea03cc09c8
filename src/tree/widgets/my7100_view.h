#pragma once

#include "tree/widgets/c7100_list_view.h"

// The application's list of the right pane; the generic list does it all.
class CMy7100View : public C7100ListView {
    Q_OBJECT
public:
    explicit CMy7100View(C7100Document &document, QWidget *parent = nullptr);
};
