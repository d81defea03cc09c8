#pragma once

#include "link/monitoring_values.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QLineSeries;
class QChart;
class QChartView;
class QDateTimeAxis;
class QValueAxis;

// The bar of a Monitoring page: the value's share of the scale in green
// over a grey bar, five ticks and their labels.
class CBarGraph : public QWidget {
    Q_OBJECT
public:
    explicit CBarGraph(QWidget *parent = nullptr);
    void Show(double fraction, const std::array<QString, 5> &tickLabels);
    double Fraction() const { return m_fraction; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_fraction = 0;
    std::array<QString, 5> m_tickLabels;
};

// One channel's Monitoring page: the value, percentage and status displays,
// the bar and the trend of the measured value with its moving mean.
class CMonitoringPage : public QWidget {
    Q_OBJECT
public:
    CMonitoringPage(int channel, ModuleFamily family, QWidget *parent = nullptr);

    void ShowRecord(const MonitoringRecord &record, const std::array<QString, 5> &tickLabels,
                    const QDateTime &time);
    const MonitoringTrend &Trend() const { return m_trend; }
    // Empties the trend and its chart.
    void Restart();
    QChart *Chart() const { return m_chart; }
    QChartView *ChartView() const { return m_chartView; }
    // The scale labels beside the chart: top, middle, bottom.
    const std::array<QLabel *, 3> &ScaleLabels() const { return m_scaleLabels; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *MakeDisplay(const QString &text, const QString &name);
    QWidget *MakeChart();
    QWidget *MakeScaleColumn();
    void RedrawTrend();
    // Each scale label beside the height of its level on the chart's axis.
    void PlaceScaleLabels();
    void Export();

    int m_channel;
    ModuleFamily m_family;
    QString m_unit;
    MonitoringScale m_scale;
    MonitoringTrend m_trend;
    QLineEdit *m_value = nullptr;
    QLineEdit *m_percent = nullptr;
    QLineEdit *m_status = nullptr;
    CBarGraph *m_bar = nullptr;
    QChart *m_chart = nullptr;
    QChartView *m_chartView = nullptr;
    QWidget *m_scaleColumn = nullptr;
    std::array<QLabel *, 3> m_scaleLabels{};
    QLineSeries *m_measured = nullptr;
    QLineSeries *m_mean = nullptr;
    QDateTimeAxis *m_timeAxis = nullptr;
    QValueAxis *m_valueAxis = nullptr;
};
