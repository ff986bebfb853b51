// The reading and clamp shared by every numeric field, with the cases users type.
#include "engine/numeric_field.h"

#include <gtest/gtest.h>

#include <string>

namespace vorel {
namespace {

struct FieldCase {
  const char* text;
  FieldRange range;
  int32_t step;
  int32_t expected;
};

class CommitFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CommitFieldTest, ReadsStepsAndClamps) {
  const FieldCase& c = GetParam();
  EXPECT_EQ(CommitField(c.text, c.range, c.step), c.expected) << '"' << c.text << '"';
}

constexpr FieldRange kMargin{0, 512};
constexpr FieldRange kCalendar{-9999, 9999};

INSTANTIATE_TEST_SUITE_P(
    Fields, CommitFieldTest,
    ::testing::Values(
        // The interval field.
        FieldCase{"0", kIntervalRange, 0, 1}, FieldCase{"-5", kIntervalRange, 0, 1},
        FieldCase{"abc", kIntervalRange, 0, 1}, FieldCase{"12abc", kIntervalRange, 0, 12},
        FieldCase{"1500", kIntervalRange, 0, 999}, FieldCase{"995", kIntervalRange, kIntervalStep, 999},
        FieldCase{"5", kIntervalRange, -kIntervalStep, 1}, FieldCase{"  +42", kIntervalRange, 0, 42},
        FieldCase{"", kIntervalRange, 0, 1}, FieldCase{"-", kIntervalRange, 0, 1},
        // Full-width digits are not digits.
        FieldCase{"１２", kIntervalRange, 0, 1},
        // The delay field.
        FieldCase{"-3", kDelayRange, 0, 0}, FieldCase{"1000", kDelayRange, 0, 999},
        FieldCase{"0", kDelayRange, -kDelayStep, 0},
        // A bound taken from the screen, and the calendar's wide fields.
        FieldCase{"600", kMargin, 0, 512}, FieldCase{"-12x", kCalendar, 0, -12},
        FieldCase{"-99999", kCalendar, 0, -9999}, FieldCase{" 9999", kCalendar, 1, 9999}));

TEST(ReadFieldNumber, LineBreaksBeforeTheNumberCountAsBlanks) {
  EXPECT_EQ(ReadFieldNumber("\r\n\v\f\t 7"), 7);
  EXPECT_EQ(ReadFieldNumber("\r\n-7"), -7);
}

TEST(ReadFieldNumber, ThousandsOfDigitsSaturateInsteadOfWrapping) {
  EXPECT_GT(ReadFieldNumber(std::string(5000, '9')), int64_t{1} << 58);
  EXPECT_LT(ReadFieldNumber("-" + std::string(5000, '7')), -(int64_t{1} << 58));
  EXPECT_EQ(CommitField(std::string(5000, '9'), kIntervalRange, kIntervalStep), 999);
  EXPECT_EQ(CommitField("-" + std::string(5000, '9'), kCalendar, -1), -9999);
}

}  // namespace
}  // namespace vorel
