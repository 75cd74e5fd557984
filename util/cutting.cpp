#include "util/cutting.h"

#include <string>
#include <utility>

#include "util/stepping.h"

int search_text_backward(const Text& text, const Text& find, std::optional<int> start,
                         bool ignore_case) {
  const size_t size = text.bytes.size();
  size_t limit = size;
  if (start) {
    long long given = static_cast<long long>(*start) - 1;
    if (given <= 0) return -1;
    if (static_cast<unsigned long long>(given) < size) limit = static_cast<size_t>(given);
  }
  if (limit == 0) return -1;
  if (find.bytes.empty()) return 1;
  int last = -1;
  for (size_t at = find_stepping(text.bytes, 0, limit, find.bytes, ignore_case);
       at != std::string::npos; at = find_stepping(text.bytes, next_candidate(text.bytes, at),
                                                   limit, find.bytes, ignore_case)) {
    last = static_cast<int>(at) + 1;
  }
  return last;
}

Text left_part(const Text& text, int count) {
  if (count <= 0) return Text();
  return make_text(text.bytes.substr(0, static_cast<size_t>(count)));
}

Text right_part(const Text& text, int count) {
  if (count <= 0) return Text();
  const size_t size = text.bytes.size();
  const size_t n = static_cast<size_t>(count) < size ? static_cast<size_t>(count) : size;
  return make_text(text.bytes.substr(size - n));
}

Text middle_part(const Text& text, int start, int count) {
  if (start < 1 || count <= 0 || static_cast<size_t>(start) > text.bytes.size()) return Text();
  return make_text(text.bytes.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(count)));
}

Text lowercase_text(const Text& text) {
  std::string lowered = text.bytes;
  for (size_t i = 0; i < lowered.size(); i = next_candidate(lowered, i)) {
    lowered[i] = static_cast<char>(fold_ascii(static_cast<unsigned char>(lowered[i])));
  }
  return make_text(std::move(lowered));
}

namespace {

// The byte count of the blank at `at`, or 0 when the character there is none.
size_t blank_at(const std::string& text, size_t at) {
  if (text[at] == ' ') return 1;
  if (static_cast<unsigned char>(text[at]) == 0xA1 && at + 1 < text.size() &&
      static_cast<unsigned char>(text[at + 1]) == 0xA1) {
    return 2;
  }
  return 0;
}

// Whether the character at `at` is a lead byte with no second byte after it.
bool lone_lead_at(const std::string& text, size_t at) {
  return is_lead_byte(static_cast<unsigned char>(text[at])) && at + 1 >= text.size();
}

}  // namespace

Text trim_blanks(const Text& text) {
  const std::string& s = text.bytes;
  size_t begin = 0;
  while (begin < s.size() && blank_at(s, begin) != 0)
    begin += blank_at(s, begin);
  size_t end = begin;  // just after the last character that is not a blank
  for (size_t at = begin; at < s.size(); at = next_candidate(s, at)) {
    if (lone_lead_at(s, at)) {
      // A cut-off character at the end is dropped, and the blanks before it stay.
      end = at;
      break;
    }
    if (blank_at(s, at) == 0) end = next_candidate(s, at);
  }
  return make_text(s.substr(begin, end - begin));
}

Text strip_blanks(const Text& text) {
  const std::string& s = text.bytes;
  std::string stripped;
  stripped.reserve(s.size());
  for (size_t at = 0; at < s.size(); at = next_candidate(s, at)) {
    if (lone_lead_at(s, at)) break;
    if (blank_at(s, at) == 0) stripped.append(s, at, next_candidate(s, at) - at);
  }
  return make_text(std::move(stripped));
}

Text substitute_text(const Text& text, const Text& find, const Text& replacement,
                     std::optional<int> start, std::optional<int> count, bool case_sensitive) {
  const std::string& s = text.bytes;
  const std::string& f = find.bytes;
  long long skip = start ? static_cast<long long>(*start) - 1 : 0;
  if (skip < 0) skip = 0;
  if (s.empty() || f.empty() || static_cast<unsigned long long>(skip) >= s.size() ||
      (count && *count == 0)) {
    return text;
  }
  const bool ignore_case = !case_sensitive;
  std::string result = s.substr(0, static_cast<size_t>(skip));
  long long left = count ? *count : -1;  // replacements still allowed; -1 is no limit
  size_t at = static_cast<size_t>(skip);
  while (at < s.size()) {
    if (left == 0 || s.size() - at < f.size()) {
      result.append(s, at, std::string::npos);
      break;
    }
    if (matches_at(s, at, f, ignore_case)) {
      result += replacement.bytes;
      at += f.size();
      if (left > 0) --left;
      continue;
    }
    if (lone_lead_at(s, at)) break;  // a cut-off character is dropped and the scan ends
    size_t next = next_candidate(s, at);
    result.append(s, at, next - at);
    at = next;
  }
  return make_text(std::move(result));
}

TextArray split_by(const Text& text, const Text& separator, std::optional<int> max_count) {
  TextArray pieces;
  const std::string& s = text.bytes;
  const std::string& sep = separator.bytes;
  if (s.empty() || (max_count && *max_count <= 0)) return pieces;
  if (sep.empty()) {
    pieces.elements.push_back(text);
    return pieces;
  }
  const size_t limit = max_count ? static_cast<size_t>(*max_count) : s.size() + 1;
  size_t piece_begin = 0;
  for (size_t at = find_stepping(s, 0, s.size(), sep, false); at != std::string::npos;
       at = find_stepping(s, piece_begin, s.size(), sep, false)) {
    pieces.elements.push_back(make_text(s.substr(piece_begin, at - piece_begin)));
    piece_begin = at + sep.size();
    if (pieces.elements.size() >= limit) return pieces;
  }
  if (piece_begin < s.size()) pieces.elements.push_back(make_text(s.substr(piece_begin)));
  return pieces;
}

Text char_of_code(unsigned char code) {
  return make_text(std::string(1, static_cast<char>(code)));
}

Text filled_text(int count) {
  return count <= 0 ? Text() : make_text(std::string(static_cast<size_t>(count), ' '));
}

Text repeated(int count, const Text& text) {
  if (count <= 0 || text.bytes.empty()) return Text();
  std::string result;
  result.reserve(static_cast<size_t>(count) * text.bytes.size());
  for (int i = 0; i < count; ++i)
    result += text.bytes;
  return make_text(std::move(result));
}

void append_element(TextArray& items, const Text& text) {
  items.elements.push_back(text);
}

Bytes text_to_bytes(const Text& text) {
  return make_bytes(text.bytes);
}

Bytes zero_bytes(int count) {
  return count <= 0 ? Bytes() : make_bytes(std::string(static_cast<size_t>(count), '\0'));
}

Bytes bytes_head(const Bytes& bytes, int count) {
  if (count <= 0) return Bytes();
  return make_bytes(bytes.data.substr(0, static_cast<size_t>(count)));
}

Bytes join_bytes(std::initializer_list<Bytes> parts) {
  std::string joined;
  for (const Bytes& part : parts)
    joined += part.data;
  return make_bytes(std::move(joined));
}

int bit_or(std::initializer_list<int> values) {
  int result = 0;
  for (int value : values)
    result |= value;
  return result;
}
