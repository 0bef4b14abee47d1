#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ui/result.h"

namespace zeltrix {

/**
 * The outcome of a file operation: success, or why it failed. Tests of it
 * read as tests of a bool; Reason() gives the words to put after a message.
 */
class FileStatus {
 public:
  /** Success. */
  FileStatus() = default;
  /** A failure of a system call with its error number (errno). */
  static FileStatus FromErrno(int code) { return FileStatus(Kind::System, code); }
  /** Something other than a regular file stands at the path (a pipe, a device, a folder). */
  static FileStatus NotRegularFile() { return FileStatus(Kind::NotRegular, 0); }
  /** A file being copied from ended before the bytes asked for. */
  static FileStatus EndedEarly() { return FileStatus(Kind::EndedEarly, 0); }
  /** Another program held the file's lock for longer than the writer waits (FileLock). */
  static FileStatus Busy() { return FileStatus(Kind::Busy, 0); }

  bool Ok() const { return m_kind == Kind::Ok; }
  explicit operator bool() const { return Ok(); }
  bool IsBusy() const { return m_kind == Kind::Busy; }
  /**
   * Why the operation failed, in Russian, in lower case for the end of a
   * message ("нет места на устройстве"): the program's own words for the
   * errors met with files, the system's text for any other. Empty on success.
   */
  std::string Reason() const;

 private:
  enum class Kind { Ok, System, NotRegular, EndedEarly, Busy };
  FileStatus(Kind kind, int code) : m_kind(kind), m_code(code) {}

  Kind m_kind = Kind::Ok;
  int m_code = 0;
};

/**
 * A file counts as present when its size can be queried; a missing path and
 * a directory count as absent.
 */
bool FileExists(const std::string& path);

/** True when nothing at all (file, directory, link) stands at the path. */
bool NothingAt(const std::string& path);

/** The folder part of a path with its trailing separator; empty when it has none. */
std::string FolderOf(std::string_view path);

/**
 * The descriptor of an open file, closed when the object goes, with the
 * file's size as the open found it.
 */
class OpenFile {
 public:
  OpenFile(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
  OpenFile(OpenFile&& other) noexcept : m_fd(other.m_fd), m_size(other.m_size) { other.m_fd = -1; }
  OpenFile& operator=(OpenFile&& other) noexcept;
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() { Close(); }

  /** The descriptor; -1 once closed. */
  int Descriptor() const { return m_fd; }
  std::uint64_t Size() const { return m_size; }
  /** Closes the file now: success, or why close() failed (a write the disk refused late). */
  FileStatus Close();

 private:
  int m_fd;
  std::uint64_t m_size;
};

/**
 * Opens a regular file (after following links) with the given open flags,
 * or says why it cannot be. The open never waits: a named pipe, a device or
 * a folder is refused at once.
 */
Result<OpenFile, FileStatus> OpenRegularFile(const std::string& path, int flags);

/**
 * The whole content of a regular file, or why it cannot be read. Pipes and
 * devices are refused unread.
 */
Result<std::string, FileStatus> ReadWholeFile(const std::string& path);

/**
 * Whether a file may be put at the path now, without touching it: an existing
 * file must be a regular one the user may write, a missing one needs a folder
 * the user may write in.
 */
FileStatus CheckReplaceable(const std::string& path);

/**
 * Replaces a file as a whole: the new content goes into a temporary file
 * beside the target, which is flushed to disk and renamed over the target.
 * A crash, a kill or a full disk leaves either the old file or the new one.
 * The target keeps its permissions; a link is followed, so the file it points
 * to is replaced and the link stays. A link to a missing file creates that
 * file, as the shell's "> link" does; a loop of links is refused (ELOOP).
 *
 * An existing target must be a regular file the user may write; anything else
 * is refused before a byte is written. The temporary file is named
 * ".NAME.zeltrix-TAG-PID-XXXXXX" after the target, the machine and PID
 * namespace of the writer (TAG, a short fingerprint) and its process id; a
 * NAME too long to leave room for the rest within the folder's limit on names
 * is cut and ends in "~" and a fingerprint of the whole name. A temporary left
 * by a killed run is removed by a later replacement of that target once it is
 * over a minute old, and only when its writer has this process's TAG and no
 * longer exists: a writer on another machine or in another PID namespace
 * cannot be checked and keeps its temporary. When the folder refuses a temporary file but
 * the target itself is writable, the new content is kept in memory and
 * written over the old in place on Commit, then flushed: not proof against a
 * kill, but the file is saved where it could not be otherwise.
 */
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  /** Discards the temporary file unless Commit succeeded. */
  ~AtomicFileWriter();

  /**
   * Starts the replacement of the file at path: a failure when the target is
   * refused or no temporary file can be made. With flushToDisk the new
   * content reaches the disk before it replaces the old, so that it survives
   * a power cut too.
   */
  FileStatus Begin(const std::string& path, bool flushToDisk = true);
  /**
   * Appends bytes to the new content. Every call after a failure fails with
   * the first failure since Begin, so that a run of calls is checked once.
   */
  FileStatus Write(std::string_view bytes);
  /**
   * Appends length bytes of another open file, read from offset on, to the new
   * content without holding them in memory; a failure on a failed read or write
   * and when that file ends before them.
   */
  FileStatus CopyFrom(int fd, std::uint64_t offset, std::uint64_t length);
  /**
   * Puts the new content in place; after a failure (here or before) the old
   * file is untouched and the new content dropped.
   */
  FileStatus Commit();
  /** Drops the new content; the target stays as it was. */
  void Abort();

 private:
  FileStatus Fail(int code);
  FileStatus Fail(FileStatus status);
  FileStatus CommitInPlace();

  std::string m_target;
  std::string m_temp;
  int m_fd = -1;
  bool m_flushToDisk = true;
  bool m_inPlace = false;
  std::string m_inPlaceContent;
  FileStatus m_status;  // the first failure since Begin
};

/** Writes the whole content with AtomicFileWriter. */
FileStatus WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace zeltrix
