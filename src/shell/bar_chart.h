#pragma once

#include <QChartView>
#include <QColor>
#include <QStringList>

#include <vector>

class QBarSeries;
class QBarSet;
class QCategoryAxis;
class QValueAxis;

namespace lumaro {

// The bar chart of the analysis and picker windows: one or more coloured series with a title
// each, the legend at the top, flat bars, value marks on demand ("显示标注"). Long series get
// only a few labels on the horizontal axis, so 20000 bars still draw quickly.
class BarChart : public QChartView {
    Q_OBJECT
public:
    explicit BarChart(QWidget *parent = nullptr);

    // Adds a series and returns its index.
    int addSeries(const QString &title, const QColor &color);
    int seriesCount() const { return static_cast<int>(m_data.size()); }
    void setSeriesTitle(int series, const QString &title);
    void setSeriesVisible(int series, bool visible);
    bool isSeriesVisible(int series) const;

    // Replaces the points of every series: labels[i] names point i; values[s][i] is the value of
    // series s at point i (missing values count as 0).
    void setPoints(const QStringList &labels, const std::vector<std::vector<double>> &values);
    // One series only.
    void setPoints(const QStringList &labels, const std::vector<double> &values);
    void clearPoints();

    void setMarksVisible(bool visible);
    bool marksVisible() const { return m_marks; }

    int pointCount() const { return static_cast<int>(m_labels.size()); }
    double value(int series, int point) const;
    const QStringList &labels() const { return m_labels; }

private:
    struct Series {
        QString title;
        QColor color;
        bool visible = true;
        std::vector<double> values;
    };
    // Bar sets are made afresh from m_data: cheaper in Qt Charts than editing values in place.
    void rebuildSets();
    void rebuildAxes();

    QBarSeries *m_series;
    std::vector<Series> m_data;
    QStringList m_labels;
    QCategoryAxis *m_axisX;
    QValueAxis *m_axisY;
    bool m_marks = false;
};

} // namespace lumaro
