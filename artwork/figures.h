#pragma once

// The figures the faces are drawn from: each maps its parameters to an indexed picture, in memory.
#include "artwork/complex.h"
#include "artwork/indexed.h"

#include <functional>
#include <vector>

namespace artwork {

using Step = std::function<Complex(Complex, Complex)>;

/** Where an escape-time picture looks and how it iterates. */
struct Escape
{
    Complex centre; // of the square shown
    Fixed width; // across it
    bool julia = false;
    Complex constant; // c of a Julia set
    Step step; // z -> step(z, c)
    Fixed log2Power; // log2 of the power that `step` raises z to
    Fixed cycle; // turns of the palette per escape step
};

/** z -> step(z, c) by the smooth count of steps to escape: a cyclic index 1..255, or 0 inside the set. */
Indexed escapeTime(Detail detail, const Escape &escape, Palette palette);

/** z -> z^2 + c. */
Complex square(Complex z, Complex c);

/** Newton's method for z^degree = 1 (degree 2 to 4): each root its own band of the palette,
 * shaded by the steps it took. */
Indexed newton(Detail detail, int degree, Fixed zoom, const std::vector<Complex> &roots,
               const std::vector<Rgb> &colours);

struct Affine
{
    Fixed a, b, c, d, e, f, weight;
};

/** An iterated function system drawn as the density of its orbit, on a logarithmic scale, over the square
 * of `size` whose top left corner is (left, top), y up. */
Indexed chaosGame(Detail detail, const std::vector<Affine> &maps, Fixed left, Fixed top, Fixed size,
                  Palette palette);

/** A carpet of thirds: the depth of the first hole a point falls into picks its colour. */
Indexed carpet(Detail detail, const std::function<bool(int, int)> &isHole, Palette palette, int levels);

Indexed sierpinskiTriangle(Detail detail);
Indexed kochFace(Detail detail);
Indexed lyapunov(Detail detail);
Indexed pythagorasTree(Detail detail);

} // namespace artwork
