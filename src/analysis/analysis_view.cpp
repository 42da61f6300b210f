#include "analysis/analysis_view.h"

#include "shell/error_display.h"

#include <QAbstractButton>

namespace lumaro {

AnalysisView::AnalysisView(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{ }

void AnalysisView::computeFirstTime()
{
    Recompute();
    RefreshChart();
}

void AnalysisView::recomputeOnClick(QAbstractButton *button)
{
    connect(button, &QAbstractButton::clicked, this, [this] {
        Guarded(this, [this] {
            Recompute();
            RefreshChart();
        });
    });
}

void AnalysisView::refreshOnClick(QAbstractButton *button)
{
    connect(button, &QAbstractButton::clicked, this, [this] { Guarded(this, [this] { RefreshChart(); }); });
}

void AnalysisView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A chart filled while its window was never shown keeps the axis label room of its first,
    // empty range and elides the labels; drawing it again once shown sets them right.
    if (!m_shown) {
        m_shown = true;
        Guarded(this, [this] { RefreshChart(); });
    }
}

} // namespace lumaro
