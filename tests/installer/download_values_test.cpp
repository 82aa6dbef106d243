// What the download engine reads and writes besides the body: the request
// headers, the response's length and range, the record beside a part file,
// and the SHA-256 it checks an archive against.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <type_traits>

#include "app/download.h"
#include "app/http_values.h"
#include "app/partial_download.h"
#include "app/sha256_hash.h"
#include "app/transfer_plan.h"
#include "platform/wide_text.h"
#include "tests/installer/installer_runtime.h"

// A DLL command's call is checked as it is written: its argument count and
// types are the declaration's.
template <const auto& kCommand, typename... Arguments>
constexpr bool kCallable = std::is_invocable_v<decltype(kCommand), int32_t, Arguments...>;
static_assert(kCallable<dll::GetTickCount>);
static_assert(!kCallable<dll::GetTickCount, uint32_t>, "one argument too many");
static_assert(!kCallable<dll::CloseHandle>, "one argument too few");
static_assert(!kCallable<dll::DeleteFileW, const char*>, "a GBK text where a wide one is declared");
static_assert(kCallable<dll::DeleteFileW, const wchar_t*>);

namespace {

TEST(ContentLength, DigitsOnlyWithin64Bits) {
  EXPECT_EQ(parse_content_length("0"), 0);
  EXPECT_EQ(parse_content_length("5368709120"), int64_t{5} << 30);
  EXPECT_EQ(parse_content_length("9223372036854775807"), INT64_MAX);
  for (const char* bad : {"", "9223372036854775808", "-1", "+5", " 5", "5 ", "12a", "0x10", "1e9"})
    EXPECT_EQ(parse_content_length(bad), -1) << bad;
  EXPECT_EQ(parse_content_length(nullptr), -1);
}

TEST(ContentRange, RangesAndTheUnsatisfiableForm) {
  ContentRange range;
  ASSERT_TRUE(parse_content_range("bytes 1000-5999/6000", &range));
  EXPECT_EQ(range.first, 1000);
  EXPECT_EQ(range.last, 5999);
  EXPECT_EQ(range.total, 6000);
  ASSERT_TRUE(parse_content_range("bytes 4294967296-5368709119/5368709120", &range));
  EXPECT_EQ(range.first, int64_t{4} << 30);
  ASSERT_TRUE(parse_content_range("bytes */6000", &range));
  EXPECT_EQ(range.first, -1);
  EXPECT_EQ(range.total, 6000);
  for (const char* bad : {"", "bytes", "bytes 1-2", "bytes 1-2/", "bytes 5-4/10", "bytes 0-10/10", "bytes 0-9/*",
                          "items 0-9/10", "bytes  0-9/10", "bytes 0-9/10 ", "bytes -1-9/10", "bytes */"})
    EXPECT_FALSE(parse_content_range(bad, &range)) << bad;
}

TEST(PartialRecord, ReadsBackWhatItWrites) {
  PartialRecord record{"https://localhost:18443/up/all/qelmo.rar", int64_t{5} << 30, "\"5f3e-12345\"",
                       "Tue, 08 Dec 2026 10:00:00 GMT", int64_t{9} << 29};
  PartialRecord read;
  ASSERT_TRUE(parse_partial_record(format_partial_record(record), &read));
  EXPECT_EQ(read.url, record.url);
  EXPECT_EQ(read.total, record.total);
  EXPECT_EQ(read.etag, record.etag);
  EXPECT_EQ(read.last_modified, record.last_modified);
  EXPECT_EQ(read.valid, record.valid);
  PartialRecord beyond = record;
  beyond.valid = record.total + 1;
  EXPECT_FALSE(parse_partial_record(format_partial_record(beyond), &read)) << "more valid bytes than the archive has";
  EXPECT_FALSE(parse_partial_record("qelmo partial 1\nurl u\ntotal 10\netag \"v\"\nlast-modified d\n", &read))
      << "the first format says nothing of what was flushed";
  // Anything cut short or changed by hand is no record.
  std::string text = format_partial_record(record);
  for (size_t cut = 0; cut < text.size(); ++cut) EXPECT_FALSE(parse_partial_record(text.substr(0, cut), &read));
  std::string bad_total = text;
  bad_total.replace(bad_total.find("total ") + 6, 1, "x");
  EXPECT_FALSE(parse_partial_record(bad_total, &read));
  EXPECT_FALSE(parse_partial_record(text + "more\n", &read));
}

TEST(PartialRecord, IfRangeTakesAStrongEtagElseTheDate) {
  EXPECT_EQ(if_range_validator({"u", 1, "\"abc\"", "date"}), "\"abc\"");
  EXPECT_EQ(if_range_validator({"u", 1, "W/\"abc\"", "date"}), "date") << "a weak ETag may not be used";
  EXPECT_EQ(if_range_validator({"u", 1, "", "date"}), "date");
  EXPECT_EQ(if_range_validator({"u", 1, "W/\"abc\"", ""}), "") << "nothing to resume against";
}

// The worker's decision after an answer's headers. The part file's record:
// 6000 bytes of version "v1", 1000 of them kept.
TEST(TransferPlan, OnlyTheRestOfTheSameVersionIsAppended) {
  const PartialRecord kept{"u", 6000, "\"v1\"", "Tue, 08 Dec 2026 10:00:00 GMT", 1000};
  auto answer = [](uint32_t status, const char* range, const char* etag = "\"v1\"", bool encoded = false) {
    AnswerHeaders a;
    a.status = status;
    a.content_range = range;
    a.etag = etag;
    a.last_modified = "Tue, 08 Dec 2026 10:00:00 GMT";
    a.encoded = encoded;
    a.content_length = status == 206 ? 5000 : 6000;
    return a;
  };
  struct Case {
    const char* what;
    AnswerHeaders answer;
    Plan plan;
  } cases[] = {
      {"the rest", answer(206, "bytes 1000-5999/6000"), Plan::kAppend},
      {"206 from another byte", answer(206, "bytes 999-5999/6000"), Plan::kAskAgain},
      {"206 of another length", answer(206, "bytes 1000-6999/7000"), Plan::kAskAgain},
      {"206 of another version (If-Range ignored)", answer(206, "bytes 1000-5999/6000", "\"v2\""), Plan::kAskAgain},
      {"206 without an ETag", answer(206, "bytes 1000-5999/6000", ""), Plan::kAskAgain},
      {"206 without a range", answer(206, ""), Plan::kAskAgain},
      {"206 encoded", answer(206, "bytes 1000-5999/6000", "\"v1\"", true), Plan::kAskAgain},
      {"416 of another length", answer(416, "bytes */7000"), Plan::kAskAgain},
      {"416 of this length, part not whole", answer(416, "bytes */6000"), Plan::kAskAgain},
      {"200: the whole archive again", answer(200, ""), Plan::kFromZero},
      {"204", answer(204, ""), Plan::kAskAgain},
      {"404", answer(404, ""), Plan::kRefused},
      {"503", answer(503, ""), Plan::kRefused},
  };
  for (const Case& c : cases) EXPECT_EQ(plan_for_rest(c.answer, kept, 1000), c.plan) << c.what;

  EXPECT_EQ(plan_for_rest(answer(416, "bytes */6000"), kept, 6000), Plan::kComplete) << "a whole part";
  AnswerHeaders empty = answer(200, "");
  empty.content_length = 0;
  EXPECT_EQ(plan_for_rest(empty, kept, 1000), Plan::kRefused) << "an empty body replaces nothing";
  AnswerHeaders left = answer(206, "bytes 1000-5999/6000");
  left.left_tls = true;
  EXPECT_EQ(plan_for_rest(left, kept, 1000), Plan::kRefused);
  // Without a strong ETag the date names the version.
  const PartialRecord dated{"u", 6000, "W/\"v1\"", "Tue, 08 Dec 2026 10:00:00 GMT", 1000};
  AnswerHeaders same_date = answer(206, "bytes 1000-5999/6000", "W/\"v1\"");
  EXPECT_EQ(plan_for_rest(same_date, dated, 1000), Plan::kAppend);
  same_date.last_modified = "Wed, 09 Dec 2026 10:00:00 GMT";
  EXPECT_EQ(plan_for_rest(same_date, dated, 1000), Plan::kAskAgain);
}

TEST(TransferPlan, AWholeTransferNeedsA200WithABody) {
  auto answer = [](uint32_t status, int64_t length, bool encoded = false) {
    AnswerHeaders a;
    a.status = status;
    a.content_length = length;
    a.encoded = encoded;
    return a;
  };
  EXPECT_EQ(plan_for_whole(answer(200, 6000), false), Plan::kFromZero);
  EXPECT_EQ(plan_for_whole(answer(200, -1), false), Plan::kFromZero) << "a length ending with the connection";
  EXPECT_EQ(plan_for_whole(answer(200, 0), false), Plan::kRefused) << "an empty body";
  EXPECT_EQ(plan_for_whole(answer(204, -1), false), Plan::kRefused);
  EXPECT_EQ(plan_for_whole(answer(206, 6000), false), Plan::kRefused) << "a range nobody asked for";
  EXPECT_EQ(plan_for_whole(answer(404, 120), false), Plan::kRefused);
  EXPECT_EQ(plan_for_whole(answer(200, 3000, true), false), Plan::kRefused) << "encoded, not decoded";
  EXPECT_EQ(plan_for_whole(answer(200, 3000, true), true), Plan::kFromZero);
  EXPECT_EQ(plan_for_whole(answer(200, 0, true), true), Plan::kFromZero)
      << "an encoded length is not the archive's; the body itself must not be empty";
}

TEST(TransferPlan, StalledOnlyAfterTheLimitOfSilence) {
  EXPECT_FALSE(transfer_stalled(40000, 10000, 30000));
  EXPECT_TRUE(transfer_stalled(40001, 10000, 30000));
  EXPECT_FALSE(transfer_stalled(10000, 10005, 30000)) << "the worker's tick came just after the clock was read";
  EXPECT_FALSE(transfer_stalled(5000, 0xFFFFF000u, 30000)) << "across the tick count's wrap";
  EXPECT_TRUE(transfer_stalled(40000, 0xFFFFF000u, 30000));
}

TEST(TransferPlan, TheDisplayedTimeIsNeverZeroAndEndsAtTheLastByte) {
  EXPECT_EQ(displayed_elapsed_ms(5000, 5000, 0, false), 10u) << "a first block within the start's millisecond";
  EXPECT_EQ(displayed_elapsed_ms(5000, 7500, 0, false), 2500u);
  EXPECT_EQ(displayed_elapsed_ms(0xFFFFFF00u, 0x100, 0, false), 0x200u) << "across the tick count's wrap";
  EXPECT_EQ(displayed_elapsed_ms(5000, 9000, 2500, true), 2500u) << "the hash and the move after the body";
  EXPECT_EQ(displayed_elapsed_ms(5000, 9000, 2500, false), 4000u) << "still running";
  EXPECT_EQ(displayed_elapsed_ms(5000, 9000, 0, true), 4000u) << "finished with no last byte seen";
}

TEST(RequestHeaders, EncodingsOnlyWhenDecodedAndARangeOfOneVersion) {
  StartInstallerRuntime();
  EXPECT_NE(request_headers(true, false, 0).find("Accept-Encoding: gzip, deflate\r\n"), std::string::npos);
  std::string plain = request_headers(false, false, 0);
  EXPECT_EQ(plain.find("Accept-Encoding"), std::string::npos);
  EXPECT_EQ(plain.rfind("\r\nUser-Agent: "), plain.find("User-Agent: ") - 2) << "still one header per line";
  EXPECT_EQ(request_headers(false, true, int64_t{5} << 30).substr(plain.size()), "\r\nRange:bytes=5368709120-");
  EXPECT_EQ(request_headers(false, true, 1000, "\"v1\"").substr(plain.size()),
            "\r\nRange:bytes=1000-\r\nIf-Range: \"v1\"");
}

TEST(Sha256, TheSystemHashMatchesKnownDigests) {
  StartInstallerRuntime();
  uint8_t abc[32], digest[32];
  ASSERT_TRUE(parse_sha256_hex("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", abc));
  Sha256 hash;
  ASSERT_TRUE(hash.Start());
  ASSERT_TRUE(hash.Add(reinterpret_cast<const uint8_t*>("ab"), 2));
  ASSERT_TRUE(hash.Add(reinterpret_cast<const uint8_t*>("c"), 1));
  ASSERT_TRUE(hash.Finish(digest));
  EXPECT_EQ(memcmp(digest, abc, 32), 0) << "\"abc\" fed in two pieces";
  uint8_t empty[32];
  ASSERT_TRUE(parse_sha256_hex("E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855", empty));
  ASSERT_TRUE(hash.Start());
  ASSERT_TRUE(hash.Finish(digest));
  EXPECT_EQ(memcmp(digest, empty, 32), 0) << "nothing at all; upper-case digits";
  for (const char* bad : {"", "ba78", "zz7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
                          "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad00"})
    EXPECT_FALSE(parse_sha256_hex(bad, digest)) << bad;
}

}  // namespace

namespace {

// The record on disk, through the same calls the worker thread makes.
TEST(PartialFilesOnDisk, TheRecordIsSavedWholeAndRemovedWithThePart) {
  StartInstallerRuntime();
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::string folder = WideToGbk(temp);
  std::string archive = folder + "qelmo-partial-测试.rar";
  PartialFiles files = partial_files_of(archive.c_str());
  EXPECT_EQ(files.part, GbkToWide((archive + ".part").c_str())) << "no stray terminator inside the names";
  EXPECT_EQ(files.record, files.part + L".info");
  PartialRecord record{"http://127.0.0.1:18080/up/all/qelmo.rar", 6303801, "\"v1\"", "", 4096};
  ASSERT_TRUE(save_partial_record(files, record));
  EXPECT_EQ(file_size(files.record_new), -1) << "written aside, then moved over";
  EXPECT_EQ(file_size(files.record), 110);
  PartialRecord read;
  ASSERT_TRUE(load_partial_record(files, &read));
  EXPECT_EQ(read.total, record.total);
  HANDLE part = CreateFileW(files.part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(part, "12345", 5, &written, nullptr);
  CloseHandle(part);
  EXPECT_EQ(file_size(files.part), 5);
  remove_partial(files);
  EXPECT_EQ(file_size(files.part), -1);
  EXPECT_EQ(file_size(files.record), -1);
  EXPECT_FALSE(load_partial_record(files, &read));
}

}  // namespace
