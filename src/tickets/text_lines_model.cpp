#include "tickets/text_lines_model.h"

#include "common/errors.h"
#include "common/file_io.h"

#include <cstring>
#include <limits>

namespace lumaro {

namespace {

constexpr qint64 kBlockLines = 512;

QByteArrayView WithoutLineEnd(QByteArrayView line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

TextLinesModel::TextLinesModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

void TextLinesModel::setContent(QByteArray content)
{
    beginResetModel();
    m_file.close();
    m_lineLength = 0;
    m_blockStart = -1;
    m_block.clear();
    m_buffer.close();
    m_content = std::move(content);
    m_starts.clear();
    const char *data = m_content.constData();
    const qint64 size = m_content.size();
    qint64 start = 0;
    while (start < size) {
        m_starts.push_back(start);
        const void *end = std::memchr(data + start, '\n', static_cast<std::size_t>(size - start));
        if (!end)
            break;
        start = static_cast<const char *>(end) - data + 1;
    }
    m_lines = static_cast<qint64>(m_starts.size());
    endResetModel();
}

void TextLinesModel::setFile(const QString &path)
{
    QFile file;
    OpenRegularFile(file, path);
    const QByteArray first = file.readLine(4096);
    const qint64 size = file.size();
    const qint64 length = first.size();
    bool uniform = length > 0 && first.endsWith('\n') && size % length == 0;
    if (uniform) {
        // Lines of one length: every line break stands where that length puts it. Checking the
        // last line is enough for the lists this program writes; anything odd reads in full.
        file.seek(size - length);
        const QByteArray last = file.read(length);
        uniform = last.endsWith('\n') && last.indexOf('\n') == length - 1;
    }
    if (!uniform) {
        file.close();
        setContent(ReadWholeFile(path));
        return;
    }
    beginResetModel();
    m_content.clear();
    m_starts.clear();
    m_buffer.close();
    m_file.close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        endResetModel();
        throw IoError::cannotRead(path, m_file.errorString());
    }
    m_lineLength = length;
    m_lines = size / length;
    m_blockStart = -1;
    m_block.clear();
    endResetModel();
}

QByteArrayView TextLinesModel::fixedLine(qint64 row) const
{
    const qint64 block = row / kBlockLines * kBlockLines;
    if (block != m_blockStart) {
        m_block.clear();
        if (m_file.seek(block * m_lineLength))
            m_block = m_file.read(kBlockLines * m_lineLength);
        m_blockStart = block;
    }
    const qint64 offset = (row - block) * m_lineLength;
    if (offset + m_lineLength > m_block.size())
        return {};
    return QByteArrayView(m_block.constData() + offset, m_lineLength);
}

QString TextLinesModel::line(qint64 row) const
{
    if (row < 0 || row >= m_lines)
        return {};
    if (m_lineLength > 0)
        return QString::fromUtf8(WithoutLineEnd(fixedLine(row)));
    const qint64 start = m_starts[static_cast<std::size_t>(row)];
    const qint64 end = row + 1 < m_lines ? m_starts[static_cast<std::size_t>(row) + 1] : m_content.size();
    return QString::fromUtf8(WithoutLineEnd(QByteArrayView(m_content.constData() + start, end - start)));
}

QIODevice &TextLinesModel::device()
{
    if (m_lineLength > 0) {
        m_file.seek(0);
        return m_file;
    }
    m_buffer.close();
    m_buffer.setBuffer(&m_content);
    m_buffer.open(QIODevice::ReadOnly);
    return m_buffer;
}

int TextLinesModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(std::min<qint64>(m_lines, std::numeric_limits<int>::max()));
}

QVariant TextLinesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return line(index.row());
}

} // namespace lumaro
