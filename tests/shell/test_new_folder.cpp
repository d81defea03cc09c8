#include "base/command_ids.h"
#include "base/settings.h"
#include "db/db_session.h"
#include "shell/startup.h"
#include "shell/widgets/main_frame.h"
#include "shell_test_window.h"
#include "tree/widgets/item_form_view.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QSqlQuery>

#include <QtTest>

using namespace CommandId;

// A folder made with "Add New" is a new item in its form until "&Apply"
// stores it; "&Reset" takes it away again and nothing of it is stored.
class TestNewFolder : public QObject {
    Q_OBJECT
private slots:
    void init();
    void newFolderWaitsForApply_data();
    void newFolderWaitsForApply();
    void aChildStoresItsNewParentWithoutAQuestion();

private:
    struct Window : ShellTestWindow {
        int rows(const QString &table)
        {
            QSqlQuery query(project.session.Database().Session()->database());
            return query.exec("SELECT COUNT(*) FROM " + table) && query.next() ? query.value(0).toInt() : -1;
        }
        CTagView *form() const { return rightView<CTagView>(); }
        QPushButton *button(const char *id) const { return form()->findChild<QPushButton *>(id); }
    };
};

void TestNewFolder::init()
{
    QSettings(SettingsSection::kOrganisation, SettingsSection::kApplication).clear();
}

void TestNewFolder::newFolderWaitsForApply_data()
{
    QTest::addColumn<int>("depth"); // 1 plant, 2 cabinet, 3 zelnor-carrier
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("name");
    QTest::newRow("plant") << 1 << "Equipments" << "Plant1";
    QTest::newRow("cabinet") << 2 << "Racks" << "Cabinet1";
    QTest::newRow("zelnor-carrier") << 3 << "ZelnorHolders" << "zelnor-carrier1";
}

void TestNewFolder::newFolderWaitsForApply()
{
    QFETCH(int, depth);
    QFETCH(QString, table);
    QFETCH(QString, name);
    const int commands[] = {AddPlant, AddCabinet, AddCarrier};
    ScriptedMessages messages;
    Window window;
    CMy7100Doc &document = window.document();
    QVERIFY(window.project.selectProject());
    // The folders above are stored on the way down.
    for (int level = 0; level < depth - 1; ++level) {
        QVERIFY(window.frame->RunCommand(commands[level]));
        QTest::mouseClick(window.button("40200"), Qt::LeftButton);
    }
    const ItemHandle parent = document.CurrentItem();
    const int before = window.rows(table);

    QVERIFY(window.frame->RunCommand(commands[depth - 1]));
    QCoreApplication::processEvents();
    Item *folder = document.FindItem(document.CurrentItem());
    QVERIFY(folder && folder->parent() && folder->parent()->handle() == parent);
    QCOMPARE(folder->editState(), EditState::New);
    QCOMPARE(document.GetName(*folder), name);
    QVERIFY(window.form());
    QVERIFY(window.button("40200")->isEnabled());
    QVERIFY(window.button("40201")->isEnabled());
    QCOMPARE(window.rows(table), before);

    // Reset takes it away; nothing was stored.
    const ItemHandle first = folder->handle();
    QTest::mouseClick(window.button("40201"), Qt::LeftButton);
    QCoreApplication::processEvents();
    QVERIFY(!document.FindItem(first));
    QCOMPARE(window.rows(table), before);
    QVERIFY(!document.IsModified());

    // Apply stores the next one with what was typed into its form.
    QVERIFY(document.Select(parent));
    QVERIFY(window.frame->RunCommand(commands[depth - 1]));
    QCoreApplication::processEvents();
    folder = document.FindItem(document.CurrentItem());
    QVERIFY(folder && folder->editState() == EditState::New);
    QTest::keyClicks(window.form()->findChild<QPlainTextEdit *>("1042"), "North");
    QTest::mouseClick(window.button("40200"), Qt::LeftButton);
    QCOMPARE(folder->editState(), EditState::Clean);
    QCOMPARE(window.rows(table), before + 1);
    QCOMPARE(document.GetValue(*folder, "Description", true).toString(), QStringLiteral("North"));
    QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join('\n')));
}

void TestNewFolder::aChildStoresItsNewParentWithoutAQuestion()
{
    ScriptedMessages messages;
    Window window;
    CMy7100Doc &document = window.document();
    QVERIFY(window.project.selectProject());
    const int plants = window.rows("Equipments");
    QVERIFY(window.frame->RunCommand(AddPlant));
    const ItemHandle plant = document.CurrentItem();
    // A cabinet straight away: the plant is stored for it; nothing typed
    // into the plant's form could be lost, so nothing is asked.
    QVERIFY(window.frame->RunCommand(AddCabinet));
    QCoreApplication::processEvents();
    QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join('\n')));
    QCOMPARE(window.rows("Equipments"), plants + 1);
    QCOMPARE(document.FindItem(plant)->editState(), EditState::Clean);
    Item *cabinet = document.FindItem(document.CurrentItem());
    QVERIFY(cabinet && cabinet->parent()->handle() == plant);
    QCOMPARE(cabinet->editState(), EditState::New);
    QVERIFY(window.button("40201")->isEnabled());
}

QTEST_MAIN(TestNewFolder)
#include "test_new_folder.moc"
