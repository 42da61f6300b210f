#include "download/result_services.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>

namespace lumaro::service {

namespace {

QString MissingField(const QString &field)
{
    return QStringLiteral("缺少字段“%1”").arg(field);
}

// The JSON object of an answer, or why there is none.
QJsonObject AnswerObject(const QByteArray &json, QString &failure)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        failure = QStringLiteral("JSON不完整或有错（第%1字节：%2）").arg(error.offset).arg(error.errorString());
        return {};
    }
    if (!document.isObject()) {
        failure = QStringLiteral("回答不是一个JSON对象");
        return {};
    }
    return document.object();
}

// A field that has to be a string (numbers are taken as their decimal text).
bool TextField(const QJsonObject &object, const QString &name, QString &text)
{
    const QJsonValue value = object.value(name);
    if (value.isString()) {
        text = value.toString().trimmed();
        return true;
    }
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (number >= 0 && number < 1e15 && number == static_cast<double>(static_cast<qint64>(number))) {
            text = QString::number(static_cast<qint64>(number));
            return true;
        }
    }
    return false;
}

int PageCount(const QJsonValue &value)
{
    const double pages = value.toDouble(0);
    return pages >= 1 && pages < 1e6 ? static_cast<int>(pages) : 0;
}

// The date of an entry: its first 10 characters as "yyyy-mm-dd" (the welfare service adds the
// weekday "(四)", the sports service may add the time).
bool EntryDate(const QString &text, QString &date)
{
    date = text.left(10);
    return scrape::ReadsAsDate(date);
}

QStringList Split(const QString &text, const QRegularExpression &separator)
{
    return text.split(separator, Qt::SkipEmptyParts);
}

// Reads the list of entries one by one with readEntry, which fills a candidate or returns why
// the entry cannot be read. Reading stops at the first entry that cannot be read.
template<class ReadEntry>
void ReadEntries(const QJsonArray &list, const QString &periodField, ServicePage &page, ReadEntry readEntry)
{
    page.entries = static_cast<int>(list.size());
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString where = QStringLiteral("第%1条开奖记录").arg(i + 1);
        if (!list.at(i).isObject()) {
            page.failure = where + QStringLiteral("不是一个JSON对象");
            return;
        }
        const QJsonObject entry = list.at(i).toObject();
        QString periodText;
        if (!TextField(entry, periodField, periodText)) {
            page.failure = where + MissingField(periodField);
            return;
        }
        scrape::DrawCandidate draw;
        draw.period = StoredServicePeriod(periodText);
        if (draw.period.isEmpty()) {
            page.failure = where + QStringLiteral("的期号“%1”不是7位或5位期号").arg(periodText.left(20));
            return;
        }
        draw.periodValue = draw.period.toLongLong();
        page.periodsShown.push_back(draw.periodValue);
        const QString problem = readEntry(entry, draw);
        if (!problem.isEmpty()) {
            page.failure = QStringLiteral("第%1期%2").arg(draw.period, problem);
            return;
        }
        page.draws.push_back(std::move(draw));
    }
}

} // namespace

QString StoredServicePeriod(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!digits.match(text).hasMatch())
        return QString();
    if (text.size() == 7 && text.startsWith(QLatin1String("20")))
        return text;
    if (text.size() == 5)
        return QStringLiteral("20") + text;
    return QString();
}

bool FollowsDirectly(qint64 previous, qint64 period)
{
    return period == previous + 1 || period == (previous / 1000 + 1) * 1000 + 1;
}

ServicePage ReadWelfareNotices(const QByteArray &json, int frontCount, int backCount)
{
    ServicePage page;
    const QJsonObject answer = AnswerObject(json, page.failure);
    if (!page.failure.isEmpty())
        return page;
    const QJsonValue state = answer.value(QStringLiteral("state"));
    if (!state.isUndefined() && !(state.isDouble() && state.toDouble() == 0)
        && !(state.isString() && state.toString() == QLatin1String("0"))) {
        const QString code = state.isDouble() ? QString::number(state.toDouble()) : state.toString().left(40);
        page.refusal
            = QStringLiteral("状态码 %1：%2").arg(code, answer.value(QStringLiteral("message")).toString().left(80));
        return page;
    }
    const QJsonValue result = answer.value(QStringLiteral("result"));
    if (!result.isArray()) {
        page.failure = MissingField(QStringLiteral("result"));
        return page;
    }
    page.pages = PageCount(answer.value(QStringLiteral("pageNum")));
    static const QRegularExpression comma(QStringLiteral("[,，\\s]+"));
    ReadEntries(result.toArray(), QStringLiteral("code"), page,
        [&](const QJsonObject &entry, scrape::DrawCandidate &draw) -> QString {
            QString red;
            QString blue;
            QString date;
            if (!TextField(entry, QStringLiteral("red"), red))
                return MissingField(QStringLiteral("red"));
            if (backCount > 0 && !TextField(entry, QStringLiteral("blue"), blue))
                return MissingField(QStringLiteral("blue"));
            if (!TextField(entry, QStringLiteral("date"), date))
                return MissingField(QStringLiteral("date"));
            if (!EntryDate(date, draw.date))
                return QStringLiteral("的开奖日期“%1”不是日期").arg(date.left(20));
            draw.numbers = Split(red, comma);
            if (draw.numbers.size() != frontCount)
                return QStringLiteral("的号码“%1”不是%2个").arg(red.left(60)).arg(frontCount);
            if (backCount > 0) {
                draw.back = Split(blue, comma);
                if (draw.back.size() != backCount)
                    return QStringLiteral("的后区号码“%1”不是%2个").arg(blue.left(60)).arg(backCount);
            }
            return QString();
        });
    return page;
}

ServicePage ReadSportsHistory(const QByteArray &json, int frontCount, int backCount)
{
    ServicePage page;
    const QJsonObject answer = AnswerObject(json, page.failure);
    if (!page.failure.isEmpty())
        return page;
    QString errorCode;
    const bool hasCode = TextField(answer, QStringLiteral("errorCode"), errorCode);
    const QJsonValue success = answer.value(QStringLiteral("success"));
    if ((success.isBool() && !success.toBool()) || (hasCode && errorCode != QLatin1String("0"))) {
        page.refusal = QStringLiteral("错误代码 %1：%2")
                           .arg(hasCode ? errorCode.left(40) : QStringLiteral("?"),
                               answer.value(QStringLiteral("errorMessage")).toString().left(80));
        return page;
    }
    const QJsonValue value = answer.value(QStringLiteral("value"));
    if (!value.isObject()) {
        page.failure = MissingField(QStringLiteral("value"));
        return page;
    }
    const QJsonValue list = value.toObject().value(QStringLiteral("list"));
    if (!list.isArray()) {
        page.failure = MissingField(QStringLiteral("value.list"));
        return page;
    }
    page.pages = PageCount(value.toObject().value(QStringLiteral("pages")));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    ReadEntries(list.toArray(), QStringLiteral("lotteryDrawNum"), page,
        [&](const QJsonObject &entry, scrape::DrawCandidate &draw) -> QString {
            QString result;
            QString date;
            if (!TextField(entry, QStringLiteral("lotteryDrawResult"), result))
                return MissingField(QStringLiteral("lotteryDrawResult"));
            if (!TextField(entry, QStringLiteral("lotteryDrawTime"), date))
                return MissingField(QStringLiteral("lotteryDrawTime"));
            if (!EntryDate(date, draw.date))
                return QStringLiteral("的开奖日期“%1”不是日期").arg(date.left(20));
            const QStringList numbers = Split(result, blanks);
            if (numbers.size() != frontCount + backCount)
                return QStringLiteral("的号码“%1”不是%2个").arg(result.left(60)).arg(frontCount + backCount);
            draw.numbers = numbers.mid(0, frontCount);
            draw.back = numbers.mid(frontCount);
            return QString();
        });
    return page;
}

} // namespace lumaro::service
