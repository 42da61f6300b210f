#include "data/draw_import.h"

#include "common/errors.h"
#include "common/file_io.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>

namespace lumaro {

namespace {

QString NormalisedDate(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})[-/.]?(\\d{1,2})[-/.]?(\\d{1,2})$"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return QString();
    // yyyymmdd without separators must be exactly eight digits.
    static const QRegularExpression separator(QStringLiteral("[-/.]"));
    if (!text.contains(separator) && text.size() != 8)
        return QString();
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

bool IsWholeNumber(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[+-]?\\d+$"));
    return digits.match(text).hasMatch();
}

QString Unquoted(QString field)
{
    field = field.trimmed();
    if (field.size() >= 2 && field.startsWith(QLatin1Char('"')) && field.endsWith(QLatin1Char('"')))
        field = field.mid(1, field.size() - 2).trimmed();
    return field;
}

[[noreturn]] void refuse(int line, const QString &reason)
{
    throw InputError(QStringLiteral("第%1行：%2").arg(line).arg(reason));
}

} // namespace

std::vector<ParsedDraw> ParseDrawHistory(const QByteArray &content, const LotteryDefinition &d)
{
    QString text = QString::fromUtf8(content);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineBreak);
    static const QRegularExpression blanks(QStringLiteral("[ \t]+"));

    const bool twoZone = d.hasBackZone();
    const int backCount = twoZone ? d.backM : 0;
    std::vector<ParsedDraw> result;
    // Periods are compared by value: "0020001" and "020001" name the same draw.
    QHash<int, int> seen;
    bool firstContentLine = true;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const bool csv = line.contains(QLatin1Char(','));
        QStringList fields;
        if (csv) {
            for (const QString &field : line.split(QLatin1Char(',')))
                fields << Unquoted(field);
        } else {
            fields = line.split(blanks, Qt::SkipEmptyParts);
        }
        // A header line names the columns; only the first line of the file may be one.
        if (firstContentLine && !fields.isEmpty() && !IsWholeNumber(fields[0])) {
            firstContentLine = false;
            continue;
        }
        firstContentLine = false;

        ParsedDraw parsed;
        parsed.line = lineNumber;
        DrawRow &draw = parsed.draw;
        if (!twoZone && fields.contains(QStringLiteral("+")))
            refuse(lineNumber,
                QStringLiteral("彩票“%1”只有一个号码区，“+”只用于分开双区型彩票的前区和后区号码").arg(d.name));
        // One number of a zone; a two-zone lottery names the zone.
        auto number = [&](const QString &field, int k, const QString &zone) {
            bool ok = false;
            const int value = field.toInt(&ok);
            if (!ok || !IsWholeNumber(field))
                refuse(lineNumber, QStringLiteral("%1第%2个号码“%3”不是整数").arg(zone).arg(k + 1).arg(field));
            return value;
        };
        if (twoZone && !csv) {
            // "period front… + back…": the "+" splits the zones, so it may touch the numbers.
            const qsizetype plus = line.indexOf(QLatin1Char('+'));
            if (plus < 0 || line.indexOf(QLatin1Char('+'), plus + 1) >= 0)
                refuse(lineNumber,
                    QStringLiteral("应有期号、前区%1个号码、“+”和后区%2个号码，“+”%3")
                        .arg(d.m)
                        .arg(d.backM)
                        .arg(plus < 0 ? QStringLiteral("没有找到") : QStringLiteral("只能有一个")));
            const QStringList front = line.left(plus).split(blanks, Qt::SkipEmptyParts);
            const QStringList back = line.mid(plus + 1).split(blanks, Qt::SkipEmptyParts);
            if (front.isEmpty())
                refuse(lineNumber, QStringLiteral("“+”前面应有期号和前区%1个号码").arg(d.m));
            draw.period = front[0];
            for (int k = 1; k < front.size(); ++k)
                draw.numbers.push_back(number(front[k], k - 1, QStringLiteral("前区")));
            for (int k = 0; k < back.size(); ++k)
                draw.back.push_back(number(back[k], k, QStringLiteral("后区")));
        } else {
            const int firstNumber = csv ? 2 : 1;
            const int count = d.m + backCount;
            if (fields.size() < firstNumber + count) {
                if (twoZone)
                    refuse(lineNumber,
                        QStringLiteral("应有期号、开奖日期、前区%1个号码和后区%2个号码，只有%3项")
                            .arg(d.m)
                            .arg(d.backM)
                            .arg(fields.size()));
                refuse(lineNumber,
                    QStringLiteral("应有期号%1和%2个号码，只有%3项")
                        .arg(csv ? QStringLiteral("、开奖日期") : QString())
                        .arg(d.m)
                        .arg(fields.size()));
            }
            if (!csv && fields.size() > 1 + d.m)
                refuse(lineNumber, QStringLiteral("应有期号和%1个号码，却有%2项").arg(d.m).arg(fields.size()));
            draw.period = fields[0];
            if (csv) {
                draw.date = NormalisedDate(fields[1]);
                if (draw.date.isEmpty())
                    refuse(lineNumber, QStringLiteral("开奖日期“%1”不是有效的日期（应为年-月-日）").arg(fields[1]));
            }
            const QString frontZone = twoZone ? QStringLiteral("前区") : QString();
            for (int k = 0; k < d.m; ++k)
                draw.numbers.push_back(number(fields[firstNumber + k], k, frontZone));
            for (int k = 0; k < backCount; ++k)
                draw.back.push_back(number(fields[firstNumber + d.m + k], k, QStringLiteral("后区")));
        }
        try {
            ValidateDraw(d, draw);
        } catch (const InputError &error) {
            refuse(lineNumber, error.message());
        }
        const int period = draw.period.toInt(); // validateDraw checked that it fits
        const auto previous = seen.constFind(period);
        if (previous != seen.constEnd())
            refuse(lineNumber, QStringLiteral("期号%1与第%2行重复").arg(draw.period).arg(previous.value()));
        seen.insert(period, lineNumber);
        result.push_back(std::move(parsed));
    }
    return result;
}

ImportResult ImportDraws(LotteryStore &store, const QString &lotteryName, const QByteArray &content)
{
    const LotteryDefinition definition = store.readDefinition(lotteryName);
    const std::vector<ParsedDraw> parsed = ParseDrawHistory(content, definition);
    // A period already stored counts by value: "2001" in the file is the stored "0002001".
    const QHash<qint64, QString> stored = store.storedPeriods(lotteryName);
    ImportResult result;
    std::vector<DrawRow> fresh;
    for (const ParsedDraw &row : parsed) {
        if (stored.contains(row.draw.period.toLongLong())) {
            ++result.alreadyStored;
        } else {
            fresh.push_back(row.draw);
        }
    }
    store.appendDraws(lotteryName, fresh);
    result.added = static_cast<int>(fresh.size());
    return result;
}

ImportResult ImportDrawFile(LotteryStore &store, const QString &lotteryName, const QString &path)
{
    // Histories are small (20000 draws are well under a megabyte); anything far larger is not one.
    constexpr qint64 kMaxSize = 64LL * 1024 * 1024;
    return ImportDraws(store, lotteryName, ReadWholeFile(path, kMaxSize));
}

QString HistoryFileName(const QString &lotteryName)
{
    QString name = lotteryName;
    static const QString unsafe = QStringLiteral("/\\:*?\"<>|");
    for (QChar &ch : name) {
        if (unsafe.contains(ch) || ch.category() == QChar::Other_Control)
            ch = QLatin1Char('_');
    }
    for (qsizetype i = 0; i < name.size() && name[i] == QLatin1Char('.'); ++i)
        name[i] = QLatin1Char('_');
    return name + QStringLiteral("历史号码.txt");
}

QByteArray HistoryText(const std::vector<StoredDraw> &draws)
{
    QByteArray text;
    auto field = [&text](int value) {
        if (value >= 0 && value < 10)
            text += '0';
        text += QByteArray::number(value);
        text += ' ';
    };
    for (const StoredDraw &draw : draws) {
        field(draw.period.toInt());
        for (int v : draw.numbers)
            field(v);
        if (!draw.back.empty()) {
            text += "+ ";
            for (int v : draw.back)
                field(v);
        }
        text += "\r\n";
    }
    return text;
}

int ExportHistoryFile(const LotteryStore &store, const QString &lotteryName, const QString &path)
{
    const std::vector<StoredDraw> draws = store.readDraws(lotteryName);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw IoError::cannotWrite(path, file.errorString());
    file.write(HistoryText(draws));
    if (!file.commit())
        throw IoError::cannotWrite(path, file.errorString());
    return static_cast<int>(draws.size());
}

} // namespace lumaro
