#include "cli/console.h"

#include <unistd.h>

#include <cerrno>

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

std::optional<std::string> StandardConsole::ReadAll() {
  std::string data;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) return data;
    data.append(buffer, static_cast<std::size_t>(got));
  }
}

bool StandardConsole::Out(std::string_view bytes) { return WriteAll(STDOUT_FILENO, bytes); }

void StandardConsole::Err(std::string_view bytes) {
  // Nothing is left to tell the user when standard error itself fails.
  (void)WriteAll(STDERR_FILENO, bytes);
}

}  // namespace zeltrix::cli
