#include "cli/console.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zeltrix::cli {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

}  // namespace

std::optional<std::string> ReadUpToZero(int fd, std::uint64_t expected) {
  // The first read sees whether the input is text at all; after it a file of
  // known size gets its room at once, anything else room that doubles. The
  // bytes are made ready a step at a time, so that only what was read takes
  // memory.
  constexpr std::size_t kStep = 1 << 20;
  constexpr std::size_t kFirst = 1 << 16;
  std::string data;
  std::size_t length = 0;
  for (;;) {
    if (length == data.size()) {
      if (length == 0) {
        data.reserve(expected > 0
                         ? static_cast<std::size_t>(std::min<std::uint64_t>(expected + 1, kFirst))
                         : kFirst);
      } else if (length == data.capacity()) {
        data.reserve(expected > 0 && length <= expected ? static_cast<std::size_t>(expected) + 1
                                                        : 2 * length);
      }
      data.resize(std::min(data.capacity(), length + kStep));
    }
    const ssize_t got = ::read(fd, data.data() + length, data.size() - length);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    const bool zero = std::memchr(data.data() + length, '\0', static_cast<std::size_t>(got));
    length += static_cast<std::size_t>(got);
    if (zero) break;
  }
  data.resize(length);
  // A text cut short keeps no room for the rest of its file.
  if (data.capacity() > 2 * length + kStep) data.shrink_to_fit();
  return data;
}

std::optional<std::string> StandardConsole::ReadAll() {
  // Standard input redirected from a file tells its size.
  struct stat st {};
  const bool file = ::fstat(STDIN_FILENO, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
  return ReadUpToZero(STDIN_FILENO, file ? static_cast<std::uint64_t>(st.st_size) : 0);
}

bool StandardConsole::Out(std::string_view bytes) { return WriteAll(STDOUT_FILENO, bytes); }

void StandardConsole::Err(std::string_view bytes) {
  // Nothing is left to tell the user when standard error itself fails.
  (void)WriteAll(STDERR_FILENO, bytes);
}

}  // namespace zeltrix::cli
