#include "util/values.h"

#include <utility>

Text::Text(const char* literal) {
  if (literal != nullptr) {
    bytes = literal;
    present = true;
  }
}

Text make_text(std::string bytes) {
  Text text = make_present_text(std::move(bytes));
  text.present = !text.bytes.empty();
  return text;
}

Text make_present_text(std::string bytes) {
  Text text;
  size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  text.bytes = std::move(bytes);
  text.present = true;
  return text;
}

Bytes make_bytes(std::string data) {
  return Bytes{std::move(data)};
}

const char* text_pointer(const Text& text) {
  return text.present ? text.bytes.c_str() : nullptr;
}

const void* bytes_pointer(const Bytes& bytes) {
  return bytes.data.empty() ? nullptr : bytes.data.data();
}

bool operator==(const Text& a, const Text& b) {
  return a.bytes == b.bytes;
}
bool operator!=(const Text& a, const Text& b) {
  return !(a == b);
}
bool operator==(const Bytes& a, const Bytes& b) {
  return a.data == b.data;
}
bool operator!=(const Bytes& a, const Bytes& b) {
  return !(a == b);
}
