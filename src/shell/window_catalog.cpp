#include "shell/window_catalog.h"

#include "analysis/u_AC.h"
#include "analysis/u_congma.h"
#include "analysis/u_daxiao.h"
#include "analysis/u_hei.h"
#include "analysis/u_jiou.h"
#include "analysis/u_kuadu.h"
#include "analysis/u_piandu.h"
#include "analysis/u_piantai.h"
#include "analysis/u_qujian.h"
#include "analysis/u_sandu.h"
#include "analysis/u_yilou.h"
#include "data/bundled_draws.h"
#include "data/u_data.h"
#include "download/draw_download.h"
#include "download/u_download2.h"
#include "download/u_download3.h"
#include "invest/u_gudingjihua.h"
#include "invest/u_jieduanjihua.h"
#include "invest/u_keibianjihua.h"
#include "invest/u_tozi.h"
#include "pickers/u_allcongma.h"
#include "pickers/u_allgensui.h"
#include "pickers/u_allhei.h"
#include "pickers/u_allpiantai.h"
#include "pickers/u_ganzhi.h"
#include "pickers/u_qingmi.h"
#include "pickers/u_sep.h"
#include "pickers/u_sibu.h"
#include "shell/app_context.h"
#include "tickets/u_fushi.h"
#include "tickets/u_jiaoqi.h"
#include "tickets/u_juzheng.h"
#include "tickets/u_totalfilt.h"
#include "tickets/u_zhongjiang.h"
#include "trend/u_code.h"

#include <QLabel>

namespace lumaro {

namespace {

// What a tab shows instead of an empty grid or chart when the lottery has no draws.
QWidget *CreateNoDrawsView(const QString &lottery, QWidget *parent)
{
    auto *hint = new QLabel(NoDrawsHint(lottery, DownloadsFromService(lottery)), parent);
    hint->setObjectName(QStringLiteral("lblnodraws"));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignCenter);
    hint->setMargin(40);
    hint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    hint->setAutoFillBackground(true);
    QFont font = hint->font();
    font.setPointSizeF(font.pointSizeF() * 1.25);
    hint->setFont(font);
    return hint;
}

} // namespace

const std::vector<ToolWindowEntry> &ToolWindows()
{
    static const std::vector<ToolWindowEntry> list = {
        {QStringLiteral("Tfrmtotalfilt"), QStringLiteral("总体号码缩水过滤"),
            [](AppContext &c, QWidget *p) { return new Tfrmtotalfilt(c, p); }},
        {QStringLiteral("Tfrmjuzheng"), QStringLiteral("旋转矩阵组号缩水"),
            [](AppContext &c, QWidget *p) { return new Tfrmjuzheng(c, p); }},
        {QStringLiteral("Tfrmpiantai"), QStringLiteral("中奖偏态分析选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmpiantai(c, p); }, true},
        {QStringLiteral("Tfrmyilou"), QStringLiteral("中奖回补分析选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmyilou(c, p); }, true},
        {QStringLiteral("Tfrmsep"), QStringLiteral("最优间隔回补选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmsep(c, p); }, true},
        {QStringLiteral("Tfrmqingmi"), QStringLiteral("最优亲密数字选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmqingmi(c, p); }, true},
        {QStringLiteral("Tfrmallcongma"), QStringLiteral("无穷重码排除选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmallcongma(c, p); }, true},
        {QStringLiteral("Tfrmallhei"), QStringLiteral("无穷和值排除选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmallhei(c, p); }, true},
        {QStringLiteral("Tfrmallpiantai"), QStringLiteral("无穷偏态排除选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmallpiantai(c, p); }, true},
        {QStringLiteral("Tfrmallgensui"), QStringLiteral("无穷跟随排除选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmallgensui(c, p); }, true},
        {QStringLiteral("Tfrmganzhi"), QStringLiteral("最优开奖干支选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmganzhi(c, p); }, true},
        {QStringLiteral("Tfrmsibu"), QStringLiteral("最优四步综合选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmsibu(c, p); }, true},
        {QStringLiteral("Tfrmfushi"), QStringLiteral("最优复式搜索选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmfushi(c, p); }, true},
        {QStringLiteral("Tfrmjiaoqi"), QStringLiteral("大底交集"),
            [](AppContext &c, QWidget *p) { return new Tfrmjiaoqi(c, p); }},
        {QStringLiteral("Tfrmzhongjiang"), QStringLiteral("中奖查询"),
            [](AppContext &c, QWidget *p) { return new Tfrmzhongjiang(c, p); }, true},
        {QStringLiteral("Tfrmgudingjihua"), QStringLiteral("固定投资计划"),
            [](AppContext &c, QWidget *p) { return new Tfrmgudingjihua(c, p); }},
        {QStringLiteral("Tfrmjieduanjihua"), QStringLiteral("阶段投资计划"),
            [](AppContext &c, QWidget *p) { return new Tfrmjieduanjihua(c, p); }},
        {QStringLiteral("Tfrmkeibianjihua"), QStringLiteral("可变投资计划"),
            [](AppContext &c, QWidget *p) { return new Tfrmkeibianjihua(c, p); }},
        {QStringLiteral("Tfrmtozi"), QStringLiteral("投资模式分析"),
            [](AppContext &c, QWidget *p) { return new Tfrmtozi(c, p); }, true},
    };
    return list;
}

const ToolWindowEntry *FindToolWindow(const QString &key)
{
    for (const ToolWindowEntry &entry : ToolWindows()) {
        if (entry.key == key)
            return &entry;
    }
    return nullptr;
}

QString TabCaption(int index)
{
    static const char *captions[kTabCount] = {"开奖号码走势", "号码大小分析", "号码奇偶分析", "号码和值分析",
        "号码跨度分析", "号码散度分析", "号码偏度分析", "号码AC值分析", "号码重码分析", "号码区间分析"};
    return index >= 0 && index < kTabCount ? QString::fromUtf8(captions[index]) : QString();
}

QWidget *CreateTabView(int index, AppContext &context, QWidget *parent)
{
    if (index >= 0 && index < kTabCount && context.lottery && context.lottery->drawCount == 0)
        return CreateNoDrawsView(context.lottery->name, parent);
    switch (index) {
    case 0:
        return new Tfrmcode(context, parent);
    case 1:
        return new Tfrmdaxiao(context, parent);
    case 2:
        return new Tfrmjiou(context, parent);
    case 3:
        return new Tfrmhei(context, parent);
    case 4:
        return new Tfrmkuadu(context, parent);
    case 5:
        return new Tfrmsandu(context, parent);
    case 6:
        return new Tfrmpiandu(context, parent);
    case 7:
        return new Tfrmac(context, parent);
    case 8:
        return new Tfrmcongma(context, parent);
    case 9:
        return new Tfrmqujian(context, parent);
    default:
        return nullptr;
    }
}

QWidget *CreateDrawEditor(AppContext &context, QWidget *parent)
{
    return new Tfrmdata(context, parent);
}

QWidget *CreateDownloadWindow(AppContext &context, DownloadDone &done, QWidget *parent)
{
    return new Tfrmdownload2(context, done, parent);
}

QWidget *CreateQuickUpdateWindow(AppContext &context, DownloadDone &done, QWidget *parent)
{
    return new Tfrmdownload3(context, done, parent);
}

} // namespace lumaro
