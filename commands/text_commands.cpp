// The text commands. Lengths, counts and positions count bytes; only
// find_text and replace_text step over two-byte characters.
#include <algorithm>
#include <cstring>
#include <string>

#include "commands/command_support.h"
#include "commands/core_commands.h"

namespace commands {

namespace {

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// n bytes of `at` against `sought`. Folding makes ASCII letters match in
// either case; a two-byte character always has to match exactly, its
// second byte included even when that byte looks like a letter.
bool Matches(const unsigned char* at, const unsigned char* sought, size_t n, bool fold) {
  if (!fold) return std::memcmp(at, sought, n) == 0;
  for (size_t i = 0; i < n; ++i) {
    if (IsLeadByte(sought[i])) {
      if (at[i] != sought[i]) return false;
      if (++i < n && at[i] != sought[i]) return false;
      continue;
    }
    if (at[i] != sought[i] && !(IsAsciiLetter(at[i]) && (at[i] | 0x20) == (sought[i] | 0x20))) return false;
  }
  return true;
}

// A 1-based start position as an offset: 0 when omitted, never negative.
size_t StartOffset(const ArgRecord& start) {
  if (start.omitted()) return 0;
  int64_t offset = static_cast<int64_t>(start.as_int()) - 1;
  return offset > 0 ? static_cast<size_t>(offset) : 0;
}

const unsigned char* Bytes(const char* text) { return reinterpret_cast<const unsigned char*>(text); }

}  // namespace

void __cdecl find_text(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  const char* text = TextOf(ArgAt(args, arg_count, 0));
  const auto* sought = Bytes(TextOf(ArgAt(args, arg_count, 1)));
  size_t start = StartOffset(ArgAt(args, arg_count, 2));
  // Folding only for exactly 1: the argument is read even when omitted.
  bool fold = ArgAt(args, arg_count, 3).value == 1;

  size_t length = std::strlen(text);
  size_t region = start >= length && start > 0 ? 0 : length - start;
  size_t n = std::strlen(reinterpret_cast<const char*>(sought));
  SetInt(result, -1);
  if (n == 0) {
    if (region > 0) SetInt(result, 1);
    return;
  }
  // Matches only where a character starts, counted from the start offset.
  const auto* p = Bytes(text) + (region > 0 ? start : length);
  while (region >= n) {
    if (Matches(p, sought, n, fold)) {
      SetInt(result, static_cast<int32_t>(p - Bytes(text) + 1));
      return;
    }
    if (IsLeadByte(*p)) {
      if (p[1] == 0) return;  // a broken character ends the text
      p += 2;
      region -= 2;
    } else {
      p += 1;
      region -= 1;
    }
  }
}

void __cdecl replace_text(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  const char* text = TextOf(ArgAt(args, arg_count, 0));
  const auto* sought = Bytes(TextOf(ArgAt(args, arg_count, 1)));
  const char* replacement = TextOf(ArgAt(args, arg_count, 2));
  size_t start = StartOffset(ArgAt(args, arg_count, 3));
  ArgRecord count_arg = ArgAt(args, arg_count, 4);
  int32_t count = count_arg.omitted() ? -1 : count_arg.as_int();
  // The opposite sense to find_text: 0 (or omitted) folds.
  bool fold = ArgAt(args, arg_count, 5).value == 0;

  size_t length = std::strlen(text);
  size_t n = std::strlen(reinterpret_cast<const char*>(sought));
  if (length == 0 || n == 0 || start >= length || count == 0) {
    SetPointer(result, NewText(text, length));
    return;
  }
  // Any negative count means all. It is not counted down, so it never
  // wraps round to a finite count.
  bool all = count < 0;
  size_t replacement_length = std::strlen(replacement);
  std::string out(text, start);
  out.reserve(length);
  size_t p = start;
  size_t remaining = length - start;
  const auto* bytes = Bytes(text);
  while (remaining >= n) {
    if (Matches(bytes + p, sought, n, fold)) {
      out.append(replacement, replacement_length);
      p += n;
      remaining -= n;
      if (!all && --count == 0) break;
    } else if (IsLeadByte(bytes[p])) {
      if (bytes[p + 1] == 0) {  // a broken character at the end is dropped
        p += 1;
        break;
      }
      out.append(text + p, 2);
      p += 2;
      remaining -= 2;
    } else {
      out.push_back(text[p]);
      p += 1;
      remaining -= 1;
    }
  }
  out.append(text + p, length - p);
  SetPointer(result, NewText(out.data(), out.size()));
}

void __cdecl left_text(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  const char* text = TextOf(ArgAt(args, arg_count, 0));
  int32_t count = ArgAt(args, arg_count, 1).as_int();
  if (count <= 0) return;
  SetPointer(result, NewText(text, std::min(static_cast<size_t>(count), std::strlen(text))));
}

void __cdecl right_text(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  const char* text = TextOf(ArgAt(args, arg_count, 0));
  int32_t count = ArgAt(args, arg_count, 1).as_int();
  if (count <= 0) return;
  size_t length = std::strlen(text);
  size_t taken = std::min(static_cast<size_t>(count), length);
  SetPointer(result, NewText(text + length - taken, taken));
}

void __cdecl text_length(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  SetInt(result, static_cast<int32_t>(std::strlen(TextOf(ArgAt(args, arg_count, 0)))));
}

void __cdecl space_text(ArgRecord* result, int32_t arg_count, ArgRecord* args) {
  int32_t count = ArgAt(args, arg_count, 0).as_int();
  if (count <= 0) return;
  auto* text = static_cast<char*>(AllocBlock(static_cast<size_t>(count) + 1));
  if (!text) return;
  std::memset(text, ' ', static_cast<size_t>(count));
  text[count] = '\0';
  SetPointer(result, text);
}

}  // namespace commands
