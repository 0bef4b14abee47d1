#include "core/lcd/formatter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstring>
#include <vector>

#include "core/io/memory.h"
#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "core/lcd/cgram_output.h"
#include "core/lcd/character_map.h"
#include "core/lcd/text_prep.h"

namespace zeltrix {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// The size of the pieces in which a run hands its output to a sink, and
// the room that one step of a data line takes at most.
constexpr std::size_t kPiece = 1 << 20;

// How the data of a line are written: copied from a table of the datum of
// every character in slots of 32 bytes or, for longer data, of the widest
// datum's width; or, for data of kilobytes, written from their pieces, so
// that no table of 514 copies of a huge field is ever made.
enum class DatumMode { Fixed, Strided, Pieces };

// The datum table is indexed by a key of 0 to 256. On the byte path the key
// is the byte itself, its code found through the map's byte table when the
// table is made; on the character path it is the character's display code,
// or kNotShown. Either way the per-character work is one look-up.
constexpr std::size_t kNotShown = 256;
constexpr std::size_t kKeys = 257;

// The codes of the keys of a run, and which keys the display shows.
struct KeyCodes {
  std::array<std::uint8_t, kKeys> code{};
  std::array<bool, kKeys> shown{};
};

KeyCodes KeyCodesOf(const CharacterMap& map, bool bytes) {
  KeyCodes keys;
  for (std::size_t k = 0; k < 256; ++k) {
    const MappedChar mapped = bytes
                                  ? map.Map(static_cast<char>(k))
                                  : MappedChar{static_cast<std::uint8_t>(k), CharacterKind::Exact};
    keys.code[k] = mapped.code;
    keys.shown[k] = mapped.Shown();
  }
  return keys;
}

// The key of a unit of text.
template <class Char>
class DatumKey;

template <>
class DatumKey<char> {
 public:
  explicit DatumKey(const CharacterMap&) {}
  std::size_t operator()(char c) const { return static_cast<unsigned char>(c); }
};

template <>
class DatumKey<char32_t> {
 public:
  explicit DatumKey(const CharacterMap& map) : m_map(map) {}
  std::size_t operator()(char32_t c) const {
    const MappedChar mapped = m_map.Map(c);
    return mapped.Shown() ? mapped.code : kNotShown;
  }

 private:
  CharacterMap m_map;
};

// The profile's texts as a run writes them: as stored (Windows-1251) into
// Windows-1251 output, decoded into UTF-8 output. An ASCII text is the same
// in both and stays where it is, so that a huge field is never copied.
class OutputTexts {
 public:
  OutputTexts(const ProfileRecord& profile, bool utf8) {
    const std::pair<std::string_view*, const std::string*> fields[] = {
        {&directive, &profile.Directive},     {&startDataBlok, &profile.StartDataBlok},
        {&endDataBlok, &profile.EndDataBlok}, {&startData, &profile.StartData},
        {&endData, &profile.EndData},         {&separator, &profile.RazdelitelData},
        {&comment, &profile.Comment}};
    std::size_t owned = 0;
    const auto ascii = [](const std::string& text) {
      return std::all_of(text.begin(), text.end(),
                         [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    for (const auto& [view, field] : fields) {
      if (utf8 && !ascii(*field)) {
        m_decoded[owned] = Cp1251ToUtf8(*field);
        *view = m_decoded[owned++];
      } else {
        *view = *field;
      }
    }
  }
  // The views may point into this object.
  OutputTexts(const OutputTexts&) = delete;
  OutputTexts& operator=(const OutputTexts&) = delete;

  std::string_view directive, startDataBlok, endDataBlok, startData, endData, separator, comment;

 private:
  std::array<std::string, 7> m_decoded;
};

// The text of every datum, alone and behind the separator, laid out in slots
// of equal width so that one fixed-size copy writes any of them. A key the
// display does not show has empty slots.
class DatumTable {
 public:
  static constexpr std::size_t kFixedStride = 32;
  static constexpr std::size_t kMaxStride = 2048;

  DatumTable(const OutputTexts& texts, std::int32_t base, const KeyCodes& keys) {
    std::size_t longestNumber = 0;
    for (std::size_t k = 0; k < kKeys; ++k) {
      if (!keys.shown[k]) continue;
      m_number[k] = NumberText(keys.code[k], base);
      longestNumber = std::max(longestNumber, m_number[k].size());
    }
    m_widest =
        texts.separator.size() + texts.startData.size() + longestNumber + texts.endData.size();
    m_step = std::max<std::size_t>(1, kPiece / std::max<std::size_t>(1, m_widest));
    if (m_widest > kMaxStride) {
      m_mode = DatumMode::Pieces;
    } else {
      m_mode = m_widest <= kFixedStride ? DatumMode::Fixed : DatumMode::Strided;
      m_stride = m_widest <= kFixedStride ? kFixedStride : m_widest;
      m_slots.assign(2 * kKeys * m_stride, '\0');
    }
    for (std::size_t k = 0; k < kKeys; ++k) {
      if (!keys.shown[k]) continue;
      const std::size_t length = texts.startData.size() + m_number[k].size() + texts.endData.size();
      m_entry[0][k] = static_cast<std::uint32_t>(length) | kShownBit;
      m_entry[1][k] = static_cast<std::uint32_t>(texts.separator.size() + length) | kShownBit;
      if (m_mode == DatumMode::Pieces) continue;
      std::string behindSeparator;
      behindSeparator.append(texts.separator)
          .append(texts.startData)
          .append(m_number[k])
          .append(texts.endData);
      const std::string_view datum =
          std::string_view(behindSeparator).substr(texts.separator.size());
      std::memcpy(MutableSlot(k, false), datum.data(), datum.size());
      std::memcpy(MutableSlot(k, true), behindSeparator.data(), behindSeparator.size());
    }
  }

  DatumMode Mode() const { return m_mode; }
  // Bytes that a copy may write past the datum: the slot's width.
  std::size_t Stride() const { return m_stride; }
  // The longest datum with the separator in front.
  std::size_t Widest() const { return m_widest; }
  // Characters of a line written between two reservations of output room.
  std::size_t Step() const { return m_step; }
  const char* Slot(std::size_t key, bool separator) const {
    return m_slots.data() + (static_cast<std::size_t>(separator) * kKeys + key) * m_stride;
  }
  // A key's datum length with the shown bit on top, alone or behind the separator.
  const std::uint32_t* Entries(bool separator) const { return m_entry[separator].data(); }
  bool Shows(std::size_t key) const { return (m_entry[0][key] & kShownBit) != 0; }
  std::string_view Number(std::size_t key) const { return m_number[key]; }

  static constexpr std::uint32_t kShownBit = 1U << 31;
  static std::size_t LengthOf(std::uint32_t entry) { return entry & ~kShownBit; }
  static std::size_t ShownOf(std::uint32_t entry) { return entry >> 31; }

 private:
  char* MutableSlot(std::size_t key, bool separator) {
    return m_slots.data() + (static_cast<std::size_t>(separator) * kKeys + key) * m_stride;
  }

  DatumMode m_mode = DatumMode::Fixed;
  std::size_t m_widest = 0;
  std::size_t m_step = 1;
  std::size_t m_stride = 0;
  std::vector<char> m_slots;
  std::array<std::array<std::uint32_t, kKeys>, 2> m_entry{};
  std::array<std::string, kKeys> m_number;
};

// Builds the output in one buffer, made ready ahead of each step, so that
// the per-character work is a table look-up and one copy. A fixed-size copy
// may write up to `slack` bytes past the text, so that much room always
// remains. Without a sink the buffer grows to hold the whole output; with
// one it hands its content over whenever it is full.
class OutputBuffer {
 public:
  OutputBuffer(std::size_t capacity, std::size_t slack, OutputSink* sink, bool utf8)
      : m_slack(slack), m_sink(sink), m_utf8(utf8) {
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
      std::size_t piece = std::min(bytes.size(), kPiece);
      // UTF-8 output goes to the sink in whole characters.
      while (m_utf8 && piece < bytes.size() && piece > kPiece - 4 &&
             (static_cast<unsigned char>(bytes[piece]) & 0xC0) == 0x80) {
        --piece;
      }
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
  bool m_utf8;
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

template <class Char>
std::size_t EstimateChunks(std::basic_string_view<Char> text, std::int32_t countByte) {
  if (countByte > 0) return text.size() / static_cast<std::size_t>(countByte) + 1;
  const auto lfs = static_cast<std::size_t>(std::count(text.begin(), text.end(), Char('\n')));
  return (lfs > 0 ? lfs
                  : static_cast<std::size_t>(std::count(text.begin(), text.end(), Char('\r')))) +
         1;
}

// The most bytes a unit of text takes in the output: a byte, or a character
// in UTF-8.
template <class Char>
constexpr std::size_t kMaxUnitBytes = sizeof(Char) == 1 ? 1 : 4;

// Writes a character in UTF-8 at out and returns the end; a value that is no
// character becomes U+FFFD, as AppendUtf8 writes it.
char* PutUtf8(char* out, char32_t c) {
  if (c < 0x80) {
    *out = static_cast<char>(c);
    return out + 1;
  }
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementCharacter;
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return out + 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return out + 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return out + 4;
}

// The bytes the text takes in the output.
std::size_t OutputBytes(std::string_view text) { return text.size(); }
std::size_t OutputBytes(std::u32string_view text) {
  // Without a branch, so that the loop runs many characters at a time.
  std::size_t bytes = text.size();
  for (const char32_t c : text) bytes += (c >= 0x80) + (c >= 0x800) + (c >= 0x10000);
  return bytes;
}

// Writes the chunk as text, for its comment line: bytes as they are,
// characters in UTF-8.
void PutText(OutputBuffer& out, std::string_view chunk, bool reserved) { out.Put(chunk, reserved); }
void PutText(OutputBuffer& out, std::u32string_view chunk, bool reserved) {
  constexpr std::size_t kStep = kPiece / 4;
  while (!chunk.empty()) {
    const std::u32string_view part = chunk.substr(0, reserved ? chunk.size() : kStep);
    if (!reserved) out.Reserve(part.size() * 4);
    char* const begin = out.Cursor();
    char* put = begin;
    for (const char32_t c : part) put = PutUtf8(put, c);
    out.Advance(static_cast<std::size_t>(put - begin));
    chunk.remove_prefix(part.size());
  }
}

// Writes the data line of one chunk, without its end: the line head before
// the first datum, the separator in front of every further one. Characters
// the display cannot show give nothing, so a chunk without one writes no
// line at all. Returns false when the user stopped the run; count receives
// the data written.
template <DatumMode kMode, bool kPolled, class Char>
bool PutData(OutputBuffer& out, const DatumTable& table, const DatumKey<Char>& keyOf,
             const std::string& head, std::basic_string_view<Char> chunk, bool reserved,
             std::size_t chunkStart, Poller& poller, std::size_t& count) {
  const std::size_t stride = kMode == DatumMode::Fixed ? DatumTable::kFixedStride : table.Stride();
  // Held here, so that the writes through the output's cursor, which might
  // alias anything, do not make the loop read the table's addresses again.
  const DatumKey<Char> key = keyOf;
  const char* const slots = table.Slot(0, true);
  const std::uint32_t* const entries = table.Entries(true);
  const Char* const data = chunk.data();
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
      while (i < end && !table.Shows(key(data[i]))) ++i;
      if (i < end) out.Put(head, reserved);
    }
    if (i < end) {
      if (!reserved) out.Reserve((end - i) * table.Widest());
      char* put = out.Cursor();
      char* const begin = put;
      if (shown == 0) {
        const std::size_t k = key(data[i]);
        std::memcpy(put, table.Slot(k, false), stride);
        put += DatumTable::LengthOf(table.Entries(false)[k]);
        shown = 1;
        ++i;
      }
      // A character the display cannot show has a datum of length 0 and
      // counts 0, so the loop needs no branch for it.
      for (; i < end; ++i) {
        const std::size_t k = key(data[i]);
        const std::uint32_t entry = entries[k];
        std::memcpy(put, slots + k * stride, stride);
        put += DatumTable::LengthOf(entry);
        shown += DatumTable::ShownOf(entry);
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
template <bool kPolled, class Char>
bool PutDataPieces(OutputBuffer& out, const DatumTable& table, const DatumKey<Char>& key,
                   const OutputTexts& texts, const std::string& head,
                   std::basic_string_view<Char> chunk, std::size_t chunkStart, Poller& poller,
                   std::size_t& count) {
  std::size_t shown = 0;
  for (std::size_t i = 0; i < chunk.size(); ++i) {
    const std::size_t k = key(chunk[i]);
    if (table.Shows(k)) {
      out.Append(shown == 0 ? std::string_view(head) : texts.separator);
      out.Append(texts.startData);
      out.Append(table.Number(k));
      out.Append(texts.endData);
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

// Room that a run needs for each character of its text, and for each chunk beyond its characters.
struct Room {
  std::size_t perChar;
  std::size_t perChunk;
};

template <class Char>
Room RoomNeeded(const OutputTexts& texts, const Layout& layout, const DatumTable& table) {
  // Per chunk: the comment line's frame, the line head, the block end, the
  // note with up to 20 digits, and the line end.
  return {table.Widest() + (layout.commentLines ? kMaxUnitBytes<Char> : 0),
          (layout.commentLines ? texts.comment.size() + kCrLf.size() : 0) + layout.head.size() +
              texts.endDataBlok.size() + (layout.note ? layout.notePrefix.size() + 20 : 0) +
              kCrLf.size()};
}

// Cuts the text into chunks and writes their lines. A text the run owns
// (mutable) has its text lines flattened where they stand; else each is
// flattened into a copy.
template <DatumMode kMode, bool kPolled, class Char>
void Format(std::basic_string_view<Char> text, Char* mutableText, const ProfileRecord& profile,
            const OutputTexts& texts, const Layout& layout, const DatumTable& table,
            const DatumKey<Char>& key, Poller& poller, OutputBuffer& out) {
  const Room room = RoomNeeded<Char>(texts, layout, table);
  BasicChunkCutter<Char> cutter(text, profile.CountByte, profile.PerenosPoSlovam);
  std::basic_string<Char> flattened;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t length = cutter.Length(pos);
    std::basic_string_view<Char> chunk = text.substr(pos, length);
    // With CountByte above 0 the text holds no tab and no line break any more,
    // so only text lines need flattening.
    if (profile.CountByte <= 0) {
      if (mutableText != nullptr) {
        chunk = std::basic_string_view<Char>(mutableText + pos,
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
      out.Put(texts.comment, reserved);
      PutText(out, chunk, reserved);
      out.Put(kCrLf, reserved);
    }
    std::size_t count = 0;
    const bool finished = kMode == DatumMode::Pieces
                              ? PutDataPieces<kPolled>(out, table, key, texts, layout.head, chunk,
                                                       pos + 1, poller, count)
                              : PutData<kMode, kPolled>(out, table, key, layout.head, chunk,
                                                        reserved, pos + 1, poller, count);
    if (!finished) break;
    // A chunk without a datum has no data line to end.
    if (count > 0) {
      out.Put(texts.endDataBlok, reserved);
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

// One conversion run over text of the unit Char: the prepared text and
// everything derived from the profile.
template <class Char>
class Run {
 public:
  using View = std::basic_string_view<Char>;
  using String = std::basic_string<Char>;
  static constexpr bool kUtf8 = sizeof(Char) > 1;

  // The text is prepared in a copy where preparation changes it.
  Run(View text, const ProfileRecord& profile, ConvertObserver* observer)
      : Run(profile, observer, text.size()) {
    if (profile.CountByte > 0) {
      m_prepared = TabsAndBreaksToSpaces(text);
      if (Cleans()) {
        CleanTextInPlace(m_prepared, profile.DeleteSpace, profile.CountSpace,
                         profile.DeleteSumbolError, m_map);
      }
    } else if (Cleans()) {
      m_prepared = CleanText(text, profile.DeleteSpace, profile.CountSpace,
                             profile.DeleteSumbolError, m_map);
    } else {
      m_source = text;
      return;
    }
    m_source = m_prepared;
    m_mutable = m_prepared.data();
  }

  // The text is the run's own and is prepared where it stands.
  Run(String&& text, const ProfileRecord& profile, ConvertObserver* observer)
      : Run(profile, observer, text.size()) {
    m_prepared = std::move(text);
    if (profile.CountByte > 0) TabsAndBreaksToSpacesInPlace(m_prepared);
    if (Cleans()) {
      CleanTextInPlace(m_prepared, profile.DeleteSpace, profile.CountSpace,
                       profile.DeleteSumbolError, m_map);
    }
    m_source = m_prepared;
    m_mutable = m_prepared.data();
  }

  // A buffer for the whole output, or for a piece of it when it goes to a sink.
  OutputBuffer MakeBuffer(OutputSink* sink) const {
    const Room room = RoomNeeded<Char>(m_texts, m_layout, m_table);
    // With long data a text of characters the display cannot show would be
    // taken for a huge output: count the data instead.
    const std::size_t data = m_table.Mode() == DatumMode::Fixed
                                 ? m_source.size()
                                 : static_cast<std::size_t>(std::count_if(
                                       m_source.begin(), m_source.end(),
                                       [this](Char c) { return m_table.Shows(m_key(c)); }));
    const std::size_t whole = data * m_table.Widest() +
                              (m_layout.commentLines ? OutputBytes(m_source) : 0) +
                              EstimateChunks(m_source, m_profile.CountByte) * room.perChunk;
    // Beyond a generous first guess the buffer grows as the output does: a
    // chunk that gives no datum writes no head.
    const std::size_t guess = std::min(whole, (std::size_t{64} << 20) + 16 * m_source.size());
    return OutputBuffer(sink != nullptr ? std::min(whole, kPiece) : guess, m_table.Stride(), sink,
                        kUtf8);
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
      : m_profile(profile),
        m_map(CharacterMapOf(profile)),
        m_key(m_map),
        m_texts(profile, kUtf8),
        m_table(m_texts, profile.SI, KeyCodesOf(m_map, !kUtf8)),
        m_poller(profile.Preview != 0 ? nullptr : observer) {
    if (m_poller.Active()) {
      observer->SetMaximum(length);
      observer->SetValue(0);
    }
    m_layout.head.append(IndentWidth(profile.Ost1), ' ')
        .append(m_texts.directive)
        .append(IndentWidth(profile.Ost2), ' ')
        .append(m_texts.startDataBlok);
    m_layout.commentLines = !m_texts.comment.empty() && profile.CommentState == 1;
    m_layout.note = !m_texts.comment.empty() && profile.CountByteToComment == 1;
    if (m_layout.note) m_layout.notePrefix = " " + std::string(m_texts.comment);
  }

  bool Cleans() const { return m_profile.DeleteSpace == 1 || m_profile.DeleteSumbolError == 1; }

  template <bool kPolled>
  void Dispatch(OutputBuffer& out) {
    switch (m_table.Mode()) {
      case DatumMode::Fixed:
        return Format<DatumMode::Fixed, kPolled>(m_source, m_mutable, m_profile, m_texts, m_layout,
                                                 m_table, m_key, m_poller, out);
      case DatumMode::Strided:
        return Format<DatumMode::Strided, kPolled>(m_source, m_mutable, m_profile, m_texts,
                                                   m_layout, m_table, m_key, m_poller, out);
      case DatumMode::Pieces:
        return Format<DatumMode::Pieces, kPolled>(m_source, m_mutable, m_profile, m_texts, m_layout,
                                                  m_table, m_key, m_poller, out);
    }
  }

  const ProfileRecord& m_profile;
  CharacterMap m_map;
  DatumKey<Char> m_key;
  OutputTexts m_texts;
  DatumTable m_table;
  Poller m_poller;
  Layout m_layout;
  String m_prepared;
  View m_source;
  Char* m_mutable = nullptr;
};

template <class Text>
std::string Convert(Text&& text, const ProfileRecord& profile, ConvertObserver* observer) {
  Run run(std::forward<Text>(text), profile, observer);
  OutputBuffer out = run.MakeBuffer(nullptr);
  run.Into(out);
  return out.TakeText();
}

template <class Text>
void ConvertInto(Text&& text, const ProfileRecord& profile, OutputSink& sink,
                 ConvertObserver* observer) {
  Run run(std::forward<Text>(text), profile, observer);
  OutputBuffer out = run.MakeBuffer(&sink);
  run.Into(out);
  out.Flush();
}

// With custom characters a text is converted screen by screen.
bool ByScreens(const ProfileRecord& profile) { return profile.Cgram == 1; }

}  // namespace

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

std::string ConvertText(std::string_view text, const ProfileRecord& profile,
                        ConvertObserver* observer, std::vector<CgramReport>* reports) {
  if (ByScreens(profile)) return ConvertCgramText(text, profile, observer, reports);
  return Convert(text, profile, observer);
}

std::string ConvertText(std::u32string_view text, const ProfileRecord& profile,
                        ConvertObserver* observer, std::vector<CgramReport>* reports) {
  if (ByScreens(profile)) return ConvertCgramText(text, profile, observer, reports);
  return Convert(text, profile, observer);
}

std::string ConvertText(const EngineText& text, const ProfileRecord& profile,
                        ConvertObserver* observer, std::vector<CgramReport>* reports) {
  return text.Visit(
      [&](const auto& units) { return ConvertText(units, profile, observer, reports); });
}

void ConvertTextTo(std::string_view text, const ProfileRecord& profile, OutputSink& sink,
                   ConvertObserver* observer, std::vector<CgramReport>* reports) {
  if (ByScreens(profile)) return ConvertCgramTextTo(text, profile, sink, observer, reports);
  ConvertInto(text, profile, sink, observer);
}

void ConvertTextTo(std::u32string_view text, const ProfileRecord& profile, OutputSink& sink,
                   ConvertObserver* observer, std::vector<CgramReport>* reports) {
  if (ByScreens(profile)) return ConvertCgramTextTo(text, profile, sink, observer, reports);
  ConvertInto(text, profile, sink, observer);
}

void ConvertTextTo(const EngineText& text, const ProfileRecord& profile, OutputSink& sink,
                   ConvertObserver* observer, std::vector<CgramReport>* reports) {
  text.Visit([&](const auto& units) { ConvertTextTo(units, profile, sink, observer, reports); });
}

void ConvertOwnedTextTo(std::string&& text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer, std::vector<CgramReport>* reports) {
  if (ByScreens(profile)) return ConvertCgramTextTo(text, profile, sink, observer, reports);
  ConvertInto(std::move(text), profile, sink, observer);
}

void ConvertOwnedTextTo(std::u32string&& text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer, std::vector<CgramReport>* reports) {
  if (ByScreens(profile)) return ConvertCgramTextTo(text, profile, sink, observer, reports);
  ConvertInto(std::move(text), profile, sink, observer);
}

void ConvertOwnedTextTo(EngineText&& text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer, std::vector<CgramReport>* reports) {
  std::move(text).Visit([&](auto&& units) {
    ConvertOwnedTextTo(std::move(units), profile, sink, observer, reports);
  });
}

std::string CodesDataLine(std::string_view codes, const ProfileRecord& profile) {
  if (codes.empty()) return {};
  const OutputTexts texts(profile, false);
  std::string line(IndentWidth(profile.Ost1), ' ');
  line.append(texts.directive).append(IndentWidth(profile.Ost2), ' ').append(texts.startDataBlok);
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (i > 0) line.append(texts.separator);
    line.append(texts.startData)
        .append(NumberText(static_cast<std::uint8_t>(codes[i]), profile.SI))
        .append(texts.endData);
  }
  line.append(texts.endDataBlok);
  if (!texts.comment.empty() && profile.CountByteToComment == 1) {
    line.append(" ").append(texts.comment).append(std::to_string(codes.size()));
  }
  return line.append(kCrLf);
}

}  // namespace zeltrix
