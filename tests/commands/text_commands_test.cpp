// The text commands: byte positions, two-byte characters at every boundary,
// omitted against zero arguments, negative and huge counts.
#include <gtest/gtest.h>

#include <climits>

#include "tests/commands/command_test_support.h"

namespace {

// Two-byte characters used below: 中 D6 D0, and B0 41 / B0 61, whose second
// bytes look like 'A' and 'a'.
#define ZH "\xD6\xD0"
#define LEAD_A "\xB0\x41"
#define LEAD_a "\xB0\x61"

const ArgRecord kOmitted = ArgRecord::Omitted();

struct FindCase {
  const char* name;
  const char* text;
  const char* sought;
  ArgRecord start;
  ArgRecord ignore_case;
  int32_t expected;
};

class FindText : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindText, FindsTheFirstMatchOnACharacterBoundary) {
  const FindCase& c = GetParam();
  ArgRecord result = Call(CMD_FIND_TEXT, {ArgRecord::Text(c.text), ArgRecord::Text(c.sought), c.start, c.ignore_case});
  EXPECT_EQ(result.as_int(), c.expected);
}

const ArgRecord One = ArgRecord::Int(1);
const ArgRecord Yes = ArgRecord::Bool(true);

INSTANTIATE_TEST_SUITE_P(
    Cases, FindText,
    ::testing::Values(
        FindCase{"EmptySoughtInText", "abc", "", kOmitted, kOmitted, 1},
        FindCase{"EmptySoughtInEmpty", "", "", kOmitted, kOmitted, -1},
        FindCase{"EmptySoughtBeyondTheEnd", "abc", "", ArgRecord::Int(10), kOmitted, -1},
        FindCase{"EmptySoughtIgnoresTheStart", "abc", "", ArgRecord::Int(2), kOmitted, 1},
        FindCase{"StartOmitted", "abcabc", "c", kOmitted, kOmitted, 3},
        FindCase{"StartZeroIsLikeOne", "abcabc", "c", ArgRecord::Int(0), kOmitted, 3},
        FindCase{"StartNegativeIsLikeOne", "abcabc", "c", ArgRecord::Int(-5), kOmitted, 3},
        FindCase{"StartMostNegative", "abcabc", "c", ArgRecord::Int(INT_MIN), kOmitted, 3},
        FindCase{"StartAfterFirst", "abcabc", "c", ArgRecord::Int(4), kOmitted, 6},
        FindCase{"StartOnTheLastByte", "abcabc", "c", ArgRecord::Int(6), kOmitted, 6},
        FindCase{"StartBeyondTheEnd", "abcabc", "c", ArgRecord::Int(7), kOmitted, -1},
        FindCase{"StartHuge", "abcabc", "c", ArgRecord::Int(INT_MAX), kOmitted, -1},
        FindCase{"SoughtLongerThanText", "abc", "abcd", kOmitted, kOmitted, -1},
        FindCase{"CaseKeptWhenZero", "ABC", "b", kOmitted, ArgRecord::Bool(false), -1},
        FindCase{"CaseFoldedWhenOne", "ABC", "b", kOmitted, Yes, 2},
        FindCase{"CaseKeptWhenTwo", "ABC", "b", kOmitted, ArgRecord::Int(2), -1},
        FindCase{"CaseKeptWhenOmitted", "ABC", "b", kOmitted, kOmitted, -1},
        FindCase{"FoldedBothWays", "abc", "BC", kOmitted, One, 2},
        FindCase{"SecondByteIsNotACharacter", LEAD_A "A", "A", kOmitted, kOmitted, 3},
        FindCase{"SecondByteOnlyIsNotFound", LEAD_A, "A", kOmitted, kOmitted, -1},
        FindCase{"TwoByteCharacterFound", "xx" ZH, ZH, kOmitted, kOmitted, 3},
        FindCase{"SecondByteNeverFolded", LEAD_a, LEAD_A, kOmitted, Yes, -1},
        FindCase{"TwoByteMatchesItselfWhenFolding", "A" LEAD_a, LEAD_a, kOmitted, Yes, 2},
        FindCase{"FoldedLetterAfterTwoByte", ZH "AB", "ab", kOmitted, Yes, 3},
        FindCase{"BrokenLastCharacterStopsTheScan", "ab\xB0", "x", kOmitted, kOmitted, -1},
        FindCase{"BrokenLastCharacterItselfMatches", "ab\xB0", "\xB0", kOmitted, kOmitted, 3},
        // The scan counts characters from the start offset, which may fall
        // on a second byte.
        FindCase{"StartOnASecondByte", LEAD_A "A", "A", ArgRecord::Int(2), kOmitted, 2},
        FindCase{"MatchAtTheVeryEnd", "abc", "bc", kOmitted, kOmitted, 2}),
    [](const ::testing::TestParamInfo<FindCase>& info) { return std::string(info.param.name); });

struct ReplaceCase {
  const char* name;
  const char* text;
  const char* sought;
  ArgRecord replacement;
  ArgRecord start;
  ArgRecord count;
  ArgRecord case_sensitive;
  const char* expected;  // "(null)" for the empty text
};

class ReplaceText : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceText, ReplacesLeftToRightWithoutOverlap) {
  const ReplaceCase& c = GetParam();
  ArgRecord result = Call(CMD_REPLACE_TEXT, {ArgRecord::Text(c.text), ArgRecord::Text(c.sought), c.replacement, c.start,
                                            c.count, c.case_sensitive});
  EXPECT_EQ(TakeText(result), c.expected);
}

ArgRecord T(const char* text) { return ArgRecord::Text(text); }
ArgRecord I(int32_t v) { return ArgRecord::Int(v); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceText,
    ::testing::Values(
        ReplaceCase{"ReplacementOmittedDeletes", "aXbXc", "X", kOmitted, kOmitted, kOmitted, One, "abc"},
        ReplaceCase{"StartThree", "aXbXc", "X", kOmitted, I(3), kOmitted, One, "aXbc"},
        ReplaceCase{"StartZeroLikeOne", "aXbXc", "X", T("-"), I(0), kOmitted, One, "a-b-c"},
        ReplaceCase{"StartNegativeLikeOne", "aXbXc", "X", T("-"), I(-9), kOmitted, One, "a-b-c"},
        ReplaceCase{"StartBeyondTheEnd", "aXbXc", "X", T("-"), I(99), kOmitted, One, "aXbXc"},
        ReplaceCase{"CountOne", "aXbXc", "X", T("-"), kOmitted, I(1), One, "a-bXc"},
        ReplaceCase{"CountZeroUnchanged", "aXbXc", "X", T("-"), kOmitted, I(0), One, "aXbXc"},
        ReplaceCase{"CountMinusOneAll", "aXbXc", "X", T("-"), kOmitted, I(-1), One, "a-b-c"},
        ReplaceCase{"CountMinusSevenAll", "aXbXc", "X", T("-"), kOmitted, I(-7), One, "a-b-c"},
        ReplaceCase{"CountMostNegativeAll", "aXbXcX", "X", T("-"), kOmitted, I(INT_MIN), One, "a-b-c-"},
        ReplaceCase{"CountLargerThanMatches", "aXbXc", "X", T("-"), kOmitted, I(INT_MAX), One, "a-b-c"},
        ReplaceCase{"CaseOmittedFolds", "aXbxc", "x", T("-"), kOmitted, kOmitted, kOmitted, "a-b-c"},
        ReplaceCase{"CaseZeroFolds", "aXbxc", "x", T("-"), kOmitted, kOmitted, ArgRecord::Bool(false), "a-b-c"},
        ReplaceCase{"CaseOneExact", "aXbxc", "x", T("-"), kOmitted, kOmitted, One, "aXb-c"},
        ReplaceCase{"CaseAnyOtherExact", "aXbxc", "x", T("-"), kOmitted, kOmitted, I(5), "aXb-c"},
        ReplaceCase{"NoOverlap", "aaa", "aa", T("b"), kOmitted, kOmitted, One, "ba"},
        ReplaceCase{"ReplacedTextNotSearchedAgain", "a", "a", T("aa"), kOmitted, kOmitted, One, "aa"},
        ReplaceCase{"EverythingRemovedIsNull", "XX", "X", kOmitted, kOmitted, kOmitted, One, "(null)"},
        ReplaceCase{"EmptyTextIsNull", "", "X", T("-"), kOmitted, kOmitted, One, "(null)"},
        ReplaceCase{"EmptySoughtUnchanged", "abc", "", T("-"), kOmitted, kOmitted, One, "abc"},
        ReplaceCase{"SecondByteNotReplaced", LEAD_A "A", "A", T("b"), kOmitted, kOmitted, One, LEAD_A "b"},
        ReplaceCase{"SecondByteNotFolded", LEAD_a "a", "A", T("b"), kOmitted, kOmitted, kOmitted, LEAD_a "b"},
        ReplaceCase{"TwoByteReplaced", "a" ZH "b" ZH, ZH, T("-"), kOmitted, kOmitted, One, "a-b-"},
        ReplaceCase{"TwoByteReplacement", "a-b", "-", T(ZH), kOmitted, kOmitted, One, "a" ZH "b"},
        // A broken last character is dropped once the scan reaches it...
        ReplaceCase{"BrokenLastCharacterDropped", "ab\xB0", "a", T("z"), kOmitted, kOmitted, One, "zb"},
        // ...but stays when the scan ends before it or never starts.
        ReplaceCase{"BrokenLastCharacterBeyondTheScan", "ab\xB0", "ab", T("z"), kOmitted, kOmitted, One, "z\xB0"},
        ReplaceCase{"BrokenLastCharacterKeptUnchanged", "ab\xB0", "a", T("z"), kOmitted, I(0), One, "ab\xB0"},
        ReplaceCase{"StartOnASecondByte", LEAD_A "A", "A", T("b"), I(2), kOmitted, One, "\xB0" "bb"}),
    [](const ::testing::TestParamInfo<ReplaceCase>& info) { return std::string(info.param.name); });

struct CutCase {
  const char* name;
  CoreCommandIndex command;
  const char* text;
  int32_t count;
  const char* expected;
};

class CutText : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutText, CutsWhereTheByteCountFalls) {
  const CutCase& c = GetParam();
  EXPECT_EQ(TakeText(Call(c.command, {ArgRecord::Text(c.text), ArgRecord::Int(c.count)})), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CutText,
    ::testing::Values(CutCase{"LeftZero", CMD_LEFT_TEXT, "ab" ZH, 0, "(null)"},
                      CutCase{"LeftNegative", CMD_LEFT_TEXT, "ab" ZH, -1, "(null)"},
                      CutCase{"LeftMostNegative", CMD_LEFT_TEXT, "ab" ZH, INT_MIN, "(null)"},
                      CutCase{"LeftSplitsACharacter", CMD_LEFT_TEXT, "ab" ZH, 3, "ab\xD6"},
                      CutCase{"LeftWhole", CMD_LEFT_TEXT, "ab" ZH, 4, "ab" ZH},
                      CutCase{"LeftMoreThanThere", CMD_LEFT_TEXT, "ab" ZH, INT_MAX, "ab" ZH},
                      CutCase{"LeftOfEmpty", CMD_LEFT_TEXT, "", 5, "(null)"},
                      CutCase{"RightZero", CMD_RIGHT_TEXT, ZH "ab", 0, "(null)"},
                      CutCase{"RightNegative", CMD_RIGHT_TEXT, ZH "ab", -3, "(null)"},
                      CutCase{"RightSplitsACharacter", CMD_RIGHT_TEXT, ZH "ab", 3, "\xD0" "ab"},
                      CutCase{"RightMoreThanThere", CMD_RIGHT_TEXT, ZH "ab", INT_MAX, ZH "ab"},
                      CutCase{"RightOne", CMD_RIGHT_TEXT, ZH "ab", 1, "b"},
                      CutCase{"RightOfEmpty", CMD_RIGHT_TEXT, "", 1, "(null)"}),
    [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

TEST(TextLength, CountsBytes) {
  EXPECT_EQ(Call(CMD_TEXT_LENGTH, {T("")}).as_int(), 0);
  EXPECT_EQ(Call(CMD_TEXT_LENGTH, {T("ab" ZH)}).as_int(), 4);
}

TEST(SpaceText, NothingBelowOneAndSpacesOtherwise) {
  EXPECT_EQ(Call(CMD_SPACE_TEXT, {I(0)}).value, 0u) << "an empty result is null, not a one-byte block";
  EXPECT_EQ(Call(CMD_SPACE_TEXT, {I(-3)}).value, 0u);
  EXPECT_EQ(Call(CMD_SPACE_TEXT, {I(INT_MIN)}).value, 0u);
  EXPECT_EQ(TakeText(Call(CMD_SPACE_TEXT, {I(3)})), "   ");
}

// A result is always a block of its own, never a pointer into an argument.
TEST(TextResults, AreNewBlocks) {
  const char text[] = "abc";
  ArgRecord whole = Call(CMD_LEFT_TEXT, {T(text), I(10)});
  ArgRecord unchanged = Call(CMD_REPLACE_TEXT, {T(text), T("x"), T("y"), kOmitted, kOmitted, One});
  EXPECT_NE(whole.as_pointer(), static_cast<const void*>(text));
  EXPECT_NE(unchanged.as_pointer(), static_cast<const void*>(text));
  EXPECT_EQ(TakeText(whole), "abc");
  EXPECT_EQ(TakeText(unchanged), "abc");
}

}  // namespace
