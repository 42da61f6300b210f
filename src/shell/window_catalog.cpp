#include "shell/window_catalog.h"

#include "data/u_data.h"
#include "download/u_download2.h"
#include "download/u_download3.h"
#include "invest/u_gudingjihua.h"
#include "invest/u_jieduanjihua.h"
#include "invest/u_keibianjihua.h"
#include "invest/u_tozi.h"
#include "pickers/u_ganzhi.h"
#include "pickers/u_qingmi.h"
#include "pickers/u_sep.h"
#include "pickers/u_sibu.h"
#include "shell/app_context.h"
#include "tickets/u_totalfilt.h"
#include "trend/u_code.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace lumaro {

namespace {

std::function<QWidget *(AppContext &, QWidget *)> placeholder(const QString &key, const QString &caption)
{
    return [key, caption](AppContext &, QWidget *parent) { return createPlaceholder(key, caption, parent); };
}

} // namespace

QWidget *createPlaceholder(const QString &key, const QString &caption, QWidget *parent, bool modal)
{
    QWidget *window = modal ? new QDialog(parent) : new QWidget(parent, Qt::Tool);
    window->setObjectName(QStringLiteral("placeholder_") + key);
    window->setAttribute(Qt::WA_DeleteOnClose, modal);
    window->setWindowTitle(caption);
    auto *layout = new QVBoxLayout(window);
    auto *text = new QLabel(QStringLiteral("“%1”尚未完成，将在后续版本中提供。").arg(caption), window);
    text->setObjectName(QStringLiteral("lblplaceholder"));
    layout->addWidget(text);
    if (key == QLatin1String("Tfrmtotalfilt")) {
        auto *chooser = new QCheckBox(QStringLiteral("选择球号："), window);
        chooser->setObjectName(QStringLiteral("chkhongqiu"));
        auto *balls = new QGroupBox(window);
        balls->setObjectName(QStringLiteral("GroupBox2"));
        chooser->hide();
        balls->hide();
    }
    window->resize(360, 120);
    return window;
}

const std::vector<ToolWindowEntry> &toolWindows()
{
    static const std::vector<ToolWindowEntry> list = {
        {QStringLiteral("Tfrmtotalfilt"), QStringLiteral("总体号码缩水过滤"),
            [](AppContext &c, QWidget *p) { return new Tfrmtotalfilt(c, p); }},
        {QStringLiteral("Tfrmjuzheng"), QStringLiteral("旋转矩阵组号缩水"),
            placeholder(QStringLiteral("Tfrmjuzheng"), QStringLiteral("旋转矩阵组号缩水"))},
        {QStringLiteral("Tfrmpiantai"), QStringLiteral("中奖偏态分析选号"),
            placeholder(QStringLiteral("Tfrmpiantai"), QStringLiteral("中奖偏态分析选号"))},
        {QStringLiteral("Tfrmyilou"), QStringLiteral("中奖回补分析选号"),
            placeholder(QStringLiteral("Tfrmyilou"), QStringLiteral("中奖回补分析选号"))},
        {QStringLiteral("Tfrmsep"), QStringLiteral("最优间隔回补选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmsep(c, p); }},
        {QStringLiteral("Tfrmqingmi"), QStringLiteral("最优亲密数字选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmqingmi(c, p); }},
        {QStringLiteral("Tfrmallcongma"), QStringLiteral("无穷重码排除选号"),
            placeholder(QStringLiteral("Tfrmallcongma"), QStringLiteral("无穷重码排除选号"))},
        {QStringLiteral("Tfrmallhei"), QStringLiteral("无穷和值排除选号"),
            placeholder(QStringLiteral("Tfrmallhei"), QStringLiteral("无穷和值排除选号"))},
        {QStringLiteral("Tfrmallpiantai"), QStringLiteral("无穷偏态排除选号"),
            placeholder(QStringLiteral("Tfrmallpiantai"), QStringLiteral("无穷偏态排除选号"))},
        {QStringLiteral("Tfrmallgensui"), QStringLiteral("无穷跟随排除选号"),
            placeholder(QStringLiteral("Tfrmallgensui"), QStringLiteral("无穷跟随排除选号"))},
        {QStringLiteral("Tfrmganzhi"), QStringLiteral("最优开奖干支选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmganzhi(c, p); }},
        {QStringLiteral("Tfrmsibu"), QStringLiteral("最优四步综合选号"),
            [](AppContext &c, QWidget *p) { return new Tfrmsibu(c, p); }},
        {QStringLiteral("Tfrmfushi"), QStringLiteral("最优复式搜索选号"),
            placeholder(QStringLiteral("Tfrmfushi"), QStringLiteral("最优复式搜索选号"))},
        {QStringLiteral("Tfrmjiaoqi"), QStringLiteral("大底交集"),
            placeholder(QStringLiteral("Tfrmjiaoqi"), QStringLiteral("大底交集"))},
        {QStringLiteral("Tfrmgudingjihua"), QStringLiteral("固定投资计划"),
            [](AppContext &c, QWidget *p) { return new Tfrmgudingjihua(c, p); }},
        {QStringLiteral("Tfrmjieduanjihua"), QStringLiteral("阶段投资计划"),
            [](AppContext &c, QWidget *p) { return new Tfrmjieduanjihua(c, p); }},
        {QStringLiteral("Tfrmkeibianjihua"), QStringLiteral("可变投资计划"),
            [](AppContext &c, QWidget *p) { return new Tfrmkeibianjihua(c, p); }},
        {QStringLiteral("Tfrmtozi"), QStringLiteral("投资模式分析"),
            [](AppContext &c, QWidget *p) { return new Tfrmtozi(c, p); }},
    };
    return list;
}

const ToolWindowEntry *findToolWindow(const QString &key)
{
    for (const ToolWindowEntry &entry : toolWindows()) {
        if (entry.key == key)
            return &entry;
    }
    return nullptr;
}

QString tabCaption(int index)
{
    static const char *captions[kTabCount] = {"开奖号码走势", "号码大小分析", "号码奇偶分析", "号码和值分析",
        "号码跨度分析", "号码散度分析", "号码偏度分析", "号码AC值分析", "号码重码分析", "号码区间分析"};
    return index >= 0 && index < kTabCount ? QString::fromUtf8(captions[index]) : QString();
}

QWidget *createTabView(int index, AppContext &context, QWidget *parent)
{
    if (index == 0)
        return new Tfrmcode(context, parent);
    QWidget *view = createPlaceholder(QStringLiteral("tab%1").arg(index), tabCaption(index), nullptr);
    view->setParent(parent, Qt::Widget);
    return view;
}

QWidget *createDrawEditor(AppContext &context, QWidget *parent)
{
    return new Tfrmdata(context, parent);
}

QWidget *createDownloadWindow(AppContext &context, DownloadDone &done, QWidget *parent)
{
    return new Tfrmdownload2(context, done, parent);
}

QWidget *createQuickUpdateWindow(AppContext &context, DownloadDone &done, QWidget *parent)
{
    return new Tfrmdownload3(context, done, parent);
}

} // namespace lumaro
