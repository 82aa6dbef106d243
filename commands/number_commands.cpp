// Conversions and arithmetic: to_text, to_integer, round_number,
// integer_divide, bit_and.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "commands/command_support.h"
#include "commands/core_commands.h"
#include "commands/value_format.h"

namespace commands {

namespace {

// Stored bytes as text: up to the first zero byte, or all of them.
char* ImageText(const unsigned char* data, size_t count) {
  if (!data) return nullptr;
  const void* zero = std::memchr(data, 0, count);
  size_t length = zero ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - data) : count;
  return NewText(reinterpret_cast<const char*>(data), length);
}

// A numeric array's storage: the dimension count N, N sizes, then the
// elements. The elements start after all N sizes and there are as many as
// the sizes multiply to, so a multi-dimensional array is read whole and
// never from its size words.
char* ArrayImageText(const void* block, int element_size) {
  if (!block) return nullptr;
  const auto* words = static_cast<const int32_t*>(block);
  int32_t dimensions = words[0];
  if (dimensions < 1 || dimensions > 64) return nullptr;
  uint64_t elements = 1;
  for (int32_t i = 1; i <= dimensions; ++i) {
    if (words[i] < 0) return nullptr;
    elements *= static_cast<uint32_t>(words[i]);
    if (elements > INT32_MAX) return nullptr;
  }
  const auto* data = reinterpret_cast<const unsigned char*>(words + 1 + dimensions);
  return ImageText(data, static_cast<size_t>(elements) * static_cast<size_t>(element_size));
}

// Half-width folding for to_integer: full-width ASCII forms and a few
// punctuation marks become their single-byte forms; a lead byte with
// nothing after it ends the text.
std::string HalfWidth(const char* text) {
  std::string out;
  for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p;) {
    if (!IsLeadByte(*p)) {
      out.push_back(static_cast<char>(*p++));
      continue;
    }
    unsigned char lead = p[0], trail = p[1];
    if (trail == 0) break;
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
      out.push_back(static_cast<char>(trail - 0x80));
    else if (lead == 0xA1 && trail == 0xA1)
      out.push_back(' ');
    else if (lead == 0xA1 && trail == 0xAB)
      out.push_back('~');
    else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF))
      out.push_back('*');
    else
      out.append(reinterpret_cast<const char*>(p), 2);
    p += 2;
  }
  return out;
}

// C atoi rules, except that a number too large for 32 bits stops at the
// nearest limit instead of wrapping into a different number.
int32_t ParseInteger(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) value = static_cast<int64_t>(INT32_MAX) + 1;
  }
  if (negative) value = -value;
  return static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value);
}

// Truncated toward zero through a 64-bit integer, whose low half is kept.
// Values outside that range (and NaN) give the x87's integer indefinite,
// whose low half is 0.
int32_t TruncatedLowWord(double value) {
  if (!(value > -9223372036854775808.0 && value < 9223372036854775808.0)) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(value))));
}

// Rounds y to a whole number, halves up, after the 10^-12 nudge that makes
// 1.005 (stored a hair below) round as written.
double RoundNudged(double y) {
  double whole = 0;
  if (std::modf(y + 1e-12, &whole) >= 0.5) whole += 1;
  return whole;
}

// 2^52: from here on a double has no fraction to round.
constexpr double kNoFraction = 4503599627370496.0;

}  // namespace

void __cdecl to_text(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  ArgRecord value = ArgAt(args, arg_count, 0);
  uint32_t base = value.type & ~TYPE_ADDRESS_FLAG;
  if (value.type == TYPE_BYTES) {
    int32_t length = ByteArrayLength(value.as_pointer());
    SetPointer(result, ImageText(ByteArrayData(value.as_pointer()), length > 0 ? static_cast<size_t>(length) : 0));
    return;
  }
  if (value.type & TYPE_ADDRESS_FLAG) {
    // An array of anything but numbers has no text: the result stays as it was.
    if (int size = NumericSize(base)) SetPointer(result, ArrayImageText(value.as_pointer(), size));
    return;
  }
  if (value.type == TYPE_TEXT) {
    SetPointer(result, NewText(TextOf(value)));
    return;
  }
  std::string text;
  if (FormatValue(value, &text)) SetPointer(result, NewText(text.data(), std::min(text.size(), kFormattedMax)));
}

void __cdecl to_integer(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  ArgRecord value = ArgAt(args, arg_count, 0);
  switch (value.type) {
    case TYPE_BOOL:
    case TYPE_INT:
    case TYPE_SUBPTR:
    case TYPE_LONG: SetInt(result, static_cast<int32_t>(value.value)); break;
    case TYPE_BYTE: SetInt(result, static_cast<int32_t>(value.value & 0xFF)); break;
    case TYPE_SHORT: SetInt(result, static_cast<int16_t>(value.value & 0xFFFF)); break;
    case TYPE_FLOAT: SetInt(result, TruncatedLowWord(value.as_float())); break;
    case TYPE_DOUBLE: SetInt(result, TruncatedLowWord(value.as_double())); break;
    case TYPE_TEXT: SetInt(result, ParseInteger(HalfWidth(TextOf(value)).c_str())); break;
    default: SetInt(result, 0); break;
  }
}

void __cdecl round_number(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  double value = NumberOf(ArgAt(args, arg_count, 0));
  int32_t places = ArgAt(args, arg_count, 1).as_int();  // omitted reads as 0
  if (value == 0 || std::isnan(value)) {
    SetDouble(result, value);
    return;
  }
  double a = std::fabs(value);
  double rounded;
  if (places < 0) {
    // A power of ten beyond the double range leaves nothing but zero.
    double p = PowerOfTen(places < -400 ? 400 : -places);
    rounded = std::isinf(p) ? 0 : RoundNudged(a / p) * p;
  } else if (places == 0) {
    rounded = RoundNudged(a);
  } else {
    // More places than the value has fraction digits: nothing to round.
    // Scaling would overflow to infinity and come back as NaN.
    double p = PowerOfTen(places > 400 ? 400 : places);
    double y = a * p;
    rounded = std::isinf(p) || !(y < kNoFraction) ? a : RoundNudged(y) / p;
  }
  SetDouble(result, value < 0 ? -rounded : rounded);
}

void __cdecl integer_divide(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  double x = NumberOf(ArgAt(args, arg_count, 0));
  for (int32_t i = 1; i < arg_count; ++i) {
    double y = NumberOf(args[i]);
    if (y == 0) RuntimeError("\xB2\xBB\xC4\xDC\xD5\xFB\xB3\xFD\xD3\xDA\xC1\xE3");  // 不能整除于零
    x = std::trunc(x / y);
  }
  SetDouble(result, x);
}

void __cdecl bit_and(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  if (arg_count < 1) return;
  uint32_t bits = args[0].value;
  for (int32_t i = 1; i < arg_count; ++i) bits &= args[i].value;
  result->value = bits;
}

}  // namespace commands
