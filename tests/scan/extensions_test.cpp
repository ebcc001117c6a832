#include "scan/extensions.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

struct ParseCase {
    const char* text;
    QStringList expected;
};

class ParseExtensionsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseExtensionsTest, SplitsAtCommasOnly)
{
    EXPECT_EQ(parseExtensions(QString::fromUtf8(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseExtensionsTest,
    ::testing::Values(ParseCase{" MP4 , .Mov,,mkv ", {".mp4", ".mov", ".mkv"}},
                      ParseCase{"mp4 mov", {".mp4 mov"}}, ParseCase{",,  ,", defaultExtensions()},
                      ParseCase{"", defaultExtensions()}, ParseCase{"mp4,MP4", {".mp4", ".mp4"}},
                      ParseCase{"mp4;mov", {".mp4;mov"}},
                      // Tabs and no-break spaces are trimmed, line breaks are kept.
                      ParseCase{"\tavi\u00a0,\nmkv", {".avi", ".\nmkv"}},
                      ParseCase{"..mp4", {"..mp4"}}, ParseCase{"ÀVI", {".àvi"}}));

struct MatchCase {
    const char* file;
    QStringList extensions;
    bool matches;
};

class MatchesExtensionTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchesExtensionTest, ComparesTheLastExtensionInLowerCase)
{
    EXPECT_EQ(matchesExtension(GetParam().file, GetParam().extensions), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MatchesExtensionTest,
    ::testing::Values(
        MatchCase{"/v/CLIP.MKV", {".mkv"}, true}, MatchCase{"/v/clip", defaultExtensions(), false},
        MatchCase{"/v/archive.tar.mp4", {".mp4"}, true},
        MatchCase{"/v/clip.mp4.txt", {".mp4"}, false}, MatchCase{"/v/clip.", {"."}, false},
        MatchCase{"/v/.mp4", {".mp4"}, false}, MatchCase{"/v/.hidden.mp4", {".mp4"}, true},
        MatchCase{"/v.d/clip", {".d/clip"}, false},
        MatchCase{"/v/clip.mp4 mov", parseExtensions(QStringLiteral("mp4 mov")), true},
        MatchCase{"/v/clip.mp4", {".avi", ".mp4"}, true},
        MatchCase{"/v/bad\xff.mp4", {".mp4"}, true}));

} // namespace
} // namespace quillmark
