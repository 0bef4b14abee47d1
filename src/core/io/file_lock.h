#pragma once

#include <chrono>
#include <string>

#include "core/io/file_io.h"

namespace zeltrix {

/**
 * Keeps other writers away from a user's file from the moment its content is
 * read to the moment new content replaces it, so that two programs changing
 * one file at once each work on the other's result: neither change is lost.
 *
 * The lock is an advisory flock() on a lock file beside the file (links
 * followed), ".NAME.lock", made when it is taken and removed when it is
 * released. The file itself cannot carry the lock: every replacement puts a
 * new file in its place. The kernel drops the lock of a process that dies;
 * the lock file that a killed holder leaves behind is taken and removed by
 * the next writer of that file. Where no lock file can be made (a folder the
 * user may not write in, where files are written in place), the file itself
 * is locked. A missing folder or a file system without locks leaves nothing
 * to lock: the writer goes on unlocked and meets the same conditions as
 * before.
 *
 * The lock is only a promise among the programs that take it; readers that
 * only read never wait for it (they see the old file or the new one). A
 * thread that holds a file's lock may take it again (an operation that locks
 * inside a larger one that holds it): the inner lock succeeds at once and
 * the file stays locked until the outer one is released.
 */
class FileLock {
 public:
  /** How long a writer waits for another one before it gives up. */
  static constexpr std::chrono::milliseconds kWait{5000};

  FileLock() = default;
  /** Acquire(path, wait). */
  explicit FileLock(const std::string& path, std::chrono::milliseconds wait = kWait) {
    Acquire(path, wait);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() { Release(); }

  /**
   * Takes the lock of the file at path (which need not exist yet), waiting
   * up to wait while another program holds it. Returns success, or
   * FileStatus::Busy() when the wait ran out; then nothing is held and the
   * caller must not change the file.
   */
  const FileStatus& Acquire(const std::string& path, std::chrono::milliseconds wait = kWait);

  /** Gives the lock up (removing the lock file); nothing when none is held. */
  void Release();

  /** The outcome of the last Acquire. */
  const FileStatus& Status() const { return m_status; }

 private:
  std::string m_key;       // the locked file's resolved path, empty when nothing is held
  std::string m_lockPath;  // what carries the lock: the lock file or the file itself
  int m_fd = -1;
  bool m_ownLockFile = false;
  bool m_nested = false;
  FileStatus m_status;
};

}  // namespace zeltrix
