#include "core/lcd/screen_layout.h"

#include <algorithm>
#include <cstring>

#include "core/lcd/lcd_code.h"

namespace zeltrix {
namespace {

// Walks the lines of a text: Next gives the line at the current offset and
// moves past its line break.
class LineWalker {
 public:
  explicit LineWalker(std::string_view text) : m_text(text) {}

  bool Done() const { return m_done; }

  // Offset and length of the next line, its break left out.
  std::pair<std::size_t, std::size_t> Next() {
    const std::size_t start = m_offset;
    const std::size_t rest = m_text.size() - start;
    if (rest == 0) {
      m_done = true;
      return {start, 0};
    }
    const std::size_t end = std::min(NextBreak('\n', m_nextLf), NextBreak('\r', m_nextCr));
    if (end == m_text.size()) {
      m_offset = end;
      m_done = true;
    } else {
      m_offset = end + 1;
      if (m_text[end] == '\r' && m_offset < m_text.size() && m_text[m_offset] == '\n') ++m_offset;
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

  std::size_t NextBreak(char what, Found& cached) {
    if (!cached.known || cached.at < m_offset) {
      // memchr runs far faster than a loop over the characters on long texts.
      const void* found = std::memchr(m_text.data() + m_offset, what, m_text.size() - m_offset);
      cached.at = found == nullptr
                      ? m_text.size()
                      : static_cast<std::size_t>(static_cast<const char*>(found) - m_text.data());
      cached.known = true;
    }
    return cached.at;
  }

  std::string_view m_text;
  std::size_t m_offset = 0;
  bool m_done = false;
  // Where the next LF and CR were last found.
  Found m_nextLf;
  Found m_nextCr;
};

LcdRow MakeRow(std::string_view text, std::size_t line, std::size_t start, std::size_t length,
               int columns) {
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
  for (const char c : text.substr(start, length)) {
    const std::uint8_t code = c == '\t' ? LcdCode(' ') : LcdCode(c);
    if (code == 0) continue;
    if (shown < width) row.codes.push_back(static_cast<char>(code));
    ++shown;
  }
  row.skipped = length - shown;
  row.overflow = shown > width ? shown - width : 0;
  return row;
}

}  // namespace

std::size_t CountTextLines(std::string_view text) {
  LineWalker walker(text);
  std::size_t lines = 0;
  do {
    walker.Next();
    ++lines;
  } while (!walker.Done());
  return lines;
}

std::size_t CountScreens(std::string_view text, LcdGeometry geometry) {
  return ScreenOfLine(CountTextLines(text) - 1, geometry) + 1;
}

ScreenPage LayOutScreen(std::string_view text, LcdGeometry geometry, std::size_t screen) {
  ScreenPage page;
  const std::size_t first = screen * static_cast<std::size_t>(geometry.rows);
  LineWalker walker(text);
  std::size_t line = 0;
  for (; line < first && !walker.Done(); ++line) walker.Next();
  if (line < first) return page;
  for (; line < first + geometry.rows && !walker.Done(); ++line) {
    const auto [start, length] = walker.Next();
    page.rows.push_back(MakeRow(text, line, start, length, geometry.columns));
  }
  return page;
}

std::vector<ScreenPage> LayOutScreens(std::string_view text, LcdGeometry geometry) {
  std::vector<ScreenPage> pages;
  LineWalker walker(text);
  std::size_t line = 0;
  do {
    if (line % geometry.rows == 0) {
      pages.emplace_back();
      pages.back().rows.reserve(geometry.rows);
    }
    const auto [start, length] = walker.Next();
    pages.back().rows.push_back(MakeRow(text, line, start, length, geometry.columns));
    ++line;
  } while (!walker.Done());
  return pages;
}

std::size_t CellCharacter(std::string_view text, const LcdRow& row, std::size_t cell) {
  const std::string_view line = text.substr(row.start, row.length);
  std::size_t shown = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    // A TAB shows as a space; every other character as its own code.
    if (line[i] != '\t' && !IsDisplayable(line[i])) continue;
    if (shown == cell) return i;
    ++shown;
  }
  return line.size();
}

}  // namespace zeltrix
