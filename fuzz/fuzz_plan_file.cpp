// The plan files of the fixed, staged and variable plans: what was read, written back with
// PlanFileText, reads as the same fields and rows, complete and with nothing left over.
#include "fuzz_support.h"

#include "common/errors.h"
#include "invest/plan_file.h"

using namespace lumaro;

namespace {

struct PlanShape {
    int fields;
    int columns;
};

// The shapes the three plan windows read: fields, then rows of columns values; the fifth
// field (投注期数) limits the rows.
constexpr PlanShape kShapes[] = {{5, 7}, {6, 7}, {6, 8}};
constexpr int kLimitField = 4;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    const PlanShape shape = kShapes[data[0] % 3];
    const QByteArray content = fuzz::BytesOf(data + 1, size - 1);
    PlanFileContent read;
    try {
        read = ParsePlanFile(content, shape.fields, shape.columns, kLimitField);
    } catch (const ConversionError &) {
        return 0; // the row limit is no whole number: nothing was read
    }
    LUMARO_FUZZ_CHECK(read.fields.size() == shape.fields);
    LUMARO_FUZZ_CHECK(read.rows.size() == read.rowTexts.size());
    for (std::size_t r = 0; r < read.rows.size(); ++r) {
        LUMARO_FUZZ_CHECK(read.rows[r].size() == static_cast<std::size_t>(shape.columns));
        LUMARO_FUZZ_CHECK(read.rowTexts[r].size() == shape.columns);
    }
    LUMARO_FUZZ_CHECK(read.extraRows >= 0);
    LUMARO_FUZZ_CHECK(static_cast<qint64>(read.rows.size()) * shape.columns + shape.fields
        <= std::max<qint64>(shape.fields, content.count('\n') + 1));

    const QByteArray written = PlanFileText(read.fields, read.rowTexts);
    const PlanFileContent again = ParsePlanFile(written, shape.fields, shape.columns, kLimitField);
    // Blank last lines of a file are not read, so a blank box text at the end of a plan without
    // rows comes back empty.
    LUMARO_FUZZ_CHECK(again.fields.size() == read.fields.size());
    for (qsizetype i = 0; i < read.fields.size(); ++i)
        LUMARO_FUZZ_CHECK(again.fields[i] == read.fields[i]
            || (read.rows.empty() && read.fields[i].trimmed().isEmpty() && again.fields[i].isEmpty()));
    LUMARO_FUZZ_CHECK(again.rows == read.rows);
    LUMARO_FUZZ_CHECK(again.rowTexts == read.rowTexts);
    LUMARO_FUZZ_CHECK(!again.failed);
    LUMARO_FUZZ_CHECK(again.extraRows == 0);
    return 0;
}
