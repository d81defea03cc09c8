// The trend of a Monitoring page: its axis spans the channel's scale, and
// the scale labels beside it stand at the axis's end, middle and begin.
#include "link/widgets/monitoring_page.h"
#include "support/test_support.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QValueAxis>
#include <QtTest>

class TestMonitoringPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::loadEnglish(); }
    void axisSpansTheScaleAndTheSamples();
    void scaleLabelsStandAtTheirLevels_data();
    void scaleLabelsStandAtTheirLevels();
};

namespace {
MonitoringRecord Record(double value, double begin, double end)
{
    MonitoringRecord record;
    record.value = value;
    record.scale = {begin, end};
    record.unit = QStringLiteral("°C");
    return record;
}

QValueAxis *ValueAxis(CMonitoringPage &page)
{
    return qobject_cast<QValueAxis *>(page.Chart()->axes(Qt::Vertical).value(0));
}

// The height of a value on the chart, in the page's coordinates, from the
// plot area and the axis alone.
double HeightOf(CMonitoringPage &page, double value)
{
    const QRectF plot = page.Chart()->plotArea();
    QValueAxis *axis = ValueAxis(page);
    const double share = (axis->max() - value) / (axis->max() - axis->min());
    const QPointF inScene = page.Chart()->mapToScene(QPointF(plot.left(), plot.top() + share * plot.height()));
    const QPoint inView = page.ChartView()->mapFromScene(inScene);
    return page.ChartView()->viewport()->mapTo(&page, inView).y();
}

double MiddleOf(CMonitoringPage &page, const QLabel &label)
{
    return label.mapTo(&page, QPoint(0, label.height() / 2)).y();
}
} // namespace

void TestMonitoringPage::axisSpansTheScaleAndTheSamples()
{
    MonitoringTrend trend;
    const MonitoringScale scale{0, 200};
    MonitoringTrend::AxisRange range = trend.RangeOver(scale);
    QCOMPARE(range.low, -10.0);
    QCOMPARE(range.high, 210.0);
    // A sample beyond the scale widens the axis; the scale stays on it.
    trend.Add(QDateTime::currentDateTime(), 300);
    range = trend.RangeOver(scale);
    QCOMPARE(range.low, -15.0);
    QCOMPARE(range.high, 315.0);
    trend.Add(QDateTime::currentDateTime(), -100);
    QCOMPARE(trend.RangeOver(scale).low, -120.0);
    // A scale without width still has room.
    MonitoringTrend empty;
    QCOMPARE(empty.RangeOver({5, 5}).low, 4.0);
    QCOMPARE(empty.RangeOver({5, 5}).high, 6.0);
    // A falling scale is the same range.
    QCOMPARE(empty.RangeOver({200, 0}).high, 210.0);
    QVERIFY((MonitoringValues::ScaleLevels({0, 24}) == std::array<double, 3>{24, 12, 0}));
}

void TestMonitoringPage::scaleLabelsStandAtTheirLevels_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("begin");
    QTest::addColumn<double>("end");
    QTest::newRow("7230 within the scale") << int(Family7230) << 75.0 << 0.0 << 150.0;
    QTest::newRow("7230 far above the scale") << int(Family7230) << 600.0 << 0.0 << 150.0;
    QTest::newRow("7210 below a shifted scale") << int(Family7210) << -40.0 << 100.0 << 500.0;
    QTest::newRow("7220 in mA") << int(Family7220) << 9.5 << 0.0 << 24.0;
}

void TestMonitoringPage::scaleLabelsStandAtTheirLevels()
{
    QFETCH(int, family);
    QFETCH(double, value);
    QFETCH(double, begin);
    QFETCH(double, end);
    CMonitoringPage page(1, ModuleFamily(family));
    page.resize(520, 420);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.ShowRecord(Record(value, begin, end), {}, QDateTime::currentDateTime());
    page.ShowRecord(Record(value + 1, begin, end), {}, QDateTime::currentDateTime().addSecs(3));
    QCoreApplication::processEvents();
    QVERIFY(ValueAxis(page)->max() >= std::max(end, value + 1));
    QVERIFY(ValueAxis(page)->min() <= std::min(begin, value));
    const std::array<double, 3> levels{end, (begin + end) / 2, begin};
    const QStringList texts = family == Family7220 ? QStringList{"24 mA", "12 mA", "0 mA"}
                                                   : QStringList{"100 %", "50 %", "0 %"};
    for (size_t i = 0; i < levels.size(); ++i) {
        const QLabel *label = page.ScaleLabels()[i];
        QCOMPARE(label->text(), texts.at(qsizetype(i)));
        QVERIFY2(std::abs(MiddleOf(page, *label) - HeightOf(page, levels[i])) <= 1.5,
                 qPrintable(QStringLiteral("%1 at %2, its level at %3")
                                .arg(label->text())
                                .arg(MiddleOf(page, *label))
                                .arg(HeightOf(page, levels[i]))));
    }
    // The same after the pane changed its size.
    page.resize(520, 300);
    QCoreApplication::processEvents();
    QVERIFY(std::abs(MiddleOf(page, *page.ScaleLabels()[0]) - HeightOf(page, end)) <= 1.5);
}

QTEST_MAIN(TestMonitoringPage)
#include "test_monitoring_page.moc"
