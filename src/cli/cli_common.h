#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "cli/console.h"
#include "core/io/file_io.h"
#include "core/io/single_byte_codec.h"
#include "core/io/text_encoding.h"
#include "core/lcd/engine_text.h"
#include "core/ui/prompter.h"
#include "core/ui/result.h"

namespace zeltrix::cli {

/** Exit statuses of zeltrix-cli. */
enum ExitStatus : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

/**
 * Why a command failed: the exit status and the line it ends with on
 * standard error, "zeltrix-cli: " and the message.
 */
struct CliError {
  int status;
  std::string message;  // UTF-8, one line; empty when the failure has been reported already
};

/** Success, or why the command ends. */
using CliStatus = StatusOf<CliError>;
/** A value, or why the command ends. */
template <typename T>
using CliResult = Result<T, CliError>;

/** A failure of the run itself (exit status 1). */
Failure<CliError> Failed(std::string message);
/** A mistake in the command line (exit status 2). */
Failure<CliError> Usage(std::string message);
/**
 * A failure of the run (exit status 1) that the core has reported already,
 * through the command's prompter on standard error: nothing more is printed.
 */
Failure<CliError> Reported();

/**
 * The value of an option that may be left out, read by parse (from the
 * option's text to a CliResult<T>): nothing when it is not given, the reason
 * when its value is wrong.
 */
template <typename T, typename Parse>
CliResult<std::optional<T>> GivenValue(const QCommandLineParser& parser,
                                       const QCommandLineOption& option, Parse&& parse) {
  if (!parser.isSet(option)) return std::optional<T>();
  CliResult<T> value = parse(parser.value(option));
  if (!value) return Failure{value.Reason()};
  return std::optional<T>(*std::move(value));
}

/**
 * The character as a message names it: itself in quotes when it prints, and
 * its code point: «ß» (U+00DF).
 */
std::string CharacterName(char32_t c);

/** The message with the reason of a failed file operation after a colon. */
std::string WithReason(std::string message, const FileStatus& status);

/**
 * The value of a number option. Every number option follows one rule:
 * decimal digits only (no sign, space or other character; leading zeros
 * allowed), within low to high; anything else is a usage error with the given
 * message.
 */
CliResult<std::uint32_t> NumberOption(const QString& value, std::uint32_t low, std::uint32_t high,
                                      const std::string& refusal);

/** Messages of the core printed on standard error, each on one line; questions are answered No. */
class StderrPrompter : public Prompter {
 public:
  explicit StderrPrompter(Console& console) : m_console(console) {}
  MessageAnswer Show(const Message& message) override;

 private:
  Console& m_console;
};

/**
 * Parses the arguments after a command's name with its options; a usage
 * error for unknown options or missing values.
 */
CliStatus ParseOrFail(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
                      const QStringList& arguments);

/** At most one positional argument: the input (or "-" for standard input). */
CliResult<QString> SingleInput(const QCommandLineParser& parser);

/**
 * Reads an --encoding value: auto (nothing; allowed only where allowAuto is
 * true), cp1251, utf-8, koi8-r or cp866.
 */
CliResult<std::optional<TextEncoding>> ParseEncoding(const QString& value, const char* option,
                                                     bool allowAuto);

/** A command's input as the engine takes it, with the encoding it was read in. */
struct InputText {
  EngineText text;
  TextEncoding encoding;
};

/**
 * Reads the input (a file, or standard input for an empty name or "-") up to
 * its first zero byte, where the text ends (saying so on standard error), in
 * the encoding given or, without one, in the one DetectTextFormat finds. A
 * text that Windows-1251 holds becomes its Windows-1251 bytes, converted
 * where it was read (Windows-1251 input is taken as it is); any other keeps
 * every character, to be shown by a ROM that has it.
 */
CliResult<InputText> ReadInputText(const QString& input, std::optional<TextEncoding> encoding,
                                   Console& console);

/**
 * A profile name typed on the command line, in Windows-1251 as the profile
 * file holds it; nothing when it is empty or has a character that Windows-1251
 * cannot spell, since no profile can have such a name.
 */
std::optional<std::string> ProfileNameArgument(const QString& argument);

/**
 * Where a command's result goes: a file, replaced as a whole only when the
 * command succeeds, or standard output for an empty name or "-".
 */
class Output {
 public:
  Output(const QString& name, Console& console);
  /** Starts the file's replacement; nothing to do for standard output. */
  CliStatus Begin();
  /** Appends bytes. */
  CliStatus Write(std::string_view bytes);
  /** Puts a file in place; without this call a file stays as it was. */
  CliStatus Finish();
  /** False for standard output, where what is written cannot be taken back. */
  bool ToFile() const { return m_toFile; }

 private:
  /** Why the file could not be written, with the reason the system gave. */
  Failure<CliError> FileFailure(const FileStatus& status) const;

  QString m_name;
  Console& m_console;
  bool m_toFile;
  AtomicFileWriter m_file;
};

/** Writes the bytes to the output at once. */
CliStatus WriteOutput(const QString& output, std::string_view bytes, Console& console);

/**
 * The file name a command-line argument stands for, as the bytes the system
 * gave: the program's arguments are decoded with FileNameToUtf16.
 */
std::string LocalPath(const QString& argument);

}  // namespace zeltrix::cli
