#include "pickers/u_qingmi.h"

#include "data/open_lottery.h"
#include "pickers/intimate_picker.h"
#include "pickers/radio_group.h"
#include "shell/app_context.h"
#include "shell/form_controls.h"
#include "shell/table_model.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

namespace lumaro {

namespace {

constexpr int kPerPosition = 0;
constexpr int kOverall = 1;
constexpr int kDefaultStop = 7;

PickerFrame::Options QingmiOptions()
{
    PickerFrame::Options options;
    options.objectName = QStringLiteral("frmqingmi");
    options.caption = QStringLiteral("最优亲密数字选号");
    options.hitCountChart = true;
    options.columnWidths = {55, 100, 130, 50};
    return options;
}

QString CountLabel(bool perPosition)
{
    return perPosition ? QStringLiteral("各位号码数：") : QStringLiteral("总体号码数：");
}

} // namespace

Tfrmqingmi::Tfrmqingmi(AppContext &context, QWidget *parent)
    : PickerFrame(context, parent, QingmiOptions())
    , m_optsel(new RadioGroup(
          QStringLiteral("optsel"), {QStringLiteral("各个位置"), QStringLiteral("总体位置")}, kOverall, this))
    , m_lblselnum(new QLabel(CountLabel(false), this))
    , m_comselnum(new QComboBox(this))
    , m_comjieduanqi(new QComboBox(this))
    , m_tabcode(new QTableView(this))
    , m_codeModel(new FunctionTableModel(this))
{
    m_lblselnum->setObjectName(QStringLiteral("lblselnum"));
    m_comselnum->setObjectName(QStringLiteral("comselnum"));
    m_comjieduanqi->setObjectName(QStringLiteral("comjieduanqi"));
    m_tabcode->setObjectName(QStringLiteral("tabcode"));

    const NumberRange range = NumberRangeOf(lottery());
    FillNumberCombo(m_comselnum, 1, range.count(), range.count() / 2);
    // "全部期数" then 1 … D; the item index is S.
    const int draws = lottery().drawTable.rowCount();
    m_comjieduanqi->addItem(QStringLiteral("全部期数"));
    QStringList stops;
    for (int s = 1; s <= draws; ++s)
        stops << QString::number(s);
    m_comjieduanqi->addItems(stops);
    m_comjieduanqi->setCurrentIndex(std::min(kDefaultStop, draws));
    m_comjieduanqi->setMaxVisibleItems(20);

    auto *row = new QHBoxLayout;
    row->addWidget(m_optsel);
    row->addSpacing(12);
    row->addWidget(m_lblselnum);
    row->addWidget(m_comselnum);
    row->addSpacing(16);
    row->addWidget(new QLabel(QStringLiteral("阶段次数："), this));
    row->addWidget(m_comjieduanqi);
    row->addStretch(1);
    settingsLayout()->addLayout(row);

    m_tabcode->setModel(m_codeModel);
    // A wrapped overall tally needs its row height again when the width changes.
    m_codeViewport = m_tabcode->viewport();
    m_tabcode->viewport()->installEventFilter(this);
    m_tabcode->horizontalHeader()->hide();
    m_tabcode->verticalHeader()->hide();
    m_tabcode->verticalHeader()->setDefaultSectionSize(20);
    m_tabcode->setWordWrap(true);
    m_tabcode->setMinimumHeight(48);
    m_codeModel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Three lines: the overall tally in full, or the first ranks of each position; the splitter
    // below it gives more.
    addExtraPane(m_tabcode, 3 * m_tabcode->fontMetrics().lineSpacing() + 30);

    connect(m_optsel, &RadioGroup::itemIndexChanged, this, &Tfrmqingmi::optselClick);
    runTongji();
}

IntimateSettings Tfrmqingmi::settings() const
{
    IntimateSettings s;
    s.perPosition = m_optsel->itemIndex() == kPerPosition;
    s.count = NumberItem(m_comselnum);
    s.stop = m_comjieduanqi->currentIndex();
    return s;
}

void Tfrmqingmi::optselClick(int index)
{
    m_lblselnum->setText(CountLabel(index == kPerPosition));
    if (m_comselnum->count() > 0)
        m_comselnum->setCurrentIndex(0);
}

void Tfrmqingmi::generate(int target, const QString &targetText)
{
    const IntimatePicker picker(lottery().drawTable, NumberRangeOf(lottery()));
    const IntimateSettings s = settings();
    auto proposal = std::make_shared<const IntimateProposal>(picker.propose(target, s));
    const IntimateTallies &tallies = proposal->tallies;
    const QColor fixedColor(236, 233, 216);
    if (s.perPosition) {
        // A fixed first row (the reference numbers) and column (the ranks); position i's sorted
        // list runs down column i.
        const int m = static_cast<int>(tallies.reference.size());
        const int n = static_cast<int>(tallies.overall.size());
        m_codeModel->setHeaders(QStringList(m + 1, QString()));
        m_codeModel->setContent(
            n + 1,
            [proposal](int row, int column) -> QVariant {
                const IntimateTallies &t = proposal->tallies;
                if (row == 0 && column == 0)
                    return QStringLiteral("参照号码");
                if (row == 0)
                    return QString::number(t.reference[static_cast<std::size_t>(column - 1)]);
                if (column == 0)
                    return QStringLiteral("排名%1").arg(row);
                return IntimatePicker::entryText(
                    t.positions[static_cast<std::size_t>(column - 1)][static_cast<std::size_t>(row - 1)]);
            },
            [fixedColor](int row, int column) -> QVariant {
                return row == 0 || column == 0 ? QVariant(fixedColor) : QVariant();
            });
    } else {
        m_codeModel->setHeaders({QString()});
        m_codeModel->setContent(
            1, [proposal](int, int) -> QVariant { return IntimatePicker::overallText(proposal->tallies.overall); });
    }
    // The columns share the grid's width (and follow it); wrapped rows take the height they need.
    m_tabcode->horizontalHeader()->setMinimumSectionSize(60);
    m_tabcode->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_tabcode->resizeRowsToContents();
    showProposal(targetText, PlainNumbers(proposal->numbers), static_cast<int>(proposal->numbers.size()));
}

bool Tfrmqingmi::eventFilter(QObject *watched, QEvent *event)
{
    // Compared by address only, like the frame's grid: the viewport may be half destroyed.
    // The columns follow the new width only after this event: the rows are measured after them.
    if (event->type() == QEvent::Resize && watched == m_codeViewport)
        QMetaObject::invokeMethod(m_tabcode, &QTableView::resizeRowsToContents, Qt::QueuedConnection);
    return PickerFrame::eventFilter(watched, event);
}

PickerFrame::BacktestJob Tfrmqingmi::backtestJob()
{
    return [draws = lottery().drawTable, range = NumberRangeOf(lottery()), settings = settings()](
               const Progress &progress) { return IntimatePicker(draws, range).backtest(settings, progress); };
}

} // namespace lumaro
