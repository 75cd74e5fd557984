#pragma once
// Character stepping shared by the searching, replacing and splitting primitives.

#include <string>

// A byte of 0x80 or above starts a two-byte character in code page 936.
inline bool is_lead_byte(unsigned char byte) {
  return byte >= 0x80;
}

inline unsigned char fold_ascii(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// Whether `find` matches `text` at `at`; the caller has checked that it fits.
inline bool matches_at(const std::string& text, size_t at, const std::string& find,
                       bool ignore_case) {
  const unsigned char* t = reinterpret_cast<const unsigned char*>(text.data()) + at;
  const unsigned char* f = reinterpret_cast<const unsigned char*>(find.data());
  size_t n = find.size();
  if (!ignore_case) return text.compare(at, n, find) == 0;
  for (size_t i = 0; i < n; ++i) {
    if (fold_ascii(t[i]) != fold_ascii(f[i])) return false;
  }
  return true;
}

// The candidate after `at`: one byte on, or two past a lead byte.
inline size_t next_candidate(const std::string& text, size_t at) {
  return at + (is_lead_byte(static_cast<unsigned char>(text[at])) ? 2 : 1);
}

// 0-based index of the first occurrence of a non-empty `find` that begins at a
// candidate at or after `from` and ends within the first `limit` bytes; npos if none.
inline size_t find_stepping(const std::string& text, size_t from, size_t limit,
                            const std::string& find, bool ignore_case) {
  if (find.empty() || limit > text.size() || find.size() > limit) return std::string::npos;
  const size_t last = limit - find.size();
  const unsigned char* t = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char first = static_cast<unsigned char>(find[0]);
  const unsigned char first_folded = fold_ascii(first);
  for (size_t at = from; at <= last; at = next_candidate(text, at)) {
    // A cheap look at the first byte before the full comparison.
    const bool first_matches = ignore_case ? fold_ascii(t[at]) == first_folded : t[at] == first;
    if (first_matches && matches_at(text, at, find, ignore_case)) return at;
  }
  return std::string::npos;
}
