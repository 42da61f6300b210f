#include "invest/plan_file.h"

#include "common/errors.h"
#include "common/file_io.h"
#include "invest/money.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace lumaro {

QByteArray PlanFileText(const QStringList &fields, const std::vector<QStringList> &rows)
{
    QByteArray text;
    for (const QString &field : fields)
        text += field.toUtf8() + "\r\n";
    for (const QStringList &row : rows)
        for (const QString &cell : row)
            text += cell.toUtf8() + "\r\n";
    return text;
}

QStringList SplitTextLines(const QByteArray &content)
{
    QStringList lines;
    for (const QByteArray &line : content.split('\n'))
        lines << QString::fromUtf8(line.endsWith('\r') ? line.chopped(1) : line);
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

void WritePlanFile(const QString &path, const QStringList &fields, const std::vector<QStringList> &rows)
{
    WriteWholeFile(path, PlanFileText(fields, rows));
}

PlanFileContent ParsePlanFile(const QByteArray &content, int fieldCount, int columns, int maxRowsField)
{
    const QStringList lines = SplitTextLines(content);

    PlanFileContent result;
    for (int i = 0; i < fieldCount; ++i)
        result.fields << (i < lines.size() ? lines[i] : QString());
    qint64 maxRows = -1;
    if (maxRowsField >= 0)
        maxRows = std::max<qint64>(0, ToMoney(result.fields[maxRowsField]));

    const qsizetype dataLines = std::max<qsizetype>(0, lines.size() - fieldCount);
    const qsizetype rowsInFile = (dataLines + columns - 1) / columns;
    for (qsizetype r = 0; r < rowsInFile; ++r) {
        if (maxRows >= 0 && r >= maxRows) {
            result.extraRows = static_cast<int>(rowsInFile - r);
            break;
        }
        std::vector<qint64> values;
        QStringList texts;
        for (int c = 0; c < columns; ++c) {
            const qsizetype index = fieldCount + r * columns + c;
            const QString text = index < lines.size() ? lines[index] : QString();
            try {
                values.push_back(ToMoney(text));
            } catch (const ConversionError &) {
                result.failed = true;
                result.failedText = text;
                return result;
            }
            texts << text;
        }
        result.rows.push_back(std::move(values));
        result.rowTexts.push_back(std::move(texts));
    }
    return result;
}

PlanFileContent ReadPlanFile(const QString &path, int fieldCount, int columns, int maxRowsField)
{
    // A plan file holds a few thousand short lines at most.
    constexpr qint64 kMaxPlanFileBytes = 64LL * 1024 * 1024;
    return ParsePlanFile(ReadWholeFile(path, kMaxPlanFileBytes), fieldCount, columns, maxRowsField);
}

} // namespace lumaro
