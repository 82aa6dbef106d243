// File commands against real filesystem limits, run by with_small_drives.sh:
// QELMO_SMALL_DRIVE names a 64 KiB filesystem that fills up part way
// through a write, QELMO_READONLY_DRIVE a read-only one holding
// existing.txt ("kept").
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/commands/target_host.h"
#include "tests/harness/test_program.h"

namespace {

ArgRecord T(const std::string& text) { return ArgRecord::Text(text.c_str()); }
ArgRecord I(int32_t v) { return ArgRecord::Int(v); }

std::string Drive(const char* variable) {
  const char* value = std::getenv(variable);
  return value ? std::string(value) + "\\" : std::string();
}

class SmallDrive : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.empty()) << "run through with_small_drives.sh";
    ASSERT_TRUE(Exists(folder_)) << folder_;
  }
  void TearDown() override {
    for (const char* name : {"part.bin", "whole.bin"}) DeleteFileW(Wide(folder_ + name).c_str());
  }
  std::string folder_ = Drive("QELMO_SMALL_DRIVE");
};

TEST_F(SmallDrive, WriteBytesFailingWhenTheDiskFillsRestoresThePosition) {
  std::string path = folder_ + "part.bin";
  int32_t file = Call(CMD_OPEN_FILE, {T(path), I(4), I(1)}).as_int();
  ASSERT_NE(file, 0);
  TestBytes head("HEAD"), first(std::string(1000, 'b')), second(std::string(200000, 'c')), xy("XY");
  ASSERT_TRUE(Call(CMD_WRITE_BYTES, {I(file), head.arg()}).as_bool());
  EXPECT_FALSE(Call(CMD_WRITE_BYTES, {I(file), first.arg(), second.arg()}).as_bool());
  // Back at 4: the next write overwrites bytes already on the full disk.
  EXPECT_TRUE(Call(CMD_WRITE_BYTES, {I(file), xy.arg()}).as_bool());
  EXPECT_TRUE(Call(CMD_SEEK_TO_END, {I(file)}).as_bool());
  EXPECT_FALSE(Call(CMD_WRITE_BYTES, {I(file), xy.arg()}).as_bool()) << "the disk is still full";
  Call(CMD_CLOSE_FILE, {I(file)});
  std::string content = ReadWholeFile(path);
  EXPECT_EQ(content.substr(0, 6), "HEADXY");
  ASSERT_GT(content.size(), 1004u) << "the bytes written before the disk filled stay";
  EXPECT_EQ(content.substr(6, 998), std::string(998, 'b'));
  EXPECT_EQ(content.substr(1004), std::string(content.size() - 1004, 'c'));
  EXPECT_LT(content.size(), 201004u);
}

TEST_F(SmallDrive, WriteFileFailingWhenTheDiskFillsKeepsWhatWasWritten) {
  std::string path = folder_ + "whole.bin";
  TestBytes first(std::string(1000, 'b')), second(std::string(200000, 'c')), third("third");
  EXPECT_FALSE(Call(CMD_WRITE_FILE, {T(path), first.arg(), second.arg(), third.arg()}).as_bool());
  std::string content = ReadWholeFile(path);
  ASSERT_GT(content.size(), 1000u);
  EXPECT_EQ(content.substr(0, 1000), std::string(1000, 'b'));
  EXPECT_EQ(content.find("third"), std::string::npos);
  EXPECT_TRUE(Call(CMD_DELETE_FILE, {T(path)}).as_bool()) << "the handle was closed";
}

class ReadOnlyDrive : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.empty()) << "run through with_small_drives.sh"; }
  std::string folder_ = Drive("QELMO_READONLY_DRIVE");
};

TEST_F(ReadOnlyDrive, NothingCanBeWrittenButReadingOpens) {
  std::string existing = folder_ + "existing.txt";
  ASSERT_EQ(ReadWholeFile(existing), "kept");
  TestBytes bytes("x");
  EXPECT_FALSE(Call(CMD_WRITE_FILE, {T(existing), bytes.arg()}).as_bool());
  EXPECT_FALSE(Call(CMD_WRITE_FILE, {T(folder_ + "new.txt"), bytes.arg()}).as_bool());
  for (int32_t mode : {2, 3, 4, 5, 6}) EXPECT_EQ(Call(CMD_OPEN_FILE, {T(existing), I(mode), I(1)}).as_int(), 0) << mode;
  EXPECT_EQ(Call(CMD_OPEN_FILE, {T(folder_ + "new.txt"), I(6), I(1)}).as_int(), 0);
  int32_t reading = Call(CMD_OPEN_FILE, {T(existing), I(1), I(1)}).as_int();
  EXPECT_NE(reading, 0);
  EXPECT_FALSE(Call(CMD_WRITE_BYTES, {I(reading), bytes.arg()}).as_bool());
  Call(CMD_CLOSE_FILE, {I(reading)});
  EXPECT_FALSE(Call(CMD_DELETE_FILE, {T(existing)}).as_bool());
  EXPECT_TRUE(Call(CMD_FILE_EXISTS, {T(existing)}).as_bool());
  EXPECT_EQ(ReadWholeFile(existing), "kept");
}

}  // namespace

const TestProgram kTestProgram = {UseTestRuntime, nullptr};
