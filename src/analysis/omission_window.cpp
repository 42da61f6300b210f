#include "analysis/omission_window.h"

#include "analysis/analysis_view_support.h"
#include "data/open_lottery.h"
#include "pickers/radio_group.h"
#include "shell/app_context.h"
#include "shell/bar_chart.h"
#include "shell/error_display.h"
#include "shell/form_controls.h"
#include "shell/table_model.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace lumaro {

namespace {

// Chart series: the column they plot, their colour and title; the check box of each.
struct SeriesColumn {
    int column;
    const char *color;
};
constexpr std::array<SeriesColumn, 4> kSeries = {{{7, "red"}, {5, "green"}, {3, "yellow"}, {4, "blue"}}};

double ColumnValue(const OmissionRow &row, int column)
{
    switch (column) {
    case 3:
        return row.hits;
    case 4:
        return row.longest;
    case 5:
        return row.omission;
    default:
        return static_cast<double>(row.chaseValue);
    }
}

} // namespace

OmissionWindow::OmissionWindow(AppContext &context, OmissionMode mode, QWidget *parent)
    : AnalysisView(parent, Qt::Tool)
    , m_context(context)
    , m_mode(mode)
{
    const bool rebound = mode == OmissionMode::Rebound;
    setObjectName(rebound ? QStringLiteral("frmyilou") : QStringLiteral("frmpiantai"));
    setWindowTitle(rebound ? QStringLiteral("中奖回补分析选号") : QStringLiteral("中奖偏态分析选号"));
    resize(970, 704);
    const QString omissionTitle = rebound ? QStringLiteral("前次遗漏") : QStringLiteral("目前遗漏");

    m_grid = NewHistoryGrid(this);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_model = new FunctionTableModel(m_grid);
    m_grid->setModel(m_model);

    m_chart = NewHistoryChart(QStringLiteral("总体中奖分析图表"), true, this);
    const QString seriesTitles[]
        = {QStringLiteral("追号价值"), omissionTitle, QStringLiteral("中奖次数"), QStringLiteral("历史最大遗漏")};
    for (std::size_t s = 0; s < kSeries.size(); ++s)
        m_chart->addSeries(seriesTitles[s], QColor(kSeries[s].color));

    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->setContentsMargins(8, 2, 8, 2);
    const QString boxTexts[]
        = {QStringLiteral("追号价值"), omissionTitle, QStringLiteral("中奖总次数"), QStringLiteral("历史最大遗漏")};
    for (std::size_t s = 0; s < m_seriesBoxes.size(); ++s) {
        m_seriesBoxes[s] = NewCheckBox(group, QStringLiteral("chk%1").arg(s), boxTexts[s], true);
        groupLayout->addWidget(m_seriesBoxes[s]);
        refreshOnClick(m_seriesBoxes[s]);
    }
    m_marks = NewCheckBox(group, QStringLiteral("chkhistorybiao"), QStringLiteral("显示标注"), false);
    groupLayout->addWidget(m_marks);
    refreshOnClick(m_marks);

    auto *buttons = new QHBoxLayout;
    if (context.lottery->twoZone()) {
        m_optqu = new RadioGroup(QStringLiteral("optqu"), {QStringLiteral("前区"), QStringLiteral("后区")}, 0, this);
        connect(m_optqu, &RadioGroup::itemIndexChanged, this, [this] {
            Guarded(this, [this] {
                Recompute();
                RefreshChart();
            });
        });
        buttons->addWidget(m_optqu);
    }
    buttons->addWidget(group);
    buttons->addStretch();
    const struct {
        const char *name;
        QString text;
        OmissionSort sort;
    } sortButtons[] = {
        {"Button1", QStringLiteral("追号价值排序"), OmissionSort::ChaseValue},
        {"Button2", omissionTitle + QStringLiteral("排序"), OmissionSort::Omission},
        {"Button3", QStringLiteral("总次数排序"), OmissionSort::Hits},
        {"btnala", QStringLiteral("分析"), OmissionSort::Number},
    };
    for (const auto &b : sortButtons) {
        auto *button = new QPushButton(b.text, this);
        button->setObjectName(QString::fromLatin1(b.name));
        const OmissionSort sort = b.sort;
        // The sort mode is set first; recomputeOnClick's slot runs after this one.
        connect(button, &QPushButton::clicked, this, [this, sort] { m_sort = sort; });
        recomputeOnClick(button);
        buttons->addWidget(button);
        if (sort == OmissionSort::Number)
            button->setDefault(true);
    }
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("Button4"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_chart, 1);
    layout->addLayout(buttons);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // FormCreate: number order.
    computeFirstTime();
}

OmissionZone OmissionWindow::zone() const
{
    return m_optqu && m_optqu->itemIndex() == 1 ? OmissionZone::Back : OmissionZone::Front;
}

void OmissionWindow::Recompute()
{
    const BusyCursor busy;
    m_table = BuildOmissionTable(*m_context.lottery, m_mode, m_sort, zone());
    m_model->setHeaders(m_table.headers());
    m_model->setContent(m_table.rowCount(), [this](int row, int column) { return m_table.cellText(row, column); });
}

void OmissionWindow::RefreshChart()
{
    const BusyCursor busy;
    QStringList labels;
    std::vector<std::vector<double>> values(kSeries.size());
    for (int row = 0; row < m_table.rowCount(); ++row) {
        labels << m_table.cellText(row, 0);
        for (std::size_t s = 0; s < kSeries.size(); ++s)
            values[s].push_back(ColumnValue(m_table.rows[static_cast<std::size_t>(row)], kSeries[s].column));
    }
    m_chart->clearPoints();
    for (std::size_t s = 0; s < kSeries.size(); ++s)
        m_chart->setSeriesVisible(static_cast<int>(s), m_seriesBoxes[s]->isChecked());
    m_chart->setPoints(labels, values);
    m_chart->setMarksVisible(m_marks->isChecked());
}

} // namespace lumaro
