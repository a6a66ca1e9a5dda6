#pragma once

// No Qt here: the build's picture generator names the twins it draws with the same rule.
#include <string>
#include <string_view>

namespace pictures {

/** The name of a picture file's twin drawn at twice the size, for dense screens: F1.gif -> F1@2x.gif. */
inline std::string twinPath(std::string_view path)
{
    constexpr std::string_view extension = ".gif";
    std::string twin(path.ends_with(extension) ? path.substr(0, path.size() - extension.size()) : path);
    twin += "@2x";
    if (path.ends_with(extension))
        twin += extension;
    return twin;
}

} // namespace pictures
