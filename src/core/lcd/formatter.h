#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/lcd/engine_text.h"
#include "core/profiles/profile_record.h"

namespace zeltrix {

struct CgramReport;

/**
 * Most spaces an indent (Ost1, Ost2) gives. The profile editor offers 0 to
 * 30; a profile file may hold any number, and without a bound a shared file
 * with an indent of two thousand million would fill the memory.
 */
inline constexpr std::int32_t kMaxIndent = 1024;

/** The spaces an indent of the profile gives: none below 1, at most kMaxIndent. */
constexpr std::size_t IndentWidth(std::int32_t indent) {
  return static_cast<std::size_t>(indent < 0 ? 0 : indent > kMaxIndent ? kMaxIndent : indent);
}

/**
 * Watches a conversion run: the progress window, or a test. The run calls it
 * from between two characters of a data line, at most once per
 * PollInterval, so an observer costs the run next to nothing.
 */
class ConvertObserver {
 public:
  virtual ~ConvertObserver() = default;
  /** Called once at the start with the length of the source text. */
  virtual void SetMaximum(std::size_t maximum) = 0;
  /** The position reached so far. */
  virtual void SetValue(std::size_t value) = 0;
  /**
   * Looks at the user's input (the Cancel button); true stops the run at once,
   * leaving the output built so far.
   */
  virtual bool WantsToStop() = 0;
  /** How long the run goes on at least between two looks at the observer. */
  virtual std::chrono::milliseconds PollInterval() const { return std::chrono::milliseconds(5); }
};

/**
 * The number text of a datum: binary with 8 digits (SI 0), decimal (SI 1) or
 * two hexadecimal digits in capitals (SI 2); empty for any other base.
 */
std::string NumberText(std::uint8_t code, std::int32_t base);

/** Receives the output of a run piece by piece, in order. */
class OutputSink {
 public:
  virtual ~OutputSink() = default;
  /**
   * Takes the next piece. A sink that cannot take it keeps the reason for
   * its owner to report after the run, and may pass over the pieces after it.
   */
  virtual void Write(std::string_view bytes) = 0;
};

/**
 * Converts a Windows-1251 text into data lines as the profile says: the text
 * is prepared, cut into chunks, and every chunk becomes an optional comment
 * line with its text and a data line with the HD44780 codes of its
 * displayable characters, the separator between two of them. A chunk
 * without a displayable character gives no data line (its comment line
 * stays), so every data line holds at least one datum. Every line ends with
 * CR LF. The observer is used only when the profile's Preview is 0.
 *
 * The codes are those of the profile's ROM, with look-alikes when it allows
 * them (CharacterMapOf); the output is Windows-1251, as the text and the
 * profile's texts are.
 *
 * With the profile's Cgram 1 the text is converted screen by screen instead,
 * with custom characters (ConvertCgramText in cgram_output.h, which says how);
 * reports, when given, then receives one report per screen that needs more
 * custom characters than a display holds. Without Cgram it is left as it is.
 */
std::string ConvertText(std::string_view text, const ProfileRecord& profile,
                        ConvertObserver* observer = nullptr,
                        std::vector<CgramReport>* reports = nullptr);

/**
 * The same run over Unicode characters, counted as the byte path counts
 * bytes: chunk sizes, word wrap and the progress are in characters. The data
 * lines are UTF-8: the comment lines hold the text's own characters and the
 * profile's texts, stored in Windows-1251, are written decoded. For a text
 * that Windows-1251 can hold, the lines are those of the byte path, decoded.
 */
std::string ConvertText(std::u32string_view text, const ProfileRecord& profile,
                        ConvertObserver* observer = nullptr,
                        std::vector<CgramReport>* reports = nullptr);

/** The text on its own path: data lines in Windows-1251 when text.OnBytePath(), else in UTF-8. */
std::string ConvertText(const EngineText& text, const ProfileRecord& profile,
                        ConvertObserver* observer = nullptr,
                        std::vector<CgramReport>* reports = nullptr);

/**
 * The same run as ConvertText, its output handed to the sink in pieces of
 * about a megabyte instead of being held whole. A piece never ends inside a
 * UTF-8 sequence.
 */
void ConvertTextTo(std::string_view text, const ProfileRecord& profile, OutputSink& sink,
                   ConvertObserver* observer = nullptr,
                   std::vector<CgramReport>* reports = nullptr);
void ConvertTextTo(std::u32string_view text, const ProfileRecord& profile, OutputSink& sink,
                   ConvertObserver* observer = nullptr,
                   std::vector<CgramReport>* reports = nullptr);
void ConvertTextTo(const EngineText& text, const ProfileRecord& profile, OutputSink& sink,
                   ConvertObserver* observer = nullptr,
                   std::vector<CgramReport>* reports = nullptr);

/**
 * ConvertTextTo on a text handed over to the run: it is prepared in its own
 * storage, so that a long text is never held twice.
 */
void ConvertOwnedTextTo(std::string&& text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer = nullptr,
                        std::vector<CgramReport>* reports = nullptr);
void ConvertOwnedTextTo(std::u32string&& text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer = nullptr,
                        std::vector<CgramReport>* reports = nullptr);
void ConvertOwnedTextTo(EngineText&& text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer = nullptr,
                        std::vector<CgramReport>* reports = nullptr);

/**
 * The data line of display codes given as they are, not made from a text:
 * the line a chunk of characters with these codes gives, in the profile's
 * format (indents, directive, block start, every datum with the separator
 * between two, block end, the noted count when the profile notes it), ending
 * with CR LF, in Windows-1251 as the profile's texts are. Nothing for no
 * codes.
 */
std::string CodesDataLine(std::string_view codes, const ProfileRecord& profile);

}  // namespace zeltrix
