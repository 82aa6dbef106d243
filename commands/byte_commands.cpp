// Byte arrays: zero_bytes, bytes_left, bytes_at_address, get_bin_data.
#include <algorithm>
#include <cstring>

#include "commands/command_support.h"
#include "commands/core_commands.h"

namespace commands {

namespace {

struct BinType {
  uint32_t type;
  int32_t size;
};
// get_bin_data's type index 1 to 10.
constexpr BinType kBinTypes[10] = {
    {TYPE_BYTE, 1}, {TYPE_SHORT, 2},    {TYPE_INT, 4},      {TYPE_LONG, 8},   {TYPE_FLOAT, 4},
    {TYPE_DOUBLE, 8}, {TYPE_BOOL, 4}, {TYPE_DATETIME, 8}, {TYPE_SUBPTR, 4}, {TYPE_TEXT, 4},
};

uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

void __cdecl zero_bytes(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  int32_t size = ArgAt(args, arg_count, 0).as_int();
  if (size > 0) SetPointer(result, NewByteArray(nullptr, static_cast<size_t>(size)));
}

void __cdecl bytes_left(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  void* block = ArgAt(args, arg_count, 0).as_pointer();
  int32_t count = std::min(ArgAt(args, arg_count, 1).as_int(), ByteArrayLength(block));
  if (count > 0) SetPointer(result, NewByteArray(ByteArrayData(block), static_cast<size_t>(count)));
}

// The caller vouches for the memory. A negative length or a null address
// cannot describe readable memory and gives an empty array rather than a
// fault or a 4 GB request.
void __cdecl bytes_at_address(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  const void* address = ArgAt(args, arg_count, 0).as_pointer();
  int32_t length = ArgAt(args, arg_count, 1).as_int();
  if (address && length > 0) SetPointer(result, NewByteArray(address, static_cast<size_t>(length)));
}

void __cdecl get_bin_data(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  void* block = ArgAt(args, arg_count, 0).as_pointer();
  int32_t index = ArgAt(args, arg_count, 1).as_int();
  if (index < 1 || index > 10)
    // “欲取出数据的类型”参数值无效
    RuntimeError("\xA1\xB0\xD3\xFB\xC8\xA1\xB3\xF6\xCA\xFD\xBE\xDD\xB5\xC4\xC0\xE0\xD0\xCD\xA1\xB1\xB2\xCE\xCA\xFD\xD6"
                 "\xB5\xCE\xDE\xD0\xA7");
  const BinType& bin = kBinTypes[index - 1];
  result->type = bin.type;

  const unsigned char* data = ByteArrayData(block);
  int64_t total = std::max(ByteArrayLength(block), 0);
  int64_t offset = 0;
  int32_t* position = nullptr;
  ArgRecord where = ArgAt(args, arg_count, 2);
  if (!where.omitted()) {
    int32_t start = where.as_int();
    if (where.type & TYPE_ADDRESS_FLAG) {
      position = static_cast<int32_t*>(where.as_pointer());
      start = position ? *position : 0;
    }
    offset = static_cast<int64_t>(start) - 1;
  }
  // A position before the data (0, or the -1 that marks the end) reads
  // nothing and leaves the position at the end: counting on from it would
  // lead back into the data and read it again.
  bool before_data = offset < 0;
  int64_t available = before_data ? 0 : total - offset;
  const unsigned char* at = available > 0 ? data + offset : nullptr;

  int64_t consumed = bin.size;
  if (bin.type == TYPE_TEXT) {
    consumed = 0;
    if (at) {
      const void* zero = std::memchr(at, 0, static_cast<size_t>(available));
      int64_t length = zero ? static_cast<const unsigned char*>(zero) - at : available;
      SetPointer(result, NewText(reinterpret_cast<const char*>(at), static_cast<size_t>(length)));
      consumed = length + (zero ? 1 : 0);
    }
  } else {
    // Missing bytes read as zero.
    unsigned char bytes[8] = {};
    if (at) std::memcpy(bytes, at, static_cast<size_t>(std::min<int64_t>(available, bin.size)));
    switch (bin.type) {
      case TYPE_BYTE: result->value = bytes[0]; break;
      case TYPE_SHORT: SetInt(result, static_cast<int16_t>(bytes[0] | bytes[1] << 8)); break;
      case TYPE_BOOL: SetBool(result, Le32(bytes) != 0); break;
      case TYPE_LONG:
      case TYPE_DOUBLE:
        result->value = Le32(bytes);
        result->aux = Le32(bytes + 4);
        break;
      case TYPE_DATETIME: {
        ArgRecord raw = {Le32(bytes), Le32(bytes + 4), TYPE_DOUBLE};
        SetDouble(result, ClampDateTime(raw.as_double()));
        break;
      }
      default: result->value = Le32(bytes); break;  // integer, float, subroutine pointer
    }
  }
  if (position) {
    int64_t next = offset + consumed;
    *position = before_data || next >= total ? -1 : static_cast<int32_t>(next + 1);
  }
}

}  // namespace commands
