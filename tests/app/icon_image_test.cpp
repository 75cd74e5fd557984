#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/icon_image.h"
#include "text_helpers.h"
#include "util/core.h"

namespace {

Bytes program_icon() {
  std::ifstream file(PROGRAM_ICON_PATH, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return make_bytes(content.str());
}

// The icon group resource a resource compiler makes of an ICO file: the same
// directory with 14-byte entries naming resources 1, 2, ... instead of offsets.
Bytes group_directory_of(const Bytes& ico, std::vector<Bytes>& images) {
  const std::string& d = ico.data;
  const size_t count = static_cast<unsigned char>(d[4]);
  std::string group = d.substr(0, 6);
  for (size_t i = 0; i < count; ++i) {
    const std::string entry = d.substr(6 + i * 16, 16);
    group += entry.substr(0, 12);
    group += static_cast<char>(i + 1);
    group += '\0';
    const unsigned char* e = reinterpret_cast<const unsigned char*>(entry.data());
    const size_t size = e[8] | e[9] << 8 | e[10] << 16 | static_cast<size_t>(e[11]) << 24;
    const size_t offset = e[12] | e[13] << 8 | e[14] << 16 | static_cast<size_t>(e[15]) << 24;
    images.push_back(make_bytes(d.substr(offset, size)));
  }
  return make_bytes(group);
}

}  // namespace

TEST(IconImage, TheProgramIconHoldsItsSixImages) {
  const Bytes ico = program_icon();
  ASSERT_EQ(bytes_size(ico), 37206);
  struct Case {
    int size, bits, bytes;
  } cases[] = {{48, 8, 3752},  {16, 8, 1384},  {64, 32, 16936},
               {48, 32, 9640}, {32, 32, 4264}, {16, 32, 1128}};
  for (const Case& c : cases) {
    const Bytes image = icon_image_bits(ico, c.size, c.size, c.bits);
    EXPECT_EQ(bytes_size(image), c.bytes) << c.size << "x" << c.size << " at " << c.bits;
    ASSERT_GE(bytes_size(image), 40);
    EXPECT_EQ(static_cast<unsigned char>(image.data[0]), 40) << "a bitmap header begins it";
  }
  EXPECT_EQ(icon_image_bits(ico, 24, 24, 32), Bytes()) << "no such image";
  EXPECT_EQ(icon_image_bits(ico, 16, 16, 24), Bytes()) << "no such depth";
}

TEST(IconImage, MalformedFilesGiveNoImage) {
  const Bytes ico = program_icon();
  std::string bad_offset = ico.data;
  bad_offset[6 + 5 * 16 + 15] = 0x7F;  // the 16x16 32-bit entry now points far beyond the end
  const struct {
    Bytes file;
    const char* why;
  } cases[] = {
      {Bytes(), "empty"},
      {make_bytes(ico.data.substr(0, 40)), "the directory is cut off"},
      {make_bytes(ico.data.substr(0, 37206 - 10)), "the last image is cut off"},
      {make_bytes(bad_offset), "an offset beyond the end"},
      {make_bytes(std::string("\0\0\2\0\1\0", 6)), "a cursor file, not an icon"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(icon_image_bits(c.file, 16, 16, 32), Bytes()) << c.why;
}

TEST(IconImage, AnIconGroupRebuildsTheFile) {
  const Bytes ico = program_icon();
  std::vector<Bytes> images;
  const Bytes group = group_directory_of(ico, images);
  EXPECT_EQ(icon_group_ids(group), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(assemble_ico(group, images), ico);
  images.pop_back();
  EXPECT_EQ(assemble_ico(group, images), Bytes()) << "an image missing";
  EXPECT_EQ(assemble_ico(Bytes(), {}), Bytes());
}
