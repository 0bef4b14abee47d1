#include "core/io/file_lock.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

namespace zeltrix {
namespace {

// Locks this thread holds, by key, with how often each is held.
thread_local std::map<std::string, int> t_held;

// The file that a replacement of path writes: links followed, as the atomic
// writer follows them. A missing file has its folder resolved, so that every
// name of one file finds one lock.
std::string LockedFile(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
  const std::string folder = FolderOf(path);
  const std::string name = path.substr(folder.size());
  if (::realpath(folder.empty() ? "." : folder.c_str(), resolved) == nullptr) return path;
  std::string canonical = resolved;
  if (canonical.back() != '/') canonical += '/';
  return canonical + name;
}

// ".NAME.lock" beside the file; a name too long for that gets a shortened
// one that still tells the files of a folder apart.
std::string LockFileFor(const std::string& file) {
  const std::string folder = FolderOf(file);
  const std::string name = file.substr(folder.size());
  std::string lockName = "." + name + ".lock";
  if (lockName.size() > NAME_MAX) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    lockName = "." + name.substr(0, 200) + "~" + hex + ".lock";
  }
  return folder + lockName;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether path still names the file open as fd: a lock taken on a file that
// was removed or replaced meanwhile locks nothing anyone else will see.
bool StillAt(int fd, const std::string& path) {
  struct stat open {};
  struct stat named {};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && SameFile(open, named);
}

// Opens the regular file at path for locking (or -1). The open never waits
// for a pipe and never follows a link planted at a lock file's name.
int OpenForLock(const std::string& path, bool create) {
  const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (create ? O_CREAT | O_NOFOLLOW : 0);
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

const FileStatus& FileLock::Acquire(const std::string& path, std::chrono::milliseconds wait) {
  Release();
  m_status = {};
  const std::string key = LockedFile(path);
  if (int& count = t_held[key]; count > 0) {
    ++count;
    m_key = key;
    m_nested = true;
    return m_status;
  }
  t_held.erase(key);

  const auto deadline = std::chrono::steady_clock::now() + wait;
  auto pause = std::chrono::milliseconds(1);
  const std::string lockFile = LockFileFor(key);
  for (;;) {
    bool own = true;
    std::string carrier = lockFile;
    int fd = OpenForLock(lockFile, true);
    if (fd < 0) {
      // No lock file here: the file itself carries the lock, or, when it
      // cannot be opened either, there is nothing to keep anyone from.
      own = false;
      carrier = key;
      fd = OpenForLock(key, false);
      if (fd < 0) return m_status;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      if (StillAt(fd, carrier)) {
        m_key = key;
        m_lockPath = carrier;
        m_fd = fd;
        m_ownLockFile = own;
        ++t_held[key];
        return m_status;
      }
      // The holder before us removed it on release: take the new one.
      ::close(fd);
      continue;
    }
    const int error = errno;
    ::close(fd);
    if (error == EINTR) continue;
    if (error != EWOULDBLOCK) {
      // A file system without locks: as unlocked as it always was.
      if (own) ::unlink(lockFile.c_str());
      return m_status;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      m_status = FileStatus::Busy();
      return m_status;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

void FileLock::Release() {
  if (m_key.empty()) return;
  if (const auto held = t_held.find(m_key); held != t_held.end() && --held->second == 0) {
    t_held.erase(held);
  }
  if (!m_nested && m_fd >= 0) {
    // Removed while still locked, so that whoever opened it meanwhile sees
    // that it is gone and takes the next one.
    if (m_ownLockFile && StillAt(m_fd, m_lockPath)) ::unlink(m_lockPath.c_str());
    ::close(m_fd);
  }
  m_fd = -1;
  m_key.clear();
  m_lockPath.clear();
  m_ownLockFile = false;
  m_nested = false;
}

}  // namespace zeltrix
