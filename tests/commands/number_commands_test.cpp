// Conversions, arithmetic and byte arrays: the "%g" forms with three-digit
// exponents, the float normalisation, dates, half-width folding, rounding,
// division by zero and reading typed values out of byte arrays.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "tests/commands/command_test_support.h"

namespace {

#define YEAR "\xC4\xEA"
#define MONTH "\xD4\xC2"
#define DAY "\xC8\xD5"
#define HOUR "\xCA\xB1"
#define MINUTE "\xB7\xD6"
#define SECOND "\xC3\xEB"

ArgRecord I(int32_t v) { return ArgRecord::Int(v); }
ArgRecord D(double v) { return ArgRecord::Double(v); }
ArgRecord T(const char* text) { return ArgRecord::Text(text); }
const ArgRecord kOmitted = ArgRecord::Omitted();

struct ToTextCase {
  const char* name;
  ArgRecord value;
  const char* expected;
};

class ToText : public ::testing::TestWithParam<ToTextCase> {};

TEST_P(ToText, SpellsTheValue) { EXPECT_EQ(TakeText(Call(CMD_TO_TEXT, {GetParam().value})), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ToText,
    ::testing::Values(
        ToTextCase{"NegativeInteger", I(-5), "-5"},
        ToTextCase{"MostNegativeInteger", I(INT_MIN), "-2147483648"},
        ToTextCase{"ByteIsUnsigned", Typed(TYPE_BYTE, 200), "200"},
        ToTextCase{"ByteUsesItsLowBitsOnly", Typed(TYPE_BYTE, 0xFFFFFF05), "5"},
        ToTextCase{"ShortIsSigned", Typed(TYPE_SHORT, 0xFFFE), "-2"},
        ToTextCase{"Long", ArgRecord::Long(-1234567890123LL), "-1234567890123"},
        ToTextCase{"MostNegativeLong", ArgRecord::Long(LLONG_MIN), "-9223372036854775808"},
        ToTextCase{"DoubleHalf", D(0.5), "0.5"},
        ToTextCase{"DoubleLargeHasThreeExponentDigits", D(1e20), "1e+020"},
        ToTextCase{"DoubleSmallHasThreeExponentDigits", D(1e-5), "1e-005"},
        ToTextCase{"DoubleAtTheSwitchToExponents", D(1e-4), "0.0001"},
        ToTextCase{"DoubleWithThreeDigitExponent", D(1.5e300), "1.5e+300"},
        ToTextCase{"DoubleThirteenDigits", D(123456789012345.0), "1.234567890123e+014"},
        ToTextCase{"DoubleBelowThePrecisionLimit", D(1234567890123.0), "1234567890123"},
        ToTextCase{"DoubleSumRoundedToThirteen", D(0.1 + 0.2), "0.3"},
        ToTextCase{"DoubleNegativeZero", D(-0.0), "-0"},
        ToTextCase{"FloatTenth", Float(0.1f), "0.1"},
        ToTextCase{"FloatSixDigits", Float(1234567.0f), "1.23457e+006"},
        ToTextCase{"FloatNegative", Float(-2.5f), "-2.5"},
        ToTextCase{"FloatThird", Float(1.0f / 3), "0.333333"},
        ToTextCase{"FloatLargest", Float(std::numeric_limits<float>::max()), "3.40282e+038"},
        ToTextCase{"FloatSmallestNormal", Float(std::numeric_limits<float>::min()), "1.17549e-038"},
        ToTextCase{"FloatSubnormalKeepsItsDigits", Float(std::numeric_limits<float>::denorm_min()), "1.4013e-045"},
        ToTextCase{"FloatZero", Float(0.0f), "0"},
        ToTextCase{"LogicalTrue", ArgRecord::Bool(true), "\xD5\xE6"},
        ToTextCase{"LogicalAnyNonZero", Typed(TYPE_BOOL, 7), "\xD5\xE6"},
        ToTextCase{"LogicalFalse", ArgRecord::Bool(false), "\xBC\xD9"},
        ToTextCase{"DateZero", Typed(TYPE_DATETIME, 0), "1899" YEAR "12" MONTH "30" DAY},
        ToTextCase{"DateNoon", ArgRecord::DateTime(0.5), "1899" YEAR "12" MONTH "30" DAY "12" HOUR},
        ToTextCase{"DateMinutes", ArgRecord::DateTime(45000.75 + 5.0 / 1440),
                   "2023" YEAR "3" MONTH "15" DAY "18" HOUR "5" MINUTE},
        ToTextCase{"DateSeconds", ArgRecord::DateTime(45000 + (13 * 3600 + 9) / 86400.0),
                   "2023" YEAR "3" MONTH "15" DAY "13" HOUR "0" MINUTE "9" SECOND},
        ToTextCase{"DateNegativeCountsTheTimeForward", ArgRecord::DateTime(-1.25),
                   "1899" YEAR "12" MONTH "29" DAY "6" HOUR},
        ToTextCase{"DateLeapDay", ArgRecord::DateTime(36585), "2000" YEAR "2" MONTH "29" DAY},
        ToTextCase{"DateClampedHigh", Typed(TYPE_DATETIME, ArgRecord::Double(3000000).value,
                                            ArgRecord::Double(3000000).aux),
                   "9999" YEAR "12" MONTH "31" DAY},
        ToTextCase{"DateClampedLow", Typed(TYPE_DATETIME, ArgRecord::Double(-700000).value,
                                           ArgRecord::Double(-700000).aux),
                   "100" YEAR "1" MONTH "1" DAY},
        ToTextCase{"DateRoundsToTheNextDay", ArgRecord::DateTime(1 - 1e-9), "1899" YEAR "12" MONTH "31" DAY},
        // The time of a negative date counts forward too, so its carry does.
        ToTextCase{"DateNegativeRoundsToTheNextDay", ArgRecord::DateTime(-0.9999999999),
                   "1899" YEAR "12" MONTH "31" DAY},
        ToTextCase{"DateNegativeRoundsToDayZero", ArgRecord::DateTime(-1.9999999999), "1899" YEAR "12" MONTH "30" DAY},
        ToTextCase{"TextCopied", T("ab\xD6\xD0"), "ab\xD6\xD0"},
        ToTextCase{"EmptyTextIsNull", T(""), "(null)"},
        ToTextCase{"SubroutinePointerHasNoText", Typed(TYPE_SUBPTR, 0x401000), "(null)"},
        ToTextCase{"OmittedHasNoText", kOmitted, "(null)"},
        ToTextCase{"NullByteArray", ArgRecord::Bytes(nullptr), "(null)"}),
    [](const ::testing::TestParamInfo<ToTextCase>& info) { return std::string(info.param.name); });

TEST(ToTextImages, ByteArraysUpToTheFirstZero) {
  EXPECT_EQ(TakeText(Call(CMD_TO_TEXT, {TestBytes(std::string("ab\0cd", 5)).arg()})), "ab");
  EXPECT_EQ(TakeText(Call(CMD_TO_TEXT, {TestBytes("abc").arg()})), "abc") << "no zero: every byte, then terminated";
  EXPECT_EQ(TakeText(Call(CMD_TO_TEXT, {TestBytes(std::string("\0x", 2)).arg()})), "(null)");
}

TEST(ToTextImages, NumericArraysAsTheirStorage) {
  // Two integers "abcd" "ef\0\0": elements times element size.
  const int32_t integers[] = {1, 2, 0x64636261, 0x00006665};
  EXPECT_EQ(TakeText(Call(CMD_TO_TEXT, {Typed(0xA0000301, WordOf(integers))})), "abcdef");
  // 2 x 3 bytes: the elements follow both sizes, and all six count.
  const int32_t grid[] = {2, 2, 3, 0x64636261, 0x00006665};
  EXPECT_EQ(TakeText(Call(CMD_TO_TEXT, {Typed(0xA0000101, WordOf(grid))})), "abcdef");
  const int32_t empty[] = {1, 0};
  EXPECT_EQ(TakeText(Call(CMD_TO_TEXT, {Typed(0xA0000601, WordOf(empty))})), "(null)");
}

TEST(ToTextImages, ArraysOfOtherElementsGiveNoText) {
  const char* texts[] = {"a", "b"};
  const uint32_t text_array[] = {1, 2, WordOf(texts[0]), WordOf(texts[1])};
  EXPECT_EQ(Call(CMD_TO_TEXT, {Typed(0xA0000004, WordOf(text_array))}).value, 0u);
  EXPECT_EQ(Call(CMD_TO_TEXT, {Typed(0xA0000005, WordOf(text_array))}).value, 0u) << "an array of byte arrays";
}

struct ToIntegerCase {
  const char* name;
  ArgRecord value;
  int32_t expected;
};

class ToInteger : public ::testing::TestWithParam<ToIntegerCase> {};

TEST_P(ToInteger, ConvertsByType) { EXPECT_EQ(Call(CMD_TO_INTEGER, {GetParam().value}).as_int(), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ToInteger,
    ::testing::Values(
        // 　１２３abc: ideographic space and full-width digits
        ToIntegerCase{"FullWidthDigits", T("\xA1\xA1\xA3\xB1\xA3\xB2\xA3\xB3" "abc"), 123},
        ToIntegerCase{"FullWidthSigns", T("\xA3\xAD\xA3\xB8"), -8},
        ToIntegerCase{"FullWidthPlus", T("\xA3\xAB\xA3\xB5"), 5},
        ToIntegerCase{"LeadingSpaceAndMinus", T(" -42"), -42},
        ToIntegerCase{"OtherWhiteSpace", T("\t\n\r 7x"), 7},
        ToIntegerCase{"NoDigits", T("abc"), 0},
        ToIntegerCase{"Empty", T(""), 0},
        ToIntegerCase{"SignWithoutDigits", T("-"), 0},
        ToIntegerCase{"OtherTwoByteCharacterStops", T("1\xD6\xD0" "2"), 1},
        ToIntegerCase{"BrokenLastCharacter", T("12\xA3"), 12},
        ToIntegerCase{"TooLargeStopsAtTheLimit", T("99999999999"), INT_MAX},
        ToIntegerCase{"TooSmallStopsAtTheLimit", T("-99999999999"), INT_MIN},
        ToIntegerCase{"MostNegative", T("-2147483648"), INT_MIN},
        ToIntegerCase{"DoubleTruncated", D(-2.9), -2},
        ToIntegerCase{"DoubleLowWord", D(4294967297.0), 1},
        ToIntegerCase{"DoubleBeyondSixtyFourBits", D(1e30), 0},
        ToIntegerCase{"DoubleNotANumber", D(std::nan("")), 0},
        ToIntegerCase{"FloatTruncated", Float(2.75f), 2},
        ToIntegerCase{"LongLowWord", ArgRecord::Long(0x100000005LL), 5},
        ToIntegerCase{"ByteZeroExtended", Typed(TYPE_BYTE, 0xFFFFFFFF), 255},
        ToIntegerCase{"ShortSignExtended", Typed(TYPE_SHORT, 0xFFFF), -1},
        ToIntegerCase{"Logical", ArgRecord::Bool(true), 1},
        ToIntegerCase{"SubroutinePointer", Typed(TYPE_SUBPTR, 0x401000), 0x401000},
        ToIntegerCase{"DateTimeIsZero", ArgRecord::DateTime(5), 0},
        ToIntegerCase{"OmittedIsZero", kOmitted, 0}),
    [](const ::testing::TestParamInfo<ToIntegerCase>& info) { return std::string(info.param.name); });

TEST(ToIntegerBytes, ByteArrayIsZero) { EXPECT_EQ(Call(CMD_TO_INTEGER, {TestBytes("12").arg()}).as_int(), 0); }

struct RoundCase {
  const char* name;
  double value;
  ArgRecord places;
  double expected;
};

class RoundNumber : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundNumber, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(Call(CMD_ROUND_NUMBER, {D(GetParam().value), GetParam().places}).as_double(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundNumber,
    ::testing::Values(RoundCase{"HalfUp", 2.5, kOmitted, 3}, RoundCase{"NegativeHalf", -2.5, kOmitted, -3},
                      RoundCase{"BelowHalf", 2.4999, I(0), 2},
                      RoundCase{"NudgeRoundsAsWritten", 1.005, I(2), 1.01},
                      RoundCase{"NegativeNudged", -1.005, I(2), -1.01},
                      RoundCase{"Hundreds", 1234, I(-2), 1200}, RoundCase{"HundredsHalf", 1250, I(-2), 1300},
                      RoundCase{"Zero", 0, I(3), 0},
                      // More places than a double has digits: unchanged, never NaN.
                      RoundCase{"HugePlaces", 1.5, I(400), 1.5},
                      RoundCase{"MostPlaces", 1.5, I(INT_MAX), 1.5},
                      RoundCase{"LargeValueManyPlaces", 1e20, I(5), 1e20},
                      // Rounding far left of every digit: zero, never NaN.
                      RoundCase{"HugeNegativePlaces", 1e300, I(-400), 0},
                      RoundCase{"MostNegativePlaces", 123.456, I(INT_MIN), 0},
                      RoundCase{"JustBeyondTheDoubleRange", 1e300, I(-309), 0}),
    [](const ::testing::TestParamInfo<RoundCase>& info) { return std::string(info.param.name); });

struct DivideCase {
  const char* name;
  std::vector<ArgRecord> args;
  double expected;
};

class IntegerDivide : public ::testing::TestWithParam<DivideCase> {};

TEST_P(IntegerDivide, TruncatesEachStep) {
  std::vector<ArgRecord> args = GetParam().args;
  EXPECT_EQ(CallCommand(CMD_INTEGER_DIVIDE, static_cast<int32_t>(args.size()), args.data()).as_double(),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerDivide,
    ::testing::Values(DivideCase{"Positive", {D(7), D(2)}, 3}, DivideCase{"NegativeTowardZero", {D(-7), D(2)}, -3},
                      DivideCase{"NegativeDivisor", {D(7), D(-2)}, -3},
                      DivideCase{"TwoSteps", {D(100), D(3), D(2)}, 16}, DivideCase{"OneArgument", {D(5.5)}, 5.5},
                      DivideCase{"IntegerArguments", {I(9), I(2)}, 4},
                      DivideCase{"Large", {D(1e20), D(4)}, 2.5e19}),
    [](const ::testing::TestParamInfo<DivideCase>& info) { return std::string(info.param.name); });

TEST(IntegerDivideByZero, IsARuntimeError) {
  for (std::vector<ArgRecord> args : {std::vector<ArgRecord>{D(7), D(0)}, {D(7), D(2), D(-0.0)}, {D(0), I(0)}}) {
    try {
      CallCommand(CMD_INTEGER_DIVIDE, static_cast<int32_t>(args.size()), args.data());
      ADD_FAILURE() << "no error";
    } catch (const RuntimeErrorSeen& error) {
      EXPECT_EQ(error.message, "\xB2\xBB\xC4\xDC\xD5\xFB\xB3\xFD\xD3\xDA\xC1\xE3");  // 不能整除于零
    }
  }
}

TEST(BitAnd, AndsEveryArgument) {
  EXPECT_EQ(Call(CMD_BIT_AND, {I(0xF0F0), I(0x0FF0)}).as_int(), 0x00F0);
  EXPECT_EQ(Call(CMD_BIT_AND, {I(-1), I(5), I(7)}).as_int(), 5);
  EXPECT_EQ(Call(CMD_BIT_AND, {I(-8)}).as_int(), -8);
}

TEST(ZeroBytes, BlockOfZerosOrNothing) {
  EXPECT_EQ(TakeBytes(Call(CMD_ZERO_BYTES, {I(3)})), std::string(3, '\0'));
  EXPECT_EQ(TakeBytes(Call(CMD_ZERO_BYTES, {I(0)})), "(null)");
  EXPECT_EQ(TakeBytes(Call(CMD_ZERO_BYTES, {I(-5)})), "(null)");
  EXPECT_EQ(TakeBytes(Call(CMD_ZERO_BYTES, {I(INT_MIN)})), "(null)");
}

TEST(BytesLeft, ClampsTheCount) {
  TestBytes bytes("\x01\x02\x03");
  EXPECT_EQ(TakeBytes(Call(CMD_BYTES_LEFT, {bytes.arg(), I(2)})), "\x01\x02");
  EXPECT_EQ(TakeBytes(Call(CMD_BYTES_LEFT, {bytes.arg(), I(INT_MAX)})), "\x01\x02\x03");
  EXPECT_EQ(TakeBytes(Call(CMD_BYTES_LEFT, {bytes.arg(), I(0)})), "(null)");
  EXPECT_EQ(TakeBytes(Call(CMD_BYTES_LEFT, {bytes.arg(), I(-1)})), "(null)");
  EXPECT_EQ(TakeBytes(Call(CMD_BYTES_LEFT, {ArgRecord::Bytes(nullptr), I(3)})), "(null)");
}

TEST(BytesAtAddress, CopiesTheMemory) {
  static const char kMemory[] = "hello";
  EXPECT_EQ(TakeBytes(Call(CMD_BYTES_AT_ADDRESS, {Address(kMemory), I(5)})), "hello");
  EXPECT_EQ(TakeBytes(Call(CMD_BYTES_AT_ADDRESS, {Address(kMemory), I(0)})), "(null)");
  EXPECT_EQ(TakeBytes(Call(CMD_BYTES_AT_ADDRESS, {Address(kMemory), I(-1)})), "(null)") << "no 4 GB read";
  EXPECT_EQ(TakeBytes(Call(CMD_BYTES_AT_ADDRESS, {I(0), I(4)})), "(null)") << "no read at address 0";
}

struct BinCase {
  const char* name;
  std::string bytes;
  int32_t type_index;
  ArgRecord position;
  uint32_t type;
  uint64_t value;  // value and aux as one 64-bit field
};

class GetBinData : public ::testing::TestWithParam<BinCase> {};

TEST_P(GetBinData, ReadsLittleEndianValues) {
  const BinCase& c = GetParam();
  TestBytes bytes(c.bytes);
  ArgRecord result = Call(CMD_GET_BIN_DATA, {bytes.arg(), I(c.type_index), c.position});
  EXPECT_EQ(result.type, c.type);
  EXPECT_EQ(result.as_u64(), c.value);
}

uint64_t Bits(double d) { return ArgRecord::Double(d).as_u64(); }

INSTANTIATE_TEST_SUITE_P(
    Cases, GetBinData,
    ::testing::Values(
        BinCase{"Byte", "\xF0\x01", 1, kOmitted, TYPE_BYTE, 0xF0},
        BinCase{"ShortSigned", "\xFE\xFF", 2, kOmitted, TYPE_SHORT, 0xFFFFFFFE},
        BinCase{"Integer", "\x78\x56\x34\x12", 3, kOmitted, TYPE_INT, 0x12345678},
        BinCase{"IntegerFromTwoBytes", "\x34\x12", 3, kOmitted, TYPE_INT, 0x1234},
        BinCase{"Long", "\x01\x02\x03\x04\x05\x06\x07\x08", 4, kOmitted, TYPE_LONG, 0x0807060504030201ULL},
        BinCase{"Float", std::string("\x00\x00\xC0\x3F", 4), 5, kOmitted, TYPE_FLOAT, 0x3FC00000},
        BinCase{"Double", std::string("\0\0\0\0\0\0\xF8\x3F", 8), 6, kOmitted, TYPE_DOUBLE, Bits(1.5)},
        BinCase{"LogicalFromHighByte", std::string("\0\0\0\x80", 4), 7, kOmitted, TYPE_BOOL, 1},
        BinCase{"LogicalFalse", std::string("\0\0\0\0", 4), 7, kOmitted, TYPE_BOOL, 0},
        BinCase{"DateTimeClamped", std::string("\0\0\0\0\0\0\xF0\x7F", 8), 8, kOmitted, TYPE_DATETIME,
                Bits(2958465)},
        BinCase{"SubroutinePointer", std::string("\x00\x10\x40\x00", 4), 9, kOmitted, TYPE_SUBPTR, 0x401000},
        BinCase{"PositionByValue", "\x01\x02\x03\x04\x05", 3, I(2), TYPE_INT, 0x05040302},
        BinCase{"PositionPastTheEnd", "\x01\x02", 3, I(100), TYPE_INT, 0},
        BinCase{"PositionZeroReadsNothing", "\x01\x02", 1, I(0), TYPE_BYTE, 0},
        BinCase{"PositionNegativeReadsNothing", "\x01\x02", 1, I(-7), TYPE_BYTE, 0},
        BinCase{"PositionMostPositive", "\x01\x02", 4, I(INT_MAX), TYPE_LONG, 0},
        BinCase{"EmptyArray", "", 3, kOmitted, TYPE_INT, 0}),
    [](const ::testing::TestParamInfo<BinCase>& info) { return std::string(info.param.name); });

ArgRecord ByReference(int32_t* position) { return Typed(TYPE_INT | 0x20000000, WordOf(position)); }

TEST(GetBinDataTexts, ReadUpToTheZeroAndMoveThePositionPastIt) {
  TestBytes bytes(std::string("ab\0cd", 5));
  int32_t position = 1;
  ArgRecord first = Call(CMD_GET_BIN_DATA, {bytes.arg(), I(10), ByReference(&position)});
  EXPECT_EQ(first.type, TYPE_TEXT);
  EXPECT_EQ(TakeText(first), "ab");
  EXPECT_EQ(position, 4) << "past the terminating zero";
  EXPECT_EQ(TakeText(Call(CMD_GET_BIN_DATA, {bytes.arg(), I(10), ByReference(&position)})), "cd");
  EXPECT_EQ(position, -1) << "the whole array was read";
  EXPECT_EQ(TakeText(Call(CMD_GET_BIN_DATA, {bytes.arg(), I(10), ByReference(&position)})), "(null)");
  EXPECT_EQ(position, -1);
  EXPECT_EQ(TakeText(Call(CMD_GET_BIN_DATA, {bytes.arg(), I(10)})), "ab") << "omitted: from the start";
  EXPECT_EQ(TakeText(Call(CMD_GET_BIN_DATA, {TestBytes("").arg(), I(10)})), "(null)");
}

TEST(GetBinDataPositions, AdvanceByTheTypeSizeAndEndAtMinusOne) {
  TestBytes bytes(std::string("\x01\x00\x00\x00\x02\x00", 6));
  int32_t position = 1;
  EXPECT_EQ(Call(CMD_GET_BIN_DATA, {bytes.arg(), I(3), ByReference(&position)}).as_int(), 1);
  EXPECT_EQ(position, 5);
  EXPECT_EQ(Call(CMD_GET_BIN_DATA, {bytes.arg(), I(3), ByReference(&position)}).as_int(), 2) << "zeros above";
  EXPECT_EQ(position, -1);
  // Reading on from the end marker gives zero and stays at the end, instead
  // of counting back into the data and reading it again.
  EXPECT_EQ(Call(CMD_GET_BIN_DATA, {bytes.arg(), I(3), ByReference(&position)}).as_int(), 0);
  EXPECT_EQ(position, -1);
  position = 0;
  Call(CMD_GET_BIN_DATA, {bytes.arg(), I(1), ByReference(&position)});
  EXPECT_EQ(position, -1);
  position = 6;
  EXPECT_EQ(Call(CMD_GET_BIN_DATA, {bytes.arg(), I(1), ByReference(&position)}).as_int(), 0);
  EXPECT_EQ(position, -1) << "the last byte read";
  int32_t by_value = 1;
  Call(CMD_GET_BIN_DATA, {bytes.arg(), I(3), I(by_value)});
  EXPECT_EQ(by_value, 1);
}

TEST(GetBinDataTypes, AnIndexOutsideOneToTenIsARuntimeError) {
  TestBytes bytes("\x01\x02\x03\x04");
  for (int32_t index : {0, 11, -1, INT_MIN}) {
    try {
      Call(CMD_GET_BIN_DATA, {bytes.arg(), I(index)});
      ADD_FAILURE() << "no error for " << index;
    } catch (const RuntimeErrorSeen& error) {
      // “欲取出数据的类型”参数值无效
      EXPECT_EQ(error.message,
                "\xA1\xB0\xD3\xFB\xC8\xA1\xB3\xF6\xCA\xFD\xBE\xDD\xB5\xC4\xC0\xE0\xD0\xCD\xA1\xB1\xB2\xCE\xCA\xFD\xD6"
                "\xB5\xCE\xDE\xD0\xA7");
    }
  }
}

}  // namespace
