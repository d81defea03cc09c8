#pragma once

#include "exchange/instrument_list_import.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QListWidget;
class QPushButton;

// The preview of an import: refusals first, then what would be added,
// moved and changed (old -> new); the lines of one kind alone when chosen, and the
// report saved as a text file. "Import" is offered only when no row was
// refused; Cancel is the default answer.
class InstrumentListPreviewDialog : public QDialog {
    Q_OBJECT
public:
    // save writes the report into a file the user names.
    using SaveReport = std::function<void(const ImportReport &)>;

    InstrumentListPreviewDialog(const ImportReport &report, const QString &summary, SaveReport save = {},
                                QWidget *parent = nullptr);
    // Shows the preview; true when the user chose "Import".
    static bool Confirm(const ImportReport &report, SaveReport save = {}, QWidget *parent = nullptr);

    QListWidget *lines() const { return m_lines; }
    QComboBox *filter() const { return m_filter; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *importButton() const { return m_import; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    void ShowLines();

    const ImportReport &m_report;
    QComboBox *m_filter = nullptr;
    QListWidget *m_lines = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_import = nullptr;
    QPushButton *m_cancel = nullptr;
};
