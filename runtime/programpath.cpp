#include "programpath.h"

#include <unistd.h>

namespace runtime {

std::optional<QByteArray> appPath()
{
    // The kernel's link to the running executable has the real path's bytes, every symlink resolved. The
    // buffer grows until the whole path fits; a path the kernel cannot give back at all fails the read.
    for (qsizetype size = 1024; size <= 1024 * 1024; size *= 2) {
        QByteArray executable(size, Qt::Uninitialized);
        const ssize_t length = ::readlink("/proc/self/exe", executable.data(), size_t(size));
        if (length <= 0)
            return std::nullopt;
        if (length == size)
            continue;
        executable.truncate(length);
        QByteArray path = executable.left(executable.lastIndexOf('/'));
        while (path.endsWith('/'))
            path.chop(1);
        return path;
    }
    return std::nullopt;
}

} // namespace runtime
