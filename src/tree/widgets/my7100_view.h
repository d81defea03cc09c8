#pragma once

#include <QTableView>

class C7100Document;
class ContainerListModel;
class Item;

// The list of the right pane in details mode: the children of the current
// item, one row each, sorted by a click on a column header.
class CMy7100View : public QTableView {
    Q_OBJECT
public:
    explicit CMy7100View(C7100Document &document, QWidget *parent = nullptr);

    ContainerListModel &listModel() const { return *m_list; }

private:
    void onDocumentUpdate(QObject *sender, int hint, Item *item);

    C7100Document &m_document;
    ContainerListModel *m_list;
};
