#include "link/widgets/monitoring_page.h"
#include "db/output_file.h"

#include "base/message_service.h"
#include "base/string_table.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QTextStream>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace {
enum : int {
    kMeasured = 62393,
    kMovingMean = 62394,
    kRestart = 62395,
    kExport = 62396,
    kCsvFiles = 62397,
    kNotSaved = 62398,
};

const QColor kDisplayGreen(0x80, 0xFF, 0x80);
constexpr int kTickLabelPixels = 13;
} // namespace

CBarGraph::CBarGraph(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("BarGraph"));
    setMinimumHeight(80);
}

void CBarGraph::Show(double fraction, const std::array<QString, 5> &tickLabels)
{
    m_fraction = fraction;
    m_tickLabels = tickLabels;
    update();
}

void CBarGraph::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kTickLabelPixels);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    int labelWidth = metrics.horizontalAdvance(QStringLiteral("100.00 %"));
    for (const QString &label : m_tickLabels)
        for (const QString &line : label.split(u'\n'))
            labelWidth = std::max(labelWidth, metrics.horizontalAdvance(line));
    // Room for half a label on either side so that the end labels fit.
    const int margin = std::min(labelWidth / 2 + 2, width() / 4);
    const QRect area = rect().adjusted(margin, 0, -margin, 0);
    const QRect bar(area.left(), area.top(), area.width(), area.height() / 4);
    painter.fillRect(bar, Qt::lightGray);
    painter.fillRect(QRect(bar.left(), bar.top(), int(bar.width() * m_fraction), bar.height()), Qt::green);
    painter.setPen(Qt::black);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    // Labels that would run into each other leave out every second one.
    const std::array<bool, 5> labelled = MonitoringValues::LabelledTicks((bar.width() - 1) / 4.0, labelWidth);
    for (int tick = 0; tick < 5; ++tick) {
        const int x = bar.left() + (bar.width() - 1) * tick / 4;
        painter.drawLine(x, bar.bottom(), x, bar.bottom() + 5);
        if (!labelled[size_t(tick)])
            continue;
        const QRect label(x - labelWidth / 2 - 2, bar.bottom() + 7, labelWidth + 4,
                          area.height() - bar.height() - 7);
        painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, m_tickLabels[size_t(tick)]);
    }
}

CMonitoringPage::CMonitoringPage(int channel, ModuleFamily family, QWidget *parent)
    : QWidget(parent), m_channel(channel), m_family(family)
{
    // The 7220 scale is fixed; the others come with the first record.
    if (family == Family7220)
        m_scale = MonitoringScale{0, 24};
    auto *layout = new QVBoxLayout(this);
    auto *displays = new QHBoxLayout;
    m_value = MakeDisplay(QStringLiteral("100.0"), QStringLiteral("ValueDisplay"));
    m_percent = MakeDisplay(QStringLiteral("100.0 %"), QStringLiteral("PercentDisplay"));
    m_status = MakeDisplay(Str(62452), QStringLiteral("StatusDisplay"));
    m_percent->setVisible(family != Family7220);
    displays->addWidget(m_value);
    displays->addWidget(m_percent);
    displays->addWidget(m_status);
    layout->addLayout(displays);
    m_bar = new CBarGraph(this);
    layout->addWidget(m_bar);
    auto *trend = new QHBoxLayout;
    trend->setSpacing(2);
    trend->addWidget(MakeScaleColumn());
    trend->addWidget(MakeChart(), 1);
    layout->addLayout(trend, 1);
    auto *buttons = new QHBoxLayout;
    auto *restart = new QPushButton(Str(kRestart), this);
    restart->setObjectName(QStringLiteral("1075"));
    auto *exportButton = new QPushButton(Str(kExport), this);
    exportButton->setObjectName(QStringLiteral("Export"));
    buttons->addStretch(1);
    buttons->addWidget(restart);
    buttons->addWidget(exportButton);
    layout->addLayout(buttons);
    connect(restart, &QPushButton::clicked, this, &CMonitoringPage::Restart);
    connect(exportButton, &QPushButton::clicked, this, &CMonitoringPage::Export);
}

QLineEdit *CMonitoringPage::MakeDisplay(const QString &text, const QString &name)
{
    auto *display = new QLineEdit(text, this);
    display->setObjectName(name);
    display->setReadOnly(true);
    display->setFont(QFont(QStringLiteral("MS Sans Serif")));
    QPalette palette = display->palette();
    palette.setColor(QPalette::Base, kDisplayGreen);
    display->setPalette(palette);
    return display;
}

QWidget *CMonitoringPage::MakeChart()
{
    m_chart = new QChart;
    m_measured = new QLineSeries(m_chart);
    m_measured->setName(Str(kMeasured));
    m_mean = new QLineSeries(m_chart);
    m_mean->setName(Str(kMovingMean));
    m_chart->addSeries(m_measured);
    m_chart->addSeries(m_mean);
    m_timeAxis = new QDateTimeAxis(m_chart);
    m_timeAxis->setFormat(QStringLiteral("hh:mm:ss"));
    m_valueAxis = new QValueAxis(m_chart);
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    for (QLineSeries *series : {m_measured, m_mean}) {
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_valueAxis);
    }
    auto *view = new QChartView(m_chart, this);
    view->setObjectName(QStringLiteral("TrendChart"));
    view->setMinimumHeight(160);
    m_chartView = view;
    // The axis shows the scale before the first record.
    const MonitoringTrend::AxisRange range = m_trend.RangeOver(m_scale);
    m_valueAxis->setRange(range.low, range.high);
    connect(m_chart, &QChart::plotAreaChanged, this, &CMonitoringPage::PlaceScaleLabels);
    // As many times under the trend as fit whole.
    connect(m_chart, &QChart::plotAreaChanged, this, [this](const QRectF &plot) {
        const QFontMetrics metrics(m_timeAxis->labelsFont());
        const int labelWidth = metrics.horizontalAdvance(QStringLiteral("00:00:00"));
        const int count = MonitoringValues::TimeTickCount(plot.width(), labelWidth);
        if (count != m_timeAxis->tickCount())
            m_timeAxis->setTickCount(count);
    });
    return view;
}

QWidget *CMonitoringPage::MakeScaleColumn()
{
    m_scaleColumn = new QWidget(this);
    m_scaleColumn->setObjectName(QStringLiteral("ScaleLabels"));
    const std::array<QString, 3> labels = MonitoringValues::ScaleLabels(m_family);
    int width = 0;
    for (size_t i = 0; i < labels.size(); ++i) {
        auto *label = new QLabel(labels[i], m_scaleColumn);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->adjustSize();
        width = std::max(width, label->width());
        m_scaleLabels[i] = label;
    }
    for (QLabel *label : m_scaleLabels)
        label->resize(width, label->height());
    m_scaleColumn->setFixedWidth(width + 2);
    return m_scaleColumn;
}

void CMonitoringPage::PlaceScaleLabels()
{
    if (!m_chartView || m_chart->plotArea().isEmpty())
        return;
    const double anyTime = double(m_timeAxis->min().toMSecsSinceEpoch());
    const std::array<double, 3> levels = MonitoringValues::ScaleLevels(m_scale);
    for (size_t i = 0; i < levels.size(); ++i) {
        const QPointF onChart = m_chart->mapToPosition(QPointF(anyTime, levels[i]), m_measured);
        const QPoint inView = m_chartView->mapFromScene(m_chart->mapToScene(onChart));
        const QPoint inColumn = m_scaleColumn->mapFrom(this, m_chartView->viewport()->mapTo(this, inView));
        QLabel *label = m_scaleLabels[i];
        const int top = std::clamp(inColumn.y() - label->height() / 2, 0,
                                   std::max(0, m_scaleColumn->height() - label->height()));
        label->move(0, top);
    }
}

void CMonitoringPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    PlaceScaleLabels();
}

void CMonitoringPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    PlaceScaleLabels();
}

void CMonitoringPage::ShowRecord(const MonitoringRecord &record, const std::array<QString, 5> &tickLabels,
                                 const QDateTime &time)
{
    m_unit = record.unit;
    m_scale = record.scale;
    m_trend.Add(time, record.value);
    m_bar->Show(record.scale.Fraction(record.value), tickLabels);
    m_value->setText(record.valueText);
    if (m_family != Family7220)
        m_percent->setText(record.percentText);
    m_status->setText(record.statusText);
    RedrawTrend();
}

void CMonitoringPage::Restart()
{
    m_trend.Restart();
    RedrawTrend();
}

void CMonitoringPage::RedrawTrend()
{
    QList<QPointF> measured;
    QList<QPointF> mean;
    for (const MonitoringTrend::Sample &sample : m_trend.Samples()) {
        const double x = double(sample.time.toMSecsSinceEpoch());
        measured << QPointF(x, sample.value);
        if (sample.hasMean)
            mean << QPointF(x, sample.mean);
    }
    m_measured->replace(measured);
    m_mean->replace(mean);
    const MonitoringTrend::AxisRange range = m_trend.RangeOver(m_scale);
    m_valueAxis->setRange(range.low, range.high);
    if (!measured.isEmpty()) {
        const QDateTime first = m_trend.Samples().front().time;
        const QDateTime last = m_trend.Samples().back().time;
        m_timeAxis->setRange(first, last > first ? last : first.addSecs(3));
    }
    PlaceScaleLabels();
}

void CMonitoringPage::Export()
{
    const QString path = QFileDialog::getSaveFileName(this, Str(kExport), QString(), Str(kCsvFiles));
    if (path.isEmpty())
        return;
    // The dialog asked before an existing file is replaced.
    const OutputFile::Target target{path, OutputFile::Content::Text, true, {}};
    if (const std::optional<QString> refusal = OutputFile::Refusal(target)) {
        MessageService::show({*refusal, MessageIcon::Error});
        return;
    }
    if (!OutputFile::WriteTextLines(target, m_trend.CsvLines(m_unit)).isEmpty())
        MessageService::show({StrF(kNotSaved, {path}), MessageIcon::Error});
}
