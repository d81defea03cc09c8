#include "pages/property_page_switch.h"

#include <algorithm>

void PropertyPageSwitch::Add(PropertyPageHooks *page)
{
    m_pages.push_back(page);
    if (m_active < 0) {
        m_active = 0;
        page->OnSetActive();
    }
}

void PropertyPageSwitch::Remove(PropertyPageHooks *page)
{
    const int index = indexOf(page);
    if (index < 0)
        return;
    const bool wasActive = index == m_active;
    if (wasActive)
        page->OnKillActive();
    m_pages.erase(m_pages.begin() + index);
    if (m_pages.empty()) {
        m_active = -1;
        return;
    }
    if (!wasActive) {
        if (index < m_active)
            --m_active;
        return;
    }
    m_active = index == 0 ? count() - 1 : index - 1;
    m_pages[size_t(m_active)]->OnSetActive();
}

bool PropertyPageSwitch::SetActive(int index)
{
    if (index < 0 || index >= count())
        return false;
    if (index == m_active)
        return true;
    if (PropertyPageHooks *old = activePage(); old && !old->OnKillActive())
        return false;
    if (!m_pages[size_t(index)]->OnSetActive())
        return false;
    m_active = index;
    return true;
}

bool PropertyPageSwitch::Next()
{
    return count() > 0 && SetActive((m_active + 1) % count());
}

bool PropertyPageSwitch::Previous()
{
    return count() > 0 && SetActive((m_active + count() - 1) % count());
}

PropertyPageHooks *PropertyPageSwitch::page(int index) const
{
    return index >= 0 && index < count() ? m_pages[size_t(index)] : nullptr;
}

int PropertyPageSwitch::indexOf(const PropertyPageHooks *page) const
{
    const auto found = std::find(m_pages.begin(), m_pages.end(), page);
    return found == m_pages.end() ? -1 : int(found - m_pages.begin());
}
