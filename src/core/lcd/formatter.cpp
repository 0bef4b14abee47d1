#include "core/lcd/formatter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstring>
#include <vector>

#include "core/io/memory.h"
#include "core/lcd/lcd_code.h"
#include "core/lcd/text_prep.h"

namespace zeltrix {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string NumberText(std::uint8_t code, std::int32_t base) {
  char digits[9] = {};
  switch (base) {
    case kBinary:
      for (int bit = 0; bit < 8; ++bit) digits[bit] = (code >> (7 - bit)) & 1 ? '1' : '0';
      return std::string(digits, 8);
    case kDecimal:
      return std::to_string(code);
    case kHexadecimal: {
      constexpr char kHex[] = "0123456789ABCDEF";
      return {kHex[code >> 4], kHex[code & 0xF]};
    }
    default:
      return {};
  }
}

// The text of every datum, with and without the separator behind it, laid
// out in slots of equal width so that one fixed-size copy writes any of them.
class DatumTable {
 public:
  explicit DatumTable(const ProfileRecord& profile) {
    std::array<std::string, 256> datum;
    for (int c = 0; c < 256; ++c) {
      const std::uint8_t code = LcdCode(static_cast<std::uint8_t>(c));
      if (code == 0) continue;
      datum[c] = profile.StartData + NumberText(code, profile.SI) + profile.EndData;
      m_widest = std::max(m_widest, datum[c].size() + profile.RazdelitelData.size());
    }
    m_stride = m_widest <= kFixedStride ? kFixedStride : m_widest;
    m_slots.assign(2 * 256 * m_stride, '\0');
    for (int c = 0; c < 256; ++c) {
      const std::string withSeparator =
          LcdCode(static_cast<std::uint8_t>(c)) == 0 ? "" : datum[c] + profile.RazdelitelData;
      std::memcpy(Slot(c, true), withSeparator.data(), withSeparator.size());
      std::memcpy(Slot(c, false), datum[c].data(), datum[c].size());
      m_length[1][c] = static_cast<std::uint32_t>(withSeparator.size());
      m_length[0][c] = static_cast<std::uint32_t>(datum[c].size());
    }
  }

  static constexpr std::size_t kFixedStride = 32;
  bool Fixed() const { return m_stride == kFixedStride; }
  std::size_t Stride() const { return m_stride; }
  std::size_t Widest() const { return m_widest; }
  const char* Slot(int c, bool separator) const {
    return m_slots.data() + (static_cast<std::size_t>(separator) * 256 + c) * m_stride;
  }
  std::uint32_t Length(int c, bool separator) const { return m_length[separator][c]; }

 private:
  char* Slot(int c, bool separator) {
    return m_slots.data() + (static_cast<std::size_t>(separator) * 256 + c) * m_stride;
  }

  std::size_t m_widest = 0;
  std::size_t m_stride = kFixedStride;
  std::vector<char> m_slots;
  std::array<std::array<std::uint32_t, 256>, 2> m_length{};
};

// Builds the output in one buffer, made ready ahead of each chunk, so that
// the per-character work is a table look-up and one copy. A fixed-size copy
// may write up to `slack` bytes past the text, so that much room always
// remains. Without a sink the buffer grows to hold the whole output; with
// one it hands its content over whenever it is full.
class OutputBuffer {
 public:
  OutputBuffer(std::size_t capacity, std::size_t slack, OutputSink* sink)
      : m_slack(slack), m_sink(sink) {
    Allocate(capacity + m_slack);
  }

  void Reserve(std::size_t more) {
    if (m_size + more + m_slack <= m_text.size()) return;
    if (m_sink != nullptr) Flush();
    const std::size_t needed = m_size + more + m_slack;
    if (needed > m_text.size()) Allocate(std::max(needed, m_text.size() + m_text.size() / 2));
  }
  char* Cursor() { return m_text.data() + m_size; }
  void Advance(std::size_t bytes) { m_size += bytes; }
  void Put(std::string_view bytes) {
    std::memcpy(Cursor(), bytes.data(), bytes.size());
    m_size += bytes.size();
  }
  void Flush() {
    if (m_size > 0) m_sink->Write(std::string_view(m_text.data(), m_size));
    m_size = 0;
  }
  std::string TakeText() {
    m_text.resize(m_size);
    return std::move(m_text);
  }

 private:
  void Allocate(std::size_t size) {
    m_text.reserve(size);
    AdviseLargePages(m_text.data(), m_text.capacity());
    m_text.resize(size);
  }

  std::string m_text;
  std::size_t m_size = 0;
  std::size_t m_slack;
  OutputSink* m_sink;
};

// Looks at the observer at most once per its poll interval; the clock itself
// is read only every kStride characters.
class Poller {
 public:
  explicit Poller(ConvertObserver* observer)
      : m_observer(observer),
        m_interval(observer ? observer->PollInterval() : std::chrono::milliseconds(0)) {}
  bool Active() const { return m_observer != nullptr; }
  // Characters that may pass before the next call of Passed.
  std::size_t Budget() const { return m_budget; }
  // Counts characters done; returns true when the user has stopped the run.
  bool Passed(std::size_t characters, std::size_t value) {
    m_budget -= characters;
    if (m_budget > 0) return false;
    m_budget = kStride;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last < m_interval) return false;
    m_observer->SetValue(value);
    const bool stop = m_observer->WantsToStop();
    m_last = std::chrono::steady_clock::now();
    return stop;
  }

 private:
  static constexpr std::size_t kStride = 1024;
  ConvertObserver* m_observer;
  std::chrono::steady_clock::duration m_interval;
  std::size_t m_budget = kStride;
  std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
};

struct Layout {
  std::string head;        // first indent, directive, second indent, block start
  std::string notePrefix;  // " " + comment start, when the byte count is noted
  bool commentLines;
  bool note;
};

std::size_t EstimateChunks(std::string_view text, std::int32_t countByte) {
  if (countByte > 0) return text.size() / static_cast<std::size_t>(countByte) + 1;
  const auto lfs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  return (lfs > 0 ? lfs : static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'))) + 1;
}

// Writes the data of one chunk; returns false when the user stopped the run.
// A character the display cannot show has a datum of length 0 and counts 0,
// so the loop needs no branch for it.
template <bool kFixed, bool kPolled>
bool PutData(OutputBuffer& out, const DatumTable& table, std::string_view chunk,
             std::size_t chunkStart, Poller& poller, std::size_t& count) {
  const std::size_t stride = kFixed ? DatumTable::kFixedStride : table.Stride();
  char* put = out.Cursor();
  char* const begin = put;
  std::size_t shown = 0;
  const auto data = reinterpret_cast<const std::uint8_t*>(chunk.data());
  const std::size_t last = chunk.size() - 1;
  bool stopped = false;
  // The observer is looked at between characters, never after a chunk's last.
  for (std::size_t i = 0; i < last;) {
    const std::size_t end = kPolled ? std::min(last, i + poller.Budget()) : last;
    const std::size_t from = i;
    for (; i < end; ++i) {
      const std::uint8_t c = data[i];
      std::memcpy(put, table.Slot(c, true), stride);
      put += table.Length(c, true);
      shown += IsDisplayable(static_cast<char>(c));
    }
    if constexpr (kPolled) {
      if (poller.Passed(i - from, chunkStart + i + 1)) {
        stopped = true;
        break;
      }
    }
  }
  if (!stopped) {
    const std::uint8_t c = data[last];
    std::memcpy(put, table.Slot(c, false), stride);
    put += table.Length(c, false);
    shown += IsDisplayable(static_cast<char>(c));
  }
  out.Advance(static_cast<std::size_t>(put - begin));
  count = shown;
  return !stopped;
}

// Room that a run needs for its whole output, and for each chunk beyond its characters.
struct Room {
  std::size_t perChar;
  std::size_t perChunk;
};

Room RoomNeeded(const ProfileRecord& profile, const Layout& layout, const DatumTable& table) {
  // Per chunk: the comment line's frame, the line head, the block end, the
  // note with up to 20 digits, and the line end.
  return {table.Widest() + (layout.commentLines ? 1 : 0),
          (layout.commentLines ? profile.Comment.size() + kCrLf.size() : 0) + layout.head.size() +
              profile.EndDataBlok.size() + (layout.note ? layout.notePrefix.size() + 20 : 0) +
              kCrLf.size()};
}

template <bool kFixed, bool kPolled>
void Format(std::string_view text, const ProfileRecord& profile, const Layout& layout,
            const DatumTable& table, Poller& poller, OutputBuffer& out) {
  const Room room = RoomNeeded(profile, layout, table);
  ChunkCutter cutter(text, profile.CountByte, profile.PerenosPoSlovam);
  std::string flattened;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t length = cutter.Length(pos);
    std::string_view chunk = text.substr(pos, length);
    // With CountByte above 0 the text holds no tab and no line break any more,
    // so only text lines need flattening.
    if (profile.CountByte <= 0) {
      flattened = FlattenChunk(chunk);
      chunk = flattened;
    }
    if (chunk.empty()) {
      ++pos;
      continue;
    }
    out.Reserve(chunk.size() * room.perChar + room.perChunk);
    if (layout.commentLines) {
      out.Put(profile.Comment);
      out.Put(chunk);
      out.Put(kCrLf);
    }
    out.Put(layout.head);
    std::size_t count = 0;
    if (!PutData<kFixed, kPolled>(out, table, chunk, pos + 1, poller, count)) break;
    out.Put(profile.EndDataBlok);
    if (layout.note) {
      out.Put(layout.notePrefix);
      char digits[24];
      const auto end = std::to_chars(digits, digits + sizeof digits, count).ptr;
      out.Put(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    out.Put(kCrLf);
    pos += length;
  }
}

// One conversion run: the prepared text and everything derived from the profile.
class Run {
 public:
  Run(std::string_view text, const ProfileRecord& profile, ConvertObserver* observer)
      : m_profile(profile), m_table(profile), m_poller(profile.Preview != 0 ? nullptr : observer) {
    if (m_poller.Active()) {
      observer->SetMaximum(text.size());
      observer->SetValue(0);
    }
    m_source = text;
    if (profile.CountByte > 0) {
      m_prepared = TabsAndBreaksToSpaces(m_source);
      m_source = m_prepared;
    }
    if (profile.DeleteSpace == 1 || profile.DeleteSumbolError == 1) {
      m_prepared =
          CleanText(m_source, profile.DeleteSpace, profile.CountSpace, profile.DeleteSumbolError);
      m_source = m_prepared;
    }
    m_layout.head.append(IndentWidth(profile.Ost1), ' ')
        .append(profile.Directive)
        .append(IndentWidth(profile.Ost2), ' ')
        .append(profile.StartDataBlok);
    m_layout.commentLines = !profile.Comment.empty() && profile.CommentState == 1;
    m_layout.note = !profile.Comment.empty() && profile.CountByteToComment == 1;
    if (m_layout.note) m_layout.notePrefix = " " + profile.Comment;
  }

  // A buffer for the whole output, or for a piece of it when it goes to a sink.
  OutputBuffer MakeBuffer(OutputSink* sink) const {
    constexpr std::size_t kPiece = 1 << 20;
    const Room room = RoomNeeded(m_profile, m_layout, m_table);
    const std::size_t whole = m_source.size() * room.perChar +
                              EstimateChunks(m_source, m_profile.CountByte) * room.perChunk;
    return OutputBuffer(sink != nullptr ? std::min(whole, kPiece) : whole, m_table.Stride(), sink);
  }

  void Into(OutputBuffer& out) {
    const bool fixed = m_table.Fixed();
    if (m_poller.Active()) {
      fixed ? Format<true, true>(m_source, m_profile, m_layout, m_table, m_poller, out)
            : Format<false, true>(m_source, m_profile, m_layout, m_table, m_poller, out);
    } else {
      fixed ? Format<true, false>(m_source, m_profile, m_layout, m_table, m_poller, out)
            : Format<false, false>(m_source, m_profile, m_layout, m_table, m_poller, out);
    }
  }

 private:
  const ProfileRecord& m_profile;
  DatumTable m_table;
  Poller m_poller;
  Layout m_layout;
  std::string m_prepared;
  std::string_view m_source;
};

}  // namespace

std::string ConvertText(std::string_view text, const ProfileRecord& profile,
                        ConvertObserver* observer) {
  Run run(text, profile, observer);
  OutputBuffer out = run.MakeBuffer(nullptr);
  run.Into(out);
  return out.TakeText();
}

void ConvertTextTo(std::string_view text, const ProfileRecord& profile, OutputSink& sink,
                   ConvertObserver* observer) {
  Run run(text, profile, observer);
  OutputBuffer out = run.MakeBuffer(&sink);
  run.Into(out);
  out.Flush();
}

}  // namespace zeltrix
