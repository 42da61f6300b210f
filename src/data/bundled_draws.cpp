#include "data/bundled_draws.h"

#include "common/shipped_files.h"

namespace lumaro {

const std::vector<BundledHistory> &BundledHistories()
{
    static const std::vector<BundledHistory> histories {
        {QStringLiteral("中国福彩七乐彩"), ShippedPath(QStringLiteral("draws/qlc.csv")), QString()},
        {QStringLiteral("福彩3D"), ShippedPath(QStringLiteral("draws/fc3d.csv")), QString()},
        {QStringLiteral("双色球"), ShippedPath(QStringLiteral("draws/ssq.csv")),
            ShippedPath(QStringLiteral("draws/LICENSE-ssq.txt"))},
    };
    return histories;
}

const BundledHistory *FindBundledHistory(const QString &lottery)
{
    for (const BundledHistory &history : BundledHistories()) {
        if (history.lottery == lottery)
            return &history;
    }
    return nullptr;
}

QString NoDrawsHint(const QString &lottery, bool fromService)
{
    const QString download = fromService
        ? QStringLiteral("2. 下载：彩票数据 → 数据下载（从彩票中心的开奖数据服务读取，需要连接互联网）；\n")
        : QStringLiteral("2. 下载：彩票数据 → 数据下载（先在程序文件夹的“附属/站点.ini”中填写开奖网站的地址）；\n");
    return QStringLiteral("“%1”还没有开奖号码。取得开奖号码有三种方法：\n"
                          "1. 导入：彩票数据 → 数据添加，选择彩票，点“导入”，选已有的开奖号码文件"
                          "（CSV：期号,日期,号码…；或历史号码文本）；\n"
                          "%2"
                          "3. 输入：彩票数据 → 数据添加，选择彩票，逐期输入开奖号码。")
        .arg(lottery, download);
}

} // namespace lumaro
