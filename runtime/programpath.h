#pragma once

#include <QByteArray>

#include <optional>

namespace runtime {

/**
 * The directory that holds the executable, symlinks resolved, without a trailing separator: the file
 * system's own bytes, whatever the locale makes of them. Nothing when the system cannot tell (a path too
 * long for the kernel to give back), so that nobody looks for the program's files in the wrong place.
 */
std::optional<QByteArray> appPath();

} // namespace runtime
