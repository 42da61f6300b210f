// Wheeling-matrix files: an accepted file holds tickets of exactly t distinct positions 1..b,
// what is written back reads as the same tickets, and a refused file raises an InputError
// naming the file and line (any other exception ends the run as a crash).
#include "fuzz_support.h"

#include "common/errors.h"
#include "tickets/wheel_design.h"
#include "tickets/wheel_matrix.h"

#include <algorithm>
#include <bit>
#include <vector>

using namespace lumaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    // First byte: bits 0-4 the base positions b (1..21), bits 5-7 the ticket size t (1..8, at
    // most b), as the wheel window and the command line hand them over.
    WheelParams p;
    p.b = 1 + (data[0] & 31) % kWheelMaxBase;
    p.t = std::min(p.b, 1 + (data[0] >> 5));
    p.c = p.t;
    p.k = p.t;
    const QByteArray content = fuzz::BytesOf(data + 1, size - 1);
    std::vector<WheelMask> tickets;
    try {
        tickets = ParseWheelMatrix(content, p, QStringLiteral("选三型10码中3保3.txt"));
    } catch (const InputError &error) {
        LUMARO_FUZZ_CHECK(error.message().startsWith(QStringLiteral("矩阵文件“选三型10码中3保3.txt”第 ")));
        return 0;
    }
    LUMARO_FUZZ_CHECK(static_cast<qint64>(tickets.size()) <= content.count('\n') + 1);
    const WheelMask inRange = p.b >= 32 ? ~WheelMask(0) : (WheelMask(1) << p.b) - 1;
    for (WheelMask t : tickets) {
        LUMARO_FUZZ_CHECK(std::popcount(t) == p.t);
        LUMARO_FUZZ_CHECK((t & ~inRange) == 0);
    }
    const QByteArray written = WheelMatrixText(tickets);
    const std::vector<WheelMask> again = ParseWheelMatrix(written, p, QStringLiteral("again.txt"));
    LUMARO_FUZZ_CHECK(again == tickets);
    return 0;
}
