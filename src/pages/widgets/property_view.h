#pragma once

#include "pages/property_page_switch.h"

#include <QWidget>

class C7100Document;
class CPropertyView;
class Item;
class QScrollArea;
class QTabBar;
class QVBoxLayout;

// The base of every page of a property view: a child panel with its
// caption, its modified flag and the hooks the view calls.
class CPropertyViewPage : public QWidget, public PropertyPageHooks {
    Q_OBJECT
public:
    explicit CPropertyViewPage(const QString &caption, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption) { m_caption = caption; }
    CPropertyView *view() const { return m_view; }
    void setView(CPropertyView *view) { m_view = view; }

    virtual void SetModified(bool modified);
    virtual bool IsModified() const { return m_modified; }
    // The first activation only clears the first-activation flag; later ones
    // copy the data into the controls.
    bool OnSetActive() override;
    // Copies the controls into the data.
    bool OnKillActive() override;
    virtual void OnInitPage();
    virtual void OnUpdate(QObject *sender, int hint, Item *item);
    // Copies the data into the controls (save false) or back (save true).
    virtual bool UpdateData(bool save);

private:
    QString m_caption;
    CPropertyView *m_view = nullptr;
    bool m_modified = false;
    bool m_firstActivation = true;
};

// A scrolling view with one row of tabs and one page per tab. Page changes
// need the consent of both pages; Ctrl+Tab and Ctrl+Shift+Tab step through
// the tabs, wrapping around.
class CPropertyView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTabControlId = 29029;

    explicit CPropertyView(QWidget *parent = nullptr);
    ~CPropertyView() override;

    bool AddPage(CPropertyViewPage *page, const QString &caption = {}, int image = -1);
    void RemovePage(CPropertyViewPage *page);
    bool SetActivePage(int index);
    bool SetActivePage(CPropertyViewPage *page);
    CPropertyViewPage *GetActivePage() const;
    int GetActiveIndex() const { return m_switch.active(); }
    CPropertyViewPage *GetPage(int index) const;
    int GetPageIndex(const CPropertyViewPage *page) const;
    int GetPageCount() const { return m_switch.count(); }
    QTabBar *tabBar() const { return m_tabs; }

    virtual void SetModified(bool modified);
    // Every page gets OnInitPage.
    void OnInitialUpdate();
    // Every document hint goes to every page.
    virtual void OnUpdate(QObject *sender, int hint, Item *item);

    void setDocument(C7100Document *document) { m_document = document; }
    C7100Document *document() const { return m_document; }

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void TabClicked(int index);
    void ShowActive();

    PropertyPageSwitch m_switch;
    QTabBar *m_tabs = nullptr;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_area = nullptr;
    QVBoxLayout *m_areaLayout = nullptr;
    CPropertyViewPage *m_shown = nullptr;
    C7100Document *m_document = nullptr;
    bool m_syncingTabs = false;
};
