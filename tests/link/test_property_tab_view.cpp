// The live-value panel over a simulated module on a real pseudo-terminal:
// it follows the module online and offline, shows the polled values and
// hands its buttons' actions to the link.
#include "link/widgets/monitoring_page.h"
#include "link/widgets/property_tab_view.h"
#include "transfer_harness.h"
#include "base/language.h"

#include <QChartView>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>

namespace {
QString CellOf(const QTableWidget &table, const QString &label, int column)
{
    for (int row = 0; row < table.rowCount(); ++row)
        if (table.item(row, 0)->text() == label)
            return table.item(row, column)->text();
    return QStringLiteral("<no row>");
}
} // namespace

class TestPropertyTabView : public QObject {
    Q_OBJECT

    struct Online {
        Online() : harness(TwoChannel7230())
        {
            const int moduleId = project.createModule(kTwoChannel7230, QStringLiteral("LV"));
            project.open();
            CModuleImage image = project.imageOfModule(kTwoChannel7230, moduleId);
            // Channel 1 measures in the 2-wire circuit, channel 2 in another.
            image.Channel[0].Config.WorkingModeID = 0;
            image.Channel[0].Config.TypeOfCircuitID = 0;
            image.Channel[1].Config.WorkingModeID = 0;
            image.Channel[1].Config.TypeOfCircuitID = 1;
            harness.simulate(image);
            harness.attach(project);
            QObject::connect(harness.transfer.get(), &ModuleTransfer::liveValuesRefreshed, [this] {
                onlineAtRefresh << harness.transfer->IsModuleOnline();
            });
        }
        TransferProject project;
        TransferHarness harness;
        QList<bool> onlineAtRefresh;
    };

    // The panel over the online module at the given size, shown and laid
    // out.
    static bool showPanel(CPropertyTabView &panel, QSize size)
    {
        panel.resize(size);
        panel.Refresh();
        panel.show();
        const bool exposed = QTest::qWaitForWindowExposed(&panel);
        QApplication::processEvents();
        return exposed;
    }

private slots:
    void initTestCase() { TestSupport::loadEnglish(); }

    void panelShowsTheModuleWhileOnline()
    {
        Online online;
        QVERIFY(online.harness.goOnline());
        QTRY_VERIFY(!online.onlineAtRefresh.isEmpty());
        QVERIFY(online.onlineAtRefresh.last());

        CPropertyTabView panel(*online.harness.transfer, online.harness.link.controller);
        panel.Refresh();
        auto *table = panel.findChild<QTableWidget *>(QStringLiteral("DiagnoseList"));
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 22);
        QCOMPARE(CellOf(*table, "Signal-Tag", 1), online.harness.transfer->LiveImage().Channel[0].Name);
        QVERIFY(!CellOf(*table, "Signal-Tag", 1).isEmpty());
        QVERIFY(!CellOf(*table, "Measured value", 1).isEmpty());
        QCOMPARE(CellOf(*table, "Module error", 2), QStringLiteral("Module active"));
        QCOMPARE(panel.findChild<QLineEdit *>(QStringLiteral("1281"))->text(),
                 QStringLiteral("SIM-1"));

        auto *twoWire1 = panel.findChild<QPushButton *>(QStringLiteral("1287"));
        auto *twoWire2 = panel.findChild<QPushButton *>(QStringLiteral("1290"));
        QCOMPARE(twoWire1->text(), QStringLiteral("Active"));
        QVERIFY(twoWire1->isEnabled());
        QVERIFY(!twoWire2->isEnabled());

        QCOMPARE(panel.count(), 4);
        QCOMPARE(panel.tabText(3), QStringLiteral("Monitoring - CH 2"));
        auto *page = panel.widget(2)->findChild<CMonitoringPage *>();
        QVERIFY(page);
        QCOMPARE(int(page->Trend().Samples().size()), 1);
        panel.Refresh();
        QCOMPARE(int(page->Trend().Samples().size()), 2);
        const CModuleImage &image = online.harness.transfer->LiveImage();
        const MonitoringRecord record =
            MonitoringValues(online.harness.transfer->Texts()).RecordOf(image, 1, Family7230);
        QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("ValueDisplay"))->text(), record.valueText);
        QVERIFY(page->findChild<QLineEdit *>(QStringLiteral("PercentDisplay"))->text().endsWith(" %"));
        QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("StatusDisplay"))->text(), QStringLiteral("OK"));
        QCOMPARE(page->findChild<CBarGraph *>()->Fraction(), record.scale.Fraction(record.value));
        page->findChild<QPushButton *>(QStringLiteral("1075"))->click();
        QVERIFY(page->Trend().Samples().empty());

        // Unplugged: the next notice finds the module offline.
        const qsizetype notices = online.harness.link.notices.size();
        online.harness.link.simulator.setUnplugged(true);
        QVERIFY(online.harness.link.waitForNotice(2, 2, 5000, notices));
        QTRY_VERIFY(!online.onlineAtRefresh.last());
    }

    // "Parameters" is as wide as its longest label; the channel columns share
    // the rest of the table alike.
    void diagnoseTableSharesItsSpareWidth()
    {
        Online online;
        QVERIFY(online.harness.goOnline());
        QTRY_VERIFY(!online.onlineAtRefresh.isEmpty());
        CPropertyTabView panel(*online.harness.transfer, online.harness.link.controller);
        QVERIFY(showPanel(panel, QSize(900, 600)));
        auto *table = panel.findChild<QTableWidget *>(QStringLiteral("DiagnoseList"));
        QVERIFY(table && table->isVisible());
        QApplication::processEvents();
        int longest = 0;
        for (int row = 0; row < table->rowCount(); ++row)
            longest = std::max(longest, table->fontMetrics().horizontalAdvance(table->item(row, 0)->text()));
        QVERIFY(longest > 0);
        const QHeaderView *header = table->horizontalHeader();
        QVERIFY2(header->sectionSize(0) >= longest,
                 qPrintable(QString("%1 < %2").arg(header->sectionSize(0)).arg(longest)));
        QVERIFY2(std::abs(header->sectionSize(1) - header->sectionSize(2)) <= 1,
                 qPrintable(QString("%1 %2").arg(header->sectionSize(1)).arg(header->sectionSize(2))));
        // Nothing is left over beside the columns.
        QVERIFY(header->length() >= table->viewport()->width() - 1);
    }

    // A narrow panel in German: every value stands whole in its column, the
    // table scrolls sideways instead.
    void diagnoseValuesAreNeverCut()
    {
        Online online;
        QVERIFY(online.harness.goOnline());
        QTRY_VERIFY(!online.onlineAtRefresh.isEmpty());
        QVERIFY(Language::load(2));
        CPropertyTabView panel(*online.harness.transfer, online.harness.link.controller);
        QVERIFY(showPanel(panel, QSize(360, 400)));
        auto *table = panel.findChild<QTableWidget *>(QStringLiteral("DiagnoseList"));
        QApplication::processEvents();
        const QHeaderView *header = table->horizontalHeader();
        int checked = 0;
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 1; column < 3; ++column) {
                const QString text = table->item(row, column)->text();
                QVERIFY2(header->sectionSize(column) > table->fontMetrics().horizontalAdvance(text),
                         qPrintable(QString("%1: %2").arg(text).arg(header->sectionSize(column))));
                checked += text.isEmpty() ? 0 : 1;
            }
        QVERIFY(checked > 10);
        QVERIFY(header->length() > table->viewport()->width());
        // A low panel scrolls a Monitoring page instead of squeezing its
        // trend under the bar's labels.
        panel.resize(360, 180);
        panel.setCurrentIndex(2);
        QApplication::processEvents();
        auto *page = panel.widget(2)->findChild<CMonitoringPage *>();
        QVERIFY(page);
        QTRY_VERIFY(page->ChartView()->height() >= 160);
        TestSupport::loadEnglish();
    }

    // A low, narrow panel in German: the Diagnose page keeps several rows of
    // live states in view and scrolls, and each identity field shows the
    // start of its text ("Modulkennzeichen" the start of the tag).
    void aLowPanelKeepsRowsAndTheStartOfEachField()
    {
        Online online;
        QVERIFY(online.harness.goOnline());
        QTRY_VERIFY(!online.onlineAtRefresh.isEmpty());
        QVERIFY(Language::load(2));
        CPropertyTabView panel(*online.harness.transfer, online.harness.link.controller);
        QVERIFY(showPanel(panel, QSize(300, 220)));
        auto *table = panel.findChild<QTableWidget *>(QStringLiteral("DiagnoseList"));
        QVERIFY(table);
        const int rowsInView = table->viewport()->height() / table->rowHeight(0);
        TestSupport::loadEnglish();
        QVERIFY2(rowsInView >= 5, qPrintable(QString::number(rowsInView)));
        int fieldsChecked = 0;
        for (const char *id : {"1278", "1279", "1281", "1284", "1316"}) {
            auto *field = panel.findChild<QLineEdit *>(QLatin1String(id));
            QVERIFY(field);
            if (field->text().isEmpty())
                continue;
            QCOMPARE(field->cursorPosition(), 0);
            ++fieldsChecked;
        }
        QVERIFY(fieldsChecked >= 3);
    }

    // The panel as a first start on a 1366 x 768 screen places it, beside
    // the log under the forms, in German: the identity fields take two
    // lines and at least five rows of live states are in view without
    // scrolling the page.
    void theFirstStartPanelShowsFiveRowsOfStates()
    {
        Online online;
        QVERIFY(online.harness.goOnline());
        QTRY_VERIFY(!online.onlineAtRefresh.isEmpty());
        QVERIFY(Language::load(2));
        CPropertyTabView panel(*online.harness.transfer, online.harness.link.controller);
        QVERIFY(showPanel(panel, QSize(636, 213)));
        auto *table = panel.findChild<QTableWidget *>(QStringLiteral("DiagnoseList"));
        QVERIFY(table);
        auto *area = qobject_cast<QScrollArea *>(panel.currentWidget());
        QVERIFY(area);
        // What of the table's rows stands inside the page's scroll area.
        const QRect inArea(table->viewport()->mapTo(area->viewport(), QPoint(0, 0)), table->viewport()->size());
        const int shown = inArea.intersected(area->viewport()->rect()).height();
        const int rowsInView = shown / table->rowHeight(0);
        const int below = panel.findChild<QLineEdit *>(QStringLiteral("1316"))->geometry().bottom();
        const int top = panel.findChild<QLineEdit *>(QStringLiteral("1278"))->geometry().top();
        TestSupport::loadEnglish();
        QVERIFY2(rowsInView >= 5, qPrintable(QString::number(rowsInView)));
        // The five identity fields stand in two lines.
        QVERIFY2(below - top < 3 * panel.findChild<QLineEdit *>(QStringLiteral("1278"))->height(),
                 qPrintable(QString("%1 to %2").arg(top).arg(below)));
    }

    void channelButtonSendsTheTwoWireCompensation()
    {
        Online online;
        QVERIFY(online.harness.goOnline());
        QTRY_VERIFY(!online.onlineAtRefresh.isEmpty());
        CPropertyTabView panel(*online.harness.transfer, online.harness.link.controller);
        panel.Refresh();
        const qsizetype from = online.harness.link.notices.size();
        const qsizetype texts = online.harness.texts.size();
        panel.findChild<QPushButton *>(QStringLiteral("1287"))->click();
        QVERIFY(online.harness.link.waitForNotice(7, int(ActionCode::TwoWireCompensation1), 5000, from));
        QTRY_VERIFY(online.harness.textsFrom(texts).contains(
            QStringLiteral("Adjust 2-wires compensation, Channel1...OK,  Wire resistance = ")));
    }
};

QTEST_MAIN(TestPropertyTabView)
#include "test_property_tab_view.moc"
