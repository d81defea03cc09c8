#pragma once

#include <QPlainTextEdit>

#include <functional>

class OutputLog;

// The read-only pane that shows the output log: monospace, no word wrap,
// newest text at the bottom.
class COutputView : public QPlainTextEdit {
    Q_OBJECT
public:
    // Older lines leave the pane beyond this many; the file keeps them all.
    static constexpr int kMaximumLines = 100000;

    // Starts the run's log (its file beside the program) and makes it the
    // active one; the pane owns it.
    explicit COutputView(QWidget *parent = nullptr);
    // Shows a log that someone else owns.
    explicit COutputView(OutputLog *log, QWidget *parent = nullptr);

    OutputLog *log() const { return m_log; }
    // The serial port the log's header names when the pane is first shown.
    void setPortSource(std::function<QString()> source) { m_portSource = std::move(source); }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setUp();
    static QFont FixedPitchFont();
    void appendText(const QString &text);

    OutputLog *m_log = nullptr;
    std::function<QString()> m_portSource;
};
