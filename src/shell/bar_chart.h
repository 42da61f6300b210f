#pragma once

#include <QChartView>
#include <QColor>
#include <QFont>
#include <QScrollBar>
#include <QStringList>

#include <vector>

class QBarSeries;
class QBarSet;
class QCategoryAxis;
class QLineSeries;

class QValueAxis;

namespace lumaro {

// The bar chart of the analysis and picker windows: one or more coloured series with a title
// each, the legend at the top, flat bars, value marks on demand ("显示标注"). The texts are
// placed for the chart's size and placed again when it changes: the horizontal axis labels
// every so many bars that the labels never run together (which also keeps 20000 bars quick),
// the value marks stand upright when they are wider than a bar's room, and the plot leaves room
// at its ends and above the tallest bar so that no mark is cut off. Light colours get a darker
// outline, so a white bar and its legend swatch still show.
//
// A chart made zoomable shows a stretch of its bars when they are too many for their room: the
// latest at first, at least a few pixels each; the wheel zooms around the pointer, dragging
// scrolls, and viewChanged tells a scroll bar beside it where the stretch lies. Lines (a rolling
// mean, an expected value) can be drawn over the bars, one value per bar.
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
    // Whether the value marks are drawn now: asked for, and room enough for them.
    bool marksShown() const;

    // Adds a line over the bars and returns its index; its values are set with setLineValues.
    int addLine(const QString &title, const QColor &color);
    // values[i] is the line's value at bar firstPoint + i.
    void setLineValues(int line, const std::vector<double> &values, int firstPoint = 0);
    void setLineTitle(int line, const QString &title);
    int lineCount() const { return static_cast<int>(m_lines.size()); }
    // The points of a line: (bar, value).
    QList<QPointF> linePoints(int line) const;

    void setZoomable(bool zoomable);
    // The first bar shown and how many are shown (all of them when the chart is not zoomable).
    int viewFirst() const;
    int viewCount() const;
    // Shows `count` bars from `first`, kept inside the points.
    void setView(int first, int count);
    void setViewFirst(int first) { setView(first, viewCount()); }
    // Makes the chart zoomable and returns a scroll bar for the parent's layout that follows
    // the stretch in view and moves it; it shows only while some bars are out of view.
    QScrollBar *newScrollBar(QWidget *parent, const QString &objectName);

    int pointCount() const { return static_cast<int>(m_labels.size()); }
    double value(int series, int point) const;
    const QStringList &labels() const { return m_labels; }
    // Every how many bars the horizontal axis shows a label.
    int labelStep() const { return m_labelStep; }

Q_SIGNALS:
    void viewChanged(int first, int count, int total);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

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

    struct Line {
        QLineSeries *series;
        std::vector<double> values;
        int firstPoint = 0;
    };
    // The bar under a point of the view, in bars from the first (fractional).
    double barAt(qreal x) const;
    void rebuildLine(Line &line);

    QBarSeries *m_series;
    std::vector<Series> m_data;
    std::vector<Line> m_lines;
    bool m_zoomable = false;
    // The stretch shown; a negative count means the latest bars that fit, decided at layout.
    int m_viewFirst = 0;
    int m_viewCount = -1;
    bool m_marksFit = true;
    // Where a drag started: the pointer's x and the first bar then; no drag when dragX < 0.
    qreal m_dragX = -1;
    int m_dragFirst = 0;
    // The stretch last announced by viewChanged.
    int m_shownFirst = -1;
    int m_shownCount = -1;
    int m_shownTotal = -1;
    QStringList m_labels;
    QCategoryAxis *m_axisX;
    QValueAxis *m_axisY;
    bool m_marks = false;
    int m_labelStep = 0;
    QFont m_legendFont;
    bool m_fitting = false;
};

} // namespace lumaro
