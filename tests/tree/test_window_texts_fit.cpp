#include "pages/pages_test_support.h"
#include "print/print_test_support.h"
#include "print/widgets/report_preview.h"
#include "base/language.h"
#include "base/string_table.h"
#include "tree/hierarchy_strings.h"
#include "tree/tree_strings.h"
#include "tree/item_progress.h"
#include "tree/multiply_dialog_logic.h"
#include "tree/widgets/item_form_view.h"
#include "tree/widgets/multiply_dialog.h"
#include "tree/widgets/progress_window.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QToolBar>
#include <QAbstractScrollArea>
#include <QtTest>

using namespace HierarchyStrings;

// Every label, button and tab of the multiply dialog, the progress window,
// the item forms, the print preview and the parameter pages shows its whole
// text in each of the five languages, at the size the window gets; no text
// touches or runs under another control, and every entry of a choice fits
// beside its arrow.
class TestWindowTextsFit : public QObject {
    Q_OBJECT
private slots:
    void cleanupTestCase() { TestSupport::loadEnglish(); }
    void noTextIsClipped_data();
    void noTextIsClipped();

private:
    // scrolls: the window scrolls its controls into view, so a control's own
    // width counts rather than the part of it on screen.
    static QStringList Clipped(QWidget &window, bool scrolls = false);
    static QStringList Crowded(QWidget &window);
    static QStringList ClippedIn(const QString &window, int language);
    static QStringList ClippedPages(ModuleFamily family, int language);
};

namespace {
// The controls a user reads or operates; the parts of a control (a spin
// box's edit, a tab bar's scroll buttons) belong to it.
bool IsControl(const QWidget *widget)
{
    return qobject_cast<const QLabel *>(widget) || qobject_cast<const QAbstractButton *>(widget) ||
           qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget) ||
           qobject_cast<const QAbstractSpinBox *>(widget) || qobject_cast<const QPlainTextEdit *>(widget);
}

bool InsideControl(const QWidget *widget, const QWidget &window)
{
    for (const QWidget *above = widget->parentWidget(); above && above != &window; above = above->parentWidget())
        if (IsControl(above) || qobject_cast<const QTabBar *>(above))
            return true;
    return false;
}

// Where a control shows itself in the window: a label only where its text
// stands.
QRect ShownRect(const QWidget *widget, const QWidget &window)
{
    QRect rect = widget->rect();
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        const QSize text = label->fontMetrics().size(Qt::TextShowMnemonic, label->text());
        rect = QStyle::alignedRect(label->layoutDirection(), label->alignment(), text, label->contentsRect());
    }
    QRect shown(widget->mapTo(&window, rect.topLeft()), rect.size());
    // A control scrolled under the edge of its scroll area shows only its
    // part inside the area.
    for (const QWidget *up = widget->parentWidget(); up && up != &window; up = up->parentWidget())
        if (qobject_cast<const QAbstractScrollArea *>(up->parentWidget()))
            shown &= QRect(up->mapTo(&window, QPoint(0, 0)), up->size());
    return shown;
}
} // namespace

// "A 'text' touches B" for each label text closer than 4 pixels to another
// control on its line, and for controls that lie over one another.
QStringList TestWindowTextsFit::Crowded(QWidget &window)
{
    constexpr int kGap = 4;
    std::vector<const QWidget *> controls;
    for (const QWidget *widget : window.findChildren<QWidget *>())
        if (widget->isVisibleTo(&window) && IsControl(widget) && !InsideControl(widget, window) &&
            !(qobject_cast<const QLabel *>(widget) && static_cast<const QLabel *>(widget)->text().isEmpty()))
            controls.push_back(widget);
    const auto textOf = [](const QWidget *widget) {
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            return label->text();
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            return button->text();
        return widget->objectName();
    };
    QStringList crowded;
    for (size_t a = 0; a < controls.size(); ++a) {
        for (size_t b = a + 1; b < controls.size(); ++b) {
            const QRect ra = ShownRect(controls[a], window);
            const QRect rb = ShownRect(controls[b], window);
            if (ra.isEmpty() || rb.isEmpty())
                continue;
            const int overlapY = std::min(ra.bottom(), rb.bottom()) - std::max(ra.top(), rb.top());
            if (overlapY <= 0)
                continue;
            const int gap = std::max(rb.left() - ra.right(), ra.left() - rb.right()) - 1;
            const bool label = qobject_cast<const QLabel *>(controls[a]) || qobject_cast<const QLabel *>(controls[b]);
            if (gap < (label ? kGap : 0))
                crowded << QStringLiteral("%1 '%2' touches %3 '%4' (%5 px)")
                               .arg(controls[a]->objectName(), textOf(controls[a]), controls[b]->objectName(),
                                    textOf(controls[b]))
                               .arg(gap);
        }
    }
    return crowded;
}

// "objectName 'text' width < needed" for each control narrower than its text needs.
QStringList TestWindowTextsFit::Clipped(QWidget &window, bool scrolls)
{
    QStringList clipped;
    int measured = 0;
    const auto check = [&clipped, &measured](const QString &name, const QString &text, int width, int needed) {
        ++measured;
        if (width < needed)
            clipped << QStringLiteral("%1 '%2' %3 < %4").arg(name, text).arg(width).arg(needed);
    };
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(&window))
            continue;
        // What the user sees of the control: a scroll area or a too narrow window cuts it.
        const int seen = scrolls ? widget->width() : widget->visibleRegion().boundingRect().width();
        if (auto *choice = qobject_cast<QComboBox *>(widget)) {
            // Whichever entry is chosen stands clear of the arrow.
            QStyleOptionComboBox option;
            option.initFrom(choice);
            option.editable = choice->isEditable();
            const int field =
                choice->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, choice).width();
            for (int i = 0; i < choice->count(); ++i)
                check(choice->objectName(), choice->itemText(i), std::min(field, seen),
                      choice->fontMetrics().horizontalAdvance(choice->itemText(i)));
        } else if (auto *label = qobject_cast<QLabel *>(widget))
            check(label->objectName(), label->text(), seen, label->minimumSizeHint().width());
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            check(button->objectName(), button->text(), seen, button->sizeHint().width());
        else if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
            // An elided or scrolled tab shows less than its text.
            for (int i = 0; i < tabs->count(); ++i)
                check(tabs->objectName(), tabs->tabText(i), tabs->tabRect(i).width(),
                      tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)));
            if (tabs->usesScrollButtons() && tabs->count() > 0)
                check(tabs->objectName(), QStringLiteral("last tab"), tabs->width(),
                      tabs->tabRect(tabs->count() - 1).right());
        } else if (auto *bar = qobject_cast<QToolBar *>(widget)) {
            // A button that does not fit goes into the overflow menu, out of sight.
            for (QAction *action : bar->actions())
                if (QWidget *shown = bar->widgetForAction(action); shown && !shown->isVisibleTo(&window))
                    clipped << QStringLiteral("%1 '%2' hidden in the overflow").arg(bar->objectName(), action->text());
        }
    }
    // A window that did not build its controls has nothing clipped, and is wrong all the same.
    if (measured == 0)
        clipped << QStringLiteral("no label, button or tab to measure");
    return clipped;
}

void TestWindowTextsFit::noTextIsClipped_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("window");
    const char *codes[] = {"EN", "GE", "FR", "RU", "SP"};
    const QStringList windows = {"multiply dialog", "progress window",   "CProjectRootView", "CEquipmentView",
                                 "CRackView",       "CZelnorHolderView", "print preview",    "7230 pages",
                                 "7210 pages",      "7220 pages"};
    for (int language = 1; language <= 5; ++language)
        for (const QString &window : windows)
            QTest::newRow(QStringLiteral("%1 %2").arg(codes[language - 1], window).toUtf8()) << language << window;
}

void TestWindowTextsFit::noTextIsClipped()
{
    QFETCH(int, language);
    QFETCH(QString, window);
    const QStringList clipped = ClippedIn(window, language);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
}

// Builds the window in the loaded language, shows it at the size it gets in the program and
// measures it.
QStringList TestWindowTextsFit::ClippedIn(const QString &window, int language)
{
    // The test projects load English when they are made, so the language follows them.
    const auto inLanguage = [language] { return Language::load(language) && Language::current() == language; };
    const auto measure = [](QWidget &shown) {
        shown.show();
        if (!QTest::qWaitForWindowExposed(&shown))
            return QStringList{QStringLiteral("the window was not shown")};
        QApplication::processEvents();
        return Clipped(shown);
    };
    if (window.endsWith(QLatin1String(" pages")))
        return ClippedPages(window.startsWith(QLatin1String("7230"))   ? Family7230
                            : window.startsWith(QLatin1String("7210")) ? Family7210
                                                                        : Family7220,
                            language);
    if (window == QLatin1String("multiply dialog")) {
        if (!inLanguage())
            return {QStringLiteral("the language cannot be loaded")};
        MultiplyDialogLogic logic;
        logic.Open(QStringLiteral("Cabinet"), QStringLiteral("\\\\Project\\Plant1\\Cabinet"), false);
        CMultiplyDlg dialog(logic);
        return measure(dialog);
    }
    if (window == QLatin1String("progress window")) {
        // The widest step text of the operations, with the path the window shortens to.
        if (!inLanguage())
            return {QStringLiteral("the language cannot be loaded")};
        ProgressWindow progress;
        progress.SetCaption(Str(TreeStrings::MultiplyingCaption));
        progress.SetRange(10);
        progress.SetText(Str(TreeStrings::FromToStep).arg("\\\\Project\\Plant1\\Cabinet1",
                                                           "\\\\Project\\Plant1\\Cabinet1001"));
        return measure(progress);
    }
    if (window == QLatin1String("print preview")) {
        ReportProject project;
        project.generate(2, 4);
        project.openWithCatalogues();
        if (!inLanguage())
            return {QStringLiteral("the language cannot be loaded")};
        ReportCommands commands(project.document, project.catalogues);
        QWidget owner;
        ReportPreviewLauncher launcher(commands, &owner);
        if (!launcher.Run(ReportCommands::PrintProject) || !launcher.Preview())
            return {QStringLiteral("the preview did not open")};
        return measure(*launcher.Preview());
    }
    // An item form in the right pane at 100 % scale on a 1366 x 768 screen.
    HierarchyProject project;
    project.open();
    project.document.StartLink();
    Item *plant = project.addFolder(project.projectItem(), PlantName, "Plant1");
    Item *cabinet = plant ? project.addFolder(*plant->asContainer(), CabinetName, "Cabinet1") : nullptr;
    Item *carrier = cabinet ? project.document.CreateItem(*cabinet->asContainer(), CarrierName) : nullptr;
    if (!carrier)
        return {QStringLiteral("the items of the forms cannot be made")};
    project.document.SetValue(*carrier, "Name", "zelnor-carrier1", true);
    project.document.ActivateCreatedItem(*carrier, false);
    Item &item = window == QLatin1String("CProjectRootView") ? static_cast<Item &>(project.projectItem())
                 : window == QLatin1String("CEquipmentView") ? *plant
                 : window == QLatin1String("CRackView")      ? *cabinet
                                                              : *carrier;
    if (!project.document.Select(item.handle()))
        return {QStringLiteral("the item cannot be selected")};
    if (!inLanguage())
        return {QStringLiteral("the language cannot be loaded")};
    ItemFormPort port;
    ItemFormContext context;
    context.document = &project.document;
    context.linkStarted = [] { return true; };
    context.port = &port;
    std::unique_ptr<CTagView> form(CreateItemFormView(window, context, nullptr));
    form->resize(620, 600);
    return measure(*form);
}

// Every page of a module with every control its family has, in the right
// pane of the program's first window (640 x 480), which scrolls the pages.
QStringList TestWindowTextsFit::ClippedPages(ModuleFamily family, int language)
{
    PagesProject project;
    const QString condition = family == Family7220 ? QStringLiteral("OutputSignal = 1 AND LimitValue <> 0")
                              : family == Family7210
                                  ? QStringLiteral("OutputSignal = 1 AND LimitValue <> 0 AND Channels = 1 AND "
                                                   "HaveImpulseOutput <> 0")
                                  : QStringLiteral("OutputSignal = 1 AND LimitValue <> 0 AND Channels = 1");
    const int type = project.typeWhere(family, condition);
    if (type <= 0 || !Language::load(language) || Language::current() != language)
        return {QStringLiteral("the module or the language cannot be had")};
    CChanelTabView &view = project.showModule(type, QStringLiteral("FIT"));
    view.resize(490, 290);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return {QStringLiteral("the pages were not shown")};
    QStringList clipped;
    for (int i = 0; i < view.GetPageCount(); ++i) {
        if (!view.SetActivePage(i))
            return {QStringLiteral("page %1 cannot be shown").arg(i)};
        QApplication::processEvents();
        const QString caption = view.GetPage(i)->caption() + QStringLiteral(": ");
        for (const QString &fault : Clipped(*view.GetPage(i), true) + Crowded(*view.GetPage(i)))
            clipped << caption + fault;
    }
    return clipped;
}

QTEST_MAIN(TestWindowTextsFit)
#include "test_window_texts_fit.moc"
