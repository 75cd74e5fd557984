#pragma once
// Small helpers for writing expectations about texts and bytes.

#include <ostream>
#include <string>

#include "util/codepage.h"
#include "util/values.h"

// A readable UTF-8 literal in code page 936, the form the program holds its texts in.
inline Text cp936(const char* utf8) {
  return utf8_to_ansi(Text(utf8));
}

inline std::string hex_of(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    if (b >= 0x20 && b < 0x7F && b != '\\') {
      out += static_cast<char>(b);
    } else {
      out += "\\x";
      out += digits[b >> 4];
      out += digits[b & 15];
    }
  }
  return out;
}

// GoogleTest prints values through these, so failures show escaped bytes.
inline void PrintTo(const Text& text, std::ostream* os) {
  *os << (text.present ? "\"" + hex_of(text.bytes) + "\"" : std::string("(absent)"));
}
inline void PrintTo(const Bytes& bytes, std::ostream* os) {
  *os << "bytes[" << bytes.data.size() << "] \"" << hex_of(bytes.data) << "\"";
}
