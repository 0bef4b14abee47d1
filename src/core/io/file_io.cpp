#include "core/io/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <vector>

namespace zeltrix {

std::string FileStatus::Reason() const {
  switch (m_kind) {
    case Kind::Ok:
      return {};
    case Kind::NotRegular:
      return "это не обычный файл";
    case Kind::EndedEarly:
      return "файл оказался короче, чем ожидалось";
    case Kind::Busy:
      return "файл занят: его сейчас изменяет другая программа";
    case Kind::System:
      break;
  }
  switch (m_code) {
    case ENOSPC:
      return "нет места на устройстве";
    case EDQUOT:
      return "превышена дисковая квота";
    case EFBIG:
      return "файл слишком велик";
    case EACCES:
    case EPERM:
      return "нет доступа";
    case ENOENT:
      return "нет такого файла или папки";
    case ENOTDIR:
      return "часть пути не является папкой";
    case EISDIR:
      return "это папка";
    case EROFS:
      return "файловая система доступна только для чтения";
    case ENAMETOOLONG:
      return "слишком длинное имя";
    case ELOOP:
      return "слишком много ссылок в пути";
    case EIO:
      return "ошибка ввода-вывода";
    case ENOMEM:
      return "недостаточно памяти";
    case EMFILE:
    case ENFILE:
      return "открыто слишком много файлов";
    case ETXTBSY:
    case EBUSY:
      return "файл занят";
    default:
      return std::strerror(m_code);
  }
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool NothingAt(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

std::string FolderOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = other.m_fd;
    m_size = other.m_size;
    other.m_fd = -1;
  }
  return *this;
}

FileStatus OpenFile::Close() {
  if (m_fd < 0) return {};
  const int fd = m_fd;
  m_fd = -1;
  return ::close(fd) == 0 ? FileStatus() : FileStatus::FromErrno(errno);
}

Result<OpenFile, FileStatus> OpenRegularFile(const std::string& path, int flags) {
  // Without O_NONBLOCK the open of a pipe waits for its other end.
  const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return Failure{FileStatus::FromErrno(errno)};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Failure{FileStatus::NotRegularFile()};
  }
  // Regular files never block; the flag is dropped so that nothing depends on it.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return OpenFile(fd, static_cast<std::uint64_t>(st.st_size));
}

Result<std::string, FileStatus> ReadWholeFile(const std::string& path) {
  Result<OpenFile, FileStatus> file = OpenRegularFile(path, O_RDONLY);
  if (!file) return Failure{file.Reason()};
  // One byte more than the size lets the first read see the end at once.
  std::string data(static_cast<std::size_t>(file->Size()) + 1, '\0');
  std::size_t length = 0;
  for (;;) {
    if (length == data.size()) data.resize(data.size() * 2);
    const ssize_t got = ::read(file->Descriptor(), data.data() + length, data.size() - length);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Failure{FileStatus::FromErrno(errno)};
    if (got == 0) break;
    length += static_cast<std::size_t>(got);
  }
  data.resize(length);
  return data;
}

namespace {

// Linux's limit on the links followed in one path lookup.
constexpr int kMaxLinks = 40;

// The path that the links at the end of path lead to, followed as open()
// with O_CREAT does: a dangling link leads to the missing file it names, where
// a new file is then made, and a loop fails with ELOOP.
std::string FollowLinks(const std::string& path, int& error) {
  error = 0;
  std::string current = path;
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
    const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
    if (length <= 0) return current;
    target.resize(static_cast<std::size_t>(length));
    current = target.front() == '/' ? target : FolderOf(current) + target;
  }
  error = ELOOP;
  return path;
}

// Permission as the user running the program has it (the effective ids).
bool UserMay(const std::string& path, int mode) {
  return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

std::string NamePart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why an existing file (st its status after following links) may not be
// replaced, or success: it must be a regular file the user may write. A
// folder is refused as such (EISDIR) only when folderAsIsDir says so.
FileStatus RefusalToReplace(const std::string& target, const struct stat& st, bool folderAsIsDir) {
  if (!S_ISREG(st.st_mode)) {
    return folderAsIsDir && S_ISDIR(st.st_mode) ? FileStatus::FromErrno(EISDIR)
                                                : FileStatus::NotRegularFile();
  }
  if (!UserMay(target, W_OK)) return FileStatus::FromErrno(errno);
  return {};
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// FNV-1a: a short, stable fingerprint of a text for a file name.
std::uint64_t Fingerprint(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

constexpr std::size_t kTagLength = 8;

std::string Tag(std::string_view text) {
  const std::uint64_t hash = Fingerprint(text);
  const auto folded = static_cast<std::uint32_t>(hash ^ (hash >> 32));
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string tag(kTagLength, '0');
  for (std::size_t i = 0; i < kTagLength; ++i) tag[i] = kDigits[(folded >> (28 - 4 * i)) & 0xF];
  return tag;
}

// Where the process ids of this process mean what they say: this boot of this
// machine and this process's PID namespace. A temporary written under another
// tag (another machine on a shared folder, another container, this machine
// before a restart) cannot be checked, so it is never taken as stale.
const std::string& WriterTag() {
  static const std::string tag = [] {
    const Result<std::string, FileStatus> bootId = ReadWholeFile("/proc/sys/kernel/random/boot_id");
    std::string identity = bootId ? *bootId : std::string();
    char buffer[256] = {};
    const ssize_t length = ::readlink("/proc/self/ns/pid", buffer, sizeof buffer - 1);
    identity.push_back('\0');
    if (length > 0) identity.append(buffer, static_cast<std::size_t>(length));
    identity.push_back('\0');
    if (::gethostname(buffer, sizeof buffer - 1) == 0) identity.append(buffer);
    return Tag(identity);
  }();
  return tag;
}

// A temporary's name is ".NAME.zeltrix-TAG-PID-XXXXXX": the target's name,
// the writer's tag and process id, and six characters mkstemp fills in.
constexpr std::string_view kTempMark = ".zeltrix-";
constexpr std::size_t kMaxPidDigits = 10;
constexpr std::size_t kTempOverhead = 1 + kTempMark.size() + kTagLength + 1 + kMaxPidDigits + 1 + 6;
// A cut name ends in "~" and the tag of the whole name.
constexpr std::size_t kCutMark = 1 + kTagLength;

// The start of the temporaries' names for the target's name in the folder.
// A name too long to leave room for the rest within the folder's limit on
// names is cut (never inside a UTF-8 sequence) and marked with a tag of the
// whole name, so that the temporary stays recognisable and belongs to one
// target only.
std::string TempPrefix(const std::string& folder, const std::string& name) {
  long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
  if (limit <= 0) limit = NAME_MAX;
  const std::size_t room = static_cast<std::size_t>(limit) > kTempOverhead
                               ? static_cast<std::size_t>(limit) - kTempOverhead
                               : 0;
  std::string part = name;
  if (name.size() > room) {
    std::size_t keep = room > kCutMark ? room - kCutMark : 0;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    part = name.substr(0, keep) + "~" + Tag(name);
  }
  return "." + part + std::string(kTempMark);
}

bool IsDecimal(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A temporary left beside the target is removed only when it is certainly
// abandoned: written under this process's tag by a process that no longer
// exists, and untouched for over a minute.
void RemoveStaleTemporaries(const std::string& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const std::string ours = prefix + WriterTag() + "-";
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view entryName = entry->d_name;
    if (entryName.substr(0, ours.size()) != ours) continue;
    // The pid, a dash and the six characters mkstemp filled in.
    const std::string_view rest = entryName.substr(ours.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || dash > kMaxPidDigits || rest.size() != dash + 7 ||
        !IsDecimal(rest.substr(0, dash))) {
      continue;
    }
    const long long pid = std::atoll(std::string(rest.substr(0, dash)).c_str());
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max() || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    const std::string path = folder + std::string(entryName);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (now.tv_sec - st.st_mtim.tv_sec <= 60) continue;
    ::unlink(path.c_str());
  }
  ::closedir(dir);
}

}  // namespace

FileStatus CheckReplaceable(const std::string& path) {
  int error = 0;
  const std::string target = FollowLinks(path, error);
  if (error != 0) return FileStatus::FromErrno(error);
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return RefusalToReplace(target, st, false);
  if (errno != ENOENT) return FileStatus::FromErrno(errno);
  const std::string folder = FolderOf(target);
  if (!UserMay(folder.empty() ? "." : folder, W_OK | X_OK)) return FileStatus::FromErrno(errno);
  return {};
}

AtomicFileWriter::~AtomicFileWriter() { Abort(); }

FileStatus AtomicFileWriter::Fail(int code) { return Fail(FileStatus::FromErrno(code)); }

FileStatus AtomicFileWriter::Fail(FileStatus status) {
  if (m_status.Ok()) m_status = status;
  return m_status;
}

FileStatus AtomicFileWriter::Begin(const std::string& path, bool flushToDisk) {
  Abort();
  m_flushToDisk = flushToDisk;
  m_status = {};
  m_inPlace = false;
  m_inPlaceContent.clear();
  int error = 0;
  m_target = FollowLinks(path, error);
  if (error != 0) return Fail(error);
  struct stat st {};
  const bool exists = ::stat(m_target.c_str(), &st) == 0;
  if (exists) {
    // A rename over a pipe or a device would remove it instead of writing to
    // it, and one over a file the user may not write would replace it all the same.
    const FileStatus refusal = RefusalToReplace(m_target, st, true);
    if (!refusal) return Fail(refusal);
  }

  const std::string folder = FolderOf(m_target);
  const std::string name = NamePart(m_target);
  const std::string prefix = TempPrefix(folder, name);
  RemoveStaleTemporaries(folder, prefix);
  std::string pattern =
      folder + prefix + WriterTag() + "-" + std::to_string(::getpid()) + "-XXXXXX";
  m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (m_fd < 0) {
    const int error = errno;
    // A writable file in a folder that takes no new files is written in place.
    if (exists && (error == EACCES || error == EPERM)) {
      m_inPlace = true;
      return {};
    }
    return Fail(error);
  }
  m_temp = pattern;
  if (exists) {
    ::fchmod(m_fd, st.st_mode & 07777);
    // Only root may give the file to its owner; anyone else's copy stays
    // theirs, as a file saved anew would, and that is no reason to fail.
    [[maybe_unused]] const int owned = ::fchown(m_fd, st.st_uid, st.st_gid);
  } else {
    ::fchmod(m_fd, NewFileMode());
  }
  return {};
}

FileStatus AtomicFileWriter::Write(std::string_view bytes) {
  if (!m_status.Ok()) return m_status;
  if (m_inPlace) {
    m_inPlaceContent.append(bytes);
    return {};
  }
  if (m_fd < 0) return Fail(EBADF);
  while (!bytes.empty()) {
    const ssize_t put = ::write(m_fd, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return {};
}

FileStatus AtomicFileWriter::CopyFrom(int fd, std::uint64_t offset, std::uint64_t length) {
  if (!m_status.Ok()) return m_status;
  if (m_fd < 0 && !m_inPlace) return Fail(EBADF);
  off_t in = static_cast<off_t>(offset);
  // Pieces of a few megabytes, each handed to the disk as soon as it is
  // copied, let the disk write while the copy goes on: the flush in Commit
  // then finds little left to wait for.
  constexpr std::uint64_t kPiece = 4u << 20;
  const auto startWriteBack = [this] {
    if (m_flushToDisk && m_fd >= 0) ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  };
  // The kernel copies without a trip through our memory, and shares blocks
  // where the file system can; other file systems take the buffered way below.
  while (length > 0 && !m_inPlace) {
    const std::size_t piece = static_cast<std::size_t>(std::min(length, kPiece));
    const ssize_t put = ::copy_file_range(fd, &in, m_fd, nullptr, piece, 0);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP))
      break;
    if (put < 0) return Fail(errno);
    if (put == 0) return Fail(FileStatus::EndedEarly());
    length -= static_cast<std::uint64_t>(put);
    startWriteBack();
  }
  std::vector<char> buffer(static_cast<std::size_t>(std::min(length, kPiece)));
  while (length > 0) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size()));
    const ssize_t got = ::pread(fd, buffer.data(), want, in);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Fail(errno);
    if (got == 0) return Fail(FileStatus::EndedEarly());
    if (const FileStatus written = Write({buffer.data(), static_cast<std::size_t>(got)});
        !written) {
      return written;
    }
    in += got;
    length -= static_cast<std::uint64_t>(got);
    startWriteBack();
  }
  return {};
}

FileStatus AtomicFileWriter::CommitInPlace() {
  // The content is let go whatever the outcome.
  const std::string content = std::move(m_inPlaceContent);
  m_inPlace = false;
  m_inPlaceContent.clear();
  Result<OpenFile, FileStatus> file = OpenRegularFile(m_target, O_WRONLY);
  if (!file) return Fail(file.Reason());
  const int fd = file->Descriptor();
  std::string_view bytes = content;
  off_t at = 0;
  while (!bytes.empty()) {
    const ssize_t put = ::pwrite(fd, bytes.data(), bytes.size(), at);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return Fail(put < 0 ? errno : EIO);
    bytes.remove_prefix(static_cast<std::size_t>(put));
    at += put;
  }
  // Checked and flushed: a short file or one left in the cache counts as a failure.
  if (::ftruncate(fd, at) != 0) return Fail(errno);
  if (::fsync(fd) != 0) return Fail(errno);
  if (const FileStatus closed = file->Close(); !closed) return Fail(closed);
  return {};
}

FileStatus AtomicFileWriter::Commit() {
  if (!m_status.Ok()) {
    Abort();
    return m_status;
  }
  if (m_inPlace) return CommitInPlace();
  if (m_fd < 0) return Fail(EBADF);
  // A failure from here on drops the temporary file; the old file stays.
  const auto failAndAbort = [this](int code) {
    const FileStatus failure = Fail(code);
    Abort();
    return failure;
  };
  if (m_flushToDisk && ::fsync(m_fd) != 0) return failAndAbort(errno);
  const int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0) return failAndAbort(errno);
  if (::rename(m_temp.c_str(), m_target.c_str()) != 0) return failAndAbort(errno);
  m_temp.clear();
  return {};
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
  m_inPlace = false;
  m_inPlaceContent.clear();
}

FileStatus WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter writer;
  if (const FileStatus begun = writer.Begin(path); !begun) return begun;
  // A failed write fails the commit with its reason.
  writer.Write(bytes);
  return writer.Commit();
}

}  // namespace zeltrix
