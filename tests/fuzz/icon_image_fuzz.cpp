// Reading images out of an ICO file and rebuilding one from an icon group
// resource, over arbitrary bytes. The whole input is read both as an ICO file
// and as an icon group directory; its first bytes also name a size to look up.

#include <cstdint>
#include <string>
#include <vector>

#include "app/icon_image.h"
#include "fuzz_input.h"

namespace {

uint32_t little_endian(const std::string& data, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(data[at + i])) << (8 * i);
  return value;
}

struct EntryShape {
  int width;
  int height;
  int bits_per_pixel;
};

// The sizes and depth of a directory entry at `at` (0 in a size byte means 256).
EntryShape shape_at(const std::string& data, size_t at) {
  const int width = static_cast<int>(little_endian(data, at, 1));
  const int height = static_cast<int>(little_endian(data, at + 1, 1));
  return {width == 0 ? 256 : width, height == 0 ? 256 : height,
          static_cast<int>(little_endian(data, at + 6, 2))};
}

bool same_shape(const EntryShape& a, const EntryShape& b) {
  return a.width == b.width && a.height == b.height && a.bits_per_pixel == b.bits_per_pixel;
}

void check_file(const std::string& ico, int width, int height, int bits_per_pixel) {
  const Bytes found = icon_image_bits(make_bytes(ico), width, height, bits_per_pixel);
  if (found.data.empty()) return;
  // The image is the bytes the first entry of that shape points at.
  const size_t count = little_endian(ico, 4, 2);
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + i * 16;
    if (!same_shape(shape_at(ico, entry), {width, height, bits_per_pixel})) continue;
    const uint32_t image_size = little_endian(ico, entry + 8, 4);
    const uint32_t offset = little_endian(ico, entry + 12, 4);
    fuzz_check(found.data.size() == image_size && ico.compare(offset, image_size, found.data) == 0,
               "icon_image_bits: the bytes the first entry of that shape points at");
    return;
  }
  fuzz_check(false, "icon_image_bits: an image only for a shape the directory names");
}

void check_group(const std::string& group) {
  const std::vector<int> ids = icon_group_ids(make_bytes(group));
  // An image for each entry, of a length and content its identifier chooses.
  std::vector<Bytes> images;
  for (size_t i = 0; i < ids.size(); ++i) {
    images.push_back(
        make_bytes(std::string(static_cast<size_t>(ids[i]) % 97, static_cast<char>(i))));
  }
  const Bytes ico = assemble_ico(make_bytes(group), images);
  if (ids.empty()) {
    fuzz_check(ico.data.empty(), "assemble_ico: nothing from a directory without entries");
    return;
  }
  size_t total = 6 + 16 * ids.size();
  for (const Bytes& image : images)
    total += image.data.size();
  fuzz_check(ico.data.size() == total, "assemble_ico: the directory, then every image");
  for (size_t i = 0; i < ids.size(); ++i) {
    const EntryShape shape = shape_at(group, 6 + i * 14);
    size_t first = i;
    for (size_t j = 0; j < i; ++j) {
      if (same_shape(shape_at(group, 6 + j * 14), shape)) {
        first = j;
        break;
      }
    }
    const Bytes read_back = icon_image_bits(ico, shape.width, shape.height, shape.bits_per_pixel);
    fuzz_check(read_back.data == images[first].data,
               "assemble_ico: each image reads back from the file it makes");
  }
  images.push_back(Bytes());
  fuzz_check(assemble_ico(make_bytes(group), images).data.empty(),
             "assemble_ico: nothing when the image count does not match");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string raw(reinterpret_cast<const char*>(data), size);
  if (raw.size() >= 6 + 16) {
    const EntryShape named = shape_at(raw, 6);  // the first entry's shape
    check_file(raw, named.width, named.height, named.bits_per_pixel);
  }
  if (raw.size() >= 3) {
    check_file(raw, static_cast<unsigned char>(raw[0]), static_cast<unsigned char>(raw[1]),
               static_cast<unsigned char>(raw[2]));
  }
  check_group(raw);
  return 0;
}
