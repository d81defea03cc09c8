#pragma once

#include "pages/parameter_pages.h"
#include "pages/widgets/property_view.h"

#include <array>

class CChanelTabView;
class CNumSpinEdit;
class QPushButton;
class QTabWidget;

// The four buttons every page and every channel tab carries.
struct PageButtonRow {
    QPushButton *apply = nullptr;
    QPushButton *reset = nullptr;
    QPushButton *download = nullptr;
    QPushButton *upload = nullptr;
};

// The controls of one page for one channel: they show what the page rules
// give them and hand back what the user set.
class ChannelForm : public QWidget {
    Q_OBJECT
public:
    ChannelForm(CChanelTabView &view, QWidget *parent);
    ~ChannelForm() override;
    virtual void Fill(int channel) = 0;
    virtual void Take(int channel) = 0;
    // Every control (not the buttons) editable or not.
    void SetControlsEnabled(bool enabled);
    PageButtonRow &buttons() { return m_buttons; }

protected:
    // Lays out the controls above the button row.
    void Finish(QLayout *controls);
    CChanelTabView &m_view;

private:
    PageButtonRow m_buttons;
};

// A parameter page: its channel tabs "Channel 1" and "Channel 2" for a
// module (both forms exist, the second tab only on two-channel modules), or
// the one channel of a signal shown directly.
class CChanelPage : public CPropertyViewPage {
    Q_OBJECT
public:
    CChanelPage(CChanelTabView &view, PageKind kind, const QString &caption);
    ~CChanelPage() override;

    PageKind kind() const { return m_kind; }
    void Fill();
    void Take();
    // The number fields of the channel tabs in use, the one on screen first.
    std::vector<CNumSpinEdit *> NumberFields() const;
    // Brings the channel tab that holds the field to the front.
    void ShowTabOf(const QWidget *field);
    // The form of a channel tab (0 or 1).
    ChannelForm *form(int tab) const { return m_forms[size_t(tab)]; }
    QTabWidget *channelTabs() const { return m_channelTabs; }
    int currentTab() const;

    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnUpdate(QObject *sender, int hint, Item *item) override;

private:
    void UpdateButtons();
    // The channel tabs whose forms are taken over, the one on screen last.
    std::vector<int> TabsTaken() const;

    CChanelTabView &m_view;
    PageKind m_kind;
    std::array<ChannelForm *, 2> m_forms{};
    QTabWidget *m_channelTabs = nullptr;
};
