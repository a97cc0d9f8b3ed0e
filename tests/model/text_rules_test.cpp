#include <gtest/gtest.h>

#include <clocale>
#include <locale>

#include "model/text_rules.h"
#include "support/fake_resources.h"

namespace {

TEST(SplitLines, BreaksAtCrLfCrAndLfWithoutATrailingEmptyLine) {
    const auto lines = SplitLines("a\r\nb\rc\n\nd\r\n");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], "b");
    EXPECT_EQ(lines[2], "c");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "d");
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(SplitLines("x").size(), 1u);
    EXPECT_EQ(SplitLines("\n").size(), 1u);
}

TEST(TrimText, RemovesBlanksAndControlCharacters) {
    EXPECT_EQ(TrimText(" \t[3,4,1] \x01"), "[3,4,1]");
    EXPECT_EQ(TrimText(" \t "), "");
    EXPECT_EQ(TrimText("a b"), "a b");
}

TEST(ParseFloat, ReadsDotDecimalsAndExponents) {
    EXPECT_FLOAT_EQ(ParseFloat("273.97"), 273.97f);
    EXPECT_FLOAT_EQ(ParseFloat("-1.5e-007"), -1.5e-7f);
    EXPECT_FLOAT_EQ(ParseFloat("2E3"), 2000.0f);
    EXPECT_FLOAT_EQ(ParseFloat(" +0.5 "), 0.5f);
    EXPECT_FLOAT_EQ(ParseFloat(".25"), 0.25f);
    EXPECT_EQ(ParseFloat("1e-60"), 0.0f);  // below float range: zero, like the wider read
    EXPECT_EQ(ParseExtended("0.2"), 0.2L);  // extended precision on both targets
    EXPECT_EQ(ParseExtended("00.80"), 0.8L);
    EXPECT_EQ(ParseExtended("-1.5e-3"), -1.5e-3L);
    EXPECT_EQ(ParseExtended("25E+1"), 250.0L);
}

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(ParseFloat, DoesNotFollowTheProcessLocale) {
    // A C++ global locale with a decimal comma, and a C locale with one where installed.
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252"})
        if (std::setlocale(LC_ALL, name)) break;
    EXPECT_FLOAT_EQ(ParseFloat("1.5"), 1.5f);
    EXPECT_EQ(ParseExtended("0.25e1"), 2.5L);
    EXPECT_EQ(MessageOf([] { ParseFloat("1,5"); }), "'1,5' is not a valid floating point value");
    std::setlocale(LC_ALL, "C");
    std::locale::global(previous);
}

TEST(ParseFloat, RefusesMalformedTextNamingIt) {
    for (const char* bad : {"", " ", "1.2.3", "abc", "1e", "--1", "+-1", "+", "1,5", "inf", "nan", "1e999", "0x10", "1 2"})
        EXPECT_EQ(MessageOf([&] { ParseFloat(bad); }), "'" + std::string(bad) + "' is not a valid floating point value")
            << bad;
    const std::string longText(200, '7');
    EXPECT_EQ(MessageOf([&] { ParseFloat(longText + "x"); }).size(), std::string("'...' is not a valid floating point value").size() + 80);
}

TEST(ParseInteger, ReadsPlainDecimal32BitIntegers) {
    EXPECT_EQ(ParseInteger("418"), 418);
    EXPECT_EQ(ParseInteger(" -7 "), -7);
    EXPECT_EQ(ParseInteger("+3"), 3);
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    for (const char* bad : {"", "1.0", "2147483648", "0x10", "12a", "1 Blinn"})
        EXPECT_EQ(MessageOf([&] { ParseInteger(bad); }), "'" + std::string(bad) + "' is not a valid integer value") << bad;
}

}  // namespace
