#include "invest/pdf_font.h"

#include "common/errors.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <map>

namespace lumaro {

namespace {

Error Damaged(const QString &what)
{
    return Error(QStringLiteral("字体文件无法使用（%1）。").arg(what));
}

// Big-endian reads with a bounds check on every access.
class Bytes {
public:
    explicit Bytes(const QByteArray &data)
        : m_data(data)
    { }
    qsizetype size() const { return m_data.size(); }
    void need(qsizetype offset, qsizetype length) const
    {
        if (offset < 0 || length < 0 || offset > m_data.size() - length)
            throw Damaged(QStringLiteral("数据越界"));
    }
    quint32 u8(qsizetype offset) const
    {
        need(offset, 1);
        return static_cast<quint8>(m_data[offset]);
    }
    quint32 u16(qsizetype offset) const { return u8(offset) << 8 | u8(offset + 1); }
    qint32 s16(qsizetype offset) const { return static_cast<qint16>(u16(offset)); }
    quint32 u32(qsizetype offset) const { return u16(offset) << 16 | u16(offset + 2); }
    // An unsigned offset of 1 … 4 bytes.
    quint32 offset(qsizetype at, int size) const
    {
        quint32 value = 0;
        for (int i = 0; i < size; ++i)
            value = value << 8 | u8(at + i);
        return value;
    }
    QByteArray mid(qsizetype offset, qsizetype length) const
    {
        need(offset, length);
        return m_data.mid(offset, length);
    }

private:
    const QByteArray &m_data;
};

// ---- CFF structures -------------------------------------------------------------------------

CffProgram::Index ReadIndex(const Bytes &b, qsizetype at)
{
    CffProgram::Index index;
    index.count = static_cast<int>(b.u16(at));
    if (index.count == 0) {
        index.end = at + 2;
        return index;
    }
    index.offSize = static_cast<int>(b.u8(at + 2));
    if (index.offSize < 1 || index.offSize > 4)
        throw Damaged(QStringLiteral("索引的偏移长度不对"));
    index.offsets = at + 3;
    index.base = index.offsets + qsizetype(index.count + 1) * index.offSize - 1;
    const quint32 last = b.offset(index.offsets + qsizetype(index.count) * index.offSize, index.offSize);
    index.end = index.base + last;
    b.need(index.base, last);
    return index;
}

std::pair<qsizetype, qsizetype> IndexItem(const Bytes &b, const CffProgram::Index &index, int i)
{
    if (i < 0 || i >= index.count)
        throw Damaged(QStringLiteral("索引号越界"));
    const quint32 from = b.offset(index.offsets + qsizetype(i) * index.offSize, index.offSize);
    const quint32 to = b.offset(index.offsets + qsizetype(i + 1) * index.offSize, index.offSize);
    if (from < 1 || to < from)
        throw Damaged(QStringLiteral("索引的偏移不对"));
    b.need(index.base + from, to - from);
    return {index.base + from, to - from};
}

// A DICT: each operator (escaped ones as 1200 + second byte) with its operands.
using Dict = std::map<int, std::vector<double>>;

double ReadReal(const Bytes &b, qsizetype &at)
{
    QByteArray text;
    for (;;) {
        const quint32 byte = b.u8(at++);
        for (quint32 nibble : {byte >> 4, byte & 0xf}) {
            if (nibble <= 9)
                text += char('0' + nibble);
            else if (nibble == 0xa)
                text += '.';
            else if (nibble == 0xb)
                text += 'E';
            else if (nibble == 0xc)
                text += "E-";
            else if (nibble == 0xe)
                text += '-';
            else if (nibble == 0xf)
                return text.toDouble();
        }
        if (text.size() > 64)
            throw Damaged(QStringLiteral("实数太长"));
    }
}

Dict ReadDict(const Bytes &b, qsizetype at, qsizetype length)
{
    Dict dict;
    std::vector<double> operands;
    const qsizetype end = at + length;
    b.need(at, length);
    while (at < end) {
        const quint32 b0 = b.u8(at);
        if (b0 <= 21) {
            int op = static_cast<int>(b0);
            ++at;
            if (b0 == 12)
                op = 1200 + static_cast<int>(b.u8(at++));
            dict[op] = operands;
            operands.clear();
        } else if (b0 == 28) {
            operands.push_back(b.s16(at + 1));
            at += 3;
        } else if (b0 == 29) {
            operands.push_back(static_cast<qint32>(b.u32(at + 1)));
            at += 5;
        } else if (b0 == 30) {
            ++at;
            operands.push_back(ReadReal(b, at));
        } else if (b0 >= 32 && b0 <= 246) {
            operands.push_back(int(b0) - 139);
            ++at;
        } else if (b0 >= 247 && b0 <= 250) {
            operands.push_back((int(b0) - 247) * 256 + int(b.u8(at + 1)) + 108);
            at += 2;
        } else if (b0 >= 251 && b0 <= 254) {
            operands.push_back(-(int(b0) - 251) * 256 - int(b.u8(at + 1)) - 108);
            at += 2;
        } else {
            throw Damaged(QStringLiteral("字典里有未知的字节"));
        }
        if (operands.size() > 48)
            throw Damaged(QStringLiteral("字典的操作数太多"));
    }
    return dict;
}

double DictValue(const Dict &dict, int op, std::size_t i = 0)
{
    const auto found = dict.find(op);
    if (found == dict.end() || found->second.size() <= i)
        throw Damaged(QStringLiteral("缺少字典项 %1").arg(op));
    return found->second[i];
}

qsizetype DictOffset(const Dict &dict, int op, std::size_t i = 0)
{
    const double value = DictValue(dict, op, i);
    if (!(value >= 0 && value <= 1e9))
        throw Damaged(QStringLiteral("字典项 %1 的偏移不对").arg(op));
    return static_cast<qsizetype>(value);
}

// ---- Type 2 charstrings ---------------------------------------------------------------------

int SubrBias(int count)
{
    return count < 1240 ? 107 : count < 33900 ? 1131 : 32768;
}

// Runs a charstring and records its outline. Hints are read only to skip the hint masks; the
// width is dropped.
class CharstringRunner {
public:
    CharstringRunner(const Bytes &bytes, const CffProgram::Index &global, const CffProgram::Index &local)
        : m_bytes(bytes)
        , m_global(global)
        , m_local(local)
    { }

    GlyphOutline run(qsizetype at, qsizetype length)
    {
        execute(at, length, 0);
        return std::move(m_outline);
    }

private:
    void push(double value)
    {
        if (m_count >= int(m_stack.size()))
            throw Damaged(QStringLiteral("字形程序的堆栈溢出"));
        m_stack[std::size_t(m_count++)] = value;
    }
    double arg(int i) const { return m_stack[std::size_t(i)]; }
    void need(int n) const
    {
        if (m_count < n)
            throw Damaged(QStringLiteral("字形程序的操作数不够"));
    }
    // The first stack-clearing operator may carry the width first.
    int widthShift(bool hasWidth)
    {
        const bool shift = !m_widthSeen && hasWidth;
        m_widthSeen = true;
        return shift ? 1 : 0;
    }
    void moveTo(double dx, double dy)
    {
        m_x += dx;
        m_y += dy;
        m_outline.push_back({OutlineStep::Move, 0, 0, 0, 0, m_x, m_y});
        m_open = true;
    }
    void lineTo(double dx, double dy)
    {
        if (!m_open)
            throw Damaged(QStringLiteral("字形轮廓没有起点"));
        m_x += dx;
        m_y += dy;
        m_outline.push_back({OutlineStep::Line, 0, 0, 0, 0, m_x, m_y});
    }
    void curveTo(double dx1, double dy1, double dx2, double dy2, double dx3, double dy3)
    {
        if (!m_open)
            throw Damaged(QStringLiteral("字形轮廓没有起点"));
        const double x1 = m_x + dx1;
        const double y1 = m_y + dy1;
        const double x2 = x1 + dx2;
        const double y2 = y1 + dy2;
        m_x = x2 + dx3;
        m_y = y2 + dy3;
        m_outline.push_back({OutlineStep::Curve, x1, y1, x2, y2, m_x, m_y});
    }
    void stems(int from)
    {
        m_stems += (m_count - from) / 2;
        m_count = 0;
    }

    // Returns true at endchar.
    bool execute(qsizetype at, qsizetype length, int depth)
    {
        if (depth > 10)
            throw Damaged(QStringLiteral("子程序嵌套太深"));
        const qsizetype end = at + length;
        while (at < end) {
            if (++m_steps > 1'000'000)
                throw Damaged(QStringLiteral("字形程序太长"));
            const quint32 b0 = m_bytes.u8(at++);
            if (b0 >= 32 && b0 <= 246) {
                push(int(b0) - 139);
                continue;
            }
            if (b0 >= 247 && b0 <= 250) {
                push((int(b0) - 247) * 256 + int(m_bytes.u8(at++)) + 108);
                continue;
            }
            if (b0 >= 251 && b0 <= 254) {
                push(-(int(b0) - 251) * 256 - int(m_bytes.u8(at++)) - 108);
                continue;
            }
            if (b0 == 28) {
                push(m_bytes.s16(at));
                at += 2;
                continue;
            }
            if (b0 == 255) {
                push(static_cast<qint32>(m_bytes.u32(at)) / 65536.0);
                at += 4;
                continue;
            }
            switch (b0) {
            case 1: // hstem
            case 3: // vstem
            case 18: // hstemhm
            case 23: // vstemhm
                stems(widthShift(m_count % 2 == 1));
                break;
            case 19: // hintmask
            case 20: // cntrmask
                // Operands left here are vertical stems.
                stems(widthShift(m_count % 2 == 1));
                at += (m_stems + 7) / 8;
                break;
            case 21: { // rmoveto
                const int s = widthShift(m_count > 2);
                need(s + 2);
                moveTo(arg(s), arg(s + 1));
                m_count = 0;
                break;
            }
            case 22: { // hmoveto
                const int s = widthShift(m_count > 1);
                need(s + 1);
                moveTo(arg(s), 0);
                m_count = 0;
                break;
            }
            case 4: { // vmoveto
                const int s = widthShift(m_count > 1);
                need(s + 1);
                moveTo(0, arg(s));
                m_count = 0;
                break;
            }
            case 5: // rlineto
                for (int i = 0; i + 1 < m_count; i += 2)
                    lineTo(arg(i), arg(i + 1));
                m_count = 0;
                break;
            case 6: // hlineto
            case 7: { // vlineto
                bool horizontal = b0 == 6;
                for (int i = 0; i < m_count; ++i, horizontal = !horizontal)
                    horizontal ? lineTo(arg(i), 0) : lineTo(0, arg(i));
                m_count = 0;
                break;
            }
            case 8: // rrcurveto
                for (int i = 0; i + 5 < m_count; i += 6)
                    curveTo(arg(i), arg(i + 1), arg(i + 2), arg(i + 3), arg(i + 4), arg(i + 5));
                m_count = 0;
                break;
            case 24: { // rcurveline
                int i = 0;
                for (; m_count - i >= 8; i += 6)
                    curveTo(arg(i), arg(i + 1), arg(i + 2), arg(i + 3), arg(i + 4), arg(i + 5));
                if (m_count - i >= 2)
                    lineTo(arg(i), arg(i + 1));
                m_count = 0;
                break;
            }
            case 25: { // rlinecurve
                int i = 0;
                for (; m_count - i >= 8; i += 2)
                    lineTo(arg(i), arg(i + 1));
                if (m_count - i >= 6)
                    curveTo(arg(i), arg(i + 1), arg(i + 2), arg(i + 3), arg(i + 4), arg(i + 5));
                m_count = 0;
                break;
            }
            case 26: { // vvcurveto
                int i = 0;
                double dx1 = 0;
                if (m_count % 2 == 1)
                    dx1 = arg(i++);
                for (; i + 3 < m_count; i += 4, dx1 = 0)
                    curveTo(dx1, arg(i), arg(i + 1), arg(i + 2), 0, arg(i + 3));
                m_count = 0;
                break;
            }
            case 27: { // hhcurveto
                int i = 0;
                double dy1 = 0;
                if (m_count % 2 == 1)
                    dy1 = arg(i++);
                for (; i + 3 < m_count; i += 4, dy1 = 0)
                    curveTo(arg(i), dy1, arg(i + 1), arg(i + 2), arg(i + 3), 0);
                m_count = 0;
                break;
            }
            case 30: // vhcurveto
            case 31: { // hvcurveto
                bool horizontal = b0 == 31;
                for (int i = 0; i + 3 < m_count; i += 4, horizontal = !horizontal) {
                    const double last = m_count - i == 5 ? arg(i + 4) : 0;
                    if (horizontal)
                        curveTo(arg(i), 0, arg(i + 1), arg(i + 2), last, arg(i + 3));
                    else
                        curveTo(0, arg(i), arg(i + 1), arg(i + 2), arg(i + 3), last);
                }
                m_count = 0;
                break;
            }
            case 10: // callsubr
            case 29: { // callgsubr
                need(1);
                const CffProgram::Index &subrs = b0 == 10 ? m_local : m_global;
                const double operand = arg(--m_count);
                if (!(std::abs(operand) <= 65536))
                    throw Damaged(QStringLiteral("子程序号越界"));
                const int number = static_cast<int>(operand) + SubrBias(subrs.count);
                const auto [from, size] = IndexItem(m_bytes, subrs, number);
                if (execute(from, size, depth + 1))
                    return true;
                break;
            }
            case 11: // return
                return false;
            case 14: // endchar
                widthShift(m_count == 1 || m_count == 5);
                m_count = 0;
                return true;
            case 12:
                escape(m_bytes.u8(at++));
                break;
            default:
                throw Damaged(QStringLiteral("未知的字形操作 %1").arg(b0));
            }
        }
        return false;
    }

    void escape(quint32 op)
    {
        switch (op) {
        case 35: // flex
            need(13);
            curveTo(arg(0), arg(1), arg(2), arg(3), arg(4), arg(5));
            curveTo(arg(6), arg(7), arg(8), arg(9), arg(10), arg(11));
            break;
        case 34: // hflex
            need(7);
            curveTo(arg(0), 0, arg(1), arg(2), arg(3), 0);
            curveTo(arg(4), 0, arg(5), -arg(2), arg(6), 0);
            break;
        case 36: // hflex1
            need(9);
            curveTo(arg(0), arg(1), arg(2), arg(3), arg(4), 0);
            curveTo(arg(5), 0, arg(6), arg(7), arg(8), -(arg(1) + arg(3) + arg(7)));
            break;
        case 37: { // flex1
            need(11);
            double dx = 0;
            double dy = 0;
            for (int i = 0; i < 10; i += 2) {
                dx += arg(i);
                dy += arg(i + 1);
            }
            curveTo(arg(0), arg(1), arg(2), arg(3), arg(4), arg(5));
            if (std::abs(dx) > std::abs(dy))
                curveTo(arg(6), arg(7), arg(8), arg(9), arg(10), -dy);
            else
                curveTo(arg(6), arg(7), arg(8), arg(9), -dx, arg(10));
            break;
        }
        case 9: // abs
            need(1);
            m_stack[std::size_t(m_count - 1)] = std::abs(arg(m_count - 1));
            return;
        case 10: // add
        case 11: // sub
        case 12: // div
        case 24: { // mul
            need(2);
            const double a = arg(m_count - 2);
            const double b = arg(m_count - 1);
            double r = a + b;
            if (op == 11)
                r = a - b;
            else if (op == 12)
                r = b == 0 ? 0 : a / b;
            else if (op == 24)
                r = a * b;
            m_stack[std::size_t(m_count - 2)] = r;
            --m_count;
            return;
        }
        case 14: // neg
            need(1);
            m_stack[std::size_t(m_count - 1)] = -arg(m_count - 1);
            return;
        case 18: // drop
            need(1);
            --m_count;
            return;
        case 27: // dup
            need(1);
            push(arg(m_count - 1));
            return;
        case 28: // exch
            need(2);
            std::swap(m_stack[std::size_t(m_count - 1)], m_stack[std::size_t(m_count - 2)]);
            return;
        default:
            throw Damaged(QStringLiteral("未知的字形操作 12 %1").arg(op));
        }
        m_count = 0;
    }

    const Bytes &m_bytes;
    const CffProgram::Index &m_global;
    const CffProgram::Index &m_local;
    std::array<double, 48> m_stack {};
    int m_count = 0;
    int m_stems = 0;
    bool m_widthSeen = false;
    bool m_open = false;
    qint64 m_steps = 0;
    double m_x = 0;
    double m_y = 0;
    GlyphOutline m_outline;
};

// ---- CFF writing ----------------------------------------------------------------------------

void PutU16(QByteArray &out, quint32 value)
{
    out += char(value >> 8 & 0xff);
    out += char(value & 0xff);
}

void PutU32(QByteArray &out, quint32 value)
{
    PutU16(out, value >> 16);
    PutU16(out, value & 0xffff);
}

// A value on the grid a charstring number can hold (16.16 fixed); an Error beyond its range.
double CharstringValue(double value)
{
    if (!(std::abs(value) <= 32767))
        throw Damaged(QStringLiteral("字形坐标超出范围"));
    return std::round(value * 65536.0) / 65536.0;
}

// A charstring number (a charstringValue): the short integer forms where they fit, else 16.16
// fixed.
void PutCharstringNumber(QByteArray &out, double value)
{
    const double rounded = std::round(value);
    if (rounded == value && std::abs(value) <= 32767) {
        const int v = static_cast<int>(rounded);
        if (v >= -107 && v <= 107) {
            out += char(v + 139);
        } else if (v >= 108 && v <= 1131) {
            out += char((v - 108) / 256 + 247);
            out += char((v - 108) % 256);
        } else if (v >= -1131 && v <= -108) {
            out += char((-v - 108) / 256 + 251);
            out += char((-v - 108) % 256);
        } else {
            out += char(28);
            PutU16(out, static_cast<quint32>(v) & 0xffff);
        }
        return;
    }
    out += char(255);
    PutU32(out, static_cast<quint32>(static_cast<qint32>(std::lround(value * 65536.0))));
}

// A DICT integer in its five-byte form, so that offsets can be filled in without changing sizes.
void PutDictInt(QByteArray &out, qint32 value)
{
    out += char(29);
    PutU32(out, static_cast<quint32>(value));
}

void PutDictReal(QByteArray &out, double value)
{
    QByteArray text = QByteArray::number(value, 'g', 10).toUpper();
    QByteArray nibbles;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            nibbles += char(c - '0');
        else if (c == '.')
            nibbles += char(0xa);
        else if (c == '-')
            nibbles += char(0xe);
        else if (c == 'E' && i + 1 < text.size() && text[i + 1] == '-') {
            nibbles += char(0xc);
            ++i;
        } else if (c == 'E') {
            nibbles += char(0xb);
            if (i + 1 < text.size() && text[i + 1] == '+')
                ++i;
        }
    }
    nibbles += char(0xf);
    if (nibbles.size() % 2 == 1)
        nibbles += char(0xf);
    out += char(30);
    for (qsizetype i = 0; i < nibbles.size(); i += 2)
        out += char(nibbles[i] << 4 | nibbles[i + 1]);
}

void PutOp(QByteArray &out, int op)
{
    if (op >= 1200) {
        out += char(12);
        out += char(op - 1200);
    } else {
        out += char(op);
    }
}

QByteArray IndexOf(const std::vector<QByteArray> &items)
{
    QByteArray out;
    PutU16(out, static_cast<quint32>(items.size()));
    if (items.empty())
        return out;
    qsizetype total = 1;
    for (const QByteArray &item : items)
        total += item.size();
    const int offSize = total < 0x100 ? 1 : total < 0x10000 ? 2 : total < 0x1000000 ? 3 : 4;
    out += char(offSize);
    qsizetype offset = 1;
    auto put = [&](qsizetype value) {
        for (int i = offSize - 1; i >= 0; --i)
            out += char(value >> (8 * i) & 0xff);
    };
    put(offset);
    for (const QByteArray &item : items) {
        offset += item.size();
        put(offset);
    }
    for (const QByteArray &item : items)
        out += item;
    return out;
}

QByteArray CharstringOf(const GlyphOutline &outline)
{
    QByteArray out;
    // The point a reader reaches with the deltas written so far: each delta leads from it, so
    // that no rounding adds up along a contour (outlines on the 16.16 grid stay exact).
    double x = 0;
    double y = 0;
    auto delta = [&](double tx, double ty) {
        const double dx = CharstringValue(tx - x);
        const double dy = CharstringValue(ty - y);
        PutCharstringNumber(out, dx);
        PutCharstringNumber(out, dy);
        x += dx;
        y += dy;
    };
    for (const OutlineStep &step : outline) {
        switch (step.kind) {
        case OutlineStep::Move:
            delta(step.x3, step.y3);
            out += char(21);
            break;
        case OutlineStep::Line:
            delta(step.x3, step.y3);
            out += char(5);
            break;
        case OutlineStep::Curve:
            delta(step.x1, step.y1);
            delta(step.x2, step.y2);
            delta(step.x3, step.y3);
            out += char(8);
            break;
        }
    }
    out += char(14);
    return out;
}

// ---- sfnt tables ----------------------------------------------------------------------------

struct TableRecord {
    qsizetype offset = 0;
    qsizetype length = 0;
};

std::map<QByteArray, TableRecord> TablesOf(const Bytes &b, qsizetype at)
{
    std::map<QByteArray, TableRecord> tables;
    const quint32 count = b.u16(at + 4);
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype record = at + 12 + 16 * qsizetype(i);
        const QByteArray tag = b.mid(record, 4);
        const TableRecord table {qsizetype(b.u32(record + 8)), qsizetype(b.u32(record + 12))};
        b.need(table.offset, table.length);
        tables[tag] = table;
    }
    return tables;
}

QString PostScriptNameOf(const Bytes &b, const TableRecord &name)
{
    const qsizetype at = name.offset;
    const quint32 count = b.u16(at + 2);
    const qsizetype strings = at + b.u16(at + 4);
    QString mac;
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype record = at + 6 + 12 * qsizetype(i);
        if (b.u16(record + 6) != 6)
            continue;
        const quint32 platform = b.u16(record);
        const QByteArray text = b.mid(strings + b.u16(record + 10), b.u16(record + 8));
        if (platform == 3 || platform == 0) {
            QString name;
            for (qsizetype j = 0; j + 1 < text.size(); j += 2)
                name += QChar(static_cast<char16_t>(quint8(text[j]) << 8 | quint8(text[j + 1])));
            return name;
        }
        if (platform == 1)
            mac = QString::fromLatin1(text);
    }
    return mac;
}

} // namespace

// ---- CffProgram -----------------------------------------------------------------------------

CffProgram::CffProgram(QByteArray data)
    : m_data(std::move(data))
{
    const Bytes b(m_data);
    const qsizetype headerSize = b.u8(2);
    const Index names = ReadIndex(b, headerSize);
    const Index topDicts = ReadIndex(b, names.end);
    const Index strings = ReadIndex(b, topDicts.end);
    m_globalSubrs = ReadIndex(b, strings.end);
    const auto [topAt, topSize] = IndexItem(b, topDicts, 0);
    const Dict top = ReadDict(b, topAt, topSize);
    if (top.count(1206) && DictValue(top, 1206) != 2)
        throw Damaged(QStringLiteral("不是第 2 类字形程序"));
    m_charStrings = ReadIndex(b, DictOffset(top, 17));

    auto localSubrsOf = [&](const Dict &dict) {
        if (!dict.count(18))
            return Index {};
        const qsizetype size = DictOffset(dict, 18, 0);
        const qsizetype at = DictOffset(dict, 18, 1);
        const Dict priv = ReadDict(b, at, size);
        if (!priv.count(19))
            return Index {};
        return ReadIndex(b, at + DictOffset(priv, 19));
    };
    if (top.count(1236)) {
        // CID-keyed: a font dictionary per glyph group, chosen by the FDSelect table.
        const Index fonts = ReadIndex(b, DictOffset(top, 1236));
        for (int i = 0; i < fonts.count; ++i) {
            const auto [at, size] = IndexItem(b, fonts, i);
            m_localSubrs.push_back(localSubrsOf(ReadDict(b, at, size)));
        }
        const qsizetype select = DictOffset(top, 1237);
        const int glyphs = m_charStrings.count;
        m_fdOfGlyph.assign(std::size_t(glyphs), 0);
        const quint32 format = b.u8(select);
        if (format == 0) {
            for (int g = 0; g < glyphs; ++g)
                m_fdOfGlyph[std::size_t(g)] = static_cast<std::uint8_t>(b.u8(select + 1 + g));
        } else if (format == 3) {
            const quint32 ranges = b.u16(select + 1);
            for (quint32 r = 0; r < ranges; ++r) {
                const qsizetype at = select + 3 + 3 * qsizetype(r);
                const quint32 first = b.u16(at);
                const quint32 fd = b.u8(at + 2);
                const quint32 next = b.u16(at + 3);
                for (quint32 g = first; g < next && g < quint32(glyphs); ++g)
                    m_fdOfGlyph[g] = static_cast<std::uint8_t>(fd);
            }
        } else {
            throw Damaged(QStringLiteral("未知的 FDSelect 格式"));
        }
        for (std::uint8_t fd : m_fdOfGlyph) {
            if (fd >= m_localSubrs.size())
                throw Damaged(QStringLiteral("字形的字典号越界"));
        }
    } else {
        m_localSubrs.push_back(localSubrsOf(top));
    }
}

GlyphOutline CffProgram::outline(int glyph) const
{
    const Bytes b(m_data);
    const auto [at, size] = IndexItem(b, m_charStrings, glyph);
    const std::size_t fd = m_fdOfGlyph.empty() ? 0 : m_fdOfGlyph[std::size_t(glyph)];
    if (fd >= m_localSubrs.size())
        throw Damaged(QStringLiteral("字形的字典号越界"));
    CharstringRunner runner(b, m_globalSubrs, m_localSubrs[fd]);
    return runner.run(at, size);
}

QByteArray CffProgram::subset(const std::vector<int> &glyphs, const QByteArray &name, int unitsPerEm) const
{
    std::vector<GlyphOutline> outlines {outline(0)};
    for (int glyph : glyphs)
        outlines.push_back(outline(glyph));
    return FromOutlines(outlines, name, unitsPerEm);
}

QByteArray CffProgram::FromOutlines(const std::vector<GlyphOutline> &outlines, const QByteArray &name, int unitsPerEm)
{
    if (outlines.empty() || outlines.size() > 65535 || unitsPerEm < 16 || unitsPerEm > 16384)
        throw Error(QStringLiteral("字形程序只能有 1 到 65535 个字形，每 em 16 到 16384 个单位。"));
    std::vector<QByteArray> charStrings;
    for (const GlyphOutline &outline : outlines)
        charStrings.push_back(CharstringOf(outline));
    const int count = static_cast<int>(charStrings.size());

    QByteArray charset(1, '\0'); // format 0: CID i for glyph i
    for (int g = 1; g < count; ++g)
        PutU16(charset, static_cast<quint32>(g));
    QByteArray fdSelect(1, '\3'); // format 3: one range, every glyph in dictionary 0
    PutU16(fdSelect, 1);
    PutU16(fdSelect, 0);
    fdSelect += '\0';
    PutU16(fdSelect, static_cast<quint32>(count));
    const QByteArray charStringIndex = IndexOf(charStrings);
    QByteArray priv;
    PutDictInt(priv, 0);
    PutOp(priv, 20); // defaultWidthX: the widths are the PDF's
    const QByteArray strings = IndexOf({QByteArrayLiteral("Adobe"), QByteArrayLiteral("Identity")});
    const QByteArray globalSubrs = IndexOf({});
    const QByteArray names = IndexOf({name.left(63)});

    auto topDict = [&](qint32 charsetAt, qint32 fdSelectAt, qint32 charStringsAt, qint32 fdArrayAt) {
        QByteArray dict;
        PutDictInt(dict, 391);
        PutDictInt(dict, 392);
        PutDictInt(dict, 0);
        PutOp(dict, 1230); // ROS
        if (unitsPerEm != 1000) {
            for (double v : {1.0 / unitsPerEm, 0.0, 0.0, 1.0 / unitsPerEm, 0.0, 0.0})
                PutDictReal(dict, v);
            PutOp(dict, 1207); // FontMatrix
        }
        PutDictInt(dict, count);
        PutOp(dict, 1234); // CIDCount
        PutDictInt(dict, charsetAt);
        PutOp(dict, 15);
        PutDictInt(dict, fdSelectAt);
        PutOp(dict, 1237);
        PutDictInt(dict, charStringsAt);
        PutOp(dict, 17);
        PutDictInt(dict, fdArrayAt);
        PutOp(dict, 1236);
        return dict;
    };
    auto fontDict = [&](qint32 privateAt) {
        QByteArray dict;
        PutDictInt(dict, static_cast<qint32>(priv.size()));
        PutDictInt(dict, privateAt);
        PutOp(dict, 18);
        return dict;
    };

    const QByteArray header("\x01\x00\x04\x04", 4);
    const qsizetype topSize = IndexOf({topDict(0, 0, 0, 0)}).size();
    const qsizetype charsetAt = header.size() + names.size() + topSize + strings.size() + globalSubrs.size();
    const qsizetype fdSelectAt = charsetAt + charset.size();
    const qsizetype charStringsAt = fdSelectAt + fdSelect.size();
    const qsizetype fdArrayAt = charStringsAt + charStringIndex.size();
    const qsizetype fdArraySize = IndexOf({fontDict(0)}).size();
    const qsizetype privateAt = fdArrayAt + fdArraySize;

    QByteArray out = header + names;
    out += IndexOf({topDict(qint32(charsetAt), qint32(fdSelectAt), qint32(charStringsAt), qint32(fdArrayAt))});
    out += strings + globalSubrs + charset + fdSelect + charStringIndex;
    out += IndexOf({fontDict(qint32(privateAt))});
    out += priv;
    return out;
}

// ---- CjkFont --------------------------------------------------------------------------------

CjkFont::CjkFont(const QString &path, const QString &preferredFace)
    : m_path(path)
    , m_file(std::make_unique<QFile>(path))
{
    if (!m_file->open(QIODevice::ReadOnly))
        throw IoError::cannotRead(path, m_file->errorString());
    if (uchar *mapped = m_file->map(0, m_file->size()))
        m_data = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), m_file->size());
    else
        m_data = m_file->readAll();
    const Bytes b(m_data);

    std::vector<qsizetype> faces;
    if (b.mid(0, 4) == "ttcf") {
        const quint32 count = b.u32(8);
        if (count > 1000)
            throw Damaged(QStringLiteral("字体集里的字体太多"));
        for (quint32 i = 0; i < count; ++i)
            faces.push_back(b.u32(12 + 4 * qsizetype(i)));
    } else {
        faces.push_back(0);
    }
    std::map<QByteArray, TableRecord> tables;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        std::map<QByteArray, TableRecord> face = TablesOf(b, faces[i]);
        const QString name = face.count("name") ? PostScriptNameOf(b, face["name"]) : QString();
        const bool preferred = name.contains(preferredFace);
        if (i == 0 || preferred) {
            tables = std::move(face);
            m_postScriptName = name;
        }
        if (preferred)
            break;
    }
    for (const char *tag : {"CFF ", "cmap", "head", "hhea", "hmtx"}) {
        if (!tables.count(tag))
            throw Damaged(QStringLiteral("没有 %1 表").arg(QString::fromLatin1(tag).trimmed()));
    }
    if (m_postScriptName.isEmpty())
        m_postScriptName = QFileInfo(path).completeBaseName();
    // A PostScript name is printable ASCII without delimiters.
    m_postScriptName.remove(QRegularExpression(QStringLiteral("[^!-~]|[()<>\\[\\]{}/%]")));

    const TableRecord head = tables["head"];
    m_unitsPerEm = static_cast<int>(b.u16(head.offset + 18));
    if (m_unitsPerEm < 16 || m_unitsPerEm > 16384)
        throw Damaged(QStringLiteral("每 em 单位数不对"));
    m_bbox = {b.s16(head.offset + 36), b.s16(head.offset + 38), b.s16(head.offset + 40), b.s16(head.offset + 42)};
    const TableRecord hhea = tables["hhea"];
    m_ascender = b.s16(hhea.offset + 4);
    m_descender = b.s16(hhea.offset + 6);
    m_longMetrics = static_cast<int>(b.u16(hhea.offset + 34));
    const TableRecord hmtx = tables["hmtx"];
    m_hmtx = m_data.mid(hmtx.offset, hmtx.length);
    if (m_longMetrics < 1 || qsizetype(m_longMetrics) * 4 > m_hmtx.size())
        throw Damaged(QStringLiteral("hmtx 表太短"));

    // The Unicode subtable: format 12 (all planes) before format 4 (the basic plane).
    const TableRecord cmap = tables["cmap"];
    const quint32 subtables = b.u16(cmap.offset + 2);
    qsizetype best = -1;
    int bestRank = 0;
    for (quint32 i = 0; i < subtables; ++i) {
        const qsizetype record = cmap.offset + 4 + 8 * qsizetype(i);
        const quint32 platform = b.u16(record);
        const quint32 encoding = b.u16(record + 2);
        const qsizetype at = cmap.offset + b.u32(record + 4);
        if (!(platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10))))
            continue;
        const quint32 format = b.u16(at);
        const int rank = format == 12 ? 2 : format == 4 ? 1 : 0;
        if (rank > bestRank) {
            best = at;
            bestRank = rank;
        }
    }
    if (best < 0)
        throw Damaged(QStringLiteral("没有 Unicode 字符表"));
    const qsizetype length = bestRank == 2 ? qsizetype(b.u32(best + 4)) : qsizetype(b.u16(best + 2));
    m_cmap = b.mid(best, length);

    const TableRecord cff = tables["CFF "];
    m_cff = CffProgram(QByteArray::fromRawData(m_data.constData() + cff.offset, cff.length));
}

CjkFont::~CjkFont() = default;

int CjkFont::glyph(char32_t c) const
{
    const Bytes b(m_cmap);
    if (b.u16(0) == 12) {
        const quint32 groups = b.u32(12);
        qint64 lo = 0;
        qint64 hi = qint64(groups) - 1;
        while (lo <= hi) {
            const qint64 mid = (lo + hi) / 2;
            const qsizetype at = 16 + 12 * mid;
            const quint32 start = b.u32(at);
            const quint32 end = b.u32(at + 4);
            if (c < start)
                hi = mid - 1;
            else if (c > end)
                lo = mid + 1;
            else
                return static_cast<int>(b.u32(at + 8) + (c - start));
        }
        return 0;
    }
    if (c > 0xffff)
        return 0;
    const quint32 segments = b.u16(6) / 2;
    const qsizetype ends = 14;
    const qsizetype starts = ends + 2 * segments + 2;
    const qsizetype deltas = starts + 2 * segments;
    const qsizetype rangeOffsets = deltas + 2 * segments;
    for (quint32 i = 0; i < segments; ++i) {
        if (c > b.u16(ends + 2 * i))
            continue;
        const quint32 start = b.u16(starts + 2 * i);
        if (c < start)
            return 0;
        const quint32 delta = b.u16(deltas + 2 * i);
        const quint32 rangeOffset = b.u16(rangeOffsets + 2 * i);
        if (rangeOffset == 0)
            return static_cast<int>((c + delta) & 0xffff);
        const quint32 g = b.u16(rangeOffsets + 2 * i + rangeOffset + 2 * (c - start));
        return g == 0 ? 0 : static_cast<int>((g + delta) & 0xffff);
    }
    return 0;
}

int CjkFont::advance(int glyph) const
{
    const Bytes b(m_hmtx);
    const int i = std::clamp(glyph, 0, m_longMetrics - 1);
    return static_cast<int>(b.u16(4 * qsizetype(i)));
}

QString FindCjkFontFile(bool bold, const QString &extraFolder)
{
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::FontsLocation);
    folders << QStringLiteral("/usr/share/fonts") << QStringLiteral("/usr/local/share/fonts");
    if (!extraFolder.isEmpty())
        folders.prepend(extraFolder);
    folders.removeDuplicates();
    std::map<QString, QString> found; // file name → path, the first folder winning
    for (const QString &folder : folders) {
        QDirIterator it(folder, {QStringLiteral("Noto*CJK*")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            found.emplace(it.fileName(), it.filePath());
        }
    }
    QStringList wanted;
    const QStringList weights = bold ? QStringList {QStringLiteral("Bold"), QStringLiteral("Regular")}
                                     : QStringList {QStringLiteral("Regular")};
    for (const QString &weight : weights) {
        for (const QString &family : {QStringLiteral("Serif"), QStringLiteral("Sans")}) {
            wanted << QStringLiteral("Noto%1CJK-%2.ttc").arg(family, weight)
                   << QStringLiteral("Noto%1CJKsc-%2.otf").arg(family, weight)
                   << QStringLiteral("Noto%1CJKSC-%2.otf").arg(family, weight);
        }
    }
    for (const QString &name : wanted) {
        const auto it = found.find(name);
        if (it != found.end())
            return it->second;
    }
    return QString();
}

} // namespace lumaro
