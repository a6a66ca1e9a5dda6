// Writes the game's pictures: the twenty faces, F1.gif to F20.gif, and the card back, each also drawn at
// twice the size from the same figure at twice the detail (F1@2x.gif, ...), for high-density screens.
//
//   picturegen faces <directory>     F1.gif to F20.gif and F1@2x.gif to F20@2x.gif in <directory>
//   picturegen back <file>           the card back, and its @2x twin beside it

#include "cardback.h"
#include "faces.h"
#include "gifwriter.h"
#include "wood.h"

#include "pictures/twinname.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace {

using namespace artwork;

int writeFaces(const std::string &directory)
{
    for (const Detail detail : {Detail {1}, Detail {2}}) {
        const std::vector<Indexed> all = faces(detail);
        for (size_t i = 0; i < all.size(); ++i) {
            const std::string path = directory + "/F" + std::to_string(i + 1) + ".gif";
            if (!writeGif(detail.scale == 1 ? path : pictures::twinPath(path), all[i]))
                return 1;
        }
    }
    return 0;
}

int writeBack(const std::string &path)
{
    for (const Detail detail : {Detail {1}, Detail {2}}) {
        const Indexed back = cardBack(detail);
        std::array<bool, woodShades> used {};
        for (const std::uint8_t index : back.pixels)
            used[index] = true;
        if (!std::all_of(used.begin(), used.end(), [](bool shade) { return shade; })) {
            std::fprintf(stderr, "picturegen: the card back leaves a shade unused\n");
            return 1;
        }
        if (!writeGif(detail.scale == 1 ? path : pictures::twinPath(path), back))
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string what = argc == 3 ? argv[1] : "";
    if (what == "faces")
        return writeFaces(argv[2]);
    if (what == "back")
        return writeBack(argv[2]);
    std::fprintf(stderr, "usage: picturegen faces <directory> | picturegen back <file>\n");
    return 2;
}
