#include "db/db_test_support.h"
#include "db/project_database.h"
#include "db/widgets/connection_properties_dialog.h"
#include "db/widgets/project_file_dialog_presenter.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

class TestProjectDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void connectionPropertiesShowTheOpenProject();
    void openDialogAnswersTheChosenFile();
    void cancelledDialogAnswersNothing();
};

void TestProjectDialogs::connectionPropertiesShowTheOpenProject()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.prj");
    QFile::copy(AppPaths::referenceDatabasePath(), path);
    ProjectDatabase database;
    QVERIFY(database.OpenFile(path, "Admin", QString()));
    CConnectionPropertiesDialog dialog(ReadConnectionDetails(database));
    QCOMPARE(dialog.objectName(), QString("24600"));
    QCOMPARE(dialog.windowTitle(), QString("Database connection properties"));
    auto *name = dialog.findChild<QLineEdit *>("1140");
    auto *provider = dialog.findChild<QLineEdit *>("1141");
    QVERIFY(name && provider);
    QVERIFY(name->isReadOnly() && provider->isReadOnly());
    QCOMPARE(name->text(), path);
    QVERIFY(provider->text().startsWith("SQLite, 3."));
    auto *list = dialog.findChild<QTreeWidget *>("propertyList");
    QCOMPARE(list->headerItem()->text(0), QString("Name"));
    QCOMPARE(list->headerItem()->text(1), QString("Value"));
    QCOMPARE(list->topLevelItemCount(), 5);
    QCOMPARE(list->topLevelItem(0)->text(0), QString("Data Source"));
    QCOMPARE(list->topLevelItem(0)->text(1), path);
    QCOMPARE(list->topLevelItem(4)->text(0), QString("User ID"));
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    dialog.show();
    auto *close = dialog.findChild<QPushButton *>("closeButton");
    QCOMPARE(close->text(), QString("Close"));
    close->click();
    QVERIFY(!dialog.isVisible());
}

void TestProjectDialogs::openDialogAnswersTheChosenFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("chosen.prj");
    QFile(path).open(QIODevice::WriteOnly);
    FileDialogRequest request;
    request.filters = FileDialogService::BuildFilters({{50350, 50351}, {50352, 50353}});
    request.initialPath = path;
    QString filter;
    QTimer::singleShot(0, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<QFileDialog *>(w)) {
                filter = dialog->nameFilters().join(";;");
                static_cast<QDialog *>(dialog)->accept();
            }
        }
    });
    QCOMPARE(ProjectFileDialogPresenter::present(request, nullptr), path);
    QCOMPARE(filter, QString("7100 projects (*.prj);;Microsoft Data Link Files (*.udl)"));
}

void TestProjectDialogs::cancelledDialogAnswersNothing()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.filters = FileDialogService::BuildFilters({{50350, 50351}});
    request.defaultExtension = "prj";
    QTimer::singleShot(0, [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<QFileDialog *>(w))
                dialog->reject();
        }
    });
    QCOMPARE(ProjectFileDialogPresenter::present(request, nullptr), QString());
    // No filter at all: no dialog is shown.
    ProjectFileDialogPresenter::install();
    request.filters.clear();
    QCOMPARE(FileDialogService::show(request), QString());
    FileDialogService::setPresenter({});
}

QTEST_MAIN(TestProjectDialogs)
#include "test_project_dialogs.moc"
