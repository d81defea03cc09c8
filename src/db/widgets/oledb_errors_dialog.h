#pragma once

#include "db/data_error.h"

#include <QDialog>

#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class SettingsSection;

// The "OLE DB Errors Dialog": the program's explanation on top and, behind
// "&Details >>", the driver's error records with source, description and code.
class COLEDBErrorsDialog : public QDialog {
    Q_OBJECT
public:
    // settings: the program's loaded "Settings" section, whose value the
    // dialog reads and changes (saved with the others); without it the
    // stored value is read and written directly.
    COLEDBErrorsDialog(const QString &topText, std::vector<ProviderErrorRecord> records,
                       QWidget *parent = nullptr, SettingsSection *settings = nullptr);

    // Makes ReportDataError show this dialog modally over parent.
    static void install(QWidget *parent = nullptr, SettingsSection *settings = nullptr);

    bool detailsShown() const { return m_detailsShown; }
    int collapsedHeight() const { return m_collapsedHeight; }
    int fullHeight() const { return m_fullHeight; }

public slots:
    void toggleDetails();

private:
    void buildLayout(const QString &topText);
    void fillSources();
    void showRecord(int row);
    void applyDetails(bool keepOnScreen);
    bool storedDetails() const;
    void storeDetails(bool shown);

    std::vector<ProviderErrorRecord> m_records;
    SettingsSection *m_settings = nullptr;
    QWidget *m_details = nullptr;
    QListWidget *m_sources = nullptr;
    QPlainTextEdit *m_description = nullptr;
    QLineEdit *m_code = nullptr;
    QPushButton *m_detailsButton = nullptr;
    bool m_detailsShown = false;
    int m_collapsedHeight = 0;
    int m_fullHeight = 0;
};
