#include "runtime/value/list_buffer.h"

#include <cstring>

bool ListBuffer::ResizeBytes(size_t bytes) {
  if (bytes == 0) {
    if (data_) heap_->free(data_);
    data_ = nullptr;
    capacity_ = size_ = 0;
    return true;
  }
  if (data_ && capacity_ >= bytes && capacity_ - bytes <= kMaxExcess) {
    size_ = bytes;
    return true;
  }
  size_t wanted = bytes + kSlack;
  void* block = data_ ? heap_->realloc(data_, wanted) : heap_->alloc(wanted);
  if (!block) return false;
  data_ = static_cast<uint32_t*>(block);
  capacity_ = wanted;
  size_ = bytes;
  return true;
}

bool ListBuffer::Append(uint32_t entry) {
  int32_t n = count();
  if (!Resize(n + 1)) return false;
  data_[n] = entry;
  return true;
}

bool ListBuffer::AppendUnique(uint32_t entry) { return IndexOf(entry) >= 0 || Append(entry); }

void ListBuffer::RemoveAt(int32_t index) {
  int32_t n = count();
  if (index < 0 || index >= n) return;
  std::memmove(data_ + index, data_ + index + 1, static_cast<size_t>(n - index - 1) * 4);
  ResizeBytes(size_ - 4);
}

int32_t ListBuffer::IndexOf(uint32_t entry) const {
  for (int32_t i = 0; i < count(); ++i)
    if (data_[i] == entry) return i;
  return -1;
}
