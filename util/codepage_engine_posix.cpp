// The native converter: UTF-8 decoding and encoding of our own, and code page
// 936 through tables that glibc's iconv fills once. It keeps the failure rules
// of Windows: each invalid UTF-8 sequence becomes U+FFFD, a character that code
// page 936 cannot hold becomes "?", and nothing stops a conversion.

#include <iconv.h>

#include <array>
#include <cstring>
#include <vector>

#include "util/codepage_engine.h"

namespace {

const uint16_t replacement_character = 0xFFFD;
const char default_character = '?';

struct Cp936Tables {
  // Code page 936 bytes of each UTF-16 unit: 0 bytes when it has none.
  std::array<std::array<unsigned char, 2>, 0x10000> encode{};
  std::array<unsigned char, 0x10000> encode_size{};
  // UTF-16 unit of each one-byte character (index < 0x100) and each two-byte
  // character (index lead * 0x100 + trail); 0 when it has none.
  std::vector<uint16_t> decode = std::vector<uint16_t>(0x10000, 0);
};

Cp936Tables build_cp936_tables() {
  Cp936Tables tables;
  iconv_t to_936 = iconv_open("CP936", "UTF-16LE");
  iconv_t from_936 = iconv_open("UTF-16LE", "CP936");
  for (uint32_t unit = 1; unit < 0x10000; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;  // halves of a pair map to nothing alone
    char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char out[8];
    char* in_ptr = in;
    char* out_ptr = out;
    size_t in_left = 2;
    size_t out_left = sizeof out;
    iconv(to_936, nullptr, nullptr, nullptr, nullptr);
    if (iconv(to_936, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1)) continue;
    size_t size = sizeof out - out_left;
    if (size == 0 || size > 2) continue;
    tables.encode[unit] = {static_cast<unsigned char>(out[0]),
                           static_cast<unsigned char>(size == 2 ? out[1] : 0)};
    tables.encode_size[unit] = static_cast<unsigned char>(size);
    size_t index = size == 1 ? static_cast<unsigned char>(out[0])
                             : static_cast<unsigned char>(out[0]) * 0x100u +
                                   static_cast<unsigned char>(out[1]);
    // Several units may share one character; decoding keeps what iconv says of the bytes.
    char back[4];
    char* back_ptr = back;
    size_t back_left = sizeof back;
    char* bytes_ptr = out;
    iconv(from_936, nullptr, nullptr, nullptr, nullptr);
    if (iconv(from_936, &bytes_ptr, &size, &back_ptr, &back_left) != static_cast<size_t>(-1) &&
        back_left == 2) {
      tables.decode[index] = static_cast<uint16_t>(static_cast<unsigned char>(back[0]) |
                                                   static_cast<unsigned char>(back[1]) << 8);
    }
  }
  iconv_close(to_936);
  iconv_close(from_936);
  return tables;
}

const Cp936Tables& cp936_tables() {
  static const Cp936Tables tables = build_cp936_tables();
  return tables;
}

bool is_cp936(int code_page) {
  return code_page == 936 || code_page == 0;
}

bool continuation(const unsigned char* s, size_t i, size_t n, unsigned char low = 0x80,
                  unsigned char high = 0xBF) {
  return i < n && s[i] >= low && s[i] <= high;
}

// Where converted units go: counted only for a size query, written otherwise.
// Writing stops at the room given; `overflow` then tells the caller.
template <typename Unit>
struct Sink {
  Unit* out;
  size_t room;
  size_t count = 0;
  bool overflow = false;

  void put(Unit unit) {
    if (out != nullptr) {
      if (count >= room) {
        overflow = true;
        return;
      }
      out[count] = unit;
    }
    ++count;
  }
};

// Decodes UTF-8 into UTF-16; each maximal invalid subpart becomes one U+FFFD.
void decode_utf8(const unsigned char* s, size_t n, Sink<uint16_t>& out) {
  size_t i = 0;
  while (i < n) {
    unsigned char b = s[i];
    if (b < 0x80) {
      out.put(b);
      i += 1;
      continue;
    }
    size_t need = 0;
    uint32_t cp = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
      cp = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      cp = b & 0x0Fu;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;  // no encoded surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      cp = b & 0x07u;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      out.put(replacement_character);
      i += 1;
      continue;
    }
    size_t j = i + 1;
    for (size_t k = 0; k < need; ++k, ++j) {
      bool ok = k == 0 ? continuation(s, j, n, low, high) : continuation(s, j, n);
      if (!ok) break;
      cp = cp << 6 | (s[j] & 0x3Fu);
    }
    if (j - i != need + 1) {
      out.put(replacement_character);
      i = j;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.put(static_cast<uint16_t>(0xD800 + (cp >> 10)));
      out.put(static_cast<uint16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.put(static_cast<uint16_t>(cp));
    }
    i = j;
  }
}

void decode_cp936(const unsigned char* s, size_t n, Sink<uint16_t>& out) {
  const Cp936Tables& tables = cp936_tables();
  for (size_t i = 0; i < n;) {
    if (s[i] < 0x80) {
      out.put(s[i]);
      i += 1;
    } else if (s[i] == 0x80 || s[i] == 0xFF || i + 1 >= n || s[i + 1] == 0) {
      // A zero byte is never a second byte: it ends the text and must stay a zero unit.
      uint16_t unit = tables.decode[s[i]];
      out.put(unit != 0 ? unit : static_cast<uint16_t>(default_character));
      i += 1;
    } else {
      uint16_t unit = tables.decode[s[i] * 0x100u + s[i + 1]];
      out.put(unit != 0 ? unit : static_cast<uint16_t>(default_character));
      i += 2;
    }
  }
}

void encode_utf8(const uint16_t* w, size_t n, Sink<char>& out) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t cp = w[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i + 1] - 0xDC00u);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = replacement_character;
    }
    if (cp < 0x80) {
      out.put(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.put(static_cast<char>(0xC0 | cp >> 6));
      out.put(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.put(static_cast<char>(0xE0 | cp >> 12));
      out.put(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
      out.put(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.put(static_cast<char>(0xF0 | cp >> 18));
      out.put(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
      out.put(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
      out.put(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
}

void encode_cp936(const uint16_t* w, size_t n, Sink<char>& out) {
  const Cp936Tables& tables = cp936_tables();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char size = tables.encode_size[w[i]];
    if (w[i] == 0 || size == 0) {
      // Each unit of a pair counts as one character, as Windows writes them.
      out.put(w[i] == 0 ? '\0' : default_character);
      continue;
    }
    out.put(static_cast<char>(tables.encode[w[i]][0]));
    if (size == 2) out.put(static_cast<char>(tables.encode[w[i]][1]));
  }
}

// The result the Windows calls give: the size needed when no room is given,
// 0 when the room is too small or the size does not fit an int.
template <typename Unit>
int result_of(const Sink<Unit>& sink) {
  if (sink.overflow || sink.count > 0x7FFFFFFF) return 0;
  return static_cast<int>(sink.count);
}

}  // namespace

int convert_to_wide(int code_page, const char* text, int length, uint16_t* wide, int wide_units) {
  if (text == nullptr || length == 0 || length < -1 || wide_units < 0) return 0;
  if (code_page != 65001 && !is_cp936(code_page)) return 0;
  const size_t n = length == -1 ? std::strlen(text) + 1 : static_cast<size_t>(length);
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  Sink<uint16_t> sink{wide_units == 0 ? nullptr : wide, static_cast<size_t>(wide_units)};
  if (wide_units != 0 && wide == nullptr) return 0;
  if (code_page == 65001) {
    decode_utf8(s, n, sink);
  } else {
    decode_cp936(s, n, sink);
  }
  return result_of(sink);
}

int convert_from_wide(int code_page, const uint16_t* wide, int length, char* text, int text_size) {
  if (wide == nullptr || length == 0 || length < -1 || text_size < 0) return 0;
  if (code_page != 65001 && !is_cp936(code_page)) return 0;
  size_t n = 0;
  if (length == -1) {
    while (wide[n] != 0)
      ++n;
    ++n;  // the terminating zero unit is converted as well
  } else {
    n = static_cast<size_t>(length);
  }
  Sink<char> sink{text_size == 0 ? nullptr : text, static_cast<size_t>(text_size)};
  if (text_size != 0 && text == nullptr) return 0;
  if (code_page == 65001) {
    encode_utf8(wide, n, sink);
  } else {
    encode_cp936(wide, n, sink);
  }
  return result_of(sink);
}
