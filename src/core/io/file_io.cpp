#include "core/io/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace zeltrix {

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool NothingAt(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  // One byte more than the size lets the first read see the end at once.
  std::string data(S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) + 1 : 1 << 16, '\0');
  std::size_t length = 0;
  for (;;) {
    if (length == data.size()) data.resize(data.size() * 2);
    const ssize_t got = ::read(fd, data.data() + length, data.size() - length);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    length += static_cast<std::size_t>(got);
  }
  ::close(fd);
  data.resize(length);
  return data;
}

namespace {

std::string ResolveLink(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
  }
  return path;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

AtomicFileWriter::~AtomicFileWriter() { Abort(); }

bool AtomicFileWriter::Fail(const char* what) {
  m_error = std::string(what) + ": " + std::strerror(errno);
  m_failed = true;
  return false;
}

bool AtomicFileWriter::Begin(const std::string& path, bool flushToDisk) {
  Abort();
  m_flushToDisk = flushToDisk;
  m_failed = false;
  m_error.clear();
  m_target = ResolveLink(path);
  const std::size_t slash = m_target.rfind('/');
  const std::string dir =
      slash == std::string::npos ? std::string() : m_target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
  std::string pattern = dir + "." + base + ".XXXXXX";
  m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (m_fd < 0) return Fail("cannot create a temporary file");
  m_temp = pattern;
  struct stat st {};
  if (::stat(m_target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      Fail("cannot replace");
      Abort();
      return false;
    }
    ::fchmod(m_fd, st.st_mode & 07777);
    // Keeps the owner when we may (running as root on someone else's file).
    if (::fchown(m_fd, st.st_uid, st.st_gid) != 0) {
    }
  } else {
    ::fchmod(m_fd, NewFileMode());
  }
  return true;
}

bool AtomicFileWriter::Write(std::string_view bytes) {
  if (m_fd < 0 || m_failed) return false;
  while (!bytes.empty()) {
    const ssize_t put = ::write(m_fd, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return Fail("write failed");
    }
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

bool AtomicFileWriter::CopyFrom(int fd, std::uint64_t offset, std::uint64_t length) {
  if (m_fd < 0 || m_failed) return false;
  off_t in = static_cast<off_t>(offset);
  // Pieces of a few megabytes, each handed to the disk as soon as it is
  // copied, let the disk write while the copy goes on: the flush in Commit
  // then finds little left to wait for.
  constexpr std::uint64_t kPiece = 4u << 20;
  const auto startWriteBack = [this] {
    if (m_flushToDisk) ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  };
  // The kernel copies without a trip through our memory, and shares blocks
  // where the file system can; other file systems take the buffered way below.
  while (length > 0) {
    const std::size_t piece = static_cast<std::size_t>(std::min(length, kPiece));
    const ssize_t put = ::copy_file_range(fd, &in, m_fd, nullptr, piece, 0);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP))
      break;
    if (put < 0) return Fail("copy failed");
    if (put == 0) return EndedEarly();
    length -= static_cast<std::uint64_t>(put);
    startWriteBack();
  }
  std::vector<char> buffer(static_cast<std::size_t>(std::min(length, kPiece)));
  while (length > 0) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size()));
    const ssize_t got = ::pread(fd, buffer.data(), want, in);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Fail("read failed");
    if (got == 0) return EndedEarly();
    if (!Write({buffer.data(), static_cast<std::size_t>(got)})) return false;
    in += got;
    length -= static_cast<std::uint64_t>(got);
    startWriteBack();
  }
  return true;
}

bool AtomicFileWriter::EndedEarly() {
  m_error = "the source file ended early";
  m_failed = true;
  return false;
}

bool AtomicFileWriter::Commit() {
  if (m_fd < 0 || m_failed) {
    Abort();
    return false;
  }
  if (m_flushToDisk && ::fsync(m_fd) != 0) {
    Fail("flush failed");
    Abort();
    return false;
  }
  const int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0) {
    Fail("close failed");
    Abort();
    return false;
  }
  if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
    Fail("rename failed");
    Abort();
    return false;
  }
  m_temp.clear();
  return true;
}

void AtomicFileWriter::Abort() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
  if (!m_temp.empty()) {
    ::unlink(m_temp.c_str());
    m_temp.clear();
  }
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter writer;
  return writer.Begin(path) && writer.Write(bytes) && writer.Commit();
}

}  // namespace zeltrix
