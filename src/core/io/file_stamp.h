#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace zeltrix {

/**
 * What tells one state of a file on disk from another: which file stands at
 * the path (a replacement puts a new one there) and its size and times. Two
 * equal stamps mean the file was not changed in between, so a list read from
 * it is still current.
 */
struct FileStamp {
  bool exists = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds
  std::int64_t changed = 0;   // nanoseconds

  bool operator==(const FileStamp&) const = default;
};

/** The stamp of the file at path (links followed); a missing file has the empty stamp. */
inline FileStamp StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  const auto ns = [](const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
  };
  return {true,
          static_cast<std::uint64_t>(st.st_dev),
          static_cast<std::uint64_t>(st.st_ino),
          st.st_size,
          ns(st.st_mtim),
          ns(st.st_ctim)};
}

}  // namespace zeltrix
