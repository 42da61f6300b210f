#include "data/draw_edit_model.h"

#include "common/errors.h"

namespace lumaro {

namespace {

int BackCount(const LotteryDefinition &d)
{
    return d.hasBackZone() ? d.backM : 0;
}

} // namespace

DrawEditModel::DrawEditModel(LotteryStore &store, QObject *parent)
    : QAbstractTableModel(parent)
    , m_store(store)
{ }

DrawEditModel::Row DrawEditModel::fromDraw(const StoredDraw &draw) const
{
    Row row;
    row.rowId = draw.rowId;
    row.cells << draw.period;
    for (int v : draw.numbers)
        row.cells << QString::number(v);
    for (int v : draw.back)
        row.cells << QString::number(v);
    row.cells << draw.date;
    row.saved = row.cells;
    return row;
}

void DrawEditModel::load(const QString &lottery)
{
    const LotteryDefinition definition = m_store.readDefinition(lottery);
    const std::vector<StoredDraw> draws = m_store.readDraws(lottery);
    beginResetModel();
    m_lottery = lottery;
    m_definition = definition;
    m_headers.clear();
    m_headers << QStringLiteral("记录期号");
    for (int k = 1; k <= definition.m; ++k)
        m_headers << QString::number(k);
    for (int k = 1; k <= BackCount(definition); ++k)
        m_headers << BackColumnName(k);
    m_headers << QStringLiteral("开奖日期");
    m_rows.clear();
    m_rows.reserve(draws.size());
    for (const StoredDraw &draw : draws)
        m_rows.push_back(fromDraw(draw));
    endResetModel();
}

bool DrawEditModel::isPending(int row) const
{
    return row >= 0 && row < static_cast<int>(m_rows.size()) && m_rows[static_cast<std::size_t>(row)].pending;
}

int DrawEditModel::pendingRow() const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].pending)
            return static_cast<int>(i);
    }
    return -1;
}

DrawRow DrawEditModel::parse(int r) const
{
    const Row &row = m_rows[static_cast<std::size_t>(r)];
    const int m = m_definition.m;
    auto where = [&](int column) { return QStringLiteral("第%1行“%2”列").arg(r + 1).arg(m_headers[column]); };
    DrawRow draw;
    draw.period = row.cells[0].trimmed();
    if (draw.period.isEmpty())
        throw InputError(where(0) + QStringLiteral("不能为空！"));
    for (const QChar ch : draw.period) {
        if (!ch.isDigit() || ch.unicode() > 127)
            throw InputError(where(0) + QStringLiteral("的“%1”不是一个整数！").arg(draw.period));
    }
    if (draw.period.size() > m_definition.periodWidth)
        throw InputError(where(0) + QStringLiteral("的期号最多%1位！").arg(m_definition.periodWidth));
    // The numbers of one zone: columns first .. first + count - 1, values lowest .. highest,
    // distinct unless the lottery is a digit lottery. The zones are checked apart, so a back
    // number may equal a front one.
    auto readZone = [&](int first, int count, int lowest, int highest, bool distinct, bool backZone) {
        std::vector<int> numbers;
        for (int k = first; k < first + count; ++k) {
            const QString text = row.cells[k].trimmed();
            if (text.isEmpty())
                throw InputError(where(k) + QStringLiteral("不能为空！"));
            bool ok = false;
            const int value = text.toInt(&ok);
            if (!ok)
                throw InputError(where(k) + QStringLiteral("的“%1”不是一个整数！").arg(text));
            if (value < lowest || value > highest)
                throw InputError(
                    where(k) + QStringLiteral("的号码%1不在%2到%3之间！").arg(value).arg(lowest).arg(highest));
            if (distinct) {
                for (std::size_t j = 0; j < numbers.size(); ++j) {
                    if (numbers[j] == value)
                        throw InputError(where(k)
                            + QStringLiteral("的号码%1与第%2个%3号码重复！")
                                  .arg(value)
                                  .arg(j + 1)
                                  .arg(backZone ? QStringLiteral("后区") : QString()));
                }
            }
            numbers.push_back(value);
        }
        return numbers;
    };
    const int back = BackCount(m_definition);
    draw.numbers = readZone(1, m, m_definition.lowestNumber(), m_definition.highestNumber(),
        m_definition.kind != LotteryKind::Digit, false);
    if (back > 0)
        draw.back = readZone(m + 1, back, 1, m_definition.backN, true, true);
    const int dateColumn = m + back + 1;
    draw.date = row.cells[dateColumn].trimmed();
    if (draw.date.size() > 10)
        throw InputError(where(dateColumn) + QStringLiteral("最多10个字符！"));

    // One period, one draw: leading zeros do not make another period. A row may keep the
    // period it has.
    const qint64 value = draw.period.toLongLong();
    if (row.rowId == 0 || row.saved[0].toLongLong() != value) {
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            const Row &other = m_rows[i];
            if (static_cast<int>(i) != r && other.rowId != 0 && other.saved[0].toLongLong() == value)
                throw InputError(where(0)
                    + QStringLiteral("的期号%1与第%2行的第%3期是同一期，同一期不能存两次！")
                          .arg(draw.period)
                          .arg(i + 1)
                          .arg(other.saved[0]));
        }
    }
    return draw;
}

void DrawEditModel::post(int r)
{
    if (!isPending(r))
        return;
    Row &row = m_rows[static_cast<std::size_t>(r)];
    const DrawRow draw = parse(r);
    if (row.rowId == 0) {
        m_store.appendDraws(m_lottery, {draw});
        // The new row's id: the latest row with this period.
        qint64 id = 0;
        for (const StoredDraw &stored : m_store.readDraws(m_lottery)) {
            if (stored.period == draw.period)
                id = std::max(id, stored.rowId);
        }
        row.rowId = id;
    } else {
        m_store.updateDraw(m_lottery, row.rowId, draw);
    }
    row.cells[0] = draw.period;
    row.saved = row.cells;
    row.pending = false;
    Q_EMIT dataChanged(this->index(r, 0), this->index(r, columnCount() - 1));
}

void DrawEditModel::cancel(int r)
{
    if (!isPending(r))
        return;
    Row &row = m_rows[static_cast<std::size_t>(r)];
    if (row.rowId == 0) {
        // No longer pending before the view hears of the removal: a view that posts the row it
        // leaves must not post the row being dropped.
        row.pending = false;
        beginRemoveRows(QModelIndex(), r, r);
        m_rows.erase(m_rows.begin() + r);
        endRemoveRows();
        return;
    }
    row.cells = row.saved;
    row.pending = false;
    Q_EMIT dataChanged(this->index(r, 0), this->index(r, columnCount() - 1));
}

int DrawEditModel::appendRow()
{
    const int r = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), r, r);
    Row row;
    for (int c = 0; c < columnCount(); ++c)
        row.cells << QString();
    row.saved = row.cells;
    row.pending = true;
    m_rows.push_back(row);
    endInsertRows();
    return r;
}

void DrawEditModel::deleteRow(int r)
{
    if (r < 0 || r >= static_cast<int>(m_rows.size()))
        return;
    Row &row = m_rows[static_cast<std::size_t>(r)];
    if (row.rowId != 0)
        m_store.deleteDraw(m_lottery, row.rowId);
    row.pending = false; // its edits go with it (see cancel)
    beginRemoveRows(QModelIndex(), r, r);
    m_rows.erase(m_rows.begin() + r);
    endRemoveRows();
}

std::vector<StoredDraw> DrawEditModel::postedDraws() const
{
    std::vector<StoredDraw> draws;
    for (const Row &row : m_rows) {
        if (row.rowId == 0)
            continue;
        StoredDraw draw;
        draw.rowId = row.rowId;
        draw.period = row.saved[0];
        const int m = m_definition.m;
        const int back = BackCount(m_definition);
        for (int k = 1; k <= m; ++k)
            draw.numbers.push_back(row.saved[k].toInt());
        for (int k = m + 1; k <= m + back; ++k)
            draw.back.push_back(row.saved[k].toInt());
        draw.date = row.saved[m + back + 1];
        draws.push_back(draw);
    }
    return draws;
}

int DrawEditModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int DrawEditModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant DrawEditModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const Row &row = m_rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return row.cells[index.column()];
    return QVariant();
}

bool DrawEditModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !m_editable)
        return false;
    Row &row = m_rows[static_cast<std::size_t>(index.row())];
    const QString text = value.toString();
    if (row.cells[index.column()] == text)
        return false;
    row.cells[index.column()] = text;
    row.pending = true;
    Q_EMIT dataChanged(index, index);
    return true;
}

Qt::ItemFlags DrawEditModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant DrawEditModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return section < m_headers.size() ? m_headers[section] : QVariant();
    return QVariant();
}

} // namespace lumaro
