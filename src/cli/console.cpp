#include "cli/console.h"

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
  constexpr std::size_t kFirst = 1 << 16;
  std::string data;
  std::size_t length = 0;
  for (;;) {
    if (length == data.size()) {
      // Doubling, but for a known size no further than one byte past it,
      // where the read that sees the end lands.
      std::size_t grown = std::max(kFirst, 2 * data.size());
      if (expected > 0 && expected < grown && length <= expected) {
        grown = static_cast<std::size_t>(expected) + 1;
      }
      data.resize(grown);
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
  return data;
}

std::optional<std::string> StandardConsole::ReadAll() { return ReadUpToZero(STDIN_FILENO, 0); }

bool StandardConsole::Out(std::string_view bytes) { return WriteAll(STDOUT_FILENO, bytes); }

void StandardConsole::Err(std::string_view bytes) {
  // Nothing is left to tell the user when standard error itself fails.
  (void)WriteAll(STDERR_FILENO, bytes);
}

}  // namespace zeltrix::cli
