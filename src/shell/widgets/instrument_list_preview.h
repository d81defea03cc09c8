#pragma once

#include "exchange/instrument_list_import.h"

#include <QDialog>

class QListWidget;
class QPushButton;

// The preview of an import: what would be added, changed (old -> new) and
// refused. "Import" is offered only when no row was refused; Cancel is the
// default answer.
class InstrumentListPreviewDialog : public QDialog {
    Q_OBJECT
public:
    InstrumentListPreviewDialog(const ImportReport &report, const QString &summary, QWidget *parent = nullptr);
    // Shows the preview; true when the user chose "Import".
    static bool Confirm(const ImportReport &report, QWidget *parent = nullptr);

    QListWidget *lines() const { return m_lines; }
    QPushButton *importButton() const { return m_import; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    QListWidget *m_lines = nullptr;
    QPushButton *m_import = nullptr;
    QPushButton *m_cancel = nullptr;
};
