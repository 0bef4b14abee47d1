#include "core/lcd/text_prep.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zeltrix {
namespace {

constexpr char kTab = '\t';
constexpr char kLf = '\n';
constexpr char kFf = '\f';
constexpr char kCr = '\r';

template <class Char>
bool IsBreak(Char c) {
  return c == Char(kCr) || c == Char(kLf);
}
template <class Char>
bool IsBlank(Char c) {
  return c == Char(' ') || c == Char(kTab) || c == Char(kLf) || c == Char(kCr);
}

// True when one of the eight bytes is below 0x0E, which covers TAB, LF and CR.
bool HasControlBelow0E(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  return ((word - kOnes * 0x0E) & ~word & (kOnes * 0x80)) != 0;
}

// Writes the text with its breaks (and TABs) turned into spaces to out and
// returns the length written. The result is never longer than the text and
// every unit is written no later than it is read, so out may be the text's
// own storage.
template <bool kTabsToo, class Char>
std::size_t ToSpaces(const Char* text, std::size_t n, Char* out) {
  Char* put = out;
  std::size_t i = 0;
  while (i < n) {
    // Most of a text is plain characters: copy bytes eight at a time.
    if constexpr (sizeof(Char) == 1) {
      if (i + 8 <= n) {
        std::uint64_t word;
        std::memcpy(&word, text + i, 8);
        if (!HasControlBelow0E(word)) {
          std::memcpy(put, &word, 8);
          put += 8;
          i += 8;
          continue;
        }
      }
    }
    const Char c = text[i];
    if (IsBreak(c)) {
      // The partner of a CR is an LF and vice versa: the pair is one break.
      if (i + 1 < n && IsBreak(text[i + 1]) && text[i + 1] != c) ++i;
      *put++ = Char(' ');
    } else {
      *put++ = (kTabsToo && c == Char(kTab)) ? Char(' ') : c;
    }
    ++i;
  }
  return static_cast<std::size_t>(put - out);
}

template <bool kTabsToo, class Char>
std::basic_string<Char> ToSpaces(std::basic_string_view<Char> text) {
  std::basic_string<Char> out;
  out.resize(text.size());
  out.resize(ToSpaces<kTabsToo>(text.data(), text.size(), out.data()));
  return out;
}

bool CleaningApplies(std::size_t length, int deleteSpace, int countSpace, int deleteSumbolError) {
  return length > 0 && (deleteSpace == 0 || deleteSpace == 1) &&
         (deleteSumbolError == 0 || deleteSumbolError == 1) && countSpace >= 1 && countSpace <= 199;
}

// CleanText's removal from the text to out, which may be the text's own
// storage as in ToSpaces; returns the length written.
template <class Char>
std::size_t Clean(const Char* text, std::size_t n, Char* out, int deleteSpace, int countSpace,
                  int deleteSumbolError, const CharacterMap& shownBy) {
  // A copy of its own: the writes through out cannot change it, so its
  // tables stay at hand for the whole loop.
  const CharacterMap map = shownBy;
  Char* put = out;
  int run = 0;
  bool cutting = false;
  for (std::size_t i = 0; i < n; ++i) {
    Char c = text[i];
    bool passes = true;
    bool countsAsSpace = c == Char(' ');
    if (deleteSumbolError == 1) {
      if (c == Char(kTab)) {
        c = Char(' ');
        countsAsSpace = true;
      } else if (!map.Shows(c) && c != Char(kLf) && c != Char(kFf)) {
        // A dropped character lengthens the run of spaces it stands in.
        passes = false;
        countsAsSpace = true;
      }
    }
    if (deleteSpace == 1) {
      if (cutting && !countsAsSpace) {
        cutting = false;
        run = 0;
      } else if (countsAsSpace) {
        if (++run > countSpace) {
          cutting = true;
          passes = false;
        }
      } else {
        run = 0;
      }
    }
    if (passes) *put++ = c;
  }
  return static_cast<std::size_t>(put - out);
}

template <class Char>
std::basic_string<Char> CleanCopy(std::basic_string_view<Char> text, int deleteSpace,
                                  int countSpace, int deleteSumbolError, const CharacterMap& map) {
  if (!CleaningApplies(text.size(), deleteSpace, countSpace, deleteSumbolError)) {
    return std::basic_string<Char>(text);
  }
  std::basic_string<Char> out;
  out.resize(text.size());
  out.resize(
      Clean(text.data(), text.size(), out.data(), deleteSpace, countSpace, deleteSumbolError, map));
  return out;
}

template <class Char>
void CleanOwn(std::basic_string<Char>& text, int deleteSpace, int countSpace, int deleteSumbolError,
              const CharacterMap& map) {
  if (!CleaningApplies(text.size(), deleteSpace, countSpace, deleteSumbolError)) return;
  text.resize(Clean(text.data(), text.size(), text.data(), deleteSpace, countSpace,
                    deleteSumbolError, map));
}

template <class Char>
std::size_t Flatten(Char* chunk, std::size_t size) {
  bool hasLf;
  if constexpr (sizeof(Char) == 1) {
    hasLf = std::memchr(chunk, kLf, size) != nullptr;
  } else {
    hasLf = std::find(chunk, chunk + size, Char(kLf)) != chunk + size;
  }
  Char* put = chunk;
  for (std::size_t i = 0; i < size; ++i) {
    const Char c = chunk[i];
    if (c == Char(kLf)) {
      *put++ = Char(' ');
    } else if (c == Char(kCr)) {
      if (!hasLf) *put++ = Char(' ');
    } else {
      *put++ = c == Char(kTab) ? Char(' ') : c;
    }
  }
  return static_cast<std::size_t>(put - chunk);
}

template <class Char>
std::basic_string<Char> FlattenCopy(std::basic_string_view<Char> chunk) {
  std::basic_string<Char> out(chunk);
  out.resize(Flatten(out.data(), out.size()));
  return out;
}

// Length of the word-wrap chunk from a 0-based offset: through the first blank
// at or after offset + width, itself included, or to the end of the text.
template <class Char>
std::size_t WordEndLength(std::basic_string_view<Char> text, std::size_t offset,
                          unsigned long long width) {
  for (unsigned long long i = offset + width; i < text.size(); ++i) {
    if (IsBlank(text[i])) return static_cast<std::size_t>(i) - offset + 1;
  }
  return text.size() - offset;
}

template <class Char>
std::basic_string<Char> WordEndOf(std::basic_string_view<Char> text, std::size_t start,
                                  std::size_t width) {
  if (start < 1 || start > text.size()) return {};
  return std::basic_string<Char>(text.substr(start - 1, WordEndLength(text, start - 1, width)));
}

template <class Char>
BasicChunk<Char> NextChunkOf(std::basic_string_view<Char> text, std::size_t start, int countByte,
                             int perenosPoSlovam) {
  if (start < 1 || start > text.size()) return {{}, 0};
  BasicChunkCutter<Char> cutter(text, countByte, perenosPoSlovam);
  const std::size_t length = cutter.Length(start - 1);
  return {FlattenCopy(text.substr(start - 1, length)), length};
}

}  // namespace

std::string BreaksToSpaces(std::string_view text) { return ToSpaces<false>(text); }
std::u32string BreaksToSpaces(std::u32string_view text) { return ToSpaces<false>(text); }

std::string TabsAndBreaksToSpaces(std::string_view text) { return ToSpaces<true>(text); }
std::u32string TabsAndBreaksToSpaces(std::u32string_view text) { return ToSpaces<true>(text); }

void TabsAndBreaksToSpacesInPlace(std::string& text) {
  text.resize(ToSpaces<true>(text.data(), text.size(), text.data()));
}
void TabsAndBreaksToSpacesInPlace(std::u32string& text) {
  text.resize(ToSpaces<true>(text.data(), text.size(), text.data()));
}

std::string CleanText(std::string_view text, int deleteSpace, int countSpace, int deleteSumbolError,
                      const CharacterMap& map) {
  return CleanCopy(text, deleteSpace, countSpace, deleteSumbolError, map);
}
std::u32string CleanText(std::u32string_view text, int deleteSpace, int countSpace,
                         int deleteSumbolError, const CharacterMap& map) {
  return CleanCopy(text, deleteSpace, countSpace, deleteSumbolError, map);
}

void CleanTextInPlace(std::string& text, int deleteSpace, int countSpace, int deleteSumbolError,
                      const CharacterMap& map) {
  CleanOwn(text, deleteSpace, countSpace, deleteSumbolError, map);
}
void CleanTextInPlace(std::u32string& text, int deleteSpace, int countSpace, int deleteSumbolError,
                      const CharacterMap& map) {
  CleanOwn(text, deleteSpace, countSpace, deleteSumbolError, map);
}

std::string FlattenChunk(std::string_view chunk) { return FlattenCopy(chunk); }
std::u32string FlattenChunk(std::u32string_view chunk) { return FlattenCopy(chunk); }

std::size_t FlattenChunkInPlace(char* chunk, std::size_t size) { return Flatten(chunk, size); }
std::size_t FlattenChunkInPlace(char32_t* chunk, std::size_t size) { return Flatten(chunk, size); }

template <class Char>
std::size_t BasicChunkCutter<Char>::FirstBreak(std::size_t offset) {
  const auto find = [&](Char what, std::size_t& at, bool& known) {
    if (!known || (at != std::basic_string_view<Char>::npos && at < offset)) {
      at = m_text.find(what, offset);
      known = true;
    }
    return at;
  };
  const std::size_t lf = find(Char(kLf), m_nextLf, m_lfKnown);
  if (lf != std::basic_string_view<Char>::npos) return lf;
  return find(Char(kCr), m_nextCr, m_crKnown);
}

template <class Char>
std::size_t BasicChunkCutter<Char>::Length(std::size_t offset) {
  const std::size_t n = m_text.size();
  if (offset >= n) return 0;
  const std::size_t rest = n - offset;
  const std::size_t brk = FirstBreak(offset);
  if (brk == std::basic_string_view<Char>::npos) {
    if (m_countByte > 0 && static_cast<unsigned long long>(m_countByte) < rest) {
      return m_wrap ? WordEndLength(m_text, offset, m_countByte)
                    : static_cast<std::size_t>(m_countByte);
    }
    return rest;
  }
  if (m_countByte <= 0) return brk - offset + 1;
  if (m_wrap) return WordEndLength(m_text, offset, m_countByte);
  return static_cast<std::size_t>(std::min<unsigned long long>(m_countByte, rest));
}

template class BasicChunkCutter<char>;
template class BasicChunkCutter<char32_t>;

std::string WordEnd(std::string_view text, std::size_t start, std::size_t width) {
  return WordEndOf(text, start, width);
}
std::u32string WordEnd(std::u32string_view text, std::size_t start, std::size_t width) {
  return WordEndOf(text, start, width);
}

Chunk NextChunk(std::string_view text, std::size_t start, int countByte, int perenosPoSlovam) {
  return NextChunkOf(text, start, countByte, perenosPoSlovam);
}
BasicChunk<char32_t> NextChunk(std::u32string_view text, std::size_t start, int countByte,
                               int perenosPoSlovam) {
  return NextChunkOf(text, start, countByte, perenosPoSlovam);
}

}  // namespace zeltrix
