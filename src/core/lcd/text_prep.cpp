#include "core/lcd/text_prep.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/lcd/lcd_code.h"

namespace zeltrix {
namespace {

constexpr char kTab = '\t';
constexpr char kLf = '\n';
constexpr char kFf = '\f';
constexpr char kCr = '\r';

bool IsBreak(char c) { return c == kCr || c == kLf; }
bool IsBlank(char c) { return c == ' ' || c == kTab || c == kLf || c == kCr; }

// True when one of the eight bytes is below 0x0E, which covers TAB, LF and CR.
bool HasControlBelow0E(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  return ((word - kOnes * 0x0E) & ~word & (kOnes * 0x80)) != 0;
}

// Writes the text with its breaks (and TABs) turned into spaces to out and
// returns the length written. The result is never longer than the text and
// every byte is written no later than it is read, so out may be the text's
// own storage.
template <bool kTabsToo>
std::size_t ToSpaces(const char* text, std::size_t n, char* out) {
  char* put = out;
  std::size_t i = 0;
  while (i < n) {
    // Most of a text is plain characters: copy them eight at a time.
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
    const char c = text[i];
    if (IsBreak(c)) {
      // The partner of a CR is an LF and vice versa: the pair is one break.
      if (i + 1 < n && IsBreak(text[i + 1]) && text[i + 1] != c) ++i;
      *put++ = ' ';
    } else {
      *put++ = (kTabsToo && c == kTab) ? ' ' : c;
    }
    ++i;
  }
  return static_cast<std::size_t>(put - out);
}

template <bool kTabsToo>
std::string ToSpaces(std::string_view text) {
  std::string out;
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
std::size_t Clean(const char* text, std::size_t n, char* out, int deleteSpace, int countSpace,
                  int deleteSumbolError) {
  char* put = out;
  int run = 0;
  bool cutting = false;
  for (std::size_t i = 0; i < n; ++i) {
    char c = text[i];
    bool passes = true;
    bool countsAsSpace = c == ' ';
    if (deleteSumbolError == 1) {
      if (c == kTab) {
        c = ' ';
        countsAsSpace = true;
      } else if (!IsDisplayable(c) && c != kLf && c != kFf) {
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

// Length of the word-wrap chunk from a 0-based offset: through the first blank
// at or after offset + width, itself included, or to the end of the text.
std::size_t WordEndLength(std::string_view text, std::size_t offset, unsigned long long width) {
  for (unsigned long long i = offset + width; i < text.size(); ++i) {
    if (IsBlank(text[i])) return static_cast<std::size_t>(i) - offset + 1;
  }
  return text.size() - offset;
}

}  // namespace

std::string BreaksToSpaces(std::string_view text) { return ToSpaces<false>(text); }

std::string TabsAndBreaksToSpaces(std::string_view text) { return ToSpaces<true>(text); }

void TabsAndBreaksToSpacesInPlace(std::string& text) {
  text.resize(ToSpaces<true>(text.data(), text.size(), text.data()));
}

std::string CleanText(std::string_view text, int deleteSpace, int countSpace,
                      int deleteSumbolError) {
  if (!CleaningApplies(text.size(), deleteSpace, countSpace, deleteSumbolError)) {
    return std::string(text);
  }
  std::string out;
  out.resize(text.size());
  out.resize(
      Clean(text.data(), text.size(), out.data(), deleteSpace, countSpace, deleteSumbolError));
  return out;
}

void CleanTextInPlace(std::string& text, int deleteSpace, int countSpace, int deleteSumbolError) {
  if (!CleaningApplies(text.size(), deleteSpace, countSpace, deleteSumbolError)) return;
  text.resize(
      Clean(text.data(), text.size(), text.data(), deleteSpace, countSpace, deleteSumbolError));
}

std::string FlattenChunk(std::string_view chunk) {
  std::string out(chunk);
  out.resize(FlattenChunkInPlace(out.data(), out.size()));
  return out;
}

std::size_t FlattenChunkInPlace(char* chunk, std::size_t size) {
  const bool hasLf = std::memchr(chunk, kLf, size) != nullptr;
  char* put = chunk;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = chunk[i];
    if (c == kLf) {
      *put++ = ' ';
    } else if (c == kCr) {
      if (!hasLf) *put++ = ' ';
    } else {
      *put++ = c == kTab ? ' ' : c;
    }
  }
  return static_cast<std::size_t>(put - chunk);
}

std::size_t ChunkCutter::FirstBreak(std::size_t offset) {
  const auto find = [&](char what, std::size_t& at, bool& known) {
    if (!known || (at != std::string_view::npos && at < offset)) {
      at = m_text.find(what, offset);
      known = true;
    }
    return at;
  };
  const std::size_t lf = find(kLf, m_nextLf, m_lfKnown);
  if (lf != std::string_view::npos) return lf;
  return find(kCr, m_nextCr, m_crKnown);
}

std::size_t ChunkCutter::Length(std::size_t offset) {
  const std::size_t n = m_text.size();
  if (offset >= n) return 0;
  const std::size_t rest = n - offset;
  const std::size_t brk = FirstBreak(offset);
  if (brk == std::string_view::npos) {
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

std::string WordEnd(std::string_view text, std::size_t start, std::size_t width) {
  if (start < 1 || start > text.size()) return {};
  return std::string(text.substr(start - 1, WordEndLength(text, start - 1, width)));
}

Chunk NextChunk(std::string_view text, std::size_t start, int countByte, int perenosPoSlovam) {
  if (start < 1 || start > text.size()) return {{}, 0};
  ChunkCutter cutter(text, countByte, perenosPoSlovam);
  const std::size_t length = cutter.Length(start - 1);
  return {FlattenChunk(text.substr(start - 1, length)), length};
}

}  // namespace zeltrix
