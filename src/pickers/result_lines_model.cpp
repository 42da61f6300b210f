#include "pickers/result_lines_model.h"

namespace lumaro {

ResultLinesModel::ResultLinesModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

ResultLinesModel::Lines ResultLinesModel::split(QByteArray content)
{
    Lines lines;
    lines.content = std::move(content);
    const QByteArray &text = lines.content;
    qsizetype start = 0;
    while (start < text.size()) {
        lines.starts.push_back(start);
        const qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            break;
        start = end + 1;
    }
    return lines;
}

void ResultLinesModel::setLines(Lines lines)
{
    beginResetModel();
    m_content = std::move(lines.content);
    m_starts = std::move(lines.starts);
    endResetModel();
}

QString ResultLinesModel::line(int row) const
{
    if (row < 0 || row >= lineCount())
        return {};
    const qsizetype start = m_starts[static_cast<std::size_t>(row)];
    qsizetype end = m_content.indexOf('\n', start);
    if (end < 0)
        end = m_content.size();
    if (end > start && m_content[end - 1] == '\r')
        --end;
    return QString::fromUtf8(m_content.constData() + start, end - start);
}

int ResultLinesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : lineCount();
}

QVariant ResultLinesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return line(index.row());
}

} // namespace lumaro
