#include "runtime/value/gbk.h"

int FindLastCharacter(const char* text, char c) {
  int found = -1;
  for (int i = 0; text[i];) {
    auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80 && text[i + 1]) {
      i += 2;
      continue;
    }
    if (text[i] == c) found = i;
    ++i;
  }
  return found;
}

SplitPath SplitAtLastBackslash(const char* path) {
  int slash = FindLastCharacter(path, '\\');
  if (slash < 0) return {std::string(), std::string(path)};
  return {std::string(path, static_cast<size_t>(slash)), std::string(path + slash + 1)};
}
