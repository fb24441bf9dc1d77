#include "options.hpp"

#include <gtest/gtest.h>

#include <string_view>
#include <variant>
#include <vector>

namespace kezurin::cli {
namespace {

using Arguments = std::vector<std::string_view>;

Options Parsed(const Arguments& arguments) {
    auto result = ParseArguments(arguments);
    if (auto* error = std::get_if<UsageError>(&result)) ADD_FAILURE() << error->message;
    return std::get_if<Options>(&result) ? std::get<Options>(result) : Options{};
}

TEST(ParseArgumentsTest, NoFileMeansStandardInput) {
    EXPECT_EQ(Parsed({}).inputs, std::vector<std::string>{"-"});
    EXPECT_EQ(Parsed({"--encoding", "cp932"}).inputs, std::vector<std::string>{"-"});
}

TEST(ParseArgumentsTest, FilesKeepTheirOrder) {
    EXPECT_EQ(Parsed({"b.c", "-", "a.c"}).inputs, (std::vector<std::string>{"b.c", "-", "a.c"}));
}

TEST(ParseArgumentsTest, OptionsInEitherSpelling) {
    EXPECT_EQ(Parsed({"-o", "out.c", "a.c"}).outputPath, "out.c");
    EXPECT_EQ(Parsed({"--output=out.c", "a.c"}).outputPath, "out.c");
    EXPECT_EQ(Parsed({"a.c", "--output", "out.c"}).outputPath, "out.c");
    EXPECT_TRUE(Parsed({"-i", "a.c"}).inPlace);
    EXPECT_TRUE(Parsed({"--in-place", "a.c"}).inPlace);
    EXPECT_EQ(Parsed({"--encoding=utf-8"}).encoding, Encoding::Utf8);
    EXPECT_EQ(Parsed({"--encoding", "cp932"}).encoding, Encoding::Cp932);
    EXPECT_EQ(Parsed({}).encoding, Encoding::Auto);
    EXPECT_EQ(Parsed({}).syntax, "lines");
    EXPECT_EQ(Parsed({"--syntax", "c"}).syntax, "c");
    EXPECT_EQ(Parsed({"--syntax=lines"}).syntax, "lines");
    EXPECT_EQ(Parsed({"--syntax=auto", "a.json"}).syntax, "auto");
    EXPECT_TRUE(Parsed({"--help"}).help);
    EXPECT_TRUE(Parsed({"-V"}).version);
}

TEST(ParseArgumentsTest, DoubleDashEndsTheOptions) {
    EXPECT_EQ(Parsed({"--", "-i", "--help"}).inputs, (std::vector<std::string>{"-i", "--help"}));
    EXPECT_FALSE(Parsed({"--", "-i"}).inPlace);
}

class UsageErrorTest : public testing::TestWithParam<Arguments> {};

TEST_P(UsageErrorTest, IsRefused) { EXPECT_TRUE(std::holds_alternative<UsageError>(ParseArguments(GetParam()))); }

INSTANTIATE_TEST_SUITE_P(
    Arguments, UsageErrorTest,
    testing::Values(Arguments{"--bogus"}, Arguments{"-x", "a.c"}, Arguments{"-o"}, Arguments{"-o", ""},
                    Arguments{"-o", "a", "-o", "b"}, Arguments{"--encoding"}, Arguments{"--encoding", "latin1"},
                    Arguments{"--syntax"}, Arguments{"--syntax", "C++"}, Arguments{"--syntax", "auto"},
                    Arguments{"--syntax", "auto", "a.css", "-"},
                    Arguments{"--in-place=yes", "a.c"}, Arguments{"-i"}, Arguments{"-i", "-"},
                    Arguments{"-i", "a.c", "-"}, Arguments{"-i", "-o", "out.c", "a.c"}));

}  // namespace
}  // namespace kezurin::cli
