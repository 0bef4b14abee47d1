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

// The size of the pieces in which a run hands its output to a sink, and
// the room that one step of a data line takes at most.
constexpr std::size_t kPiece = 1 << 20;

// How the data of a line are written: copied from a table of the datum of
// every character in slots of 32 bytes or, for longer data, of the widest
// datum's width; or, for data of kilobytes, written from their pieces, so
// that no table of 512 copies of a huge field is ever made.
enum class DatumMode { Fixed, Strided, Pieces };

// The text of every datum, alone and behind the separator, laid out in slots
// of equal width so that one fixed-size copy writes any of them. A character
// the display cannot show has empty slots.
class DatumTable {
 public:
  static constexpr std::size_t kFixedStride = 32;
  static constexpr std::size_t kMaxStride = 2048;

  explicit DatumTable(const ProfileRecord& profile) {
    std::size_t longestNumber = 0;
    for (int c = 0; c < 256; ++c) {
      const std::uint8_t code = LcdCode(static_cast<std::uint8_t>(c));
      if (code == 0) continue;
      m_number[c] = NumberText(code, profile.SI);
      longestNumber = std::max(longestNumber, m_number[c].size());
    }
    m_widest = profile.RazdelitelData.size() + profile.StartData.size() + longestNumber +
               profile.EndData.size();
    m_step = std::max<std::size_t>(1, kPiece / std::max<std::size_t>(1, m_widest));
    if (m_widest > kMaxStride) {
      m_mode = DatumMode::Pieces;
      return;
    }
    m_mode = m_widest <= kFixedStride ? DatumMode::Fixed : DatumMode::Strided;
    m_stride = m_widest <= kFixedStride ? kFixedStride : m_widest;
    m_slots.assign(2 * 256 * m_stride, '\0');
    for (int c = 0; c < 256; ++c) {
      if (LcdCode(static_cast<std::uint8_t>(c)) == 0) continue;
      const std::string datum = profile.StartData + m_number[c] + profile.EndData;
      const std::string behindSeparator = profile.RazdelitelData + datum;
      std::memcpy(Slot(c, false), datum.data(), datum.size());
      std::memcpy(Slot(c, true), behindSeparator.data(), behindSeparator.size());
      m_length[0][c] = static_cast<std::uint32_t>(datum.size());
      m_length[1][c] = static_cast<std::uint32_t>(behindSeparator.size());
    }
  }

  DatumMode Mode() const { return m_mode; }
  // Bytes that a copy may write past the datum: the slot's width.
  std::size_t Stride() const { return m_stride; }
  // The longest datum with the separator in front.
  std::size_t Widest() const { return m_widest; }
  // Characters of a line written between two reservations of output room.
  std::size_t Step() const { return m_step; }
  const char* Slot(int c, bool separator) const {
    return m_slots.data() + (static_cast<std::size_t>(separator) * 256 + c) * m_stride;
  }
  std::uint32_t Length(int c, bool separator) const { return m_length[separator][c]; }
  std::string_view Number(std::uint8_t c) const { return m_number[c]; }

 private:
  char* Slot(int c, bool separator) {
    return m_slots.data() + (static_cast<std::size_t>(separator) * 256 + c) * m_stride;
  }

  DatumMode m_mode = DatumMode::Fixed;
  std::size_t m_widest = 0;
  std::size_t m_step = 1;
  std::size_t m_stride = 0;
  std::vector<char> m_slots;
  std::array<std::array<std::uint32_t, 256>, 2> m_length{};
  std::array<std::string, 256> m_number;
};

// Builds the output in one buffer, made ready ahead of each step, so that
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
  // Appends bytes for which room was reserved.
  void Put(std::string_view bytes) {
    std::memcpy(Cursor(), bytes.data(), bytes.size());
    m_size += bytes.size();
  }
  // Put where the room was reserved, else Append.
  void Put(std::string_view bytes, bool reserved) {
    if (reserved) {
      Put(bytes);
    } else {
      Append(bytes);
    }
  }
  // Appends bytes of any length: a long text goes to a sink in pieces.
  void Append(std::string_view bytes) {
    if (m_size + bytes.size() + m_slack <= m_text.size()) {
      std::memcpy(Cursor(), bytes.data(), bytes.size());
      m_size += bytes.size();
      return;
    }
    while (!bytes.empty()) {
      const std::size_t piece = std::min(bytes.size(), kPiece);
      Reserve(piece);
      std::memcpy(Cursor(), bytes.data(), piece);
      m_size += piece;
      bytes.remove_prefix(piece);
    }
  }
  void Flush() {
    if (m_size > 0) {
      m_sink->Write(std::string_view(m_text.data(), m_size));
      ++m_flushes;
    }
    m_size = 0;
  }
  // Pieces handed to the sink so far.
  std::size_t Flushes() const { return m_flushes; }
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
  std::size_t m_flushes = 0;
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
  // A piece of output handed over since the last look (flushes counts them)
  // is looked at without waiting for the interval: the user sees it arrive
  // and may answer it with Cancel, even near the end of a run.
  bool Passed(std::size_t characters, std::size_t value, std::size_t flushes) {
    m_budget -= characters;
    if (m_budget > 0) return false;
    m_budget = kStride;
    const auto now = std::chrono::steady_clock::now();
    if (flushes == m_flushes && now - m_last < m_interval) return false;
    m_flushes = flushes;
    m_observer->SetValue(value);
    const bool stop = m_observer->WantsToStop();
    m_last = std::chrono::steady_clock::now();
    return stop;
  }
  // Counts the characters of a chunk's end, after which no look is taken.
  void Skip(std::size_t characters) {
    m_budget = characters < m_budget ? m_budget - characters : 1;
  }

 private:
  static constexpr std::size_t kStride = 1024;
  ConvertObserver* m_observer;
  std::chrono::steady_clock::duration m_interval;
  std::size_t m_budget = kStride;
  std::size_t m_flushes = 0;
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

// Writes the data line of one chunk, without its end: the line head before
// the first datum, the separator in front of every further one. Characters
// the display cannot show give nothing, so a chunk without one writes no
// line at all. Returns false when the user stopped the run; count receives
// the data written.
template <DatumMode kMode, bool kPolled>
bool PutData(OutputBuffer& out, const DatumTable& table, const std::string& head,
             std::string_view chunk, bool reserved, std::size_t chunkStart, Poller& poller,
             std::size_t& count) {
  const std::size_t stride = kMode == DatumMode::Fixed ? DatumTable::kFixedStride : table.Stride();
  const auto data = reinterpret_cast<const std::uint8_t*>(chunk.data());
  const std::size_t n = chunk.size();
  const std::size_t step = table.Step();
  std::size_t shown = 0;
  std::size_t i = 0;
  // The observer is looked at between characters, never after a chunk's last.
  while (i < n) {
    std::size_t end = std::min(n, i + step);
    if constexpr (kPolled) end = std::min(end, i + poller.Budget());
    const std::size_t from = i;
    if (shown == 0) {
      while (i < end && !IsDisplayable(static_cast<char>(data[i]))) ++i;
      if (i < end) out.Put(head, reserved);
    }
    if (i < end) {
      if (!reserved) out.Reserve((end - i) * table.Widest());
      char* put = out.Cursor();
      char* const begin = put;
      if (shown == 0) {
        std::memcpy(put, table.Slot(data[i], false), stride);
        put += table.Length(data[i], false);
        shown = 1;
        ++i;
      }
      // A character the display cannot show has a datum of length 0 and
      // counts 0, so the loop needs no branch for it.
      for (; i < end; ++i) {
        const std::uint8_t c = data[i];
        std::memcpy(put, table.Slot(c, true), stride);
        put += table.Length(c, true);
        shown += IsDisplayable(static_cast<char>(c));
      }
      out.Advance(static_cast<std::size_t>(put - begin));
    }
    if constexpr (kPolled) {
      if (i == n) {
        poller.Skip(i - from);
      } else if (poller.Passed(i - from, chunkStart + i + 1, out.Flushes())) {
        count = shown;
        return false;
      }
    }
  }
  count = shown;
  return true;
}

// PutData for data too long for a table: each datum is written from the
// profile's texts, so the run holds nothing longer than those.
template <bool kPolled>
bool PutDataPieces(OutputBuffer& out, const DatumTable& table, const ProfileRecord& profile,
                   const std::string& head, std::string_view chunk, std::size_t chunkStart,
                   Poller& poller, std::size_t& count) {
  std::size_t shown = 0;
  for (std::size_t i = 0; i < chunk.size(); ++i) {
    const char c = chunk[i];
    if (IsDisplayable(c)) {
      out.Append(shown == 0 ? std::string_view(head) : std::string_view(profile.RazdelitelData));
      out.Append(profile.StartData);
      out.Append(table.Number(static_cast<std::uint8_t>(c)));
      out.Append(profile.EndData);
      ++shown;
    }
    if constexpr (kPolled) {
      if (i + 1 == chunk.size()) {
        poller.Skip(1);
      } else if (poller.Passed(1, chunkStart + i + 2, out.Flushes())) {
        count = shown;
        return false;
      }
    }
  }
  count = shown;
  return true;
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

// Cuts the text into chunks and writes their lines. A text the run owns
// (mutable) has its text lines flattened where they stand; else each is
// flattened into a copy.
template <DatumMode kMode, bool kPolled>
void Format(std::string_view text, char* mutableText, const ProfileRecord& profile,
            const Layout& layout, const DatumTable& table, Poller& poller, OutputBuffer& out) {
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
      if (mutableText != nullptr) {
        chunk = std::string_view(mutableText + pos,
                                 FlattenChunkInPlace(mutableText + pos, chunk.size()));
      } else {
        flattened = FlattenChunk(chunk);
        chunk = flattened;
      }
    }
    if (chunk.empty()) {
      ++pos;
      continue;
    }
    // The lines of a chunk of ordinary length get their room at once; a
    // long one (a text line of megabytes) gets it piece by piece.
    const bool reserved = chunk.size() <= table.Step();
    if (reserved) out.Reserve(chunk.size() * room.perChar + room.perChunk);
    if (layout.commentLines) {
      out.Put(profile.Comment, reserved);
      out.Put(chunk, reserved);
      out.Put(kCrLf, reserved);
    }
    std::size_t count = 0;
    const bool finished = kMode == DatumMode::Pieces
                              ? PutDataPieces<kPolled>(out, table, profile, layout.head, chunk,
                                                       pos + 1, poller, count)
                              : PutData<kMode, kPolled>(out, table, layout.head, chunk, reserved,
                                                        pos + 1, poller, count);
    if (!finished) break;
    // A chunk without a datum has no data line to end.
    if (count > 0) {
      out.Put(profile.EndDataBlok, reserved);
      if (layout.note) {
        out.Put(layout.notePrefix, reserved);
        char digits[24];
        const auto digitsEnd = std::to_chars(digits, digits + sizeof digits, count).ptr;
        out.Put(std::string_view(digits, static_cast<std::size_t>(digitsEnd - digits)), reserved);
      }
      out.Put(kCrLf, reserved);
    }
    pos += length;
  }
}

// One conversion run: the prepared text and everything derived from the profile.
class Run {
 public:
  // The text is prepared in a copy where preparation changes it.
  Run(std::string_view text, const ProfileRecord& profile, ConvertObserver* observer)
      : Run(profile, observer, text.size()) {
    if (profile.CountByte > 0) {
      m_prepared = TabsAndBreaksToSpaces(text);
      if (Cleans()) {
        CleanTextInPlace(m_prepared, profile.DeleteSpace, profile.CountSpace,
                         profile.DeleteSumbolError);
      }
    } else if (Cleans()) {
      m_prepared =
          CleanText(text, profile.DeleteSpace, profile.CountSpace, profile.DeleteSumbolError);
    } else {
      m_source = text;
      return;
    }
    m_source = m_prepared;
    m_mutable = m_prepared.data();
  }

  // The text is the run's own and is prepared where it stands.
  Run(std::string&& text, const ProfileRecord& profile, ConvertObserver* observer)
      : Run(profile, observer, text.size()) {
    m_prepared = std::move(text);
    if (profile.CountByte > 0) TabsAndBreaksToSpacesInPlace(m_prepared);
    if (Cleans()) {
      CleanTextInPlace(m_prepared, profile.DeleteSpace, profile.CountSpace,
                       profile.DeleteSumbolError);
    }
    m_source = m_prepared;
    m_mutable = m_prepared.data();
  }

  // A buffer for the whole output, or for a piece of it when it goes to a sink.
  OutputBuffer MakeBuffer(OutputSink* sink) const {
    const Room room = RoomNeeded(m_profile, m_layout, m_table);
    // With long data a text of characters the display cannot show would be
    // taken for a huge output: count the data instead.
    const std::size_t data = m_table.Mode() == DatumMode::Fixed
                                 ? m_source.size()
                                 : static_cast<std::size_t>(std::count_if(
                                       m_source.begin(), m_source.end(), IsDisplayable));
    const std::size_t whole = data * m_table.Widest() +
                              (room.perChar - m_table.Widest()) * m_source.size() +
                              EstimateChunks(m_source, m_profile.CountByte) * room.perChunk;
    // Beyond a generous first guess the buffer grows as the output does: a
    // chunk that gives no datum writes no head.
    const std::size_t guess = std::min(whole, (std::size_t{64} << 20) + 16 * m_source.size());
    return OutputBuffer(sink != nullptr ? std::min(whole, kPiece) : guess, m_table.Stride(), sink);
  }

  void Into(OutputBuffer& out) {
    if (m_poller.Active()) {
      Dispatch<true>(out);
    } else {
      Dispatch<false>(out);
    }
  }

 private:
  Run(const ProfileRecord& profile, ConvertObserver* observer, std::size_t length)
      : m_profile(profile), m_table(profile), m_poller(profile.Preview != 0 ? nullptr : observer) {
    if (m_poller.Active()) {
      observer->SetMaximum(length);
      observer->SetValue(0);
    }
    m_layout.head.append(IndentWidth(profile.Ost1), ' ')
        .append(profile.Directive)
        .append(IndentWidth(profile.Ost2), ' ')
        .append(profile.StartDataBlok);
    m_layout.commentLines = !profile.Comment.empty() && profile.CommentState == 1;
    m_layout.note = !profile.Comment.empty() && profile.CountByteToComment == 1;
    if (m_layout.note) m_layout.notePrefix = " " + profile.Comment;
  }

  bool Cleans() const { return m_profile.DeleteSpace == 1 || m_profile.DeleteSumbolError == 1; }

  template <bool kPolled>
  void Dispatch(OutputBuffer& out) {
    switch (m_table.Mode()) {
      case DatumMode::Fixed:
        return Format<DatumMode::Fixed, kPolled>(m_source, m_mutable, m_profile, m_layout, m_table,
                                                 m_poller, out);
      case DatumMode::Strided:
        return Format<DatumMode::Strided, kPolled>(m_source, m_mutable, m_profile, m_layout,
                                                   m_table, m_poller, out);
      case DatumMode::Pieces:
        return Format<DatumMode::Pieces, kPolled>(m_source, m_mutable, m_profile, m_layout, m_table,
                                                  m_poller, out);
    }
  }

  const ProfileRecord& m_profile;
  DatumTable m_table;
  Poller m_poller;
  Layout m_layout;
  std::string m_prepared;
  std::string_view m_source;
  char* m_mutable = nullptr;
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

void ConvertOwnedTextTo(std::string&& text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer) {
  Run run(std::move(text), profile, observer);
  OutputBuffer out = run.MakeBuffer(&sink);
  run.Into(out);
  out.Flush();
}

}  // namespace zeltrix
