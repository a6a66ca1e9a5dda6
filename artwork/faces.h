#pragma once

// The twenty faces of the cards, each in its own shape and palette so that any two tell apart at a glance,
// and each with its name.
#include "artwork/indexed.h"

#include <vector>

namespace artwork {

inline constexpr int faceCount = 20;

/** The twenty faces in their order, F1 first, drawn at `detail`, each carrying its name. */
std::vector<Indexed> faces(Detail detail);

} // namespace artwork
