#include "shell/widgets/help_window.h"

#include "base/help_topics.h"
#include "base/language.h"
#include "base/shell_strings.h"
#include "base/string_table.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpPage"));
    m_browser->setOpenExternalLinks(true);
    auto *buttons = new QDialogButtonBox(this);
    auto *back = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    auto *forward = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    auto *home = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    back->setObjectName(QStringLiteral("HelpBack"));
    forward->setObjectName(QStringLiteral("HelpForward"));
    home->setObjectName(QStringLiteral("HelpHome"));
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, this, [this] { ShowTopic(HelpTopics::kContents); });
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
    resize(760, 560);
    Retranslate();
}

void HelpWindow::Retranslate()
{
    setWindowTitle(Str(ShellStrings::HelpCaption));
    m_browser->setAccessibleName(windowTitle());
    const std::pair<const char *, int> buttons[] = {
        {"HelpBack", ShellStrings::HelpBack},
        {"HelpForward", ShellStrings::HelpForward},
        {"HelpHome", ShellStrings::HelpHome},
    };
    for (const auto &[name, textId] : buttons) {
        auto *button = findChild<QPushButton *>(QLatin1String(name));
        button->setText(Str(textId));
        button->setAccessibleName(QString(button->text()).remove(u'&'));
    }
    // A page already shown follows the language.
    if (m_topic != 0 && isVisible())
        ShowTopic(m_topic);
}

void HelpWindow::ShowTopic(int topic)
{
    QString path = Language::packResource(HelpTopics::PagePath(topic));
    if (path.isEmpty() && topic != HelpTopics::kContents) {
        topic = HelpTopics::kContents;
        path = Language::packResource(HelpTopics::PagePath(topic));
    }
    m_topic = topic;
    if (path.isEmpty()) {
        m_browser->setPlainText(StrF(ShellStrings::HelpPageMissing, {HelpTopics::PagePath(topic)}));
    } else {
        // Links between pages name each other's files beside them.
        m_browser->setSource(QUrl(QStringLiteral("qrc") + path));
    }
    show();
    raise();
    activateWindow();
}
