#pragma once

#include <QString>

#include <functional>

class QWidget;

// The one place that makes the view of the right pane from the view class a
// level names ("CMy7100View", "CChanelTabView", "CRackView" ...). Each view
// registers its class here; a class nobody registered gets a plain pane
// that says so.
class PaneViewFactory {
public:
    using Creator = std::function<QWidget *(QWidget *parent)>;

    static void Register(const QString &viewClass, Creator creator);
    static bool IsRegistered(const QString &viewClass);
    // The view's widget carries the class as its object name.
    static QWidget *Create(const QString &viewClass, QWidget *parent);
};
