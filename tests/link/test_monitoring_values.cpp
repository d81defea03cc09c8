// The values of the Monitoring pages: the bar's share of the scale, the
// displays of a record, the labels and the trend with its moving mean.
#include "link/module_image.h"
#include "link/monitoring_values.h"
#include "link/parameter_texts.h"
#include "params/params_test_support.h"
#include "support/test_support.h"

#include <QtTest>

Q_DECLARE_METATYPE(ModuleFamily)

class TestMonitoringValues : public QObject {
    Q_OBJECT

    std::unique_ptr<ParamsProject> m_project;

    static CModuleImage ImageWithRange(int begin, int end, int unit)
    {
        CModuleImage image;
        image.Channels = 1;
        ChannelConfiguration &config = image.Channel[0].Config;
        config.RangeBegin = begin;
        config.RangeEnd = end;
        config.RangeUnitsID = unit;
        return image;
    }

private slots:
    void initTestCase()
    {
        TestSupport::loadEnglish();
        m_project = std::make_unique<ParamsProject>();
    }

    void barIsHeldToTheScale_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("fraction");
        QTest::newRow("below the begin") << -80.0 << 0.0;
        QTest::newRow("at the begin") << -50.0 << 0.0;
        QTest::newRow("a quarter") << 0.0 << 0.25;
        QTest::newRow("at the end") << 150.0 << 1.0;
        QTest::newRow("above the end") << 400.0 << 1.0;
    }
    void barIsHeldToTheScale()
    {
        QFETCH(double, value);
        QFETCH(double, fraction);
        const MonitoringScale scale{-50, 150};
        QCOMPARE(scale.Fraction(value), fraction);
    }

    void scaleWithoutWidthFillsNothing()
    {
        const MonitoringScale flat{10, 10};
        QCOMPARE(flat.Fraction(20), 0.0);
        QCOMPARE(flat.Percent(20), 0.0);
    }

    void recordShowsValuePercentAndStatus_data()
    {
        QTest::addColumn<ModuleFamily>("family");
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("channelError");
        QTest::addColumn<QString>("valueText");
        QTest::addColumn<QString>("percentText");
        QTest::addColumn<QString>("status");
        // -50.0 to 150.0 degrees C in tenths.
        QTest::newRow("7230 middle") << Family7230 << 500 << 0 << "50.0 °C" << "50.00 %" << "OK";
        QTest::newRow("7230 above, error") << Family7230 << 2500 << 1 << "250.0 °C" << "150.00 %"
                                           << "Channel error";
        QTest::newRow("7220 mA, no percent") << Family7220 << 12000 << 0 << "12.000 mA" << "" << "OK";
    }
    void recordShowsValuePercentAndStatus()
    {
        QFETCH(ModuleFamily, family);
        QFETCH(int, raw);
        QFETCH(int, channelError);
        QFETCH(QString, valueText);
        QFETCH(QString, percentText);
        QFETCH(QString, status);
        CModuleImage image = ImageWithRange(-500, 1500, 0);
        image.Channel[0].Live.MeasuredValue = raw;
        image.Channel[0].Live.ChannelError = channelError;
        const ImageParameterTexts texts(m_project->catalogues());
        const MonitoringRecord record = MonitoringValues(texts).RecordOf(image, 1, family);
        QCOMPARE(record.valueText, valueText);
        QCOMPARE(record.percentText, percentText);
        QCOMPARE(record.statusText, status);
    }

    void scaleAndTickLabels()
    {
        const ImageParameterTexts texts(m_project->catalogues());
        const MonitoringValues values(texts);
        const CModuleImage image = ImageWithRange(-500, 1500, 0);
        const MonitoringScale scale = values.ScaleOf(image, 1, Family7230);
        QCOMPARE(scale.begin, -50.0);
        QCOMPARE(scale.end, 150.0);
        const std::array<QString, 5> ticks = values.TickLabels(image, 1, Family7230);
        QCOMPARE(ticks[0], QStringLiteral("0.00 %\n-50.0 °C"));
        QCOMPARE(ticks[1], QStringLiteral("25.00 %"));
        QCOMPARE(ticks[2], QStringLiteral("50.00 %\n50.0 °C"));
        QCOMPARE(ticks[4], QStringLiteral("100.00 %\n150.0 °C"));
        QCOMPARE(values.TickLabels(image, 1, Family7220)[3], QStringLiteral("18 mA"));
        QCOMPARE(values.ScaleOf(image, 1, Family7220).end, 24.0);
        QCOMPARE(MonitoringValues::ScaleLabels(Family7220)[0], QStringLiteral("24 mA"));
        QCOMPARE(MonitoringValues::ScaleLabels(Family7210)[1], QStringLiteral("50 %"));
    }

    void trendMeanStartsAfterFiveSamples()
    {
        MonitoringTrend trend;
        const QDateTime start(QDate(2026, 12, 9), QTime(17, 0));
        for (int i = 1; i <= 7; ++i)
            trend.Add(start.addSecs(3 * i), i * 10.0);
        const auto &samples = trend.Samples();
        QCOMPARE(int(samples.size()), 7);
        QVERIFY(!samples[4].hasMean);
        QVERIFY(samples[5].hasMean);
        QCOMPARE(samples[5].mean, 40.0); // 20 30 40 50 60
        QCOMPARE(samples[6].mean, 50.0);
        const QStringList csv = trend.CsvLines(QStringLiteral("mV"));
        QCOMPARE(csv.size(), 8);
        QCOMPARE(csv[1], QStringLiteral("2026-12-09T17:00:03;10;;mV"));
        QCOMPARE(csv[7], QStringLiteral("2026-12-09T17:00:21;70;50;mV"));
        trend.Restart();
        QVERIFY(trend.Samples().empty());
    }

    // Labels of the bar and times of the trend never run into each other:
    // long scale values ("10000.000 Puls") leave out every second label, a
    // narrow trend shows fewer times rather than cut ones ("12:3...").
    void labelsLeaveRoomRatherThanOverlap()
    {
        const std::array<bool, 5> all{true, true, true, true, true};
        const std::array<bool, 5> everySecond{true, false, true, false, true};
        const std::array<bool, 5> ends{true, false, false, false, true};
        QCOMPARE(MonitoringValues::LabelledTicks(100, 60), all);
        QCOMPARE(MonitoringValues::LabelledTicks(100, 96), all);
        QCOMPARE(MonitoringValues::LabelledTicks(100, 97), everySecond);
        QCOMPARE(MonitoringValues::LabelledTicks(60, 110), everySecond);
        QCOMPARE(MonitoringValues::LabelledTicks(40, 110), ends);
        QCOMPARE(MonitoringValues::TimeTickCount(600, 50), 5);
        QCOMPARE(MonitoringValues::TimeTickCount(186, 50), 3);
        QCOMPARE(MonitoringValues::TimeTickCount(100, 50), 2);
        QCOMPARE(MonitoringValues::TimeTickCount(20, 50), 2);
    }
};

QTEST_GUILESS_MAIN(TestMonitoringValues)
#include "test_monitoring_values.moc"
