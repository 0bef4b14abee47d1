#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace zeltrix {

/**
 * A text as the conversion takes it, in one of the engine's two units. A
 * text that Windows-1251 can hold is kept as its Windows-1251 bytes and goes
 * the byte path, which converts it byte for byte as the program always has;
 * any other is kept as Unicode characters and goes the character path. Both
 * paths give the same codes, and the same data lines once decoded: the one
 * difference a caller sees is the encoding of the data lines, Windows-1251
 * from the byte path and UTF-8 from the character path (OnBytePath).
 *
 * The engine's entries that take an EngineText (ConvertText, PrepareBinText,
 * MapToLcdCodes, LayOutScreen, ...) pass it on to their overload for its
 * unit; Visit does the same for any other use.
 */
class EngineText {
 public:
  /** An empty text. */
  EngineText() = default;

  /** Windows-1251 bytes, taken as they are: the byte path. */
  static EngineText FromCp1251(std::string bytes);

  /** Characters: their Windows-1251 bytes when each has one, else the characters themselves. */
  static EngineText FromCharacters(std::u32string characters);

  /**
   * UTF-8 text (the window's text, a decoded input), as FromCharacters. Each
   * byte of an invalid sequence is read as U+FFFD, which no ROM shows.
   */
  static EngineText FromUtf8(std::string_view utf8);

  /** True when the text is held as Windows-1251 bytes. */
  bool OnBytePath() const { return m_text.index() == 0; }

  /** The Windows-1251 bytes of a text on the byte path, else nullptr. */
  const std::string* Bytes() const { return std::get_if<std::string>(&m_text); }

  /** The characters of a text on the character path, else nullptr. */
  const std::u32string* Characters() const { return std::get_if<std::u32string>(&m_text); }

  /** Its length in characters. */
  std::size_t Length() const {
    return std::visit([](const auto& text) { return text.size(); }, m_text);
  }

  bool Empty() const { return Length() == 0; }

  /** The text in UTF-8. */
  std::string ToUtf8() const;

  /** Calls the visitor with the text as a const std::string& (Windows-1251) or std::u32string&. */
  template <class Visitor>
  decltype(auto) Visit(Visitor&& visitor) const& {
    return std::visit(std::forward<Visitor>(visitor), m_text);
  }

  /** Calls the visitor with the text as an std::string&& or std::u32string&&, for a run that takes
   * it over. */
  template <class Visitor>
  decltype(auto) Visit(Visitor&& visitor) && {
    return std::visit(std::forward<Visitor>(visitor), std::move(m_text));
  }

 private:
  std::variant<std::string, std::u32string> m_text;
};

}  // namespace zeltrix
