#pragma once

#include <QChartView>
#include <QColor>
#include <QFont>
#include <QStringList>

#include <vector>

class QBarSeries;
class QBarSet;
class QCategoryAxis;
class QValueAxis;

namespace lumaro {

// The bar chart of the analysis and picker windows: one or more coloured series with a title
// each, the legend at the top, flat bars, value marks on demand ("显示标注"). The texts are
// placed for the chart's size and placed again when it changes: the horizontal axis labels
// every so many bars that the labels never run together (which also keeps 20000 bars quick),
// the value marks stand upright when they are wider than a bar's room, and the plot leaves room
// at its ends and above the tallest bar so that no mark is cut off. Light colours get a darker
// outline, so a white bar and its legend swatch still show.
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
    // Every how many bars the horizontal axis shows a label.
    int labelStep() const { return m_labelStep; }

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
    // Places the axis labels, the marks and the ranges for the current plot area.
    void fitTexts();
    void fitLegend();
    void setLabelStep(int step);
    int visibleSeriesCount() const;
    // The widest value mark and the widest axis label, in pixels.
    qreal widestMark() const;
    qreal widestLabel() const;

    QBarSeries *m_series;
    std::vector<Series> m_data;
    QStringList m_labels;
    QCategoryAxis *m_axisX;
    QValueAxis *m_axisY;
    bool m_marks = false;
    int m_labelStep = 0;
    QFont m_legendFont;
    bool m_fitting = false;
};

} // namespace lumaro
