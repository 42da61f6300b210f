#include "common/errors.h"
#include "common/text_format.h"

#include <gtest/gtest.h>

using namespace lumaro;

TEST(TextFormat, PaddedNumbersMatchThePrintfForms)
{
    EXPECT_EQ(Pad2(7), QStringLiteral("07"));
    EXPECT_EQ(Pad2(10), QStringLiteral("10"));
    EXPECT_EQ(Pad2(0), QStringLiteral("00"));
    EXPECT_EQ(Pad2(-5), QStringLiteral("-05"));
    EXPECT_EQ(Pad2(123), QStringLiteral("123"));
    EXPECT_EQ(Pad7(1), QStringLiteral("0000001"));
    EXPECT_EQ(Pad7(12345678), QStringLiteral("12345678"));
    // Halves round away from zero, whatever the C library's rounding mode.
    EXPECT_EQ(Fixed0(2.5), QStringLiteral("3"));
    EXPECT_EQ(Fixed0(-2.5), QStringLiteral("-3"));
    EXPECT_EQ(Fixed1(3.25), QStringLiteral("3.3"));
    EXPECT_EQ(Fixed1(0.04), QStringLiteral("0.0"));
    const int numbers[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(JoinPadded(numbers, 5), QStringLiteral("01 02 03 04 05"));
    EXPECT_EQ(JoinPadded(numbers, 0), QString());
}

TEST(TextFormat, IntegerConversionRefusesWhatIsNotAWholeNumber)
{
    EXPECT_EQ(ToInteger(QStringLiteral(" 42 ")), 42);
    EXPECT_EQ(ToInteger(QStringLiteral("-3")), -3);
    for (const char *bad : {"", " ", "1,2", "1.5", "abc", "99999999999"}) {
        try {
            ToInteger(QString::fromUtf8(bad));
            ADD_FAILURE() << "accepted " << bad;
        } catch (const ConversionError &error) {
            EXPECT_EQ(error.message(), QStringLiteral("'%1' 不是一个有效的整形值").arg(QString::fromUtf8(bad)));
        }
    }
}

TEST(TextFormat, CountConversionRefusesNumbersBelowTheLowest)
{
    EXPECT_EQ(ToIntegerAtLeast(QStringLiteral(" 7 "), 0), 7);
    EXPECT_EQ(ToIntegerAtLeast(QStringLiteral("0"), 0), 0);
    EXPECT_THROW(ToIntegerAtLeast(QStringLiteral("１２"), 0), ConversionError);
    EXPECT_THROW(ToIntegerAtLeast(QStringLiteral("1 2"), 0), ConversionError);
    try {
        ToIntegerAtLeast(QStringLiteral("-5"), 0);
        ADD_FAILURE() << "accepted -5";
    } catch (const InputError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("请输入不小于0的整数！"));
    }
    try {
        ToIntegerAtLeast(QStringLiteral("0"), 1, QStringLiteral("至少为1次！"));
        ADD_FAILURE() << "accepted 0";
    } catch (const InputError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("至少为1次！"));
    }
}
