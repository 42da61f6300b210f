// Two-zone ticket files: whatever is read holds M + K numbers a row and writes back, through the
// ticket file writer and the result list writer, as lines that read the same tickets again.
#include "fuzz_support.h"

#include "common/errors.h"
#include "tickets/ticket_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <vector>

using namespace lumaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    // First byte: M (1..7) in bits 0-2, K (1..3) in bits 3-4, stop at a blank line (bit 6),
    // collapse repeats (bit 7).
    const int m = 1 + (data[0] & 7) % 7;
    const int k = 1 + ((data[0] >> 3) & 3) % 3;
    const QByteArray content = fuzz::BytesOf(data + 1, size - 1);
    TicketFileOptions options;
    options.stopAtBlankLine = (data[0] & 0x40) != 0;
    options.collapseRepeats = (data[0] & 0x80) != 0;
    options.maxTickets = 5000;
    LoadedTickets loaded;
    try {
        loaded = ParseTwoZoneTicketFile(content, m, k, QStringLiteral("fuzz.txt"), options);
    } catch (const Error &) {
        return 0;
    }
    LUMARO_FUZZ_CHECK(loaded.tickets.width() == m + k || loaded.tickets.isEmpty());
    LUMARO_FUZZ_CHECK(loaded.fileLines >= loaded.tickets.rowCount());
    bool representable = true;
    loaded.tickets.forEach([&](qint64, const int *numbers) {
        for (int i = 0; i < m + k; ++i)
            representable = representable && numbers[i] >= 0 && numbers[i] <= 99;
    });
    if (!representable || loaded.tickets.isEmpty())
        return 0;
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("t.txt"));
    const QString list = dir.filePath(QStringLiteral("l.txt"));
    const TwoZoneRows rows {m, k, {}};
    LUMARO_FUZZ_CHECK(WriteTwoZoneTicketFile(file, loaded.tickets, rows) == loaded.tickets.rowCount());
    LUMARO_FUZZ_CHECK(WriteTwoZoneResultList(list, loaded.tickets, rows) == loaded.tickets.rowCount());
    TicketFileOptions keep;
    keep.collapseRepeats = false;
    const LoadedTickets again = ReadTwoZoneTicketFile(file, m, k, keep);
    // The result list saved the way the total filter saves its list.
    QFile listFile(list);
    LUMARO_FUZZ_CHECK(listFile.open(QIODevice::ReadOnly));
    const QString memo = dir.filePath(QStringLiteral("m.txt"));
    LUMARO_FUZZ_CHECK(WriteTicketFileFromMemo(memo, listFile, true) == loaded.tickets.rowCount());
    const LoadedTickets fromList = ReadTwoZoneTicketFile(memo, m, k, keep);
    LUMARO_FUZZ_CHECK(again.tickets.rowCount() == loaded.tickets.rowCount());
    LUMARO_FUZZ_CHECK(fromList.tickets.rowCount() == loaded.tickets.rowCount());
    std::vector<int> a(static_cast<std::size_t>(m + k)), b(a), c(a);
    for (qint64 r = 0; r < loaded.tickets.rowCount(); ++r) {
        loaded.tickets.numbers(r, a.data());
        again.tickets.numbers(r, b.data());
        fromList.tickets.numbers(r, c.data());
        LUMARO_FUZZ_CHECK(a == b && a == c);
    }
    return 0;
}
