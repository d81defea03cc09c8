#include "hierarchy_test_support.h"
#include "tree/widgets/module_dialog.h"

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

    void copyCannotBeCancelled()
    {
        HierarchyProject project;
        project.open();
        ModuleDialogService::setPresenter(&ModuleDialogService::acceptProposals);
        Item *source = project.document.AddNewModule(project.projectItem(), Family7210, 33);
        QVERIFY(source);
        ModuleDialog::install(nullptr);
        bool cancelEnabled = true;
        bool escapeClosed = true;
        QString title;
        whenShown([&](QDialog &dialog) {
            title = dialog.windowTitle();
            cancelEnabled = child<QPushButton>(dialog, "IDCANCEL")->isEnabled();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            escapeClosed = !dialog.isVisible();
            click(dialog, "IDOK");
        });
        project.document.Bulk() = C7100Document::BulkContext{false};
        Item *copy = project.document.CopyItem(*source, nullptr);
        QVERIFY(copy && project.document.Save(*copy));
        project.document.Bulk().reset();
        QCOMPARE(title, QString("New module for copy operation"));
        QVERIFY(!cancelEnabled);
        QVERIFY(!escapeClosed);
        QCOMPARE(project.document.GetName(*copy), QString("7210/101-0 - [S002_CH1]"));
        QCOMPARE(project.rows("Signals"), 2);
    }
};

QTEST_MAIN(TestModuleDialog)
#include "test_module_dialog.moc"
