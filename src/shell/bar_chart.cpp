#include "shell/bar_chart.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QLegend>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace lumaro {

namespace {
constexpr int kMaxAxisLabels = 24;
}

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
        set->setBorderColor(s.color);
        set->setLabelColor(Qt::black);
        set->append(QList<qreal>(s.values.begin(), s.values.end()));
        sets << set;
    }
    m_series->append(sets);
}

void BarChart::setMarksVisible(bool visible)
{
    m_marks = visible;
    m_series->setLabelsVisible(visible);
}

double BarChart::value(int series, int point) const
{
    const auto &v = m_data[static_cast<std::size_t>(series)].values;
    return point >= 0 && point < static_cast<int>(v.size()) ? v[static_cast<std::size_t>(point)] : 0.0;
}

void BarChart::rebuildAxes()
{
    for (const QString &label : m_axisX->categoriesLabels())
        m_axisX->remove(label);
    const int count = static_cast<int>(m_labels.size());
    m_axisX->setRange(-0.5, std::max(0, count) - 0.5);
    const int step = std::max(1, (count + kMaxAxisLabels - 1) / kMaxAxisLabels);
    // QCategoryAxis needs distinct labels; a label that repeats gets an invisible suffix.
    QStringList used;
    for (int i = 0; i < count; i += step) {
        QString label = m_labels[i];
        while (used.contains(label))
            label += QChar(0x200B);
        used << label;
        m_axisX->append(label, i);
    }
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
    // Room above the tallest bar for its mark.
    m_axisY->setRange(low, high + std::max(1.0, std::ceil((high - low) * 0.08)));
    m_axisY->applyNiceNumbers();
}

} // namespace lumaro
