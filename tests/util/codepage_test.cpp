// One table of conversions, run natively against our converter and under Wine
// against Windows' own calls, so that the two cannot drift apart.

#include <gtest/gtest.h>

#include <string>

#include "text_helpers.h"
#include "util/codepage.h"
#include "util/core.h"

TEST(Utf8ToAnsi, SharedTable) {
  struct Case {
    const char* utf8;
    std::string cp936;
    const char* why;
  } cases[] = {
      {"plain <span class=\"rmb\">", "plain <span class=\"rmb\">", "ASCII comes out unchanged"},
      {"\xE5\x85\xB6\xE4\xBB\x96\xE6\x8A\x95\xE8\xB5\x84\xE4\xBA\xBA\xE8\xBD\xAC\xE8\xAE\xA9\xE9"
       "\xA1\xB9\xE7\x9B\xAE",
       "\xC6\xE4\xCB\xFB\xCD\xB6\xD7\xCA\xC8\xCB\xD7\xAA\xC8\xC3\xCF\xEE\xC4\xBF",
       "the section heading: 27 bytes become 18"},
      {"\xEF\xBF\xA5", "\xA3\xA4", "the full-width yuan sign"},
      {"\xE8\xB4\xAD\xE4\xB9\xB0", "\xB9\xBA\xC2\xF2", "the buy marker"},
      {"a\xFF"
       "b",
       "a?b", "a lone 0xFF is replaced and the conversion goes on"},
      {"\xE4\xB8"
       "A",
       "?A", "a cut-off sequence is one replacement"},
      {"\xC0\xAF", "??", "an overlong form: two replacements"},
      {"\x80"
       "x",
       "?x", "a lone continuation byte"},
      {"\xF0\x9F\x98\x80", "??", "a character outside the BMP: one per UTF-16 unit"},
      {"\xC2\xA0", "?", "no-break space has no code page 936 form"},
      {"\xEA\xB0\x80", "?", "Hangul has none"},
      {"\xC3\xA9", "\xA8\xA6", "e with acute"},
      {"\xE2\x82\xAC", "\x80", "the euro sign"},
      {"\xE3\x80\x80", "\xA1\xA1", "the full-width blank"},
      {"", "", "empty"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8_to_ansi(Text(c.utf8)).bytes, c.cp936)
        << c.why << ": got " << hex_of(utf8_to_ansi(Text(c.utf8)).bytes);
  }
  EXPECT_FALSE(utf8_to_ansi(Text()).present);
  EXPECT_FALSE(utf8_to_ansi("").present);
}

// How many replacements some malformed sequences give differs between engines:
// our converter gives one per maximal invalid subpart, as Unicode recommends,
// while Wine 8 takes a lead byte and any continuation byte as one subpart. Both
// replace only the malformed bytes and go on with the rest.
TEST(Utf8ToAnsi, MalformedSequencesBecomeReplacementsAndTheRestFollows) {
  struct Case {
    const char* utf8;
    const char* maximal_subparts;
    const char* why;
  } cases[] = {
      {"\xED\xA0\x80"
       "x",
       "???x", "an encoded surrogate"},
      {"\xE0\x80\x80"
       "x",
       "???x", "an overlong three-byte form"},
      {"\xF0\x80\x80\x80"
       "x",
       "????x", "an overlong four-byte form"},
      {"\xF4\x90\x80\x80"
       "x",
       "????x", "beyond U+10FFFF"},
  };
  for (const Case& c : cases) {
    const std::string out = utf8_to_ansi(Text(c.utf8)).bytes;
#ifdef _WIN32
    ASSERT_GE(out.size(), 2u) << c.why;
    EXPECT_EQ(out.find_first_not_of('?'), out.size() - 1) << c.why << ": " << out;
    EXPECT_EQ(out.back(), 'x') << c.why;
#else
    EXPECT_EQ(out, c.maximal_subparts) << c.why;
#endif
  }
}

TEST(MultibyteToWide, GivesUnitsAndTheTerminatingZero) {
  EXPECT_EQ(multibyte_to_wide("A"), make_bytes(std::string("A\0\0\0", 4)));
  EXPECT_EQ(multibyte_to_wide("\xE2\x82\xAC"), make_bytes(std::string("\xAC\x20\0\0", 4)));
  EXPECT_EQ(multibyte_to_wide("\xF0\x9F\x98\x80"),
            make_bytes(std::string("\x3D\xD8\x00\xDE\0\0", 6)))
      << "a surrogate pair";
  EXPECT_EQ(multibyte_to_wide(""), make_bytes(std::string(2, '\0'))) << "the terminator alone";
  EXPECT_EQ(multibyte_to_wide(Text()), Bytes()) << "an absent text: the size query fails";
  EXPECT_EQ(multibyte_to_wide("\xB0\xA1", code_page_936),
            make_bytes(std::string("\x4A\x55\0\0", 4)))
      << "code page 936 read back: U+554A";
}

TEST(MultibyteToWide, ALeadByteAtTheEndKeepsTheTerminatingZero) {
  // The last byte starts a two-byte character whose second byte never comes;
  // the zero after it ends the text and is not taken as that second byte.
  const Bytes wide = multibyte_to_wide("a\xB0", code_page_936);
  ASSERT_EQ(wide.data.size(), 6u) << "'a', one unit for the cut-off character, the terminator";
  EXPECT_EQ(wide.data.substr(0, 2), std::string("a\0", 2));
  EXPECT_EQ(wide.data.substr(4), std::string(2, '\0'));
}

TEST(WideToMultibyte, WritesUpToTheFirstZeroUnit) {
  const Bytes heading = multibyte_to_wide("\xE5\x85\xB6\xE4\xBB\x96");  // 其他
  EXPECT_EQ(wide_to_multibyte(heading, code_page_936), Text("\xC6\xE4\xCB\xFB"));
  EXPECT_EQ(wide_to_multibyte(heading), Text("\xC6\xE4\xCB\xFB"))
      << "the ANSI code page is 936 here";
  EXPECT_EQ(wide_to_multibyte(heading, code_page_utf8), Text("\xE5\x85\xB6\xE4\xBB\x96"));
  EXPECT_EQ(wide_to_multibyte(make_bytes(std::string("a\0b\0\0\0c\0", 8)), 936), Text("ab"));
  EXPECT_FALSE(wide_to_multibyte(Bytes(), 936).present);
  // Bytes without a terminating unit, or of odd size, are read safely.
  EXPECT_EQ(wide_to_multibyte(make_bytes(std::string("a\0b\0", 4)), 936), Text("ab"));
  EXPECT_EQ(wide_to_multibyte(make_bytes(std::string("a\0b", 3)), 936), Text("a"));
  EXPECT_FALSE(wide_to_multibyte(make_bytes("x"), 936).present);
}

TEST(Utf8ToAnsi, ProgramLiteralsReadAsTheirReadableForms) {
  EXPECT_EQ(cp936("其他投资人转让项目").bytes,
            "\xC6\xE4\xCB\xFB\xCD\xB6\xD7\xCA\xC8\xCB\xD7\xAA\xC8\xC3\xCF\xEE\xC4\xBF");
  EXPECT_EQ(text_size(cp936("其他投资人转让项目")), 18);
}
