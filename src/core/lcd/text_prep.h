#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/lcd/character_map.h"

namespace zeltrix {

// Every operation here comes for the engine's two units of text: char, a
// Windows-1251 byte, and char32_t, a Unicode character. Positions, lengths
// and counts are in units, so on either path they count characters.

/**
 * Turns every line break into one space: a CR LF or LF CR pair is one break,
 * any other CR or LF is one break of its own.
 */
std::string BreaksToSpaces(std::string_view text);
std::u32string BreaksToSpaces(std::u32string_view text);

/** Replaces every TAB by a space and then applies BreaksToSpaces, in one pass. */
std::string TabsAndBreaksToSpaces(std::string_view text);
std::u32string TabsAndBreaksToSpaces(std::u32string_view text);

/** TabsAndBreaksToSpaces on the text's own storage: a long text needs no second copy. */
void TabsAndBreaksToSpacesInPlace(std::string& text);
void TabsAndBreaksToSpacesInPlace(std::u32string& text);

/**
 * Removes the characters the display cannot show (deleteSumbolError 1; LF and
 * FF stay, TAB becomes a space) and cuts every run of spaces to its first
 * countSpace spaces (deleteSpace 1). Returns the text unchanged when a flag is
 * neither 0 nor 1 or countSpace lies outside 1..199. The map says which
 * characters the display shows: without one, the Cyrillic ROM's (LcdCode).
 */
std::string CleanText(std::string_view text, int deleteSpace, int countSpace, int deleteSumbolError,
                      const CharacterMap& map = CharacterMap());
std::u32string CleanText(std::u32string_view text, int deleteSpace, int countSpace,
                         int deleteSumbolError, const CharacterMap& map);

/** CleanText on the text's own storage; the text stays as it is where CleanText returns it so. */
void CleanTextInPlace(std::string& text, int deleteSpace, int countSpace, int deleteSumbolError,
                      const CharacterMap& map = CharacterMap());
void CleanTextInPlace(std::u32string& text, int deleteSpace, int countSpace, int deleteSumbolError,
                      const CharacterMap& map);

/**
 * Turns the line breaks and tabs of one chunk into spaces: with an LF in the
 * chunk every LF becomes a space and every CR goes; else every CR becomes a
 * space. Every TAB becomes a space.
 */
std::string FlattenChunk(std::string_view chunk);
std::u32string FlattenChunk(std::u32string_view chunk);

/** FlattenChunk on the chunk's own storage; returns the flattened length. */
std::size_t FlattenChunkInPlace(char* chunk, std::size_t size);
std::size_t FlattenChunkInPlace(char32_t* chunk, std::size_t size);

/**
 * The chunk that word wrap cuts from the 1-based position start with the given
 * width: it runs through the first space, TAB, LF or CR at or after position
 * start + width, or to the end of the text.
 */
std::string WordEnd(std::string_view text, std::size_t start, std::size_t width);
std::u32string WordEnd(std::u32string_view text, std::size_t start, std::size_t width);

/** One chunk cut by NextChunk. */
template <class Char>
struct BasicChunk {
  std::basic_string<Char> text;  ///< already passed through FlattenChunk
  std::size_t consumed;          ///< text characters the chunk covered before flattening
};
using Chunk = BasicChunk<char>;

/**
 * Cuts the next chunk from the 1-based position start: a text line through
 * its line break when countByte is 0 (or less), else countByte characters or
 * the word-wrap chunk (perenosPoSlovam 1).
 */
Chunk NextChunk(std::string_view text, std::size_t start, int countByte, int perenosPoSlovam);
BasicChunk<char32_t> NextChunk(std::u32string_view text, std::size_t start, int countByte,
                               int perenosPoSlovam);

/**
 * Cuts a text into chunk lengths, as NextChunk does, for a walk from the
 * start of the text to its end. It remembers where the next line break
 * stands, so that a whole walk costs time in proportion to the text.
 * Made for char and char32_t.
 */
template <class Char>
class BasicChunkCutter {
 public:
  BasicChunkCutter(std::basic_string_view<Char> text, int countByte, int perenosPoSlovam)
      : m_text(text), m_countByte(countByte), m_wrap(perenosPoSlovam == 1) {}

  /** Length of the chunk that starts at the 0-based offset (0 past the end). */
  std::size_t Length(std::size_t offset);

 private:
  std::size_t FirstBreak(std::size_t offset);

  std::basic_string_view<Char> m_text;
  long long m_countByte;
  bool m_wrap;
  // Offsets of the next LF and CR at or after the last query (npos: none left).
  std::size_t m_nextLf = 0;
  std::size_t m_nextCr = 0;
  bool m_lfKnown = false;
  bool m_crKnown = false;
};
using ChunkCutter = BasicChunkCutter<char>;

extern template class BasicChunkCutter<char>;
extern template class BasicChunkCutter<char32_t>;

}  // namespace zeltrix
