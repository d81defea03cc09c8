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
#include <QAction>
#include <QLabel>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>

using namespace HierarchyStrings;

// Every label, button and tab of the multiply dialog, the progress window,
// the item forms and the print preview shows its whole text in each of the
// five languages, at the size the window gets.
class TestWindowTextsFit : public QObject {
    Q_OBJECT
private slots:
    void cleanupTestCase() { TestSupport::loadEnglish(); }
    void noTextIsClipped_data();
    void noTextIsClipped();

private:
    static QStringList Clipped(QWidget &window);
    static QStringList ClippedIn(const QString &window, int language);
};

// "objectName 'text' width < needed" for each control narrower than its text needs.
QStringList TestWindowTextsFit::Clipped(QWidget &window)
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
        const int seen = widget->visibleRegion().boundingRect().width();
        if (auto *label = qobject_cast<QLabel *>(widget))
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
    const QStringList windows = {"multiply dialog",    "progress window", "CProjectRootView", "CEquipmentView",
                                 "CRackView",          "CZelnorHolderView", "print preview"};
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

QTEST_MAIN(TestWindowTextsFit)
#include "test_window_texts_fit.moc"
