#pragma once

// The back of every card: vertical streaks of wood grain in exactly the wood's shades.
#include "artwork/indexed.h"

namespace artwork {

/** The card back at `detail`: 48 x 36 pixels at 1, twice that at 2, with the same streaks and knot. */
Indexed cardBack(Detail detail);

} // namespace artwork
