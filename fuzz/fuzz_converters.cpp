// The whole-number converter: accepts exactly what reads back to the same number.
#include "fuzz_support.h"

#include "common/errors.h"
#include "common/text_format.h"

using namespace lumaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    const QString text = QString::fromUtf8(fuzz::bytes(data, size));
    int value = 0;
    try {
        value = toInteger(text);
    } catch (const ConversionError &error) {
        LUMARO_FUZZ_CHECK(error.message().endsWith(QStringLiteral("不是一个有效的整形值")));
        return 0;
    }
    LUMARO_FUZZ_CHECK(toInteger(QString::number(value)) == value);
    LUMARO_FUZZ_CHECK(toInteger(pad2(value)) == value);
    return 0;
}
