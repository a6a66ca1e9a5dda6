// Draws the application icon as a scalable SVG and at each size as a PNG in the icon theme's layout; the
// sizes that title bars and task switchers show also as raw pixels, for the windows to show without decoding
// anything. The raw pixels are premultiplied red, green, blue and alpha bytes in that order, whatever the
// processor's byte order.
//
//   icongen <icon name> <theme directory> <pixels directory> <size>[+] ...

#include "icon.h"
#include "pngwriter.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Says on the standard error what could not be done to `path`, and why.
bool cannot(const char *what, const std::string &path)
{
    std::fprintf(stderr, "icongen: cannot %s %s: %s\n", what, path.c_str(), std::strerror(errno));
    return false;
}

// Makes `path` and every folder above it that is missing.
bool makePath(const std::string &path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
            return cannot("make", folder);
        if (slash == std::string::npos)
            return true;
    }
}

bool writeFile(const std::string &path, const void *bytes, size_t size)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return cannot("write", path);
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    return (std::fclose(file) == 0 && written) || cannot("write", path);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: icongen <icon name> <theme directory> <pixels directory> <size> [<size> ...]\n"
                     "  the SVG and a PNG of each size in the theme's layout; a size marked with a\n"
                     "  trailing + also as raw pixels, <pixels directory>/<size>.rgba\n");
        return 2;
    }
    const std::string name = argv[1], theme = argv[2], pixels = argv[3];
    const std::vector<artwork::Shape> shapes = artwork::iconShapes();
    const std::string svg = artwork::iconSvg(shapes);

    bool ok = makePath(theme + "/scalable/apps") && makePath(pixels)
        && writeFile(theme + "/scalable/apps/" + name + ".svg", svg.data(), svg.size());
    for (int i = 4; ok && i < argc; ++i) {
        char *end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        const bool raw = std::strcmp(end, "+") == 0;
        if (size <= 0 || size > 4096 || (*end != '\0' && !raw)) {
            std::fprintf(stderr, "icongen: %s is not a size\n", argv[i]);
            return 2;
        }
        const std::string folder = theme + '/' + std::to_string(size) + 'x' + std::to_string(size) + "/apps";
        const artwork::Canvas icon = artwork::drawIcon(shapes, int(size));
        const std::vector<std::uint8_t> premultiplied = icon.rgba(true);
        ok = makePath(folder)
            && artwork::writePng(folder + '/' + name + ".png", int(size), int(size), icon.rgba(false))
            && (!raw
                || writeFile(pixels + '/' + std::to_string(size) + ".rgba", premultiplied.data(),
                             premultiplied.size()));
    }
    return ok ? 0 : 1; // what failed has said so
}
