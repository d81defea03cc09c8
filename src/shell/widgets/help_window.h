#pragma once

#include <QDialog>

class QTextBrowser;

// The in-program help: the pages of the active language pack, opened at a
// topic. One window serves the whole run.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the topic's page; the contents when the pack lacks it.
    void ShowTopic(int topic);
    int shownTopic() const { return m_topic; }
    QTextBrowser *browser() const { return m_browser; }
    // Texts again in the active language.
    void Retranslate();

private:
    QTextBrowser *m_browser = nullptr;
    int m_topic = 0;
};
