#include "core/lcd/screen_layout.h"

#include <algorithm>
#include <cstring>

namespace zeltrix {
namespace {

// Walks the lines of a text: Next gives the line at the current offset and
// moves past its line break.
template <class Char>
class LineWalker {
 public:
  explicit LineWalker(std::basic_string_view<Char> text) : m_text(text) {}

  bool Done() const { return m_done; }

  // Offset and length of the next line, its break left out.
  std::pair<std::size_t, std::size_t> Next() {
    const std::size_t start = m_offset;
    const std::size_t rest = m_text.size() - start;
    if (rest == 0) {
      m_done = true;
      return {start, 0};
    }
    const std::size_t end =
        std::min(NextBreak(Char('\n'), m_nextLf), NextBreak(Char('\r'), m_nextCr));
    if (end == m_text.size()) {
      m_offset = end;
      m_done = true;
    } else {
      m_offset = end + 1;
      if (m_text[end] == Char('\r') && m_offset < m_text.size() && m_text[m_offset] == Char('\n')) {
        ++m_offset;
      }
      // A break at the very end opens no further line.
      m_done = m_offset == m_text.size();
    }
    return {start, end - start};
  }

 private:
  // Position of the next `what` at or after the current offset, or the text's
  // size if there is none. The last position found is kept, so each break
  // character is searched for once per occurrence and the walk stays linear
  // even on a text that never holds the other break character.
  struct Found {
    std::size_t at = 0;
    bool known = false;
  };

  std::size_t NextBreak(Char what, Found& cached) {
    if (!cached.known || cached.at < m_offset) {
      // For bytes memchr, which the library's find uses, runs far faster
      // than a loop over the characters on long texts.
      const std::size_t found = m_text.find(what, m_offset);
      cached.at = found == std::basic_string_view<Char>::npos ? m_text.size() : found;
      cached.known = true;
    }
    return cached.at;
  }

  std::basic_string_view<Char> m_text;
  std::size_t m_offset = 0;
  bool m_done = false;
  // Where the next LF and CR were last found.
  Found m_nextLf;
  Found m_nextCr;
};

template <class Char>
LcdRow MakeRow(std::basic_string_view<Char> text, std::size_t line, std::size_t start,
               std::size_t length, int columns, const CharacterMap& map) {
  LcdRow row;
  row.line = line;
  row.start = start;
  row.length = length;
  const std::size_t width = static_cast<std::size_t>(columns);
  row.codes.reserve(std::min(width, length));
  // A line holds no break, so the preparation turns only its TABs into
  // spaces; the codes are then the ones the BIN image would hold. Only the
  // row's width of them is kept: a line of megabytes is counted, not copied.
  std::size_t shown = 0;
  for (const Char c : text.substr(start, length)) {
    const MappedChar mapped = map.Map(c == Char('\t') ? Char(' ') : c);
    if (!mapped.Shown()) continue;
    if (shown < width) row.codes.push_back(static_cast<char>(mapped.code));
    ++shown;
  }
  row.skipped = length - shown;
  row.overflow = shown > width ? shown - width : 0;
  return row;
}

template <class Char>
std::size_t CountLines(std::basic_string_view<Char> text) {
  LineWalker<Char> walker(text);
  std::size_t lines = 0;
  do {
    walker.Next();
    ++lines;
  } while (!walker.Done());
  return lines;
}

template <class Char>
ScreenPage LayOut(std::basic_string_view<Char> text, LcdGeometry geometry, std::size_t screen,
                  const CharacterMap& map) {
  ScreenPage page;
  const std::size_t first = screen * static_cast<std::size_t>(geometry.rows);
  LineWalker<Char> walker(text);
  std::size_t line = 0;
  for (; line < first && !walker.Done(); ++line) walker.Next();
  if (line < first) return page;
  for (; line < first + geometry.rows && !walker.Done(); ++line) {
    const auto [start, length] = walker.Next();
    page.rows.push_back(MakeRow(text, line, start, length, geometry.columns, map));
  }
  return page;
}

template <class Char>
std::vector<ScreenPage> LayOutAll(std::basic_string_view<Char> text, LcdGeometry geometry,
                                  const CharacterMap& map) {
  std::vector<ScreenPage> pages;
  LineWalker<Char> walker(text);
  std::size_t line = 0;
  do {
    if (line % geometry.rows == 0) {
      pages.emplace_back();
      pages.back().rows.reserve(geometry.rows);
    }
    const auto [start, length] = walker.Next();
    pages.back().rows.push_back(MakeRow(text, line, start, length, geometry.columns, map));
    ++line;
  } while (!walker.Done());
  return pages;
}

template <class Char>
void EachScreen(std::basic_string_view<Char> text, LcdGeometry geometry, const CharacterMap& map,
                const std::function<bool(ScreenPage&)>& visit) {
  ScreenPage page;
  LineWalker<Char> walker(text);
  std::size_t line = 0;
  do {
    page.rows.clear();
    for (int row = 0; row < geometry.rows && !(row > 0 && walker.Done()); ++row, ++line) {
      const auto [start, length] = walker.Next();
      page.rows.push_back(MakeRow(text, line, start, length, geometry.columns, map));
    }
    if (!visit(page)) return;
  } while (!walker.Done());
}

template <class Char>
std::size_t CellOf(std::basic_string_view<Char> text, const LcdRow& row, std::size_t cell,
                   const CharacterMap& map) {
  const std::basic_string_view<Char> line = text.substr(row.start, row.length);
  std::size_t shown = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    // A TAB shows as a space; every other character as its own code.
    if (line[i] != Char('\t') && !map.Shows(line[i])) continue;
    if (shown == cell) return i;
    ++shown;
  }
  return line.size();
}

}  // namespace

std::size_t CountTextLines(std::string_view text) { return CountLines(text); }
std::size_t CountTextLines(std::u32string_view text) { return CountLines(text); }

std::size_t CountScreens(std::string_view text, LcdGeometry geometry) {
  return ScreenOfLine(CountTextLines(text) - 1, geometry) + 1;
}
std::size_t CountScreens(std::u32string_view text, LcdGeometry geometry) {
  return ScreenOfLine(CountTextLines(text) - 1, geometry) + 1;
}
std::size_t CountScreens(const EngineText& text, LcdGeometry geometry) {
  return text.Visit([&](const auto& units) { return CountScreens(units, geometry); });
}

ScreenPage LayOutScreen(std::string_view text, LcdGeometry geometry, std::size_t screen,
                        const CharacterMap& map) {
  return LayOut(text, geometry, screen, map);
}
ScreenPage LayOutScreen(std::u32string_view text, LcdGeometry geometry, std::size_t screen,
                        const CharacterMap& map) {
  return LayOut(text, geometry, screen, map);
}
ScreenPage LayOutScreen(const EngineText& text, LcdGeometry geometry, std::size_t screen,
                        const CharacterMap& map) {
  return text.Visit([&](const auto& units) { return LayOutScreen(units, geometry, screen, map); });
}

std::vector<ScreenPage> LayOutScreens(std::string_view text, LcdGeometry geometry,
                                      const CharacterMap& map) {
  return LayOutAll(text, geometry, map);
}
std::vector<ScreenPage> LayOutScreens(std::u32string_view text, LcdGeometry geometry,
                                      const CharacterMap& map) {
  return LayOutAll(text, geometry, map);
}
std::vector<ScreenPage> LayOutScreens(const EngineText& text, LcdGeometry geometry,
                                      const CharacterMap& map) {
  return text.Visit([&](const auto& units) { return LayOutScreens(units, geometry, map); });
}

void ForEachScreen(std::string_view text, LcdGeometry geometry, const CharacterMap& map,
                   const std::function<bool(ScreenPage&)>& visit) {
  EachScreen(text, geometry, map, visit);
}
void ForEachScreen(std::u32string_view text, LcdGeometry geometry, const CharacterMap& map,
                   const std::function<bool(ScreenPage&)>& visit) {
  EachScreen(text, geometry, map, visit);
}

std::size_t CellCharacter(std::string_view text, const LcdRow& row, std::size_t cell,
                          const CharacterMap& map) {
  return CellOf(text, row, cell, map);
}
std::size_t CellCharacter(std::u32string_view text, const LcdRow& row, std::size_t cell,
                          const CharacterMap& map) {
  return CellOf(text, row, cell, map);
}
std::size_t CellCharacter(const EngineText& text, const LcdRow& row, std::size_t cell,
                          const CharacterMap& map) {
  return text.Visit([&](const auto& units) { return CellCharacter(units, row, cell, map); });
}

}  // namespace zeltrix
