#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeltrix {

/**
 * A file counts as present when its size can be queried; a missing path and
 * a directory count as absent.
 */
bool FileExists(const std::string& path);

/** True when the path names a regular file (after following links). */
bool IsRegularFile(const std::string& path);

/** True when nothing at all (file, directory, link) stands at the path. */
bool NothingAt(const std::string& path);

/** The whole content of a regular file, or nothing when it cannot be read. */
std::optional<std::string> ReadWholeFile(const std::string& path);

/**
 * Replaces a file as a whole: the new content goes into a temporary file
 * beside the target, which is flushed to disk and renamed over the target.
 * A crash, a kill or a full disk leaves either the old file or the new one.
 * The target keeps its permissions; a link is followed, so the file it points
 * to is replaced and the link stays.
 */
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  /** Discards the temporary file unless Commit succeeded. */
  ~AtomicFileWriter();

  /**
   * Starts the replacement of the file at path; false when no temporary file
   * can be made. With flushToDisk the new content reaches the disk before it
   * replaces the old, so that it survives a power cut too.
   */
  bool Begin(const std::string& path, bool flushToDisk = true);
  /** Appends bytes to the new content; false on a failed write. */
  bool Write(std::string_view bytes);
  /**
   * Appends length bytes of another open file, read from offset on, to the new
   * content without holding them in memory; false on a failed read or write and
   * when that file ends before them.
   */
  bool CopyFrom(int fd, std::uint64_t offset, std::uint64_t length);
  /** Puts the new content in place; false when that failed (the old file is then untouched). */
  bool Commit();
  /** Drops the new content; the target stays as it was. */
  void Abort();

  /** The description of the last failure (from the system), in English. */
  const std::string& Error() const { return m_error; }

 private:
  bool Fail(const char* what);
  bool EndedEarly();

  std::string m_target;
  std::string m_temp;
  int m_fd = -1;
  bool m_flushToDisk = true;
  bool m_failed = false;
  std::string m_error;
};

/** Writes the whole content with AtomicFileWriter; false on any failure. */
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace zeltrix
