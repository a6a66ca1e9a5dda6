#pragma once

// Writes an indexed picture as a GIF file.
#include "artwork/indexed.h"

#include <string>

namespace artwork {

/** Writes `image` to `path` as a GIF89a, its name as the comment; says what failed on the standard error. */
bool writeGif(const std::string &path, const Indexed &image);

} // namespace artwork
