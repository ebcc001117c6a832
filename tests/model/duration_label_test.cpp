#include "model/duration_label.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillmark {
namespace {

struct LabelCase {
    std::int64_t seconds;
    const char* label;
};

class FormatDurationTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(FormatDurationTest, RoundsToTheNearestMinuteWithCarry)
{
    EXPECT_EQ(formatDuration(GetParam().seconds), QLatin1String(GetParam().label));
}

INSTANTIATE_TEST_SUITE_P(
    Labels, FormatDurationTest,
    ::testing::Values(LabelCase{0, "0h00m"}, LabelCase{-1, "0h00m"},
                      LabelCase{std::numeric_limits<std::int64_t>::min(), "0h00m"},
                      LabelCase{29, "0h00m"}, LabelCase{30, "0h01m"}, LabelCase{89, "0h01m"},
                      LabelCase{90, "0h02m"}, LabelCase{3569, "0h59m"}, LabelCase{3570, "1h00m"},
                      LabelCase{3629, "1h00m"}, LabelCase{3630, "1h01m"}, LabelCase{5400, "1h30m"},
                      LabelCase{7199, "2h00m"}, LabelCase{24 * 3600 - 1, "24h00m"},
                      LabelCase{100 * 3600, "100h00m"},
                      LabelCase{std::numeric_limits<std::int64_t>::max(), "2562047788015215h30m"}));

} // namespace
} // namespace quillmark
