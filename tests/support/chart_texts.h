#pragma once

#include "shell/bar_chart.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QRectF>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace lumaro::test {

// Where a bar chart draws its texts, worked out from the axes' mapping and the fonts: the
// labels of the horizontal axis and the value marks of the first visible series, as rectangles in
// chart coordinates, left to right.
struct ChartTexts {
    QRectF plot;
    std::vector<QRectF> labels;
    std::vector<QRectF> marks;
};

inline ChartTexts ChartTextsOf(BarChart *view)
{
    QChart *chart = view->chart();
    ChartTexts texts;
    texts.plot = chart->plotArea();
    auto *axis = qobject_cast<QCategoryAxis *>(chart->axes(Qt::Horizontal).value(0));
    auto *series = qobject_cast<QBarSeries *>(chart->series().value(0));
    if (!axis || !series)
        return texts;
    const QFontMetricsF labelMetrics(axis->labelsFont());
    const bool uprightLabels = std::abs(axis->labelsAngle()) == 90;
    for (const QString &label : axis->categoriesLabels()) {
        const qreal value = axis->endValue(label);
        if (value < axis->min() || value > axis->max())
            continue;
        const QPointF at = chart->mapToPosition(QPointF(value, 0), series);
        const qreal along = uprightLabels ? labelMetrics.height() : labelMetrics.horizontalAdvance(label);
        texts.labels.emplace_back(at.x() - along / 2, at.y(), along, labelMetrics.height());
    }
    if (series->isLabelsVisible() && !series->barSets().isEmpty()) {
        const QBarSet *set = series->barSets().first();
        const QFontMetricsF markMetrics(set->labelFont());
        const bool upright = std::abs(series->labelsAngle()) == 90;
        for (int i = 0; i < set->count(); ++i) {
            const QString text = QString::number(set->at(i));
            const QPointF top = chart->mapToPosition(QPointF(i, set->at(i)), series);
            const qreal width = upright ? markMetrics.height() : markMetrics.horizontalAdvance(text);
            const qreal height = upright ? markMetrics.horizontalAdvance(text) : markMetrics.height();
            texts.marks.emplace_back(top.x() - width / 2, top.y() - height, width, height);
        }
    }
    return texts;
}

// Shows a window and lets its charts lay out and place their texts for its size (they do so
// after each layout, in a few rounds).
inline void Settle(QWidget *window)
{
    window->show();
    for (int i = 0; i < 5; ++i)
        QTest::qWait(10);
}

// Fails unless neighbouring rectangles leave room between them.
inline void ExpectApart(const std::vector<QRectF> &rects, const char *what)
{
    for (std::size_t i = 1; i < rects.size(); ++i)
        EXPECT_LE(rects[i - 1].right(), rects[i].left()) << what << " " << i - 1 << " and " << i << " overlap";
}

// Fails unless every value mark lies inside the plot area.
inline void ExpectMarksInside(const ChartTexts &texts)
{
    for (std::size_t i = 0; i < texts.marks.size(); ++i) {
        const QRectF &mark = texts.marks[i];
        EXPECT_GE(mark.left(), texts.plot.left() - 0.5) << "mark " << i;
        EXPECT_LE(mark.right(), texts.plot.right() + 0.5) << "mark " << i;
        EXPECT_GE(mark.top(), texts.plot.top() - 0.5) << "mark " << i;
    }
}

} // namespace lumaro::test
