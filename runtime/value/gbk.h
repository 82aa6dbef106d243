// Scanning GBK byte strings: a byte of 0x80 or above starts a two-byte
// character, whose second byte may look like ASCII (0x5C '\' included).
#pragma once
#include <string>

// Position of the last `c` (an ASCII byte) that is a character of its own,
// or -1. A lead byte at the very end counts as a character of its own.
int FindLastCharacter(const char* text, char c);

// A module path split at its last backslash: directory (without the
// backslash) and file name. Without a backslash the directory is empty and
// the file name is the whole path.
struct SplitPath {
  std::string directory;
  std::string file;
};
SplitPath SplitAtLastBackslash(const char* path);
