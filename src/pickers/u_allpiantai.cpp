#include "pickers/u_allpiantai.h"

#include "common/errors.h"
#include "data/open_lottery.h"
#include "pickers/radio_group.h"
#include "shell/app_context.h"
#include "shell/form_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace lumaro {

Tfrmallpiantai::Tfrmallpiantai(AppContext &context, QWidget *parent)
    : ExclusionWindow(context, ExclusionKind::Skew, QStringLiteral("frmallpiantai"), QStringLiteral("无穷偏态排除选号"),
        {QStringLiteral("btngen"), QStringLiteral("保存"), QStringLiteral("清除"), 10000, 10000}, parent)
    , m_optmode(new RadioGroup(
          QStringLiteral("optmode"), QString(), {QStringLiteral("大小模式"), QStringLiteral("奇偶模式")}, this, true))
{
    const int m = context.lottery->m;
    auto *settings = new QGroupBox(this);
    m_chkda = NewCheckBox(settings, "chkda", QStringLiteral("大数个数>="), true);
    m_edtdanum = NewField(settings, "edtdanum", QString::number(m - 1));
    m_lblda = NewLabel(settings, "lblda", QStringLiteral("时本期大数个数"));
    m_edtdanum1 = NewField(settings, "edtdanum1", QStringLiteral("0"));
    m_edtdanum2 = NewField(settings, "edtdanum2", QString::number(m - 1));
    m_chkxiao = NewCheckBox(settings, "chkxiao", QStringLiteral("大数个数<="), true);
    m_edtxiaonum = NewField(settings, "edtxiaonum", QStringLiteral("1"));
    m_lblxiao = NewLabel(settings, "lblxiao", QStringLiteral("时本期大数个数"));
    m_edtxiaonum1 = NewField(settings, "edtxiaonum1", QStringLiteral("1"));
    m_edtxiaonum2 = NewField(settings, "edtxiaonum2", QString::number(m));
    m_edtyanxunum = NewField(settings, "edtyanxunum", QStringLiteral("2"));
    for (QLineEdit *count :
        {m_edtdanum, m_edtdanum1, m_edtdanum2, m_edtxiaonum, m_edtxiaonum1, m_edtxiaonum2, m_edtyanxunum})
        count->setMaximumWidth(48);
    QComboBox *stage = stageList(QStringLiteral("comjieduannum"));
    lockWhileRunning({m_optmode, m_chkda, m_edtdanum, m_edtdanum1, m_edtdanum2, m_chkxiao, m_edtxiaonum, m_edtxiaonum1,
        m_edtxiaonum2, m_edtyanxunum});
    connect(m_optmode, &RadioGroup::itemIndexChanged, this, [this] { optmodeClick(); });

    auto *grid = new QGridLayout(settings);
    grid->addWidget(m_chkda, 0, 0);
    grid->addWidget(m_edtdanum, 0, 1);
    grid->addWidget(m_lblda, 0, 2);
    grid->addWidget(m_edtdanum1, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("到"), settings), 0, 4);
    grid->addWidget(m_edtdanum2, 0, 5);
    grid->addWidget(m_chkxiao, 1, 0);
    grid->addWidget(m_edtxiaonum, 1, 1);
    grid->addWidget(m_lblxiao, 1, 2);
    grid->addWidget(m_edtxiaonum1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("到"), settings), 1, 4);
    grid->addWidget(m_edtxiaonum2, 1, 5);
    auto *spans = new QHBoxLayout;
    spans->addWidget(new QLabel(QStringLiteral("延续期数："), settings));
    spans->addWidget(m_edtyanxunum);
    spans->addSpacing(16);
    spans->addWidget(new QLabel(QStringLiteral("阶段期数："), settings));
    spans->addWidget(stage);
    spans->addStretch();
    grid->addLayout(spans, 2, 0, 1, 6);
    grid->addWidget(periodRow(), 3, 0, 1, 6);
    grid->setColumnStretch(6, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(m_optmode);
    left->addWidget(settings);
    left->addWidget(stopBox());
    left->addWidget(checkRow());
    left->addStretch();
    left->addWidget(buttonRow());
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(resultPanel(), 1);
    resize(900, 520);
}

void Tfrmallpiantai::optmodeClick()
{
    const bool odd = m_optmode->itemIndex() == 1;
    m_chkda->setText(odd ? QStringLiteral("奇数个数>=") : QStringLiteral("大数个数>="));
    m_chkxiao->setText(odd ? QStringLiteral("奇数个数<=") : QStringLiteral("大数个数<="));
    const QString count = odd ? QStringLiteral("时本期奇数个数") : QStringLiteral("时本期大数个数");
    m_lblda->setText(count);
    m_lblxiao->setText(count);
}

PickerSettings Tfrmallpiantai::readSettings() const
{
    PickerSettings settings;
    settings.kind = ExclusionKind::Skew;
    settings.stop = readStopRule();
    SkewRule &skew = settings.skew;
    skew.mode = m_optmode->itemIndex() == 1 ? SkewMode::OddEven : SkewMode::BigSmall;
    skew.span = ToInteger(m_edtyanxunum->text());
    // Every count is a count of a ticket's numbers; one above M never holds, a negative one
    // is refused.
    skew.highOn = m_chkda->isChecked();
    skew.high = ToIntegerAtLeast(m_edtdanum->text(), 0);
    skew.highFrom = ToIntegerAtLeast(m_edtdanum1->text(), 0);
    skew.highTo = ToIntegerAtLeast(m_edtdanum2->text(), 0);
    skew.lowOn = m_chkxiao->isChecked();
    skew.low = ToIntegerAtLeast(m_edtxiaonum->text(), 0);
    skew.lowFrom = ToIntegerAtLeast(m_edtxiaonum1->text(), 0);
    skew.lowTo = ToIntegerAtLeast(m_edtxiaonum2->text(), 0);
    return settings;
}

} // namespace lumaro
