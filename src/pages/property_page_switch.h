#pragma once

#include <vector>

// What a property page says when it is to be shown or hidden; false
// refuses the change.
class PropertyPageHooks {
public:
    virtual ~PropertyPageHooks() = default;
    virtual bool OnSetActive() = 0;
    virtual bool OnKillActive() = 0;
};

// The pages of a property view in tab order and which one is active: one
// page is active while there are pages, a page change needs the consent of
// both pages, and removing the active page activates its neighbour.
class PropertyPageSwitch {
public:
    // Appends a page; the first page becomes active at once.
    void Add(PropertyPageHooks *page);
    // Drops a page. The active page is asked to hide (its answer cannot keep
    // it) and the previous tab, or after the first tab the last one, becomes
    // active.
    void Remove(PropertyPageHooks *page);
    // False when a page refused; the active page then stays.
    bool SetActive(int index);
    // The next or previous tab, wrapping around; false without tabs or when
    // a page refused.
    bool Next();
    bool Previous();

    int active() const { return m_active; }
    int count() const { return int(m_pages.size()); }
    PropertyPageHooks *page(int index) const;
    PropertyPageHooks *activePage() const { return page(m_active); }
    int indexOf(const PropertyPageHooks *page) const;

private:
    std::vector<PropertyPageHooks *> m_pages;
    int m_active = -1;
};
