#include "tree/widgets/my7100_view.h"

CMy7100View::CMy7100View(C7100Document &document, QWidget *parent) : C7100ListView(document, parent)
{
    setObjectName(QStringLiteral("CMy7100View"));
}
