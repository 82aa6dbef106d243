#include "app/http_values.h"

#include <cstring>

namespace {

// Decimal digits from *text up to a character that is not one; false when
// there are none or the value passes 64 bits.
bool ReadNumber(const char** text, int64_t* value) {
  const char* p = *text;
  int64_t result = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    int digit = *p - '0';
    if (result > (INT64_MAX - digit) / 10) return false;
    result = result * 10 + digit;
  }
  if (p == *text) return false;
  *text = p;
  *value = result;
  return true;
}

}  // namespace

int64_t parse_content_length(const char* text) {
  int64_t value = 0;
  if (!text || !ReadNumber(&text, &value) || *text) return -1;
  return value;
}

bool parse_content_range(const char* text, ContentRange* range) {
  if (!text || std::strncmp(text, "bytes ", 6) != 0) return false;
  text += 6;
  ContentRange parsed;
  if (*text == '*') {
    ++text;
  } else if (!ReadNumber(&text, &parsed.first) || *text++ != '-' || !ReadNumber(&text, &parsed.last) ||
             parsed.last < parsed.first) {
    return false;
  }
  if (*text++ != '/' || !ReadNumber(&text, &parsed.total) || *text) return false;
  if (parsed.first >= 0 && parsed.last >= parsed.total) return false;
  *range = parsed;
  return true;
}
