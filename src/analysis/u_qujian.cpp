#include "analysis/u_qujian.h"

#include "analysis/analysis_view_support.h"
#include "data/open_lottery.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/form_controls.h"
#include "shell/table_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace lumaro {

namespace {

constexpr int kGridWidth = 433;

// The zone headers read "01-06号码总数"; the grid shows the range and this tail on two lines.
const QString kHeaderTail = QStringLiteral("号码总数");

class ZoneHeaderView : public QHeaderView {
public:
    explicit ZoneHeaderView(QWidget *parent)
        : QHeaderView(Qt::Horizontal, parent)
    { }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        const QString text = model()->headerData(logicalIndex, orientation()).toString();
        const qsizetype tail = text.indexOf(kHeaderTail);
        if (tail <= 0) {
            QHeaderView::paintSection(painter, rect, logicalIndex);
            return;
        }
        // The section without its text, then the text on two lines.
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = rect;
        option.section = logicalIndex;
        style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
        option.text = text.left(tail) + QLatin1Char('\n') + text.mid(tail);
        option.textAlignment = Qt::AlignCenter;
        style()->drawControl(QStyle::CE_HeaderLabel, &option, painter, this);
    }

    QSize sectionSizeFromContents(int logicalIndex) const override
    {
        QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
        size.setHeight(std::max(size.height(), 2 * fontMetrics().lineSpacing() + 8));
        return size;
    }
};

// Series colours of zones 1 to 7.
const char *const kZoneColors[kMaxZones] = {"red", "green", "yellow", "blue", "white", "gray", "fuchsia"};

} // namespace

Tfrmqujian::Tfrmqujian(AppContext &context, QWidget *parent)
    : AnalysisView(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmqujian"));
    setWindowTitle(QStringLiteral("区间分析"));
    resize(1213, 512);

    m_grid = NewHistoryGrid(this);
    m_grid->setFixedWidth(kGridWidth);
    m_grid->setHorizontalHeader(new ZoneHeaderView(m_grid));
    m_model = new FunctionTableModel(m_grid);
    m_grid->setModel(m_model);

    m_chart = NewHistoryChart(QStringLiteral("最近各期区间图表"), true, this);
    for (int zone = 0; zone < kMaxZones; ++zone)
        m_chart->addSeries(QString::number(zone + 1) + QStringLiteral("区号码数"), QColor(kZoneColors[zone]));

    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->setContentsMargins(8, 2, 8, 2);
    for (int zone = 0; zone < kMaxZones; ++zone) {
        m_zoneBoxes[static_cast<std::size_t>(zone)] = NewCheckBox(
            group, QStringLiteral("chkqu%1").arg(zone + 1), QStringLiteral("%1区间").arg(zone + 1), zone == 0);
        groupLayout->addWidget(m_zoneBoxes[static_cast<std::size_t>(zone)]);
    }
    groupLayout->addStretch();
    m_marks = NewCheckBox(group, QStringLiteral("chkhistorybiao"), QStringLiteral("显示标注"), false);
    groupLayout->addWidget(m_marks);

    // FormCreate: K = 3, Z = M, then a first computation.
    const OpenLottery &lottery = *context.lottery;
    auto *bottom = new QHBoxLayout;
    m_draws = ActiveDrawTable(lottery).rowCount();
    AddRecentCountChoice(bottom, this, m_draws, &m_recentCount);
    bottom->addSpacing(16);
    bottom->addWidget(NewLabel(this, QStringLiteral("Label7"), QStringLiteral("区间数：")));
    m_zoneList = new QComboBox(this);
    m_zoneList->setObjectName(QStringLiteral("comqujian"));
    for (int zones = 1; zones <= kMaxZones; ++zones)
        m_zoneList->addItem(QString::number(zones));
    m_zoneChoice = DefaultZoneCount(lottery.m);
    m_zoneList->setCurrentIndex(m_zoneChoice - 1);
    connect(m_zoneList, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item >= 0)
            m_zoneChoice = item + 1;
    });
    bottom->addWidget(m_zoneList);
    bottom->addStretch();
    QPushButton *recompute = NewRecomputeButton(QStringLiteral("开始统计"), this);
    bottom->addWidget(recompute);

    auto *right = new QVBoxLayout;
    right->addWidget(m_chart, 1);
    right->addWidget(m_chart->newScrollBar(this, QStringLiteral("sbhistory")));
    right->addWidget(group);
    right->addLayout(bottom);
    LayOutHistoryView(this, m_grid, right);

    recomputeOnClick(recompute);
    for (QCheckBox *box : m_zoneBoxes)
        refreshOnClick(box);
    refreshOnClick(m_marks);
    computeFirstTime();
}

void Tfrmqujian::Recompute()
{
    const BusyCursor busy;
    const OpenLottery &lottery = *m_context.lottery;
    // The standard table of a digit lottery holds the digits 0 … N-1; the variant table ranks
    // them 1 … N like lotto numbers.
    const int lowest = lottery.kind == LotteryKind::Digit && !lottery.variantMode ? 0 : 1;
    m_history = ZoneHistory(ActiveDrawTable(lottery), lottery.n, m_zoneChoice, lowest);
    m_computedRecentCount = ClampRecentCount(m_recentCount, m_history.rowCount());

    m_model->setHeaders(m_history.headers());
    m_model->setContent(m_history.rowCount(), [this](int row, int column) { return m_history.cellText(row, column); });
    // Columns of 60 and 120 pixels and the rest shared by the zones, widened where the texts
    // would not fit; the zone headers take two lines.
    const int zones = m_history.zoneCount();
    const int last = m_history.rowCount() - 1;
    QStringList samples;
    if (last >= 0)
        samples << m_history.cellText(last, 0) << m_history.numbersText(last);
    std::vector<int> widths {60, 120};
    const int zoneWidth
        = std::max((kGridWidth - 210) / zones, m_grid->fontMetrics().horizontalAdvance(kHeaderTail) + 12);
    widths.resize(static_cast<std::size_t>(zones) + 2, zoneWidth);
    FixGridWidth(m_grid, FitGridColumns(m_grid, widths, samples, 2), kGridWidth);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    ScrollToLatest(m_grid);
}

void Tfrmqujian::RefreshChart()
{
    const BusyCursor busy;
    const int zones = m_history.zoneCount();
    m_chart->clearPoints();
    for (int zone = 0; zone < kMaxZones; ++zone) {
        m_chart->setSeriesTitle(zone, QString::number(zone + 1) + QStringLiteral("区号码数"));
        m_chart->setSeriesVisible(zone, zone < zones && m_zoneBoxes[static_cast<std::size_t>(zone)]->isChecked());
    }
    m_chart->setPoints(m_history.recentLabels(m_computedRecentCount), m_history.recentCounts(m_computedRecentCount));
    m_chart->setMarksVisible(m_marks->isChecked());
}

} // namespace lumaro
