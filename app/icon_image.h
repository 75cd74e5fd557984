#pragma once
// Reading the program's icon, an image in the ICO file format.

#include <vector>

#include "util/values.h"

// The image data (header, pixels and mask) of the entry of `ico` with this size
// and colour depth; empty when there is none or the file is malformed.
Bytes icon_image_bits(const Bytes& ico, int width, int height, int bits_per_pixel);

// An ICO file rebuilt from an icon group resource (its directory, whose entries
// name resources instead of offsets) and the images it names, in entry order.
// Empty when the directory is malformed or the image count does not match.
Bytes assemble_ico(const Bytes& group_directory, const std::vector<Bytes>& images);

// The resource identifiers an icon group names, in entry order.
std::vector<int> icon_group_ids(const Bytes& group_directory);
