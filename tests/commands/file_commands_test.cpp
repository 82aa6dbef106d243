// The file commands in a folder with a Chinese name: the open-mode and
// sharing tables, the open-file register, byte-array writes, a write that
// fails part way, read-only files, and numbers never opened or closed.
#include <gtest/gtest.h>

#include <climits>

#include "runtime/notify.h"
#include "tests/commands/target_host.h"

namespace {

ArgRecord T(const std::string& text) { return ArgRecord::Text(text.c_str()); }
ArgRecord I(int32_t v) { return ArgRecord::Int(v); }
const ArgRecord kOmitted = ArgRecord::Omitted();

class FileCommands : public ::testing::Test {
 protected:
  TestFolder folder{L"qelmo-命令测试"};
  std::string path = folder.Path("数据.bin");  // GBK all the way

  int32_t Open(int32_t mode, int32_t sharing = 1) {
    return Call(CMD_OPEN_FILE, {T(path), I(mode), I(sharing)}).as_int();
  }
  bool WriteBytes(int32_t file, const std::string& bytes) {
    TestBytes array(bytes);
    return Call(CMD_WRITE_BYTES, {I(file), array.arg()}).as_bool();
  }
  void Close(int32_t file) { Call(CMD_CLOSE_FILE, {I(file)}); }
};

struct OpenCase {
  int32_t mode;
  bool exists;
  bool opens;
  const char* content_after_writing_xy;  // "(missing)" when no file is left
};

class OpenModes : public FileCommands, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenModes, FollowTheModeTable) {
  const OpenCase& c = GetParam();
  if (c.exists) WriteWholeFile(path, "abcdef");
  int32_t file = Open(c.mode);
  EXPECT_EQ(file != 0, c.opens);
  if (file) {
    WriteBytes(file, "XY");  // starts at position 0 in every mode
    Close(file);
  }
  EXPECT_EQ(ReadWholeFile(path), c.content_after_writing_xy);
}

INSTANTIATE_TEST_SUITE_P(Table, OpenModes,
                         ::testing::Values(OpenCase{1, true, true, "abcdef"},  // read only: the write fails
                                           OpenCase{1, false, false, "(missing)"},
                                           OpenCase{2, true, true, "XYcdef"},
                                           OpenCase{2, false, false, "(missing)"},
                                           OpenCase{3, true, true, "XYcdef"},
                                           OpenCase{3, false, false, "(missing)"},
                                           OpenCase{4, true, true, "XY"},  // emptied
                                           OpenCase{4, false, true, "XY"},
                                           OpenCase{5, true, true, "XYcdef"},  // kept, written from 0
                                           OpenCase{5, false, true, "XY"},
                                           OpenCase{6, true, true, "XYcdef"},
                                           OpenCase{6, false, true, "XY"}),
                         [](const ::testing::TestParamInfo<OpenCase>& info) {
                           return "Mode" + std::to_string(info.param.mode) +
                                  (info.param.exists ? "Existing" : "Missing");
                         });

TEST_F(FileCommands, BadModesOpenNothingAndTouchNothing) {
  for (auto [mode, sharing] : std::initializer_list<std::pair<int32_t, int32_t>>{
           {0, 1}, {7, 1}, {-1, 1}, {INT_MIN, 1}, {4, 0}, {4, 5}, {4, -1}}) {
    EXPECT_EQ(Open(mode, sharing), 0) << mode << " " << sharing;
    EXPECT_FALSE(Exists(path)) << "mode " << mode << " sharing " << sharing << " created the file";
  }
  EXPECT_EQ(Call(CMD_OPEN_FILE, {T(""), I(4), I(1)}).as_int(), 0);
}

TEST_F(FileCommands, OmittedModeIsReadWriteOfAnExistingFile) {
  EXPECT_EQ(Call(CMD_OPEN_FILE, {T(path), kOmitted, kOmitted}).as_int(), 0) << "mode 3 needs the file";
  EXPECT_FALSE(Exists(path));
  WriteWholeFile(path, "abc");
  int32_t file = Call(CMD_OPEN_FILE, {T(path), kOmitted, kOmitted}).as_int();
  ASSERT_NE(file, 0);
  EXPECT_TRUE(WriteBytes(file, "X"));
  // Omitted sharing lets others read and write meanwhile.
  HANDLE other = CreateFileW(folder.WidePath("数据.bin").c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(other, INVALID_HANDLE_VALUE);
  CloseHandle(other);
  Close(file);
  EXPECT_EQ(ReadWholeFile(path), "Xbc");
}

struct SharingCase {
  int32_t sharing;
  bool others_read;
  bool others_write;
};

class Sharing : public FileCommands, public ::testing::WithParamInterface<SharingCase> {};

TEST_P(Sharing, FollowsTheSharingTable) {
  WriteWholeFile(path, "abc");
  int32_t file = Open(3, GetParam().sharing);
  ASSERT_NE(file, 0);
  auto others_may = [&](DWORD access) {
    HANDLE other = CreateFileW(folder.WidePath("数据.bin").c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    if (other == INVALID_HANDLE_VALUE) return false;
    CloseHandle(other);
    return true;
  };
  EXPECT_EQ(others_may(GENERIC_READ), GetParam().others_read);
  EXPECT_EQ(others_may(GENERIC_WRITE), GetParam().others_write);
  Close(file);
}

INSTANTIATE_TEST_SUITE_P(Table, Sharing,
                         ::testing::Values(SharingCase{1, true, true}, SharingCase{2, false, true},
                                           SharingCase{3, true, false}, SharingCase{4, false, false}),
                         [](const ::testing::TestParamInfo<SharingCase>& info) {
                           return "Sharing" + std::to_string(info.param.sharing);
                         });

TEST_F(FileCommands, OpenFilesAreRegisteredUntilClosed) {
  int32_t file = Open(4);
  ASSERT_NE(file, 0);
  EXPECT_EQ(NotifyRuntime(NR_FIND_OPEN_FILE, file, 0), 1) << "registered as a plain file";
  Close(file);
  EXPECT_EQ(NotifyRuntime(NR_FIND_OPEN_FILE, file, 0), -1);
  // The handle went with it: the file can be deleted and opened exclusively.
  EXPECT_TRUE(Call(CMD_DELETE_FILE, {T(path)}).as_bool());
}

TEST_F(FileCommands, AppendingAfterSeekToEnd) {
  WriteWholeFile(path, "abc");
  int32_t file = Open(5);
  ASSERT_NE(file, 0);
  EXPECT_TRUE(Call(CMD_SEEK_TO_END, {I(file)}).as_bool());
  TestBytes one("12"), empty(""), two(std::string("\x00\xFF", 2));
  // Several arrays in order, empty ones and other types skipped.
  EXPECT_TRUE(Call(CMD_WRITE_BYTES, {I(file), one.arg(), empty.arg(), ArgRecord::Bytes(nullptr), T("text"),
                                     kOmitted, two.arg()})
                  .as_bool());
  EXPECT_TRUE(WriteBytes(file, "Z"));
  Close(file);
  EXPECT_EQ(ReadWholeFile(path), std::string("abc12\x00\xFFZ", 8)) << "raw bytes, no line-end translation";
}

TEST_F(FileCommands, RawBytesAreWrittenAsTheyAre) {
  int32_t file = Open(4);
  ASSERT_NE(file, 0);
  EXPECT_TRUE(WriteBytes(file, "a\nb\r\nc\x1A" "d"));
  Close(file);
  EXPECT_EQ(ReadWholeFile(path), "a\nb\r\nc\x1A" "d");
}

TEST_F(FileCommands, NumbersNeverOpenedOrClosedAreHarmless) {
  static int not_a_file = 0;
  int32_t strangers[] = {0, -1, 0x12345678, static_cast<int32_t>(WordOf(&not_a_file))};
  for (int32_t number : strangers) {
    EXPECT_FALSE(WriteBytes(number, "x")) << number;
    EXPECT_FALSE(Call(CMD_SEEK_TO_END, {I(number)}).as_bool()) << number;
    Call(CMD_CLOSE_FILE, {I(number)});
  }
  int32_t file = Open(4);
  ASSERT_NE(file, 0);
  Close(file);
  EXPECT_FALSE(WriteBytes(file, "x")) << "closed";
  EXPECT_FALSE(Call(CMD_SEEK_TO_END, {I(file)}).as_bool());
  Close(file);  // a second close does nothing
  EXPECT_EQ(ReadWholeFile(path), "");
}

TEST_F(FileCommands, ObjectsOfOtherKindsAreLeftAlone) {
  // Another library's object in the register, kind 2: not a plain file.
  static int other_object = 0;
  int32_t number = static_cast<int32_t>(WordOf(&other_object));
  NotifyRuntime(NR_REGISTER_OPEN_FILE, number, 2);
  EXPECT_FALSE(WriteBytes(number, "x"));
  EXPECT_FALSE(Call(CMD_SEEK_TO_END, {I(number)}).as_bool());
  Call(CMD_CLOSE_FILE, {I(number)});
  EXPECT_EQ(NotifyRuntime(NR_FIND_OPEN_FILE, number, 0), 2) << "still registered: not ours to close";
  NotifyRuntime(NR_UNREGISTER_OPEN_FILE, number, 0);
}

// A byte array whose bytes run into memory that cannot be read: the write
// stops part way through it, like a disk that fills up.
class UnreadableTail {
 public:
  UnreadableTail() {
    memory_ = static_cast<char*>(VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(memory_ + kPage, kPage, PAGE_NOACCESS, &old);
    // Header and 100 readable bytes at the end of the first page, 5000 claimed.
    block_ = memory_ + kPage - 108;
    const int32_t header[2] = {1, 5000};
    memcpy(block_, header, sizeof header);
    memset(block_ + 8, 'c', 100);
  }
  ~UnreadableTail() { VirtualFree(memory_, 0, MEM_RELEASE); }
  ArgRecord arg() const { return ArgRecord::Bytes(block_); }

 private:
  static constexpr size_t kPage = 4096;
  char* memory_;
  char* block_;
};

TEST_F(FileCommands, AWriteFailingPartWayKeepsTheBytesAndRestoresThePosition) {
  int32_t file = Open(4);
  ASSERT_NE(file, 0);
  ASSERT_TRUE(WriteBytes(file, "HEAD"));
  TestBytes first(std::string(1000, 'b'));
  UnreadableTail second;
  EXPECT_FALSE(Call(CMD_WRITE_BYTES, {I(file), first.arg(), second.arg()}).as_bool());
  // Back at position 4, where the failed call started.
  EXPECT_TRUE(WriteBytes(file, "XY"));
  Close(file);
  std::string content = ReadWholeFile(path);
  EXPECT_EQ(content.substr(0, 6), "HEADXY");
  ASSERT_GE(content.size(), 1004u) << "the first array's bytes stay";
  EXPECT_EQ(content.substr(6, 998), std::string(998, 'b'));
}

TEST_F(FileCommands, WriteFileWithOnlyANameMakesAnEmptyFile) {
  WriteWholeFile(path, "old contents");
  EXPECT_TRUE(Call(CMD_WRITE_FILE, {T(path)}).as_bool());
  EXPECT_EQ(ReadWholeFile(path), "");
}

TEST_F(FileCommands, WriteFileWritesEveryArrayInOrder) {
  WriteWholeFile(path, "a much longer old content");
  TestBytes one("\x01\x02"), empty(""), two("three");
  EXPECT_TRUE(Call(CMD_WRITE_FILE, {T(path), one.arg(), empty.arg(), ArgRecord::Bytes(nullptr), two.arg()}).as_bool());
  EXPECT_EQ(ReadWholeFile(path), "\x01\x02three");
}

TEST_F(FileCommands, WriteFileFailures) {
  TestBytes bytes("x");
  EXPECT_FALSE(Call(CMD_WRITE_FILE, {T(""), bytes.arg()}).as_bool());
  EXPECT_FALSE(Call(CMD_WRITE_FILE, {T(folder.Path("没有的目录\\x.bin")), bytes.arg()}).as_bool());
  CreateDirectoryW(folder.WidePath("目录").c_str(), nullptr);
  EXPECT_FALSE(Call(CMD_WRITE_FILE, {T(folder.Path("目录")), bytes.arg()}).as_bool()) << "a folder";
  // The file is opened without sharing: a file held open elsewhere fails.
  WriteWholeFile(path, "held");
  HANDLE held = CreateFileW(folder.WidePath("数据.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(Call(CMD_WRITE_FILE, {T(path), bytes.arg()}).as_bool());
  CloseHandle(held);
  EXPECT_EQ(ReadWholeFile(path), "held");
}

TEST_F(FileCommands, WriteFileFailingPartWayKeepsWhatWasWritten) {
  TestBytes first("first");
  UnreadableTail second;
  TestBytes third("third");
  EXPECT_FALSE(Call(CMD_WRITE_FILE, {T(path), first.arg(), second.arg(), third.arg()}).as_bool());
  std::string content = ReadWholeFile(path);
  EXPECT_EQ(content.substr(0, 5), "first");
  EXPECT_EQ(content.find("third"), std::string::npos) << "the rest is abandoned";
  EXPECT_TRUE(Call(CMD_DELETE_FILE, {T(path)}).as_bool()) << "and the handle was closed";
}

TEST_F(FileCommands, ReadOnlyFiles) {
  WriteWholeFile(path, "kept");
  SetFileAttributesW(folder.WidePath("数据.bin").c_str(), FILE_ATTRIBUTE_READONLY);
  HANDLE probe = CreateFileW(folder.WidePath("数据.bin").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    GTEST_SKIP() << "this platform lets the user write read-only files (Wine run as root); the read-only "
                    "filesystem run covers it";
  }
  TestBytes bytes("x");
  EXPECT_FALSE(Call(CMD_WRITE_FILE, {T(path), bytes.arg()}).as_bool());
  for (int32_t mode : {2, 3, 4, 5, 6}) EXPECT_EQ(Open(mode), 0) << mode;
  int32_t reading = Open(1);
  EXPECT_NE(reading, 0);
  EXPECT_FALSE(WriteBytes(reading, "x"));
  Close(reading);
  EXPECT_FALSE(Call(CMD_DELETE_FILE, {T(path)}).as_bool());
  EXPECT_EQ(ReadWholeFile(path), "kept");
}

TEST_F(FileCommands, DeleteFile) {
  WriteWholeFile(path, "x");
  EXPECT_TRUE(Call(CMD_DELETE_FILE, {T(path)}).as_bool());
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(Call(CMD_DELETE_FILE, {T(path)}).as_bool()) << "already gone";
  EXPECT_FALSE(Call(CMD_DELETE_FILE, {T("")}).as_bool());
}

TEST_F(FileCommands, FileExists) {
  WriteWholeFile(path, "x");
  WriteWholeFile(folder.Path("说明.txt"), "x");
  CreateDirectoryW(folder.WidePath("子目录").c_str(), nullptr);
  struct {
    std::string name;
    bool exists;
  } cases[] = {
      {path, true},
      {folder.Path("没有.bin"), false},
      {folder.Path("子目录"), true},
      {folder.Path("子目录\\"), true},  // a folder named with its backslash
      {folder.Path("*.txt"), true},
      {folder.Path("*.xyz"), false},
      {folder.Path("数?.bin"), true},
      {folder.Path("子目录\\*"), true},  // "." and ".." match
      {folder.Path("").substr(0, 3), true},  // the drive's root, "C:\"
      {"", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Call(CMD_FILE_EXISTS, {T(c.name)}).as_bool(), c.exists) << Wide(c.name).c_str();
}

}  // namespace
