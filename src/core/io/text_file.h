#pragma once

#include <string>
#include <string_view>

#include "core/io/file_io.h"
#include "core/ui/result.h"

namespace zeltrix {

/**
 * The text of a text file: its bytes up to the first zero byte, or why it
 * cannot be read.
 */
Result<std::string, FileStatus> ReadTextFile(const std::string& path);

/** Writes a text as it is, up to its first zero byte, replacing the file as a whole. */
FileStatus WriteTextFile(const std::string& path, std::string_view text);

/**
 * Adds ".txt" when the last component of the path has no extension: no dot,
 * or nothing after its last dot. A dot in a folder name does not count.
 */
std::string CompleteExtension(std::string path, std::string_view extension = ".txt");

/** True for a regular file of more than 0 bytes: what a drop or the command line opens. */
bool IsNonEmptyRegularFile(const std::string& path);

}  // namespace zeltrix
