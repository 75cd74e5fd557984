#pragma once
// The four value types every routine of the program works on.

#include <string>
#include <vector>

// A byte string in code page 936 that ends at its first zero byte. A byte of
// 0x80 or above starts a two-byte character. An absent Text reads as empty
// everywhere; only a platform call can tell, because it receives a null pointer.
struct Text {
  std::string bytes;  // never holds a zero byte
  bool present = false;

  Text() = default;
  // A literal is present, "" included; a null pointer is absent.
  Text(const char* literal);  // NOLINT: literals convert implicitly
};

// A counted byte array; zero bytes are allowed and absent reads as empty.
struct Bytes {
  std::string data;
};

// Texts indexed from 1 to element_count; the array owns its elements.
struct TextArray {
  std::vector<Text> elements;
};

// Local date and time as days since 1899-12-30 00:00; the fraction is the time of day.
struct DateTime {
  double days = 0;
};

// A present Text of the bytes before the first zero byte; absent when that is empty.
Text make_text(std::string bytes);
// The same, but present even when empty (join_texts gives such a Text).
Text make_present_text(std::string bytes);
Bytes make_bytes(std::string data);

// Pointers for platform calls: null for an absent Text and for an empty Bytes.
const char* text_pointer(const Text& text);
const void* bytes_pointer(const Bytes& bytes);

bool operator==(const Text& a, const Text& b);
bool operator!=(const Text& a, const Text& b);
bool operator==(const Bytes& a, const Bytes& b);
bool operator!=(const Bytes& a, const Bytes& b);
