// The target box's text read as a number: the same answers as the box has
// always given, for any text it can hold. Found by the soak test of the real
// window, which typed numbers longer than a double and texts as long as the
// box allows.

#include "scoring/TargetScore.h"
#include "ui/Errors.h"

#include <gtest/gtest.h>

#include <string>

namespace cardovia {
namespace {

int ErrorNumberOf(const std::string& text) {
    try {
        TargetFromText(text);
    } catch (const GameError& e) {
        return e.number;
    }
    return 0;
}

TEST(TargetText, NumbersWithBlanksSignsAndAPointAreRoundedHalvesToEven) {
    const std::pair<const char*, int> read[] = {
        {"2500", 2500},   {" 1200 ", 1200},   {"+750", 750},     {"-3", -3}, {"12.5", 12},
        {"13.5", 14},     {".5", 0},          {"5.", 5},         {"007", 7}, {"\t800\n", 800},
        {"32767", 32767}, {"-32768", -32768}, {"0.000000001", 0}};
    for (const auto& [text, value] : read) EXPECT_EQ(TargetFromText(text), value) << text;
}

TEST(TargetText, AnythingElseIsATypeMismatch) {
    for (const char* text : {"abc", "1e3", "4,000", "--1", "+", ".", "1.2.3", "5000x", "0x10",
                             "1 2", "inf", "nan", "\xd9\xa3"}) {
        EXPECT_EQ(ErrorNumberOf(text), 13) << text;
    }
}

TEST(TargetText, ANumberBeyondSixteenBitsIsAnOverflowHoweverLong) {
    EXPECT_EQ(ErrorNumberOf("32768"), kOverflowError);
    EXPECT_EQ(ErrorNumberOf("99999999999999999999"), kOverflowError);
    // Longer than any double: an overflow too, not an error of another kind.
    EXPECT_EQ(ErrorNumberOf(std::string(400, '9')), kOverflowError);
    EXPECT_EQ(ErrorNumberOf("-" + std::string(400, '9')), kOverflowError);
}

TEST(TargetText, TheLongestTextTheBoxHoldsIsReadWithoutExhaustingTheStack) {
    // The box takes up to 32767 characters; a regular expression recursing per
    // character overflowed the stack on them.
    EXPECT_EQ(ErrorNumberOf(std::string(32767, '9')), kOverflowError);
    EXPECT_EQ(ErrorNumberOf(std::string(32767, '9') + "x"), 13);
    EXPECT_EQ(TargetFromText(std::string(100000, '0') + "1234"), 1234);
    EXPECT_EQ(ErrorNumberOf(std::string(100000, ' ')), 13);
}

}  // namespace
}  // namespace cardovia
