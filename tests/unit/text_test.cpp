#include <gtest/gtest.h>

#include "base/text.h"
#include "base/textfile.h"
#include "test_util.h"

namespace {

TEST(Text, TrimUpperAndReplace) {
    EXPECT_EQ(text::Trim(" \tTF \r\n"), "TF");
    EXPECT_EQ(text::Trim("   "), "");
    EXPECT_EQ(text::Upper("tf-\xe9"), "TF-\xe9");
    EXPECT_TRUE(text::EqualsNoCase("SsB", "sSb"));
    EXPECT_FALSE(text::EqualsNoCase("SSB", "SSB "));
    EXPECT_EQ(text::ReplaceAll("a<CR>b<CR>", "<CR>", "\r"), "a\rb\r");
    EXPECT_EQ(text::ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(text::Str(nullptr), "");
    EXPECT_EQ(text::Format("%5i|%-3s|", 7, "ab"), "    7|ab |");
    EXPECT_EQ(text::Format("%s", std::string(1000, 'y').c_str()).size(), 1000u);
}

TEST(TextFile, LinesSurviveCrLfAndAMissingLastLineEnd) {
    ScopedTempDir dir;
    ASSERT_TRUE(textfile::Write("f.txt", "title \r\nline 1\r\n\r\nlast"));
    auto lines = textfile::ReadLines("f.txt");
    ASSERT_TRUE(lines.has_value());
    ASSERT_EQ(lines->size(), 4u);
    EXPECT_EQ((*lines)[0], "title ");
    EXPECT_EQ((*lines)[2], "");
    EXPECT_EQ((*lines)[3], "last");
    ASSERT_TRUE(textfile::Append("f.txt", "\r\nmore\r\n"));
    EXPECT_EQ(textfile::ReadLines("f.txt")->back(), "more");
    EXPECT_FALSE(textfile::ReadLines("missing.txt").has_value());
    EXPECT_FALSE(textfile::Write("", "x"));
    EXPECT_FALSE(textfile::Write("no/such/folder/f.txt", "x"));
}

TEST(TextFile, ReadThatBreaksOffIsNoContent) {
    ScopedTempDir dir;
    // Opening a folder succeeds here, reading it fails: that must not read as an empty file.
    std::filesystem::create_directory("folder.txt");
    EXPECT_FALSE(textfile::ReadLines("folder.txt").has_value());
}

}  // namespace
