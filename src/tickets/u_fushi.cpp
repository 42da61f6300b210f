#include "tickets/u_fushi.h"

#include "common/errors.h"
#include "shell/app_context.h"
#include "shell/error_display.h"
#include "trend/variant_trend.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace lumaro {

namespace {

const QString kStart = QStringLiteral("开始搜索");

} // namespace

Tfrmfushi::Tfrmfushi(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmfushi"));
    setWindowTitle(QStringLiteral("自动复式搜索"));

    auto *label1 = new QLabel(QStringLiteral("号码个数："), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_edtnum = new QLineEdit(QString::number(m_context.lottery->n - 5), this);
    m_edtnum->setObjectName(QStringLiteral("edtnum"));
    m_chkyilou = new QCheckBox(QStringLiteral("遗漏期数>="), this);
    m_chkyilou->setObjectName(QStringLiteral("chkyilou"));
    m_chkyilou->setChecked(true);
    m_edtyilouqishu = new QLineEdit(QStringLiteral("50"), this);
    m_edtyilouqishu->setObjectName(QStringLiteral("edtyilouqishu"));
    for (QLineEdit *edit : {m_edtnum, m_edtyilouqishu})
        edit->setFixedWidth(60);
    m_btnsou = new QPushButton(kStart, this);
    m_btnsou->setObjectName(QStringLiteral("btnsou"));
    m_btnsou->setMinimumWidth(90);
    auto *label2 = new QLabel(QStringLiteral("复式号码："), this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_edtfushicode = new QLineEdit(this);
    m_edtfushicode->setObjectName(QStringLiteral("edtfushicode"));
    m_btncopy = new QPushButton(QStringLiteral("复制"), this);
    m_btncopy->setObjectName(QStringLiteral("btncopy"));
    m_btncopy->setMinimumWidth(90);
    m_lblstate = new QLabel(this);
    m_lblstate->setObjectName(QStringLiteral("lblstate"));

    // The proposal box shows a ticket of N - 5 numbers without scrolling.
    const int shown = std::max(m_context.lottery->n - 4, 10);
    m_edtfushicode->setMinimumWidth(
        m_edtfushicode->fontMetrics().horizontalAdvance(QStringLiteral("00 ")) * shown + 12);

    auto *settingsRow = new QHBoxLayout;
    settingsRow->addWidget(label1);
    settingsRow->addWidget(m_edtnum);
    settingsRow->addSpacing(16);
    settingsRow->addWidget(m_chkyilou);
    settingsRow->addWidget(m_edtyilouqishu);
    settingsRow->addStretch(1);
    settingsRow->addWidget(m_btnsou);
    auto *proposalRow = new QHBoxLayout;
    proposalRow->addWidget(label2);
    proposalRow->addWidget(m_edtfushicode, 1);
    proposalRow->addWidget(m_btncopy);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(settingsRow);
    layout->addLayout(proposalRow);
    layout->addWidget(m_lblstate);

    m_steps.lockWhileRunning({m_edtnum, m_chkyilou, m_edtyilouqishu});
    m_steps.setStopButton(m_btnsou, kStart);
    connect(&m_steps, &BackgroundRun::finished, this, &Tfrmfushi::searchEnded);
    connect(m_btnsou, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btnsouClick(); }); });
    connect(m_btncopy, &QPushButton::clicked, this, [this] { Guarded(this, [this] { btncopyClick(); }); });
}

Tfrmfushi::~Tfrmfushi() = default;

void Tfrmfushi::closeEvent(QCloseEvent *event)
{
    m_steps.stop();
    QWidget::closeEvent(event);
}

void Tfrmfushi::btnsouClick()
{
    if (searching())
        m_steps.stop();
    else
        start();
}

void Tfrmfushi::btncopyClick()
{
    QApplication::clipboard()->setText(m_edtfushicode->text());
}

void Tfrmfushi::start()
{
    CompoundSettings settings;
    settings.count = ToInteger(m_edtnum->text());
    settings.threshold = ToInteger(m_edtyilouqishu->text());
    settings.useThreshold = m_chkyilou->isChecked();
    CheckCompoundSettings(settings, *m_context.lottery);
    m_search = std::make_unique<CompoundSearch>(m_context.lottery->n, settings);
    if (!m_context.shell)
        m_random.emplace(m_context.newRandom());
    m_lblstate->setText(QStringLiteral("正在搜索……"));
    m_steps.startSteps([this] { return repetition(); }, [this] { endSearch(false); }, [this] { endSearch(true); });
}

void Tfrmfushi::endSearch(bool failed)
{
    const std::unique_ptr<CompoundSearch> search = std::move(m_search);
    // The standard trend is back however the search ends.
    Guarded(this, [this] { restoreStandardTrend(); });
    if (failed || m_steps.stopRequested()) {
        m_lblstate->setText(QStringLiteral("搜索已停止。"));
        return;
    }
    const std::vector<int> numbers = search->proposal();
    m_edtfushicode->setText(CompoundText(numbers));
    m_edtfushicode->setCursorPosition(0);
    m_lblstate->setText(QStringLiteral("搜索%1次，得到%2个号码。").arg(search->repetitions()).arg(numbers.size()));
}

bool Tfrmfushi::repetition()
{
    showVariantTrend();
    if (m_search->step(*m_context.lottery) == CompoundSearch::Step::Finished)
        return true;
    const CompoundSearch &search = *m_search;
    m_lblstate->setText(QStringLiteral("已搜索%1次：最冷的第%2列遗漏%3期，还剩%4个号码。")
                            .arg(search.repetitions())
                            .arg(search.lastColumn())
                            .arg(search.lastAbsence())
                            .arg(search.remaining()));
    return false;
}

void Tfrmfushi::showVariantTrend()
{
    if (m_context.shell) {
        m_context.shell->switchToVariantTrend();
        return;
    }
    OpenLottery &lottery = *m_context.lottery;
    lottery.variantMode = true;
    BuildVariantTrend(lottery, *m_random);
}

void Tfrmfushi::restoreStandardTrend()
{
    if (m_context.shell) {
        m_context.shell->switchToStandardTrend();
        return;
    }
    OpenLottery &lottery = *m_context.lottery;
    if (!lottery.lotteryOpen)
        return;
    lottery.variantMode = false;
    lottery.BuildStandardTrend();
}

} // namespace lumaro
