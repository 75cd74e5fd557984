#pragma once
// Cutting values out of header lines and other marked-up text.

#include <optional>

#include "util/values.h"

// The text between the first `start_marker` at or after `start_pos` and the next
// `end_marker` after it; empty when either is missing. "#引号" in a marker stands
// for a double quote, so that callers can write markers holding one.
Text text_between(const Text& text, const Text& start_marker, const Text& end_marker,
                  std::optional<int> start_pos = std::nullopt, bool ignore_case = false);

// What follows the first ":" of a header line, without surrounding blanks;
// empty when the line holds no ":".
Text header_value(const Text& line);
