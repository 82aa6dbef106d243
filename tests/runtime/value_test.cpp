// Texts, byte arrays, argument records and GBK path scanning.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "runtime/abi/arg_record.h"
#include "runtime/value/gbk.h"
#include "runtime/value/text.h"

namespace {

void* TestAlloc(int32_t size) { return std::malloc(static_cast<size_t>(size)); }

TEST(Text, CompareTreatsNullAsEmptyAndBytesAsUnsigned) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  } cases[] = {
      {nullptr, nullptr, 0}, {nullptr, "", 0},    {"", nullptr, 0},    {nullptr, "a", -1}, {"a", nullptr, 1},
      {"abc", "abc", 0},     {"ab", "abc", -1},   {"abc", "ab", 1},    {"b", "a", 1},
      {"\xB0\xB2", "a", 1},  // a GBK lead byte sorts above ASCII
      {"a\xB0", "a\x7F", 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextCompare(c.a, c.b), c.expected) << (c.a ? c.a : "null") << " vs " << (c.b ? c.b : "null");
}

TEST(Text, JoinMakesAFreshBlockEvenWhenEverythingIsEmpty) {
  const char* empties[] = {nullptr, "", nullptr};
  char* joined = TextJoin(empties, 3, TestAlloc);
  ASSERT_NE(joined, nullptr);
  EXPECT_STREQ(joined, "");
  std::free(joined);

  const char* parts[] = {"下载", nullptr, "状态：", ""};
  joined = TextJoin(parts, 4, TestAlloc);
  EXPECT_STREQ(joined, "下载状态：");
  std::free(joined);
}

TEST(Text, CopyOfEmptyIsNullAndOtherwiseAFreshBlock) {
  EXPECT_EQ(TextCopy(nullptr, TestAlloc), nullptr);
  EXPECT_EQ(TextCopy("", TestAlloc), nullptr);
  const char source[] = "qelmo";
  char* copy = TextCopy(source, TestAlloc);
  EXPECT_STREQ(copy, source);
  EXPECT_NE(copy, source);
  std::free(copy);
  EXPECT_EQ(TextLength(nullptr), 0);
  EXPECT_EQ(TextLength("安装"), 4);
}

TEST(ByteArray, DataAddressIsEightBytesIntoTheBlockOrNull) {
  int32_t block[3] = {1, 3, 0x00434241};
  void* variable = block;
  EXPECT_EQ(ByteArrayDataAddress(&variable), reinterpret_cast<unsigned char*>(block) + 8);
  EXPECT_EQ(ByteArrayLength(block), 3);
  void* empty = nullptr;
  EXPECT_EQ(ByteArrayDataAddress(&empty), nullptr);
  EXPECT_EQ(ByteArrayLength(nullptr), 0);
}

TEST(ArgRecord, EightByteValuesReadFromTheStartOfTheRecord) {
  ArgRecord record = ArgRecord::Long(-2);
  int64_t raw;
  std::memcpy(&raw, &record, sizeof raw);
  EXPECT_EQ(raw, -2);
}

TEST(ArgRecord, DateTimesAreClampedToTheirRange) {
  EXPECT_EQ(ArgRecord::DateTime(3000000).as_double(), 2958465.0);
  EXPECT_EQ(ArgRecord::DateTime(-700000).as_double(), -657434.0);
  EXPECT_EQ(ArgRecord::DateTime(45000.25).as_double(), 45000.25);
  EXPECT_EQ(ArgRecord::DateTime(1).type, TYPE_DATETIME);
}

TEST(ArgRecord, OnlyTheSixNumericTypesHaveANumericSize) {
  EXPECT_EQ(NumericSize(TYPE_BYTE), 1);
  EXPECT_EQ(NumericSize(TYPE_SHORT), 2);
  EXPECT_EQ(NumericSize(TYPE_FLOAT), 4);
  EXPECT_EQ(NumericSize(TYPE_DOUBLE), 8);
  EXPECT_EQ(NumericSize(TYPE_DATETIME), 0);
  EXPECT_EQ(NumericSize(TYPE_BOOL), 0);
  EXPECT_EQ(NumericSize(TYPE_WIDE8), 0);
  EXPECT_TRUE(IsComponentType(0x00020002));
  EXPECT_FALSE(IsComponentType(TYPE_TEXT));
}

TEST(GbkPath, SplitsAtTheLastRealBackslash) {
  SplitPath plain = SplitAtLastBackslash("C:\\Program Files\\qelmo.exe");
  EXPECT_EQ(plain.directory, "C:\\Program Files");
  EXPECT_EQ(plain.file, "qelmo.exe");
  // 0x95 0x5C is one character whose second byte looks like a backslash.
  SplitPath trail = SplitAtLastBackslash("C:\\dir\\\x95\x5Cname.exe");
  EXPECT_EQ(trail.directory, "C:\\dir");
  EXPECT_EQ(trail.file, "\x95\x5Cname.exe");
  SplitPath bare = SplitAtLastBackslash("qelmo.exe");
  EXPECT_EQ(bare.directory, "");
  EXPECT_EQ(bare.file, "qelmo.exe");
  SplitPath root = SplitAtLastBackslash("\\qelmo.exe");
  EXPECT_EQ(root.directory, "");
  EXPECT_EQ(root.file, "qelmo.exe");
  EXPECT_EQ(FindLastCharacter("ab\xB0", 'b'), 1) << "a broken lead byte at the end";
}

}  // namespace
