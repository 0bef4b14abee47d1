#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeltrix::cli {

/**
 * The three standard streams of a run. The program uses the process's own;
 * tests put strings in their place and run commands in their own process.
 */
class Console {
 public:
  virtual ~Console() = default;
  /**
   * All of standard input, or its start up to and including its first zero
   * byte, where the text ends anyway; nothing when it cannot be read.
   */
  virtual std::optional<std::string> ReadAll() = 0;
  /** Writes bytes to standard output; false when that failed. */
  virtual bool Out(std::string_view bytes) = 0;
  /** Writes bytes to standard error. */
  virtual void Err(std::string_view bytes) = 0;
};

/**
 * Reads a descriptor to its end or up to and including its first zero byte,
 * whichever comes first; expected is the size known beforehand (0 when
 * none). The buffer grows with what arrives, so a huge input of which only
 * the start is used is never held whole. Nothing, with errno set, when a
 * read fails.
 */
std::optional<std::string> ReadUpToZero(int fd, std::uint64_t expected);

/** The process's standard input, output and error. */
class StandardConsole : public Console {
 public:
  std::optional<std::string> ReadAll() override;
  bool Out(std::string_view bytes) override;
  void Err(std::string_view bytes) override;
};

}  // namespace zeltrix::cli
