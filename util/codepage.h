#pragma once
// Conversion of downloaded UTF-8 text into code page 936, through UTF-16.

#include "util/values.h"

inline constexpr int code_page_ansi = 0;
inline constexpr int code_page_936 = 936;
inline constexpr int code_page_utf8 = 65001;

// The characters of `text`, read as UTF-8, in code page 936. Invalid input and
// unmappable characters come out as the code page's replacement; nothing stops it.
Text utf8_to_ansi(const Text& text);
// UTF-16 little-endian units of `text` read in `code_page`, terminating zero unit included.
Bytes multibyte_to_wide(const Text& text, int code_page = code_page_utf8);
// The UTF-16 text `wide`, up to its first zero unit, written in `code_page`.
Text wide_to_multibyte(const Bytes& wide, int code_page = code_page_ansi);
