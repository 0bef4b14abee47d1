#pragma once

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
  /** All of standard input; nothing when it cannot be read. */
  virtual std::optional<std::string> ReadAll() = 0;
  /** Writes bytes to standard output; false when that failed. */
  virtual bool Out(std::string_view bytes) = 0;
  /** Writes bytes to standard error. */
  virtual void Err(std::string_view bytes) = 0;
};

/** The process's standard input, output and error. */
class StandardConsole : public Console {
 public:
  std::optional<std::string> ReadAll() override;
  bool Out(std::string_view bytes) override;
  void Err(std::string_view bytes) override;
};

}  // namespace zeltrix::cli
