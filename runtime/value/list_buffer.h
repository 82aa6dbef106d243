// The runtime's growable lists of 32-bit entries. A buffer keeps 128 bytes of
// slack when it grows and shrinks lazily (up to 256 bytes of excess), so that
// adding and removing entries rarely reaches the heap.
#pragma once
#include <cstddef>
#include <cstdint>

struct ListHeap {
  void* (*alloc)(size_t size);             // null on failure
  void* (*realloc)(void* block, size_t size);  // null on failure, block kept
  void (*free)(void* block);
};

class ListBuffer {
 public:
  static constexpr size_t kSlack = 128;
  static constexpr size_t kMaxExcess = 256;

  constexpr explicit ListBuffer(const ListHeap* heap) : heap_(heap) {}
  ~ListBuffer() { Clear(); }
  ListBuffer(const ListBuffer&) = delete;
  ListBuffer& operator=(const ListBuffer&) = delete;

  // Resizes to `bytes`; false (buffer unchanged) when the heap refuses.
  bool ResizeBytes(size_t bytes);
  bool Resize(int32_t count) { return ResizeBytes(static_cast<size_t>(count) * 4); }
  bool Append(uint32_t entry);
  // Appends unless the entry is present already; false only on heap failure.
  bool AppendUnique(uint32_t entry);
  void RemoveAt(int32_t index);
  int32_t IndexOf(uint32_t entry) const;
  void Clear() { ResizeBytes(0); }

  int32_t count() const { return static_cast<int32_t>(size_ / 4); }
  uint32_t& operator[](int32_t index) { return data_[index]; }
  uint32_t operator[](int32_t index) const { return data_[index]; }
  size_t capacity() const { return capacity_; }
  size_t size_bytes() const { return size_; }
  const void* block() const { return data_; }

 private:
  const ListHeap* heap_;
  uint32_t* data_ = nullptr;
  size_t capacity_ = 0;
  size_t size_ = 0;
};
