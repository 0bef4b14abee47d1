#include "core/lcd/cgram_output.h"

#include <array>
#include <chrono>
#include <new>

#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "core/lcd/text_prep.h"

namespace zeltrix {
namespace {

constexpr std::string_view kCrLf = "\r\n";
// Output handed to a sink in pieces of about this size, whole lines each.
constexpr std::size_t kPiece = 1 << 20;

// Writes the data lines of the planned screens.
class CgramLines {
 public:
  CgramLines(const ProfileRecord& profile, bool utf8, ConvertObserver* observer, OutputSink* sink,
             std::size_t length)
      : m_profile(profile),
        m_utf8(utf8),
        m_observer(profile.Preview != 0 ? nullptr : observer),
        m_sink(sink),
        m_comment(Text(profile.Comment)),
        m_separator(Text(profile.RazdelitelData)),
        m_endDataBlok(Text(profile.EndDataBlok)) {
    m_head.append(IndentWidth(profile.Ost1), ' ')
        .append(Text(profile.Directive))
        .append(IndentWidth(profile.Ost2), ' ')
        .append(Text(profile.StartDataBlok));
    const std::string startData = Text(profile.StartData);
    const std::string endData = Text(profile.EndData);
    for (std::size_t code = 0; code < m_datum.size(); ++code) {
      m_datum[code] = startData + NumberText(static_cast<std::uint8_t>(code), profile.SI) + endData;
    }
    m_commentLines = !m_comment.empty() && profile.CommentState == 1;
    m_note = !m_comment.empty() && profile.CountByteToComment == 1;
    if (m_observer != nullptr) {
      m_observer->SetMaximum(length);
      m_observer->SetValue(0);
      m_lastLook = std::chrono::steady_clock::now();
    }
  }

  // Writes a screen's lines; false when the user stopped the run.
  bool Screen(const CgramScreen& screen, LcdGeometry geometry) {
    if (screen.loads) Block(screen);
    const std::size_t columns = static_cast<std::size_t>(geometry.columns);
    for (int r = 0; r < geometry.rows; ++r) {
      std::u32string characters;
      std::string codes;
      const auto row = static_cast<std::size_t>(r);
      if (row < screen.page.rows.size()) {
        characters = screen.characters[row];
        codes = screen.page.rows[row].codes;
      }
      characters.resize(columns, U' ');
      codes.resize(columns, ' ');
      Row(characters, codes);
      if (row < screen.page.rows.size()) {
        const LcdRow& laidOut = screen.page.rows[row];
        if (!Look(laidOut.start + laidOut.length + 1)) return false;
      }
    }
    return true;
  }

  void Finish() {
    if (m_sink != nullptr && !m_out.empty()) m_sink->Write(m_out);
    if (m_sink != nullptr) m_out.clear();
  }

  std::string TakeText() { return std::move(m_out); }

 private:
  // A profile text (stored in Windows-1251) as the output holds it.
  std::string Text(const std::string& field) const { return m_utf8 ? Cp1251ToUtf8(field) : field; }

  void Put(char32_t character) {
    if (m_utf8) {
      AppendUtf8(m_out, character);
    } else {
      m_out.push_back(CodePointToCp1251(character));
    }
  }

  // The end of a data line of count data: the block end, the note, CR LF.
  void EndLine(std::size_t count) {
    m_out += m_endDataBlok;
    if (m_note) m_out.append(" ").append(m_comment).append(std::to_string(count));
    m_out += kCrLf;
    if (m_sink != nullptr && m_out.size() >= kPiece) {
      m_sink->Write(m_out);
      m_out.clear();
    }
  }

  void DataLine(const std::uint8_t* codes, std::size_t count) {
    m_out += m_head;
    for (std::size_t i = 0; i < count; ++i) {
      if (i > 0) m_out += m_separator;
      m_out += m_datum[codes[i]];
    }
    EndLine(count);
  }

  // The comment line that names the slots, and each slot's rows.
  void Block(const CgramScreen& screen) {
    if (!m_comment.empty()) {
      m_out += m_comment;
      m_out += "CGRAM";
      bool first = true;
      for (int s = 0; s < kCgramSlots; ++s) {
        const CgramSlot& slot = screen.cgramSlots[static_cast<std::size_t>(s)];
        if (!slot.Used()) continue;
        static constexpr char kHex[] = "0123456789ABCDEF";
        const int code = SlotBase() + s;
        m_out += first ? " 0x" : ", 0x";
        m_out += kHex[code >> 4];
        m_out += kHex[code & 0xF];
        m_out += ":";
        for (const char32_t character : slot.characters) {
          m_out += ' ';
          Put(character);
        }
        first = false;
      }
      m_out += kCrLf;
    }
    for (const CgramSlot& slot : screen.cgramSlots) {
      if (slot.Used()) DataLine(slot.glyph.data(), slot.glyph.size());
    }
  }

  // One display row, converted as a text of its own.
  void Row(const std::u32string& characters, const std::string& codes) {
    BasicChunkCutter<char32_t> cutter(characters, m_profile.CountByte, m_profile.PerenosPoSlovam);
    for (std::size_t pos = 0; pos < characters.size();) {
      const std::size_t length = cutter.Length(pos);
      if (length == 0) break;
      if (m_commentLines) {
        m_out += m_comment;
        for (std::size_t i = pos; i < pos + length; ++i) Put(characters[i]);
        m_out += kCrLf;
      }
      DataLine(reinterpret_cast<const std::uint8_t*>(codes.data()) + pos, length);
      pos += length;
    }
  }

  int SlotBase() const { return m_profile.CgramCodes == 0 ? 0 : 8; }

  // Shows the position and asks whether to stop, at most once per poll interval.
  bool Look(std::size_t position) {
    if (m_observer == nullptr) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastLook < m_observer->PollInterval()) return true;
    m_lastLook = now;
    m_observer->SetValue(position);
    return !m_observer->WantsToStop();
  }

  const ProfileRecord& m_profile;
  bool m_utf8;
  ConvertObserver* m_observer;
  OutputSink* m_sink;
  std::string m_comment;
  std::string m_separator;
  std::string m_endDataBlok;
  std::string m_head;
  std::array<std::string, 256> m_datum;
  bool m_commentLines = false;
  bool m_note = false;
  std::chrono::steady_clock::time_point m_lastLook;
  std::string m_out;
};

template <class Char>
std::string Convert(std::basic_string_view<Char> text, const ProfileRecord& profile,
                    ConvertObserver* observer, OutputSink* sink,
                    std::vector<CgramReport>* reports) {
  const CgramSetup setup = CgramSetupOf(profile);
  CgramLines lines(profile, sizeof(Char) > 1, observer, sink, text.size());
  PlanCgramScreens(text, setup, [&](const CgramScreen& screen) {
    if (reports != nullptr && screen.report.Overflows()) reports->push_back(screen.report);
    return lines.Screen(screen, setup.geometry);
  });
  lines.Finish();
  return lines.TakeText();
}

}  // namespace

std::string ConvertCgramText(std::string_view text, const ProfileRecord& profile,
                             ConvertObserver* observer, std::vector<CgramReport>* reports) {
  return Convert(text, profile, observer, nullptr, reports);
}

std::string ConvertCgramText(std::u32string_view text, const ProfileRecord& profile,
                             ConvertObserver* observer, std::vector<CgramReport>* reports) {
  return Convert(text, profile, observer, nullptr, reports);
}

void ConvertCgramTextTo(std::string_view text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer, std::vector<CgramReport>* reports) {
  Convert(text, profile, observer, &sink, reports);
}

void ConvertCgramTextTo(std::u32string_view text, const ProfileRecord& profile, OutputSink& sink,
                        ConvertObserver* observer, std::vector<CgramReport>* reports) {
  Convert(text, profile, observer, &sink, reports);
}

std::string MakeCgramRecords(const EngineText& text, const CgramSetup& setup,
                             std::vector<CgramReport>* reports) {
  const std::size_t columns = static_cast<std::size_t>(setup.geometry.columns);
  std::string records;
  bool anyCell = false;
  PlanCgramScreens(text, setup, [&](const CgramScreen& screen) {
    if (reports != nullptr && screen.report.Overflows()) reports->push_back(screen.report);
    for (const CgramSlot& slot : screen.cgramSlots) {
      if (slot.Used()) {
        records.append(slot.glyph.begin(), slot.glyph.end());
      } else {
        records.append(slot.glyph.size(), '\0');
      }
    }
    for (int r = 0; r < setup.geometry.rows; ++r) {
      const auto row = static_cast<std::size_t>(r);
      std::string_view codes;
      if (row < screen.page.rows.size()) codes = screen.page.rows[row].codes;
      anyCell = anyCell || !codes.empty();
      records.append(codes);
      records.append(columns - codes.size(), ' ');
    }
    return true;
  });
  if (!anyCell) records.clear();
  return records;
}

Result<std::string> PrepareCgramRecords(std::string_view path, const EngineText& text,
                                        const CgramSetup& setup,
                                        std::vector<CgramReport>* reports) {
  if (path.empty()) return Failure{NoBinPathMessage()};
  if (text.Empty()) return Failure{NoBinTextMessage()};
  try {
    return MakeCgramRecords(text, setup, reports);
  } catch (const std::bad_alloc&) {
    return Failure{ErrorMessage("Преобразование", "Ошибка при доступе к памяти!")};
  }
}

namespace {

// Inserting or replacing records at an address between two of them would put
// the screens where firmware does not look for them: refused with a message.
Status AtRecordBoundary(std::size_t size, BinTarget target, BinPlacement placement,
                        std::string_view startAddress) {
  // An empty field is refused by the writer, with its own message.
  if (target != kBinExistingFile || placement != kBinAtAddress || startAddress.empty()) return {};
  const std::uint64_t address = ParseStartAddress(startAddress);
  if (address % size == 0) return {};
  const std::uint64_t before = address - address % size;
  return Failure{WarningMessage(
      "Предупреждение", "Начальный адрес " + std::to_string(address) +
                            " не совпадает с началом записи экрана.\nЗапись экрана занимает " +
                            std::to_string(size) + " байт: укажите адрес, кратный " +
                            std::to_string(size) + ", например " + std::to_string(before) +
                            " или " + std::to_string(before + size) + ".")};
}

}  // namespace

Status WriteCgramRecords(const std::string& path, std::string_view records, LcdGeometry geometry,
                         BinTarget target, BinPlacement placement, BinManner manner,
                         std::string_view startAddress, Prompter& prompter) {
  if (path.empty()) return Failure{NoBinPathMessage()};
  if (Status boundary =
          AtRecordBoundary(CgramRecordSize(geometry), target, placement, startAddress);
      !boundary) {
    return boundary;
  }
  return WriteBinBlock(path, records, target, placement, manner, startAddress, prompter);
}

Status WriteCgramRecords(const std::string& path, std::string_view records, LcdGeometry geometry,
                         const ImageFormat& format, BinTarget target, BinPlacement placement,
                         BinManner manner, std::string_view startAddress, Prompter& prompter) {
  if (path.empty()) return Failure{NoBinPathMessage()};
  if (Status boundary =
          AtRecordBoundary(CgramRecordSize(geometry), target, placement, startAddress);
      !boundary) {
    return boundary;
  }
  return WriteImageBlock(path, records, format, target, placement, manner, startAddress, prompter);
}

}  // namespace zeltrix
