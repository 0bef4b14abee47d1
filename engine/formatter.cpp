#include "engine/formatter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstring>
#include <vector>

#include "engine/lcd_code.h"
#include "engine/text_prep.h"

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
      m_length[c][1] = static_cast<std::uint32_t>(withSeparator.size());
      m_length[c][0] = static_cast<std::uint32_t>(datum[c].size());
    }
  }

  static constexpr std::size_t kFixedStride = 32;
  bool Fixed() const { return m_stride == kFixedStride; }
  std::size_t Stride() const { return m_stride; }
  std::size_t Widest() const { return m_widest; }
  const char* Slot(int c, bool separator) const {
    return m_slots.data() + (static_cast<std::size_t>(c) * 2 + separator) * m_stride;
  }
  std::uint32_t Length(int c, bool separator) const { return m_length[c][separator]; }

 private:
  char* Slot(int c, bool separator) {
    return m_slots.data() + (static_cast<std::size_t>(c) * 2 + separator) * m_stride;
  }

  std::size_t m_widest = 0;
  std::size_t m_stride = kFixedStride;
  std::vector<char> m_slots;
  std::array<std::array<std::uint32_t, 2>, 256> m_length{};
};

// Builds the output in one buffer that grows ahead of each chunk, so that the
// per-character work is a table look-up and one copy.
class OutputBuffer {
 public:
  explicit OutputBuffer(std::size_t expected) { m_text.resize(expected); }

  void Reserve(std::size_t more) {
    if (m_size + more > m_text.size()) {
      m_text.resize(std::max(m_size + more, m_text.size() + m_text.size() / 2));
    }
  }
  char* Cursor() { return m_text.data() + m_size; }
  void Advance(std::size_t bytes) { m_size += bytes; }
  void Put(std::string_view bytes) {
    std::memcpy(Cursor(), bytes.data(), bytes.size());
    m_size += bytes.size();
  }
  std::string Finish() {
    m_text.resize(m_size);
    return std::move(m_text);
  }

 private:
  std::string m_text;
  std::size_t m_size = 0;
};

// Looks at the observer at most once per its poll interval; the clock itself
// is read only every kStride characters.
class Poller {
 public:
  explicit Poller(ConvertObserver* observer)
      : m_observer(observer),
        m_interval(observer ? observer->PollInterval() : std::chrono::milliseconds(0)) {}
  bool Active() const { return m_observer != nullptr; }
  // Returns true when the user has stopped the run.
  bool Tick(std::size_t value) {
    if (--m_countdown > 0) return false;
    m_countdown = kStride;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last < m_interval) return false;
    m_observer->SetValue(value);
    const bool stop = m_observer->WantsToStop();
    m_last = std::chrono::steady_clock::now();
    return stop;
  }

 private:
  static constexpr int kStride = 1024;
  ConvertObserver* m_observer;
  std::chrono::steady_clock::duration m_interval;
  int m_countdown = kStride;
  std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
};

struct Layout {
  std::string head;         // first indent, directive, second indent, block start
  std::string notePrefix;   // " " + comment start, when the byte count is noted
  bool commentLines;
  bool note;
};

std::size_t EstimateChunks(std::string_view text, std::int32_t countByte) {
  if (countByte > 0) return text.size() / static_cast<std::size_t>(countByte) + 1;
  const auto lfs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  return (lfs > 0 ? lfs : static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'))) + 1;
}

template <bool kFixed>
inline void PutDatum(OutputBuffer& out, const DatumTable& table, int c, bool separator) {
  if constexpr (kFixed) {
    std::memcpy(out.Cursor(), table.Slot(c, separator), DatumTable::kFixedStride);
  } else {
    std::memcpy(out.Cursor(), table.Slot(c, separator), table.Stride());
  }
  out.Advance(table.Length(c, separator));
}

// Writes the data of one chunk; returns false when the user stopped the run.
template <bool kFixed>
bool PutData(OutputBuffer& out, const DatumTable& table, std::string_view chunk,
             std::size_t chunkStart, Poller& poller, std::size_t& count) {
  const std::size_t last = chunk.size() - 1;
  for (std::size_t i = 0; i < last; ++i) {
    const auto c = static_cast<std::uint8_t>(chunk[i]);
    if (LcdCode(c) != 0) {
      PutDatum<kFixed>(out, table, c, true);
      ++count;
    }
    if (poller.Active() && poller.Tick(chunkStart + i + 2)) return false;
  }
  const auto c = static_cast<std::uint8_t>(chunk[last]);
  if (LcdCode(c) != 0) {
    PutDatum<kFixed>(out, table, c, false);
    ++count;
  }
  return true;
}

template <bool kFixed>
std::string Format(std::string_view text, const ProfileRecord& profile, const Layout& layout,
                   const DatumTable& table, Poller& poller) {
  const std::size_t perChar = table.Widest() + (layout.commentLines ? 1 : 0);
  const std::size_t perChunk = layout.head.size() + profile.EndDataBlok.size() +
                               layout.notePrefix.size() + 20 + 2 * kCrLf.size() +
                               (layout.commentLines ? profile.Comment.size() : 0) +
                               table.Stride();
  OutputBuffer out(text.size() * perChar + EstimateChunks(text, profile.CountByte) * perChunk);

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
    out.Reserve(chunk.size() * perChar + perChunk);
    if (layout.commentLines) {
      out.Put(profile.Comment);
      out.Put(chunk);
      out.Put(kCrLf);
    }
    out.Put(layout.head);
    std::size_t count = 0;
    if (!PutData<kFixed>(out, table, chunk, pos + 1, poller, count)) break;
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
  return out.Finish();
}

}  // namespace

std::string ConvertText(std::string_view text, const ProfileRecord& profile,
                        ConvertObserver* observer) {
  if (profile.Preview != 0) observer = nullptr;
  if (observer != nullptr) {
    observer->SetMaximum(text.size());
    observer->SetValue(0);
  }

  std::string prepared;
  std::string_view source = text;
  if (profile.CountByte > 0) {
    prepared = TabsAndBreaksToSpaces(source);
    source = prepared;
  }
  if (profile.DeleteSpace == 1 || profile.DeleteSumbolError == 1) {
    prepared = CleanText(source, profile.DeleteSpace, profile.CountSpace, profile.DeleteSumbolError);
    source = prepared;
  }

  Layout layout;
  layout.head.append(static_cast<std::size_t>(std::max(profile.Ost1, 0)), ' ')
      .append(profile.Directive)
      .append(static_cast<std::size_t>(std::max(profile.Ost2, 0)), ' ')
      .append(profile.StartDataBlok);
  layout.commentLines = !profile.Comment.empty() && profile.CommentState == 1;
  layout.note = !profile.Comment.empty() && profile.CountByteToComment == 1;
  if (layout.note) layout.notePrefix = " " + profile.Comment;

  const DatumTable table(profile);
  Poller poller(observer);
  return table.Fixed() ? Format<true>(source, profile, layout, table, poller)
                       : Format<false>(source, profile, layout, table, poller);
}

}  // namespace zeltrix
