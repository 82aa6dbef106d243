// A list buffer whose entries are values of one type: a pointer or handle in
// one 32-bit word, or a small record of several words. The buffer's growth
// and shrinking rules are the list buffer's own, in bytes.
#pragma once
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "runtime/value/list_buffer.h"

template <typename T>
class TypedList {
  static_assert(std::is_trivially_copyable_v<T> && sizeof(T) % 4 == 0, "entries are whole 32-bit words");
  static constexpr int32_t kWords = sizeof(T) / 4;

 public:
  constexpr explicit TypedList(const ListHeap* heap) : words_(heap) {}

  int32_t count() const { return words_.count() / kWords; }
  T operator[](int32_t index) const {
    T entry;
    std::memcpy(&entry, words() + index * kWords, sizeof entry);
    return entry;
  }
  void Set(int32_t index, const T& entry) { std::memcpy(&words_[index * kWords], &entry, sizeof entry); }

  // False (list unchanged) when the heap refuses.
  bool Resize(int32_t count) { return words_.ResizeBytes(static_cast<size_t>(count) * sizeof(T)); }
  bool Append(const T& entry) {
    int32_t n = count();
    if (!Resize(n + 1)) return false;
    Set(n, entry);
    return true;
  }
  void RemoveAt(int32_t index) {
    int32_t n = count();
    if (index < 0 || index >= n) return;
    if (index + 1 < n)
      std::memmove(&words_[index * kWords], &words_[(index + 1) * kWords], static_cast<size_t>(n - index - 1) * sizeof(T));
    words_.ResizeBytes(static_cast<size_t>(n - 1) * sizeof(T));
  }
  // The first entry for which `matches` holds, or -1.
  template <typename Predicate>
  int32_t IndexWhere(Predicate matches) const {
    for (int32_t i = 0; i < count(); ++i)
      if (matches((*this)[i])) return i;
    return -1;
  }
  void Clear() { words_.Clear(); }

  // The entries as the flat word array they are stored in (null when empty).
  const uint32_t* words() const { return static_cast<const uint32_t*>(words_.block()); }
  const ListBuffer& buffer() const { return words_; }

 private:
  ListBuffer words_;
};
