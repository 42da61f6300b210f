// The converters of typed and downloaded texts: the whole-number converter accepts exactly what
// reads back to the same number; the money converter likewise in 64 bits; a page's whole number
// and date read back as themselves once written in the program's own form.
#include "fuzz_support.h"

#include "common/errors.h"
#include "common/text_format.h"
#include "download/draw_scrapers.h"
#include "invest/money.h"

using namespace lumaro;

namespace {

void CheckInteger(const QString &text)
{
    int value = 0;
    try {
        value = ToInteger(text);
    } catch (const ConversionError &error) {
        LUMARO_FUZZ_CHECK(error.message().endsWith(QStringLiteral("不是一个有效的整形值")));
        return;
    }
    LUMARO_FUZZ_CHECK(ToInteger(QString::number(value)) == value);
    LUMARO_FUZZ_CHECK(ToInteger(Pad2(value)) == value);
    LUMARO_FUZZ_CHECK(ToMoney(text) == value); // a 32-bit number is a 64-bit one too
}

void CheckMoney(const QString &text)
{
    qint64 value = 0;
    try {
        value = ToMoney(text);
    } catch (const ConversionError &error) {
        LUMARO_FUZZ_CHECK(error.message().endsWith(QStringLiteral("不是一个有效的整形值")));
        return;
    }
    LUMARO_FUZZ_CHECK(ToMoney(QString::number(value)) == value);
}

void CheckPageNumber(const QString &text)
{
    qint64 value = -1;
    if (!scrape::ReadsAsWholeNumber(text, &value))
        return;
    LUMARO_FUZZ_CHECK(value >= 0);
    qint64 again = -1;
    LUMARO_FUZZ_CHECK(scrape::ReadsAsWholeNumber(QString::number(value), &again) && again == value);
}

void CheckDate(const QString &text)
{
    const QDate date = scrape::ReadDate(text);
    if (scrape::ReadsAsDate(text))
        LUMARO_FUZZ_CHECK(date.isValid());
    if (!date.isValid())
        return;
    // The stored form reads back as the same day.
    const QString stored = scrape::QlcDateText(date);
    LUMARO_FUZZ_CHECK(scrape::ReadDate(stored) == date);
    if (date.year() >= 1000 && date.year() <= 9999)
        LUMARO_FUZZ_CHECK(scrape::ReadsAsDate(stored));
    const QDate next = scrape::NextQlcDate(date);
    LUMARO_FUZZ_CHECK(next > date && date.daysTo(next) <= 3);
    const int day = next.dayOfWeek();
    LUMARO_FUZZ_CHECK(day == 1 || day == 3 || day == 5);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::EnsureApplication();
    const QString text = QString::fromUtf8(fuzz::BytesOf(data, size));
    CheckInteger(text);
    CheckMoney(text);
    CheckPageNumber(text);
    CheckDate(text);
    return 0;
}
