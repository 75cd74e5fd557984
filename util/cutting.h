#pragma once
// Cutting, transforming, splitting and building texts and bytes. Counts are
// bytes; searching, replacing, splitting, trimming and lowering step over
// two-byte characters. No routine fails: out-of-range arguments are clamped.

#include <initializer_list>
#include <optional>

#include "util/values.h"

// Position of the last occurrence lying wholly before `start`, or -1.
int search_text_backward(const Text& text, const Text& find,
                         std::optional<int> start = std::nullopt, bool ignore_case = false);

Text left_part(const Text& text, int count);
Text right_part(const Text& text, int count);
Text middle_part(const Text& text, int start, int count);

Text lowercase_text(const Text& text);
// Without leading and trailing blanks (0x20 and the full-width blank A1 A1).
Text trim_blanks(const Text& text);
// Without any blank.
Text strip_blanks(const Text& text);
// Occurrences of `find` from `start` on, at most `count`, replaced; they never overlap.
Text substitute_text(const Text& text, const Text& find, const Text& replacement = Text(),
                     std::optional<int> start = std::nullopt,
                     std::optional<int> count = std::nullopt, bool case_sensitive = false);
// The pieces between separators; inner empty pieces stay, an empty last one does not.
TextArray split_by(const Text& text, const Text& separator = ",",
                   std::optional<int> max_count = std::nullopt);

// The one-byte text holding `code`; 0 gives an absent text.
Text char_of_code(unsigned char code);
Text filled_text(int count);
Text repeated(int count, const Text& text);
void append_element(TextArray& items, const Text& text);

Bytes text_to_bytes(const Text& text);
Bytes zero_bytes(int count);
Bytes bytes_head(const Bytes& bytes, int count);
Bytes join_bytes(std::initializer_list<Bytes> parts);
int bit_or(std::initializer_list<int> values);
