// Saved filter sets: a text either is refused with an InputError or reads as conditions that
// pass CheckConditions, whose written text reads back as the same set and is written alike.
#include "fuzz_support.h"

#include "common/errors.h"
#include "tickets/filter_set.h"

using namespace lumaro;

namespace {

struct Shape {
    int n;
    int m;
};

// The first byte chooses the lottery the set is read for.
constexpr Shape kShapes[] = {{11, 5}, {36, 7}, {33, 6}, {80, 5}, {10, 3}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    const Shape shape = kShapes[data[0] % (sizeof(kShapes) / sizeof(kShapes[0]))];
    const QByteArray content = fuzz::BytesOf(data + 1, size - 1);
    FilterSet set;
    try {
        set = ParseFilterSet(content, shape.n, shape.m);
    } catch (const InputError &error) {
        LUMARO_FUZZ_CHECK(!error.message().isEmpty());
        return 0;
    }
    LUMARO_FUZZ_CHECK(CheckConditions(set.conditions, shape.n, shape.m).isEmpty());
    LUMARO_FUZZ_CHECK(!(set.variant && set.conditions.chooser));
    const QByteArray written = FilterSetText(set);
    const FilterSet again = ParseFilterSet(written, shape.n, shape.m);
    LUMARO_FUZZ_CHECK(again == set);
    LUMARO_FUZZ_CHECK(FilterSetText(again) == written);
    return 0;
}
