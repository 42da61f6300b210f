// Ticket files: whatever is read writes back as ticket lines that read the same tickets again.
#include "fuzz_support.h"

#include "common/errors.h"
#include "tickets/ticket_file.h"

#include <vector>

using namespace lumaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    const int m = 1 + data[0] % 7;
    const QByteArray content = fuzz::BytesOf(data + 1, size - 1);
    TicketFileOptions options;
    options.stopAtBlankLine = (data[0] & 0x40) != 0;
    options.collapseRepeats = (data[0] & 0x80) != 0;
    options.maxTickets = 5000;
    LoadedTickets loaded;
    try {
        loaded = ParseTicketFile(content, m, QStringLiteral("fuzz.txt"), options);
    } catch (const Error &) {
        return 0;
    }
    LUMARO_FUZZ_CHECK(loaded.tickets.width() == m || loaded.tickets.isEmpty());
    LUMARO_FUZZ_CHECK(loaded.fileLines >= loaded.tickets.rowCount());
    // Write every ticket back as a line and read it again: the same tickets in the same order.
    QByteArray written;
    std::vector<int> first;
    bool representable = true;
    loaded.tickets.forEach([&](qint64, const int *numbers) {
        for (int k = 0; k < m; ++k)
            representable = representable && numbers[k] >= 0 && numbers[k] <= 99;
        written += TicketLine(numbers, m) + "\r\n";
    });
    if (!representable)
        return 0;
    TicketFileOptions keep;
    keep.collapseRepeats = false;
    const LoadedTickets again = ParseTicketFile(written, m, QStringLiteral("again.txt"), keep);
    LUMARO_FUZZ_CHECK(again.tickets.rowCount() == loaded.tickets.rowCount());
    std::vector<int> a(static_cast<std::size_t>(m)), b(static_cast<std::size_t>(m));
    for (qint64 r = 0; r < again.tickets.rowCount(); ++r) {
        loaded.tickets.numbers(r, a.data());
        again.tickets.numbers(r, b.data());
        LUMARO_FUZZ_CHECK(a == b);
    }
    // A result-list line carries the same numbers after its serial.
    if (loaded.tickets.rowCount() > 0) {
        loaded.tickets.numbers(0, a.data());
        const QByteArray line = ResultListLine(1, a.data(), m);
        LUMARO_FUZZ_CHECK(line.startsWith("0000001    "));
        LUMARO_FUZZ_CHECK(
            TicketFileFromMemo({QString::fromUtf8(line.chopped(2))}, true) == TicketLine(a.data(), m) + "\r\n");
    }
    return 0;
}
