#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QSvgRenderer;

// The splash picture of the active language pack: a borderless window on
// top, centred on the screen. It closes once it has been shown for three
// seconds, or at any key or mouse press in the program, but never while a
// window it owns is open.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // Null when the active pack has no splash picture.
    static SplashWindow *ShowFromPack();
    static constexpr int kShownMs = 3000;
    static constexpr int kCheckMs = 500;

    explicit SplashWindow(QSvgRenderer *renderer);
    ~SplashWindow() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool OwnsOpenWindow() const;
    void CloseIfDue(bool pressed);

    QSvgRenderer *m_renderer;
    QElapsedTimer m_shown;
    QTimer m_check;
};
