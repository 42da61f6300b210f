#include "shell/bar_chart.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPen>
#include <QScrollBar>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace lumaro {

namespace {

// Before the chart is laid out its size is not known: at most this many axis labels then.
constexpr int kMaxAxisLabels = 24;
// Pixels between two axis labels, and between a mark and what is next to it.
constexpr qreal kLabelGap = 12;
constexpr qreal kMarkGap = 2;
// A legend entry beside its title: the swatch (one line high) and the spaces around both.
constexpr qreal kLegendEntrySpace = 12;
constexpr int kSmallestLegendPoints = 7;
// A zoomable chart gives each bar at least this many pixels at first, and zooms in no further
// than this many bars.
constexpr qreal kSmallestBarPixels = 3;
constexpr int kFewestZoomedBars = 10;
// One wheel notch shows this many times fewer (or more) bars.
constexpr double kZoomFactor = 1.5;

// The smallest of 1, 2, 5, 10, 20, 50, … that is at least n, so the labelled bars are easy to
// count.
int NiceStep(int n)
{
    int step = 1;
    for (;;) {
        for (int factor : {1, 2, 5}) {
            if (step * factor >= n)
                return step * factor;
        }
        if (step > 100'000'000)
            return n;
        step *= 10;
    }
}

// Light colours (white, yellow) get a darker outline, so they show on a white legend.
QColor OutlineOf(const QColor &color)
{
    return qGray(color.rgb()) > 200 ? color.darker(170) : color;
}

} // namespace

BarChart::BarChart(QWidget *parent)
    : QChartView(parent)
    , m_series(new QBarSeries)
    , m_axisX(new QCategoryAxis)
    , m_axisY(new QValueAxis)
{
    auto *chart = new QChart;
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->legend()->setVisible(true);
    chart->legend()->setShowToolTips(true);
    m_legendFont = chart->legend()->font();
    chart->addSeries(m_series);
    m_axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_axisY->setLabelFormat(QStringLiteral("%.0f"));
    // The axis decides its width before the values arrive; never cut "150" to "…".
    m_axisY->setTruncateLabels(false);
    m_axisX->setTruncateLabels(false);
    chart->addAxis(m_axisX, Qt::AlignBottom);
    chart->addAxis(m_axisY, Qt::AlignLeft);
    m_series->attachAxis(m_axisX);
    m_series->attachAxis(m_axisY);
    m_series->setBarWidth(0.8);
    m_series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    m_series->setLabelsFormat(QStringLiteral("@value"));
    setChart(chart);
    setRenderHint(QPainter::Antialiasing, false);
    // The texts are placed again once the chart knows its new size (after its layout, hence
    // queued).
    connect(chart, &QChart::plotAreaChanged, this, &BarChart::fitTexts, Qt::QueuedConnection);
}

int BarChart::addSeries(const QString &title, const QColor &color)
{
    m_data.push_back(Series {title, color, true, std::vector<double>(static_cast<std::size_t>(m_labels.size()), 0.0)});
    rebuildSets();
    return static_cast<int>(m_data.size()) - 1;
}

void BarChart::setSeriesTitle(int series, const QString &title)
{
    m_data[static_cast<std::size_t>(series)].title = title;
    rebuildSets();
}

void BarChart::setSeriesVisible(int series, bool visible)
{
    Series &s = m_data[static_cast<std::size_t>(series)];
    if (s.visible == visible)
        return;
    s.visible = visible;
    rebuildSets();
    rebuildAxes();
}

bool BarChart::isSeriesVisible(int series) const
{
    return m_data[static_cast<std::size_t>(series)].visible;
}

void BarChart::setPoints(const QStringList &labels, const std::vector<std::vector<double>> &values)
{
    m_labels = labels;
    for (std::size_t s = 0; s < m_data.size(); ++s) {
        m_data[s].values = s < values.size() ? values[s] : std::vector<double>();
        m_data[s].values.resize(static_cast<std::size_t>(labels.size()), 0.0);
    }
    for (Line &line : m_lines) {
        line.values.clear();
        rebuildLine(line);
    }
    m_viewFirst = 0;
    m_viewCount = -1;
    rebuildSets();
    rebuildAxes();
}

void BarChart::setPoints(const QStringList &labels, const std::vector<double> &values)
{
    setPoints(labels, std::vector<std::vector<double>> {values});
}

void BarChart::clearPoints()
{
    setPoints(QStringList(), std::vector<std::vector<double>>());
}

void BarChart::rebuildSets()
{
    m_series->clear();
    QList<QBarSet *> sets;
    for (const Series &s : m_data) {
        if (!s.visible)
            continue;
        auto *set = new QBarSet(s.title);
        set->setColor(s.color);
        set->setBorderColor(OutlineOf(s.color));
        set->setLabelColor(Qt::black);
        set->append(QList<qreal>(s.values.begin(), s.values.end()));
        sets << set;
    }
    m_series->append(sets);
}

void BarChart::setMarksVisible(bool visible)
{
    m_marks = visible;
    m_series->setLabelsVisible(marksShown());
    fitTexts();
}

bool BarChart::marksShown() const
{
    return m_marks && m_marksFit;
}

int BarChart::addLine(const QString &title, const QColor &color)
{
    auto *series = new QLineSeries;
    series->setName(title);
    QPen pen(color);
    pen.setWidthF(2);
    series->setPen(pen);
    chart()->addSeries(series);
    series->attachAxis(m_axisX);
    series->attachAxis(m_axisY);
    m_lines.push_back(Line {series, {}, 0});
    return static_cast<int>(m_lines.size()) - 1;
}

void BarChart::setLineValues(int line, const std::vector<double> &values, int firstPoint)
{
    Line &l = m_lines[static_cast<std::size_t>(line)];
    l.values = values;
    l.firstPoint = firstPoint;
    rebuildLine(l);
    fitTexts();
}

void BarChart::setLineTitle(int line, const QString &title)
{
    m_lines[static_cast<std::size_t>(line)].series->setName(title);
    fitLegend();
}

QList<QPointF> BarChart::linePoints(int line) const
{
    return m_lines[static_cast<std::size_t>(line)].series->points();
}

void BarChart::rebuildLine(Line &line)
{
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(line.values.size()));
    for (std::size_t i = 0; i < line.values.size(); ++i)
        points.append(QPointF(static_cast<qreal>(line.firstPoint) + static_cast<qreal>(i), line.values[i]));
    line.series->replace(points);
}

void BarChart::setZoomable(bool zoomable)
{
    m_zoomable = zoomable;
    setToolTip(zoomable ? QStringLiteral("滚动鼠标滚轮缩放，按住左键拖动") : QString());
    m_viewFirst = 0;
    m_viewCount = -1;
    fitTexts();
}

int BarChart::viewCount() const
{
    const int count = pointCount();
    if (!m_zoomable)
        return count;
    if (m_viewCount >= 0)
        return std::min(m_viewCount, count);
    const qreal width = chart()->plotArea().width();
    if (width <= 1)
        return count;
    return std::min(count, std::max(1, static_cast<int>(width / kSmallestBarPixels)));
}

int BarChart::viewFirst() const
{
    if (!m_zoomable)
        return 0;
    if (m_viewCount < 0)
        return pointCount() - viewCount();
    return std::clamp(m_viewFirst, 0, pointCount() - viewCount());
}

void BarChart::setView(int first, int count)
{
    if (!m_zoomable)
        return;
    const int total = pointCount();
    m_viewCount = std::clamp(count, std::min(total, kFewestZoomedBars), total);
    m_viewFirst = std::clamp(first, 0, total - m_viewCount);
    fitTexts();
}

QScrollBar *BarChart::newScrollBar(QWidget *parent, const QString &objectName)
{
    setZoomable(true);
    auto *bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(objectName);
    bar->hide();
    connect(this, &BarChart::viewChanged, bar, [bar](int first, int count, int total) {
        const QSignalBlocker blocker(bar);
        bar->setRange(0, std::max(0, total - count));
        bar->setPageStep(std::max(1, count));
        bar->setSingleStep(std::max(1, count / 10));
        bar->setValue(first);
        bar->setVisible(count < total);
    });
    connect(bar, &QScrollBar::valueChanged, this, &BarChart::setViewFirst);
    return bar;
}

double BarChart::barAt(qreal x) const
{
    const QPointF inChart = chart()->mapFromScene(mapToScene(QPoint(static_cast<int>(x), 0)));
    return chart()->mapToValue(inChart, m_series).x();
}

void BarChart::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y();
    if (!m_zoomable || steps == 0 || pointCount() == 0) {
        QChartView::wheelEvent(event);
        return;
    }
    const int first = viewFirst();
    const int count = viewCount();
    const double factor = steps > 0 ? 1 / kZoomFactor : kZoomFactor;
    const int wanted = std::max(1, static_cast<int>(std::lround(count * factor)));
    // The bar under the pointer stays where it is.
    const double centre = std::clamp(barAt(event->position().x()), double(first), double(first + count));
    const double share = (centre - first) / count;
    setView(static_cast<int>(std::lround(centre - share * wanted)), wanted);
    event->accept();
}

void BarChart::mousePressEvent(QMouseEvent *event)
{
    if (m_zoomable && event->button() == Qt::LeftButton) {
        m_dragX = event->position().x();
        m_dragFirst = viewFirst();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void BarChart::mouseMoveEvent(QMouseEvent *event)
{
    const qreal width = chart()->plotArea().width();
    if (m_zoomable && m_dragX >= 0 && width > 1) {
        const int count = viewCount();
        const int moved = static_cast<int>(std::lround((event->position().x() - m_dragX) * count / width));
        setView(m_dragFirst - moved, count);
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void BarChart::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragX >= 0 && event->button() == Qt::LeftButton) {
        m_dragX = -1;
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

double BarChart::value(int series, int point) const
{
    const auto &v = m_data[static_cast<std::size_t>(series)].values;
    return point >= 0 && point < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(point)] : 0.0;
}

void BarChart::rebuildAxes()
{
    m_labelStep = 0;
    fitTexts();
}

int BarChart::visibleSeriesCount() const
{
    return static_cast<int>(std::count_if(m_data.begin(), m_data.end(), [](const Series &s) { return s.visible; }));
}

qreal BarChart::widestMark() const
{
    // Marks are the values as whole numbers: the widest belongs to the largest or the smallest.
    const QList<QBarSet *> sets = m_series->barSets();
    const QFontMetricsF metrics(sets.isEmpty() ? font() : sets.first()->labelFont());
    qreal widest = 0;
    for (const Series &s : m_data) {
        if (!s.visible || s.values.empty())
            continue;
        const auto [low, high] = std::minmax_element(s.values.begin(), s.values.end());
        for (double v : {*low, *high})
            widest = std::max(widest, metrics.horizontalAdvance(QString::number(v)));
    }
    return widest;
}

qreal BarChart::widestLabel() const
{
    // Labels of one chart are alike (periods, numbers): a few hundred tell their width.
    const QFontMetricsF metrics(m_axisX->labelsFont());
    const qsizetype count = m_labels.size();
    const qsizetype stride = std::max<qsizetype>(1, count / 200);
    qreal widest = 0;
    for (qsizetype i = 0; i < count; i += stride)
        widest = std::max(widest, metrics.horizontalAdvance(m_labels[i]));
    if (count > 0)
        widest = std::max(widest, metrics.horizontalAdvance(m_labels.last()));
    return widest;
}

void BarChart::setLabelStep(int step)
{
    if (step == m_labelStep)
        return;
    m_labelStep = step;
    for (const QString &label : m_axisX->categoriesLabels())
        m_axisX->remove(label);
    // QCategoryAxis needs distinct labels; a label that repeats gets an invisible suffix.
    QStringList used;
    for (qsizetype i = 0; i < m_labels.size(); i += step) {
        QString label = m_labels[i];
        while (used.contains(label))
            label += QChar(0x200B);
        used << label;
        m_axisX->append(label, static_cast<qreal>(i));
    }
}

void BarChart::fitTexts()
{
    if (m_fitting)
        return;
    m_fitting = true;
    const int total = pointCount();
    // What follows places the stretch of bars in view: all of them unless zoomed.
    const int count = viewCount();
    const int firstShown = viewFirst();
    const QRectF plot = chart()->plotArea();
    const bool laidOut = plot.width() > 1 && plot.height() > 1 && count > 0;

    // The marks: upright when a bar's room is too narrow for them, and room at both ends for
    // the marks of the first and last bars (in bar slots on either side of the range).
    qreal pad = 0;
    qreal markHeight = 0;
    bool upright = false;
    bool marksFit = true;
    if (m_marks && laidOut) {
        const QList<QBarSet *> sets = m_series->barSets();
        const QFontMetricsF metrics(sets.isEmpty() ? font() : sets.first()->labelFont());
        const int shown = std::max(1, visibleSeriesCount());
        const qreal barWidth = m_series->barWidth();
        const qreal widest = widestMark();
        const qreal perBar = plot.width() / count * barWidth / shown;
        upright = widest + kMarkGap > perBar;
        // Upright marks need a line's height per bar; with less they would run together, and
        // the chart shows none until it is zoomed in far enough.
        marksFit = !upright || metrics.height() <= perBar + kMarkGap;
        const qreal half = (upright ? metrics.height() : widest) / 2 + kMarkGap;
        markHeight = marksFit ? (upright ? widest : metrics.height()) : 0;
        // From the end of the range to the centre of the outermost bar, in slots.
        const qreal edge = (1 - barWidth) / 2 + barWidth / (2 * shown);
        if (marksFit && plot.width() > 4 * half)
            pad = std::max<qreal>(0, (half * count - edge * plot.width()) / (plot.width() - 2 * half));
    }
    if (marksFit != m_marksFit) {
        m_marksFit = marksFit;
        m_series->setLabelsVisible(marksShown());
    }
    if (m_series->labelsAngle() != (upright ? -90 : 0)) {
        m_series->setLabelsAngle(upright ? -90 : 0);
        // Marks made before keep their old angle: they are made afresh.
        rebuildSets();
    }
    const qreal first = firstShown - 0.5 - pad;
    const qreal last = firstShown + count - 0.5 + pad;
    if (std::abs(m_axisX->min() - first) > 1e-9 || std::abs(m_axisX->max() - last) > 1e-9)
        m_axisX->setRange(first, last);

    // The axis labels: every so many bars that two of them never touch.
    int step = std::max(1, (count + kMaxAxisLabels - 1) / kMaxAxisLabels);
    if (laidOut) {
        const QFontMetricsF metrics(m_axisX->labelsFont());
        const bool uprightLabels = std::abs(m_axisX->labelsAngle()) == 90;
        const qreal along = (uprightLabels ? metrics.height() : widestLabel()) + kLabelGap;
        const qreal slot = plot.width() / (count + 2 * pad);
        step = NiceStep(std::max(1, static_cast<int>(std::ceil(along / slot))));
    }
    setLabelStep(step);
    if (m_zoomable && (firstShown != m_shownFirst || count != m_shownCount || total != m_shownTotal)) {
        m_shownFirst = firstShown;
        m_shownCount = count;
        m_shownTotal = total;
        Q_EMIT viewChanged(firstShown, count, total);
    }

    // The value range, with room above the tallest bar for its mark.
    double low = 0;
    double high = 1;
    for (const Series &s : m_data) {
        if (!s.visible)
            continue;
        for (double v : s.values) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    for (const Line &line : m_lines) {
        for (double v : line.values) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    double top = high + std::max(1.0, std::ceil((high - low) * 0.08));
    const qreal room = markHeight + 2 * kMarkGap;
    if (markHeight > 0 && plot.height() > 2 * room)
        top = std::max(top, high + room * (high - low) / (plot.height() - room));
    // Nice numbers move the ends outward only, so the room stays.
    QValueAxis wanted;
    wanted.setRange(low, top);
    wanted.applyNiceNumbers();
    // The values are whole numbers, shown without decimals: no tick between two of them.
    const double span = wanted.max() - wanted.min();
    if (wanted.tickCount() > 1 && span / (wanted.tickCount() - 1) < 1 && span >= 1 && span == std::floor(span))
        wanted.setTickCount(static_cast<int>(span) + 1);
    if (wanted.min() != m_axisY->min() || wanted.max() != m_axisY->max()
        || wanted.tickCount() != m_axisY->tickCount()) {
        m_axisY->setRange(wanted.min(), wanted.max());
        m_axisY->setTickCount(wanted.tickCount());
    }
    fitLegend();
    m_fitting = false;
}

void BarChart::fitLegend()
{
    // The legend holds its entries on one line and cuts their titles short when they do not
    // fit ("1区号…"): a smaller font keeps them whole, down to a readable size.
    QLegend *legend = chart()->legend();
    QFont legendFont = m_legendFont;
    const qreal room = chart()->size().width() - 16;
    if (room <= 0 || legendFont.pointSize() <= 0)
        return;
    for (int size = legendFont.pointSize(); size >= kSmallestLegendPoints; --size) {
        legendFont.setPointSize(size);
        const QFontMetricsF metrics(legendFont);
        qreal needed = 0;
        for (const Series &s : m_data) {
            if (s.visible)
                needed += metrics.height() + kLegendEntrySpace + metrics.horizontalAdvance(s.title);
        }
        for (const Line &line : m_lines)
            needed += metrics.height() + kLegendEntrySpace + metrics.horizontalAdvance(line.series->name());
        if (needed <= room)
            break;
    }
    if (legend->font() != legendFont)
        legend->setFont(legendFont);
}

} // namespace lumaro
