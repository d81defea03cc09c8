#include "pages/widgets/property_view.h"

#include "tree/document.h"

#include <QScrollArea>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>

CPropertyViewPage::CPropertyViewPage(const QString &caption, QWidget *parent) : QWidget(parent), m_caption(caption)
{
}

void CPropertyViewPage::SetModified(bool modified)
{
    m_modified = modified;
    if (m_view)
        m_view->SetModified(modified);
}

bool CPropertyViewPage::OnSetActive()
{
    if (m_firstActivation) {
        m_firstActivation = false;
        return true;
    }
    return UpdateData(false);
}

bool CPropertyViewPage::OnKillActive()
{
    return UpdateData(true);
}

void CPropertyViewPage::OnInitPage()
{
    UpdateData(false);
    OnUpdate(nullptr, 0, nullptr);
}

void CPropertyViewPage::OnUpdate(QObject *, int, Item *) {}

bool CPropertyViewPage::UpdateData(bool)
{
    return true;
}

CPropertyView::CPropertyView(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    // The strip above the tabs.
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(0);
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QString::number(kTabControlId));
    m_tabs->setFocusPolicy(Qt::NoFocus);
    m_tabs->setExpanding(false);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setDrawBase(true);
    layout->addWidget(m_tabs);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::StyledPanel);
    m_area = new QWidget(m_scroll);
    m_areaLayout = new QVBoxLayout(m_area);
    m_areaLayout->setContentsMargins(2, 2, 2, 2);
    m_scroll->setWidget(m_area);
    layout->addWidget(m_scroll, 1);
    connect(m_tabs, &QTabBar::currentChanged, this, &CPropertyView::TabClicked);
    auto *next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, [this] {
        if (m_switch.Next())
            ShowActive();
    });
    auto *previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    previous->setContext(Qt::WidgetWithChildrenShortcut);
    connect(previous, &QShortcut::activated, this, [this] {
        if (m_switch.Previous())
            ShowActive();
    });
    setFocusPolicy(Qt::StrongFocus);
}

CPropertyView::~CPropertyView()
{
    // The pages go with the view; none may be asked anything on the way.
    disconnect(m_tabs, nullptr, this, nullptr);
}

bool CPropertyView::AddPage(CPropertyViewPage *page, const QString &caption, int image)
{
    if (!page || m_switch.indexOf(page) >= 0)
        return false;
    Q_UNUSED(image);
    page->setParent(m_area);
    page->setView(this);
    page->hide();
    if (!caption.isEmpty())
        page->setCaption(caption);
    m_syncingTabs = true;
    m_tabs->addTab(page->caption());
    m_syncingTabs = false;
    m_switch.Add(page);
    ShowActive();
    return true;
}

void CPropertyView::RemovePage(CPropertyViewPage *page)
{
    const int index = m_switch.indexOf(page);
    if (index < 0)
        return;
    m_switch.Remove(page);
    if (m_shown == page)
        m_shown = nullptr;
    m_syncingTabs = true;
    m_tabs->removeTab(index);
    m_syncingTabs = false;
    page->hide();
    page->deleteLater();
    page->setParent(nullptr);
    ShowActive();
}

bool CPropertyView::SetActivePage(int index)
{
    if (!m_switch.SetActive(index))
        return false;
    ShowActive();
    return true;
}

bool CPropertyView::SetActivePage(CPropertyViewPage *page)
{
    return SetActivePage(m_switch.indexOf(page));
}

CPropertyViewPage *CPropertyView::GetActivePage() const
{
    return static_cast<CPropertyViewPage *>(m_switch.activePage());
}

CPropertyViewPage *CPropertyView::GetPage(int index) const
{
    return static_cast<CPropertyViewPage *>(m_switch.page(index));
}

int CPropertyView::GetPageIndex(const CPropertyViewPage *page) const
{
    return m_switch.indexOf(page);
}

void CPropertyView::SetModified(bool modified)
{
    if (m_document)
        m_document->SetModifiedFlag(modified);
}

void CPropertyView::OnInitialUpdate()
{
    for (int i = 0; i < m_switch.count(); ++i)
        GetPage(i)->OnInitPage();
}

void CPropertyView::OnUpdate(QObject *sender, int hint, Item *item)
{
    for (int i = 0; i < m_switch.count(); ++i)
        GetPage(i)->OnUpdate(sender, hint, item);
}

void CPropertyView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (CPropertyViewPage *page = GetActivePage())
        page->setFocus();
}

void CPropertyView::TabClicked(int index)
{
    if (m_syncingTabs)
        return;
    m_switch.SetActive(index);
    ShowActive();
}

void CPropertyView::ShowActive()
{
    CPropertyViewPage *active = GetActivePage();
    if (m_tabs->currentIndex() != m_switch.active()) {
        m_syncingTabs = true;
        m_tabs->setCurrentIndex(m_switch.active());
        m_syncingTabs = false;
    }
    if (active == m_shown)
        return;
    if (m_shown) {
        m_areaLayout->removeWidget(m_shown);
        m_shown->hide();
        m_shown->setEnabled(false);
    }
    m_shown = active;
    if (!active)
        return;
    m_areaLayout->addWidget(active);
    active->setEnabled(true);
    active->show();
    if (isVisible())
        active->setFocus();
}
