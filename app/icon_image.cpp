#include "app/icon_image.h"

#include <cstdint>
#include <string>
#include <utility>

namespace {

// An ICO file: a 6-byte header, then 16-byte entries whose last field is the
// image's offset. An icon group resource has 14-byte entries ending in a
// 2-byte resource identifier instead.
const size_t header_size = 6;
const size_t file_entry_size = 16;
const size_t group_entry_size = 14;

uint32_t read_le(const std::string& data, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) {
    value |= static_cast<uint32_t>(static_cast<unsigned char>(data[at + i])) << (8 * i);
  }
  return value;
}

void write_le(std::string& data, uint32_t value, size_t size) {
  for (size_t i = 0; i < size; ++i)
    data += static_cast<char>(value >> (8 * i) & 0xFF);
}

// The entry count of a directory whose entries all lie within `data`, or 0.
size_t entry_count(const std::string& data, size_t entry_size) {
  if (data.size() < header_size || read_le(data, 0, 2) != 0 || read_le(data, 2, 2) != 1) return 0;
  const size_t count = read_le(data, 4, 2);
  return data.size() >= header_size + count * entry_size ? count : 0;
}

int entry_dimension(const std::string& data, size_t at) {
  const uint32_t value = read_le(data, at, 1);
  return value == 0 ? 256 : static_cast<int>(value);
}

}  // namespace

Bytes icon_image_bits(const Bytes& ico, int width, int height, int bits_per_pixel) {
  const std::string& data = ico.data;
  const size_t count = entry_count(data, file_entry_size);
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = header_size + i * file_entry_size;
    const uint32_t size = read_le(data, entry + 8, 4);
    const uint32_t offset = read_le(data, entry + 12, 4);
    if (entry_dimension(data, entry) != width || entry_dimension(data, entry + 1) != height ||
        static_cast<int>(read_le(data, entry + 6, 2)) != bits_per_pixel) {
      continue;
    }
    if (size == 0 || offset > data.size() || size > data.size() - offset) return Bytes();
    return make_bytes(data.substr(offset, size));
  }
  return Bytes();
}

std::vector<int> icon_group_ids(const Bytes& group_directory) {
  const std::string& data = group_directory.data;
  std::vector<int> ids;
  const size_t count = entry_count(data, group_entry_size);
  for (size_t i = 0; i < count; ++i) {
    ids.push_back(static_cast<int>(read_le(data, header_size + i * group_entry_size + 12, 2)));
  }
  return ids;
}

Bytes assemble_ico(const Bytes& group_directory, const std::vector<Bytes>& images) {
  const std::string& group = group_directory.data;
  const size_t count = entry_count(group, group_entry_size);
  if (count == 0 || count != images.size()) return Bytes();
  std::string ico = group.substr(0, header_size);
  size_t offset = header_size + count * file_entry_size;
  for (size_t i = 0; i < count; ++i) {
    // The first 8 bytes of an entry (sizes, colours, planes, depth) are the same in both forms.
    ico.append(group, header_size + i * group_entry_size, 8);
    write_le(ico, static_cast<uint32_t>(images[i].data.size()), 4);
    write_le(ico, static_cast<uint32_t>(offset), 4);
    offset += images[i].data.size();
  }
  for (const Bytes& image : images)
    ico += image.data;
  return make_bytes(std::move(ico));
}
