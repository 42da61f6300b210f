#pragma once

#include <QWidget>

class QAbstractButton;

namespace lumaro {

// What the analysis windows have in common: Recompute fills the grid (and the summary) from
// the draws, RefreshChart redraws the chart from the last computation. The main window calls
// both, in this order, on the view of tabs 1 to 9 when the trend switch changes (directly or
// through QMetaObject::invokeMethod by name).
class AnalysisView : public QWidget {
    Q_OBJECT
public:
    Q_INVOKABLE virtual void Recompute() = 0;
    Q_INVOKABLE virtual void RefreshChart() = 0;

protected:
    explicit AnalysisView(QWidget *parent, Qt::WindowFlags flags = {});

    // The first computation at creation.
    void computeFirstTime();
    // Recompute and RefreshChart, or RefreshChart only, on every click, inside the error guard.
    void recomputeOnClick(QAbstractButton *button);
    void refreshOnClick(QAbstractButton *button);

    void showEvent(QShowEvent *event) override;

private:
    bool m_shown = false;
};

} // namespace lumaro
