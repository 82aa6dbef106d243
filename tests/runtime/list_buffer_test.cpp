// The slack rules of the runtime's list buffers, watched through a heap that
// counts and can refuse.
#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/value/list_buffer.h"
#include "runtime/value/typed_list.h"

namespace {

struct HeapLog {
  int allocs = 0, reallocs = 0, frees = 0;
  size_t last_size = 0;
  bool refuse = false;
};
HeapLog g_log;

void* LogAlloc(size_t size) {
  if (g_log.refuse) return nullptr;
  ++g_log.allocs;
  g_log.last_size = size;
  return std::malloc(size);
}
void* LogRealloc(void* block, size_t size) {
  if (g_log.refuse) return nullptr;
  ++g_log.reallocs;
  g_log.last_size = size;
  return std::realloc(block, size);
}
void LogFree(void* block) {
  ++g_log.frees;
  std::free(block);
}
const ListHeap kLogHeap = {LogAlloc, LogRealloc, LogFree};

class ListBufferTest : public ::testing::Test {
 protected:
  void SetUp() override { g_log = HeapLog(); }
};

TEST_F(ListBufferTest, GrowsWithSlackAndKeepsTheBlockWhileItFits) {
  ListBuffer list(&kLogHeap);
  ASSERT_TRUE(list.Append(7));
  EXPECT_EQ(g_log.allocs, 1);
  EXPECT_EQ(list.capacity(), 4u + 128u);
  for (uint32_t i = 0; i < 32; ++i) ASSERT_TRUE(list.Append(i));  // 132 bytes: still fits
  EXPECT_EQ(g_log.reallocs, 0);
  ASSERT_TRUE(list.Append(99));  // 136 bytes: one bigger block
  EXPECT_EQ(g_log.reallocs, 1);
  EXPECT_EQ(list.capacity(), 136u + 128u);
  EXPECT_EQ(list.count(), 34);
  EXPECT_EQ(list[0], 7u);
  EXPECT_EQ(list[33], 99u);
}

TEST_F(ListBufferTest, ShrinksOnlyWhenTheExcessPassesTwoHundredFiftySixBytes) {
  ListBuffer list(&kLogHeap);
  ASSERT_TRUE(list.Resize(100));  // 400 bytes, capacity 528
  EXPECT_TRUE(list.Resize(68));   // 272 bytes: excess 256, kept
  EXPECT_EQ(g_log.reallocs, 0);
  EXPECT_TRUE(list.Resize(67));   // 268 bytes: excess 260, reallocated to 396
  EXPECT_EQ(g_log.reallocs, 1);
  EXPECT_EQ(list.capacity(), 268u + 128u);
  list.Clear();
  EXPECT_EQ(g_log.frees, 1);
  EXPECT_EQ(list.block(), nullptr);
}

TEST_F(ListBufferTest, ARefusedResizeLeavesTheBufferAsItWas) {
  ListBuffer list(&kLogHeap);
  ASSERT_TRUE(list.Append(1));
  ASSERT_TRUE(list.Append(2));
  g_log.refuse = true;
  EXPECT_FALSE(list.Resize(1000));
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(list[1], 2u);
  g_log.refuse = false;
}

TEST_F(ListBufferTest, RemovingMovesLaterEntriesDownAndUniqueAppendSkipsDuplicates) {
  ListBuffer list(&kLogHeap);
  for (uint32_t v : {10u, 20u, 30u, 40u}) list.Append(v);
  list.RemoveAt(1);
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list[1], 30u);
  EXPECT_EQ(list[2], 40u);
  list.RemoveAt(7);  // out of range: nothing happens
  EXPECT_EQ(list.count(), 3);
  EXPECT_TRUE(list.AppendUnique(30));
  EXPECT_EQ(list.count(), 3);
  EXPECT_EQ(list.IndexOf(40), 2);
  EXPECT_EQ(list.IndexOf(99), -1);
}

// Entries of three words: whole entries move, and growth is counted in bytes.
struct Triple {
  uint32_t a, b, c;
};

TEST_F(ListBufferTest, TypedEntriesOfSeveralWordsMoveWhole) {
  TypedList<Triple> list(&kLogHeap);
  for (uint32_t i = 1; i <= 4; ++i) ASSERT_TRUE(list.Append({i, i * 10, i * 100}));
  EXPECT_EQ(list.count(), 4);
  EXPECT_EQ(list.buffer().capacity(), 12u + 128u) << "the first entry's bytes plus the slack";
  list.RemoveAt(1);
  list.RemoveAt(2);  // the last one: nothing after it to move
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list[0].c, 100u);
  EXPECT_EQ(list[1].a, 3u);
  EXPECT_EQ(list[1].c, 300u);
  EXPECT_EQ(list.IndexWhere([](const Triple& t) { return t.b == 30; }), 1);
  EXPECT_EQ(list.IndexWhere([](const Triple& t) { return t.b == 20; }), -1);
  g_log.refuse = true;
  EXPECT_FALSE(list.Resize(1000));
  EXPECT_EQ(list.count(), 2);
  g_log.refuse = false;
}

}  // namespace
