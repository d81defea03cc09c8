#include "multiply_test_support.h"
#include "tree/widgets/module_dialog.h"
#include "tree/widgets/progress_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace TreeNames;

// The module dialog driven through its widgets, opened by the document as
// the program opens it.
class TestModuleDialog : public QObject {
    Q_OBJECT
private:
    // Runs act on the dialog once it is shown; the dialog's exec returns
    // when act has pressed a button that ends it.
    void whenShown(std::function<void(QDialog &)> act)
    {
        auto *timer = new QTimer(this);
        timer->setInterval(10);
        connect(timer, &QTimer::timeout, this, [timer, act] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog->objectName() != "215")
                return;
            timer->stop();
            timer->deleteLater();
            act(*dialog);
        });
        timer->start();
    }
    template <typename W> static W *child(QDialog &dialog, const char *name)
    {
        W *widget = dialog.findChild<W *>(name);
        if (!widget)
            qFatal("no %s in the dialog", name);
        return widget;
    }
    static void retype(QDialog &dialog, const char *field, const QString &text)
    {
        QLineEdit *edit = child<QLineEdit>(dialog, field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    static void click(QDialog &dialog, const char *button)
    {
        QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
    }

private slots:
    void init()
    {
        TestSupport::loadEnglish();
        ModuleDialog::install(nullptr);
    }
    void cleanup() { ModuleDialogService::setPresenter(nullptr); }

    void newModuleShowsProposalsAndTheLiveName()
    {
        HierarchyProject project;
        project.setCounter(1, 7);
        project.open();
        project.document.StartLink();
        ScriptedMessages messages;
        QStringList seen;
        bool stayedOpen = false;
        whenShown([&](QDialog &dialog) {
            seen << dialog.windowTitle() << child<QLineEdit>(dialog, "1322")->text()
                 << child<QLineEdit>(dialog, "1323")->text() << child<QLabel>(dialog, "1325")->text()
                 << child<QLabel>(dialog, "1321")->text();
            QVERIFY(!child<QComboBox>(dialog, "1320")->isEnabled());
            QCOMPARE(child<QComboBox>(dialog, "1320")->currentText(), QString("Z 7230/210-2"));
            QVERIFY(child<QLineEdit>(dialog, "1323")->isEnabled());
            retype(dialog, "1322", "TT-1");
            seen << child<QLabel>(dialog, "1325")->text();
            retype(dialog, "1323", QString(34, 'x'));
            click(dialog, "IDOK");
            stayedOpen = dialog.isVisible();
            retype(dialog, "1323", "TT-2   ");
            click(dialog, "IDOK");
        });
        Item *module = project.document.AddNewModule(project.projectItem(), Family7230, 6);
        QVERIFY(module);
        QCOMPARE(seen,
                 (QStringList{"New module", "S007_CH1", "S007_CH2", "7230/210-2 - [S007_CH1] [S007_CH2]", "2",
                              "7230/210-2 - [TT-1] [S007_CH2]"}));
        QVERIFY(stayedOpen);
        QCOMPARE(messages.texts(),
                 QStringList{"The signal name for Channel 2 must be less than 34 characters!"});
        QCOMPARE(project.document.GetName(*module), QString("7230/210-2 - [TT-1] [TT-2]"));
        QCOMPARE(project.signalName(project.value(*module, "Ch2SignalID").toInt()), QString("TT-2"));
        QCOMPARE(project.counter(1), 8);
    }

    void cancelCreatesNothing()
    {
        HierarchyProject project;
        project.open();
        whenShown([&](QDialog &dialog) {
            QVERIFY(child<QPushButton>(dialog, "IDCANCEL")->isEnabled());
            // One channel: the second name and its label are disabled.
            QVERIFY(!child<QLineEdit>(dialog, "1323")->isEnabled());
            QVERIFY(!child<QLabel>(dialog, "1324")->isEnabled());
            QCOMPARE(child<QLabel>(dialog, "1325")->text(), QString("7220/12-0 - [S001_CH1]"));
            click(dialog, "IDCANCEL");
        });
        QVERIFY(!project.document.AddNewModule(project.projectItem(), Family7220, 65));
        QCOMPARE(project.moduleRows(), 0);
        QCOMPARE(project.rows("Signals"), 0);
        QCOMPARE(project.counter(1), 1);
    }

    void conversionOffersTheTypes()
    {
        HierarchyProject project;
        project.open();
        ModuleDialogService::setPresenter(&ModuleDialogService::acceptProposals);
        Item *old = project.document.AddNewModule(project.projectItem(), Family7230, 1);
        QVERIFY(old);
        ModuleDialog::install(nullptr);
        QVERIFY(project.document.Select(old->handle()));
        QStringList seen;
        whenShown([&](QDialog &dialog) {
            QComboBox *types = child<QComboBox>(dialog, "1320");
            seen << dialog.windowTitle() << QString::number(types->count()) << types->currentText()
                 << child<QLineEdit>(dialog, "1322")->text();
            QVERIFY(types->isEnabled());
            QVERIFY(!child<QLineEdit>(dialog, "1323")->isEnabled());
            types->setCurrentIndex(types->findData(6));
            seen << child<QLabel>(dialog, "1321")->text() << child<QLabel>(dialog, "1325")->text();
            QVERIFY(child<QLineEdit>(dialog, "1323")->isEnabled());
            click(dialog, "IDOK");
        });
        QVERIFY(project.document.ConvertModule());
        QCOMPARE(seen, (QStringList{"Module conversion", "21", "Z 7230/110-2", "S001_CH1", "2",
                                    "7230/210-2 - [S001_CH1] [S002_CH2]"}));
        Item *converted = project.document.FindItem(project.document.CurrentItem());
        QVERIFY(converted);
        QCOMPARE(project.value(*converted, "ModulTypID").toInt(), 6);
        QCOMPARE(project.rows("Signals"), 2);
    }

    // A multiply of a plant holding modules, in the window: every module copy
    // takes the proposed names without a dialog, and the progress window's
    // Cancel ends the operation, leaving whole copies only.
    void aMultiplyOfModulesAsksNothingAndItsCancelStopsIt()
    {
        HierarchyProject project;
        project.open();
        ModuleDialogService::setPresenter(&ModuleDialogService::acceptProposals);
        ContainerItem *plant = project.addFolder(project.projectItem(), Plant, "P")->asContainer();
        QVERIFY(project.document.AddNewModule(*plant, Family7230, 6));
        QVERIFY(project.document.AddNewModule(*plant, Family7230, 6));
        ModuleDialog::install(nullptr);
        ProgressWindow::install(nullptr);
        int moduleDialogs = 0;
        bool cancelPressed = false;
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                dialog && dialog->objectName() == "215") {
                ++moduleDialogs;
                child<QPushButton>(*dialog, "IDOK")->click();
            }
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *window = qobject_cast<ProgressWindow *>(widget);
                if (!cancelPressed && window && window->isVisible()) {
                    cancelPressed = true;
                    window->findChild<QPushButton *>("IDCANCEL")->click();
                }
            }
        });
        watch.start();
        ScriptedMultiplyDialog multiply({"1", "2000", "4", true, {}, false});
        ScriptedMessages messages;
        const C7100Document::MultiplyResult result = project.document.Multiply(*plant);
        watch.stop();
        ProgressService::setFactory({});
        QCOMPARE(moduleDialogs, 0);
        QVERIFY(cancelPressed);
        const int copies = int(result.copies.size());
        QVERIFY2(copies > 0 && copies < 2000, qPrintable(QString::number(copies)));
        QCOMPARE(project.rows("Equipments"), 1 + copies);
        QCOMPARE(project.rows("Modules7230_2"), 2 * (1 + copies));
        QCOMPARE(project.rows("Signals"), 4 * (1 + copies));
        QCOMPARE(project.orphanSignals(), 0);
        QCOMPARE(project.danglingReferences(), 0);
        // The copies' modules took the next proposals, each pair once.
        QCOMPARE(project.scalar("SELECT COUNT(DISTINCT Name) FROM Signals").toInt(), 4 * (1 + copies));
    }
};

QTEST_MAIN(TestModuleDialog)
#include "test_module_dialog.moc"
