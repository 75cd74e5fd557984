#pragma once
// How a fuzz target reads its input, and the character rules its checks use.
//
// An input is a row of fields separated by zero bytes, a byte no Text can hold.
// A text field is taken as it is; a number field is read as a decimal number
// with an optional sign, held within the int range (an empty field, or one that
// does not begin with a number, leaves an optional argument out); a flag field
// is true when its first byte is odd ("1" is true, "0" false). Fields past the
// end are empty. Seeds therefore stay readable, and a mutation of one field
// leaves the others as they were.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "util/values.h"

struct FuzzFields {
  std::vector<std::string> fields;
};

inline FuzzFields split_fields(const uint8_t* data, size_t size) {
  FuzzFields input;
  input.fields.emplace_back();
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      input.fields.emplace_back();
    } else {
      input.fields.back() += static_cast<char>(data[i]);
    }
  }
  return input;
}

inline std::string field_bytes(const FuzzFields& input, size_t index) {
  return index < input.fields.size() ? input.fields[index] : std::string();
}

inline Text text_field(const FuzzFields& input, size_t index) {
  return make_text(field_bytes(input, index));
}

inline std::optional<int> number_field(const FuzzFields& input, size_t index) {
  const std::string field = field_bytes(input, index);
  size_t at = 0;
  bool negative = false;
  if (at < field.size() && (field[at] == '-' || field[at] == '+')) negative = field[at++] == '-';
  if (at >= field.size() || field[at] < '0' || field[at] > '9') return std::nullopt;
  long long value = 0;
  for (; at < field.size() && field[at] >= '0' && field[at] <= '9'; ++at) {
    value = value * 10 + (field[at] - '0');
    if (value > 1LL << 32) value = 1LL << 32;  // beyond the int range either way
  }
  if (negative) value = -value;
  if (value < INT_MIN) return INT_MIN;
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

inline bool flag_field(const FuzzFields& input, size_t index) {
  const std::string field = field_bytes(input, index);
  return !field.empty() && (static_cast<unsigned char>(field[0]) & 1) != 0;
}

// A broken property ends the run like a crash, so libFuzzer keeps the input.
inline void fuzz_check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

// The character rule, written out here so that the checks do not lean on the
// code they check: read from byte `from` on, a byte of 0x80 or above and the
// byte after it form one character. True where a character begins.
inline std::vector<bool> character_starts(const std::string& text, size_t from = 0) {
  std::vector<bool> starts(text.size(), false);
  for (size_t at = from; at < text.size();) {
    starts[at] = true;
    at += static_cast<unsigned char>(text[at]) >= 0x80 ? 2 : 1;
  }
  return starts;
}

// Whether the text, read from byte `from` on, ends with a byte of 0x80 or
// above that has no second byte after it.
inline bool ends_with_lone_lead(const std::string& text, size_t from = 0) {
  if (text.size() <= from) return false;
  const std::vector<bool> starts = character_starts(text, from);
  return starts.back() && static_cast<unsigned char>(text.back()) >= 0x80;
}

inline unsigned char folded(char byte) {
  const unsigned char b = static_cast<unsigned char>(byte);
  return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 32) : b;
}

// Whether `find` lies in `text` at byte `at`, only ASCII A-Z folding when asked.
inline bool lies_at(const std::string& text, size_t at, const std::string& find, bool ignore_case) {
  if (at > text.size() || text.size() - at < find.size()) return false;
  for (size_t i = 0; i < find.size(); ++i) {
    const bool same =
        ignore_case ? folded(text[at + i]) == folded(find[i]) : text[at + i] == find[i];
    if (!same) return false;
  }
  return true;
}

// Whether `find` occurs at a character start of `text` read from byte 0.
inline bool occurs_at_character(const std::string& text, const std::string& find,
                                bool ignore_case = false) {
  const std::vector<bool> starts = character_starts(text);
  for (size_t at = 0; at < text.size(); ++at) {
    if (starts[at] && lies_at(text, at, find, ignore_case)) return true;
  }
  return false;
}

// Whether a blank (0x20, or A1 A1) begins at a character start of `text`.
inline bool blank_at(const std::string& text, size_t at) {
  if (text[at] == ' ') return true;
  return static_cast<unsigned char>(text[at]) == 0xA1 && at + 1 < text.size() &&
         static_cast<unsigned char>(text[at + 1]) == 0xA1;
}

inline std::string joined_with(const TextArray& pieces, const std::string& separator) {
  std::string joined;
  for (size_t i = 0; i < pieces.elements.size(); ++i) {
    if (i > 0) joined += separator;
    joined += pieces.elements[i].bytes;
  }
  return joined;
}

inline bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0 && text.size() >= prefix.size();
}

inline bool ends_with(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}
