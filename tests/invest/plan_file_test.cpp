#include "common/errors.h"
#include "invest/investment_plan.h"
#include "invest/plan_file.h"
#include "support/test_home.h"

#include <gtest/gtest.h>

using namespace lumaro;

TEST(PlanFile, RoundTripHasOneValuePerLine)
{
    test::TestHome home;
    const QString path = home.path(QStringLiteral("附属/固定投资计划表.txt"));
    const PlanResult plan = FixedPlan(PlanSettings {});
    const QStringList fields {
        QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("16"), QStringLiteral("1000"), QStringLiteral("80")};
    WritePlanFile(path, fields, PlanCellTexts(plan.rows));
    const QByteArray text = test::ReadFile(path);
    EXPECT_EQ(text.count("\r\n"), 5 + 7 * 80);
    EXPECT_TRUE(text.startsWith("0\r\n10\r\n16\r\n1000\r\n80\r\n1\r\n1\r\n16\r\n16\r\n1000\r\n984\r\n6150\r\n"));

    const PlanFileContent read = ReadPlanFile(path, 5, 7, 4);
    EXPECT_EQ(read.fields, fields);
    EXPECT_FALSE(read.failed);
    EXPECT_EQ(read.extraRows, 0);
    ASSERT_EQ(read.rows.size(), 80u);
    EXPECT_EQ(read.rows[61], (std::vector<qint64> {62, 2, 32, 1008, 2000, 992, 98}));

    // A variable plan of n rows: 6 + 8·n lines; an empty plan is only its fields.
    VariablePlan variable;
    variable.add(PlanSettings {}, 8);
    variable.add(PlanSettings {}, 9);
    const QByteArray variableText
        = PlanFileText(fields + QStringList {QStringLiteral("9")}, PlanCellTexts(variable.rows()));
    EXPECT_EQ(variableText.count("\r\n"), 6 + 8 * 2);
    EXPECT_EQ(PlanFileText(fields, {}).count("\r\n"), 5);
    EXPECT_TRUE(ParsePlanFile(PlanFileText(fields, {}), 5, 7, 4).rows.empty());

    // Only a plan file is read: a missing one, a folder or a device that never ends are refused.
    EXPECT_THROW(ReadPlanFile(home.path(QStringLiteral("附属/没有.txt")), 5, 7, 4), IoError);
    EXPECT_THROW(ReadPlanFile(home.path(QStringLiteral("附属")), 5, 7, 4), InputError);
    EXPECT_THROW(ReadPlanFile(QStringLiteral("/dev/zero"), 5, 7, 4), InputError);
}

TEST(PlanFile, ReadingStopsAtABadOrCutRowAndCapsAtThePeriods)
{
    const QByteArray head = "0\r\n10\r\n16\r\n1000\r\n3\r\n";
    const QByteArray row = "1\r\n1\r\n16\r\n16\r\n1000\r\n984\r\n6150\r\n";

    PlanFileContent read = ParsePlanFile(head + row + "2\r\n1\r\nx\r\n", 5, 7, 4);
    EXPECT_TRUE(read.failed);
    EXPECT_EQ(read.failedText, QStringLiteral("x"));
    EXPECT_EQ(read.rows.size(), 1u);

    read = ParsePlanFile(head + row + "2\r\n1\r\n", 5, 7, 4); // cut short at the end of the file
    EXPECT_TRUE(read.failed);
    EXPECT_EQ(read.failedText, QString());
    EXPECT_EQ(read.rows.size(), 1u);

    read = ParsePlanFile(head + row + row + row + row + row + "\r\n\r\n", 5, 7, 4); // 5 rows, 3 periods
    EXPECT_FALSE(read.failed);
    EXPECT_EQ(read.rows.size(), 3u);
    EXPECT_EQ(read.extraRows, 2);

    read = ParsePlanFile("0\n10\n16\n", 5, 7, -1); // missing fields read as empty texts
    EXPECT_EQ(read.fields.size(), 5);
    EXPECT_EQ(read.fields[4], QString());
    EXPECT_THROW(ParsePlanFile("0\n10\n16\n1000\nabc\n", 5, 7, 4), ConversionError);
    EXPECT_THROW(ReadPlanFile(QStringLiteral("/nonexistent/plan.txt"), 5, 7, 4), IoError);
}
