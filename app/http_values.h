// Values of HTTP response headers, parsed strictly: anything that is not
// exactly what the field allows counts as absent.
#pragma once
#include <cstdint>

// Content-Length: decimal digits only and within 64 bits, else -1 (an
// unknown length).
int64_t parse_content_length(const char* text);

// Content-Range of a 206 ("bytes FIRST-LAST/TOTAL") or a 416 ("bytes */TOTAL",
// where first and last are -1). False when the text is neither, or the
// numbers do not fit together.
struct ContentRange {
  int64_t first = -1;
  int64_t last = -1;
  int64_t total = -1;
};
bool parse_content_range(const char* text, ContentRange* range);
