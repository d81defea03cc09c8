#pragma once

#include "link/adjust_actions.h"
#include "link/diagnose_rows.h"

#include <QTabWidget>

#include <array>
#include <vector>

class CMonitoringPage;
class LinkController;
class ModuleTransfer;
class QVBoxLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The Diagnose page: identity fields and the table of live states.
class CDiagnosePage : public QWidget {
    Q_OBJECT
public:
    explicit CDiagnosePage(QWidget *parent = nullptr);
    void Show(const DiagnoseContent &content);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void KeepValuesWhole();
    // The identity fields, label and field in pairs, as many pairs a line
    // as the page's width holds, so that a low panel keeps its height for
    // the rows of live states.
    void FlowIdentity();
    int PairWidth(size_t pair) const;

    std::array<QLabel *, 5> m_labels{};
    std::array<QLineEdit *, 5> m_header{};
    QVBoxLayout *m_identity = nullptr;
    std::vector<std::vector<size_t>> m_identityLines;
    QTableWidget *m_table = nullptr;
};

// The Adjust page: one action button per channel and the limit-value reset
// buttons; a press hands the button's action to the link.
class CAdjustPage : public QWidget {
    Q_OBJECT
public:
    explicit CAdjustPage(LinkController &link, QWidget *parent = nullptr);
    void Show(const AdjustActions::Page &page);

private:
    struct ChannelGroup {
        QGroupBox *frame = nullptr;
        QLabel *actionLabel = nullptr;
        QPushButton *action = nullptr;
        QLabel *resetLabel = nullptr;
        QPushButton *reset = nullptr;
        AdjustActions::Button shownAction;
        AdjustActions::Button shownReset;
    };
    void MakeGroup(int channel, int actionId, int resetId);
    static void ShowButton(QLabel *label, QPushButton *button, const AdjustActions::Button &state);

    LinkController &m_link;
    std::array<ChannelGroup, 2> m_groups;
};

// The live-value panel beside the output log while a module is online.
class CPropertyTabView : public QTabWidget {
    Q_OBJECT
public:
    CPropertyTabView(ModuleTransfer &transfer, LinkController &link, QWidget *parent = nullptr);

    // The Monitoring pages, the Diagnose page, then the Adjust page, from
    // the latest live image.
    void Refresh();

private:
    // One Monitoring page per channel of the live module, with fresh trends.
    void BuildMonitoring();
    ModuleFamily LiveFamily() const;
    void ShowMonitoring(const CModuleImage &image, ModuleFamily family);

    std::vector<CMonitoringPage *> m_monitoring;
    // The live module the Monitoring pages were made for.
    int m_builtFor = 0;
    ModuleTransfer &m_transfer;
    CDiagnosePage *m_diagnose = nullptr;
    CAdjustPage *m_adjust = nullptr;
};
