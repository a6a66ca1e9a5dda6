#include "gifwriter.h"

#include <gif_lib.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace artwork {

bool writeGif(const std::string &path, const Indexed &image)
{
    // A colour table holds a power of two entries; the unused ones repeat the last colour.
    int tableSize = 2;
    while (tableSize < int(image.palette.size()))
        tableSize *= 2;
    std::vector<GifColorType> colours;
    for (int i = 0; i < tableSize; ++i) {
        const Rgb &c = image.palette[size_t(std::min(i, int(image.palette.size()) - 1))];
        colours.push_back({GifByteType(c.r), GifByteType(c.g), GifByteType(c.b)});
    }
    ColorMapObject *map = GifMakeMapObject(tableSize, colours.data());
    int error = 0;
    // giflib would create the file owner-only; 0666 less the umask is what every other build output gets.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    const int openError = fd < 0 ? errno : 0;
    GifFileType *gif = fd >= 0 ? EGifOpenFileHandle(fd, &error) : nullptr;
    if (fd >= 0 && gif == nullptr)
        ::close(fd);
    bool ok = gif != nullptr && map != nullptr;
    if (ok) {
        EGifSetGifVersion(gif, true);
        ok = EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) == GIF_OK
            && (image.name.empty() || EGifPutComment(gif, image.name.c_str()) == GIF_OK)
            && EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
        std::vector<GifPixelType> row(size_t(image.width));
        for (int y = 0; ok && y < image.height; ++y) {
            std::copy_n(image.pixels.begin() + y * image.width, image.width, row.begin());
            ok = EGifPutLine(gif, row.data(), image.width) == GIF_OK;
        }
    }
    if (gif != nullptr && EGifCloseFile(gif, &error) != GIF_OK)
        ok = false;
    GifFreeMapObject(map);
    // giflib has no words for a file it was never given.
    const char *why = openError != 0 ? std::strerror(openError) : GifErrorString(error);
    if (!ok)
        std::fprintf(stderr, "picturegen: cannot write %s: %s\n", path.c_str(), why ? why : "giflib failed");
    return ok;
}

} // namespace artwork
