#include "folder_actions/folder_renamer.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

struct NameCase {
    const char* current;
    const char* expected;
};

class FolderNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(FolderNameTest, ReplacesOnlyTheDurationAtTheEnd)
{
    EXPECT_EQ(folderNameWithDuration(GetParam().current, QStringLiteral("1h12m")),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, FolderNameTest,
                         ::testing::Values(NameCase{"Viaggi", "Viaggi (1h12m)"},
                                           NameCase{"Viaggi (0h45m)", "Viaggi (1h12m)"},
                                           NameCase{"Viaggi (1h12m)", "Viaggi (1h12m)"},
                                           NameCase{"Viaggi   (1h12m)  ", "Viaggi (1h12m)"},
                                           NameCase{"Viaggi (0h45m) (1h00m)",
                                                    "Viaggi (0h45m) (1h12m)"},
                                           NameCase{"Film (2019)", "Film (2019) (1h12m)"},
                                           NameCase{"Viaggi (1h5m)", "Viaggi (1h5m) (1h12m)"},
                                           NameCase{"(1h00m)", " (1h12m)"},
                                           NameCase{"Città\u00a0(3h00m)", "Città (1h12m)"}));

} // namespace
} // namespace quillmark
