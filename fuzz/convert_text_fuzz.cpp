// ConvertText against invariants that any profile and text must keep:
// every line ends with CR LF and holds no other line end; the data lines
// start with the (bounded) indents and directive, hold at least one datum and
// the separator only between two; each follows its comment line when those
// are on; the codes they hold are the codes of the text's displayable
// characters in order (spaces aside, since line breaks and tabs become
// spaces and runs of spaces may be cut); a byte-count note counts the data
// of its line; writing to a sink, also from a text handed over, gives the
// same bytes. The codes are those of the profile's ROM and look-alikes. The
// same text converted as characters gives the same lines, decoded; the text
// read as UTF-8 goes the path that EngineText picks and keeps the invariants.
// With custom characters (Cgram) the lines are written screen by screen: they
// keep their line ends and the sink and character paths agree, and the BIN
// records of the same text are whole, with glyph rows of 5 dots and a slot
// code only where the slot holds a glyph.
//
// Input: the profile's numbers and flags, its ROM, custom characters with
// their codes and the display's size, a byte that chooses between
// marker texts (which the check can read, with data of a few bytes, of tens
// or of thousands) and texts from the input, then the text to convert.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "core/lcd/cgram_output.h"
#include "core/lcd/character_map.h"
#include "core/lcd/engine_text.h"
#include "core/lcd/formatter.h"
#include "fuzz_check.h"

namespace {

class StringSink : public zeltrix::OutputSink {
 public:
  void Write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

std::string OneLine(FuzzedDataProvider& input) {
  std::string text = input.ConsumeRandomLengthString(16);
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  return text;
}

// The lines of the output without their CR LF; every line end must be one.
std::vector<std::string_view> Lines(std::string_view out) {
  std::vector<std::string_view> lines;
  while (!out.empty()) {
    const std::size_t end = out.find("\r\n");
    Check(end != std::string_view::npos);
    const std::string_view line = out.substr(0, end);
    Check(line.find_first_of("\r\n") == std::string_view::npos);
    lines.push_back(line);
    out.remove_prefix(end + 2);
  }
  return lines;
}

bool ReadNumber(std::string_view digits, std::int32_t base, unsigned& value) {
  const unsigned radix = base == zeltrix::kBinary ? 2 : base == zeltrix::kDecimal ? 10 : 16;
  if (digits.empty()) return false;
  if (base == zeltrix::kBinary && digits.size() != 8) return false;
  if (base == zeltrix::kHexadecimal && digits.size() != 2) return false;
  value = 0;
  for (const char c : digits) {
    const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    if (d >= static_cast<int>(radix)) return false;
    value = value * radix + static_cast<unsigned>(d);
  }
  return value <= 255;
}

// Checks the output of a profile with the marker texts and returns the codes
// of all its data lines in order.
std::string ReadDataLines(std::string_view out, const zeltrix::ProfileRecord& p) {
  const std::string head = std::string(zeltrix::IndentWidth(p.Ost1), ' ') + "D" +
                           std::string(zeltrix::IndentWidth(p.Ost2), ' ') + "<";
  const bool comments = p.CommentState == 1;
  const bool notes = p.CountByteToComment == 1;
  const bool known = p.SI >= zeltrix::kBinary && p.SI <= zeltrix::kHexadecimal;
  std::string codes;
  const std::vector<std::string_view> lines = Lines(out);
  bool afterComment = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (comments && lines[i].starts_with("#")) {
      afterComment = true;
      continue;
    }
    if (comments) Check(afterComment);
    afterComment = false;
    std::string_view line = lines[i];
    Check(line.starts_with(head));
    line.remove_prefix(head.size());
    std::size_t count = 0;
    while (line.starts_with("{")) {
      const std::size_t digitsAt = line.find_first_not_of('=', 1);
      Check(digitsAt != std::string_view::npos);
      line.remove_prefix(digitsAt);
      const std::size_t close = line.find('}');
      Check(close != std::string_view::npos);
      const std::string_view digits = line.substr(0, close);
      if (known) {
        unsigned value = 0;
        Check(ReadNumber(digits, p.SI, value) && value != 0);
        codes.push_back(static_cast<char>(value));
      } else {
        Check(digits.empty());
      }
      ++count;
      line.remove_prefix(close + 1);
      // The separator stands between two data only.
      if (line.starts_with(",")) {
        line.remove_prefix(1);
        Check(line.starts_with("{"));
      }
    }
    Check(count > 0);
    Check(line.starts_with(">"));
    line.remove_prefix(1);
    if (notes) {
      Check(line == " #" + std::to_string(count));
    } else {
      Check(line.empty());
    }
    if (p.CountByte > 0 && p.PerenosPoSlovam != 1) {
      Check(count <= static_cast<std::size_t>(p.CountByte));
    }
  }
  return codes;
}

// The records of a text with custom characters: whole, each slot's rows 5
// dots wide, and a cell with a slot's code only where that slot holds a glyph.
void CheckRecords(const zeltrix::EngineText& text, const zeltrix::ProfileRecord& p) {
  const zeltrix::CgramSetup setup = zeltrix::CgramSetupOf(p);
  const std::string records = zeltrix::MakeCgramRecords(text, setup);
  const std::size_t size = zeltrix::CgramRecordSize(setup.geometry);
  Check(records.size() % size == 0);
  for (std::size_t at = 0; at < records.size(); at += size) {
    const std::string_view record = std::string_view(records).substr(at, size);
    for (std::size_t i = 0; i < zeltrix::kCgramRecordGlyphBytes; ++i) {
      Check(static_cast<unsigned char>(record[i]) <= 0x1F);
    }
    for (const char c : record.substr(zeltrix::kCgramRecordGlyphBytes)) {
      const auto code = static_cast<unsigned char>(c);
      if (code < setup.slotBase || code >= setup.slotBase + zeltrix::kCgramSlots) {
        Check(code >= 0x10);
        continue;
      }
      const std::string_view glyph = record.substr((code - setup.slotBase) * 8u, 8);
      Check(glyph.find_first_not_of('\0') != std::string_view::npos);
    }
  }
}

std::string WithoutSpaces(std::string codes) {
  std::erase(codes, '\x20');
  return codes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  zeltrix::ProfileRecord p;
  p.Ost1 = input.ConsumeIntegral<std::int32_t>();
  p.Ost2 = input.ConsumeIntegral<std::int32_t>();
  p.SI = input.ConsumeIntegralInRange<std::int32_t>(-1, 3);
  p.CommentState = input.ConsumeIntegralInRange<std::uint8_t>(0, 2);
  p.CountByte = input.ConsumeBool() ? input.ConsumeIntegral<std::int32_t>()
                                    : input.ConsumeIntegralInRange<std::int32_t>(-1, 40);
  p.PerenosPoSlovam = input.ConsumeIntegralInRange<std::uint8_t>(0, 2);
  p.CountByteToComment = input.ConsumeIntegralInRange<std::int32_t>(0, 2);
  p.DeleteSumbolError = input.ConsumeIntegralInRange<std::uint8_t>(0, 2);
  p.DeleteSpace = input.ConsumeIntegralInRange<std::uint8_t>(0, 2);
  p.CountSpace = input.ConsumeIntegral<std::uint8_t>();
  p.Rom = zeltrix::kCharacterRoms[input.ConsumeIntegralInRange<std::size_t>(0, 2)];
  p.LookAlikes = input.ConsumeBool() ? 1 : 0;
  if (input.ConsumeBool()) {
    p.Cgram = 1;
    p.CgramCodes = input.ConsumeBool() ? 0 : 8;
    p.Size = zeltrix::kLcdGeometries[input.ConsumeIntegralInRange<std::size_t>(
        0, zeltrix::kLcdGeometries.size() - 1)];
  }
  const bool cgram = p.Cgram == 1;
  const zeltrix::CharacterMap map = zeltrix::CharacterMapOf(p);
  const bool markers = input.ConsumeBool();
  if (markers) {
    p.Directive = "D";
    p.StartDataBlok = "<";
    p.EndDataBlok = ">";
    // Data of a few bytes, of more than a table slot, or of kilobytes.
    const std::size_t padding[] = {0, 40, 3000};
    p.StartData = "{" + std::string(padding[input.ConsumeIntegralInRange<int>(0, 2)], '=');
    p.EndData = "}";
    p.RazdelitelData = ",";
    p.Comment = "#";
  } else {
    // Texts as a profile file can hold them: anything but line ends.
    for (std::string* field : {&p.Directive, &p.StartDataBlok, &p.EndDataBlok, &p.StartData,
                               &p.EndData, &p.RazdelitelData, &p.Comment}) {
      *field = OneLine(input);
    }
  }
  p.Preview = 1;
  std::string text = input.ConsumeRemainingBytesAsString();
  // Data of kilobytes make every character cost a page of output: a short
  // text exercises them as well and keeps the runs quick.
  if (p.StartData.size() > 1000 && text.size() > 256) text.resize(256);

  const std::string out = zeltrix::ConvertText(text, p);
  Lines(out);
  StringSink sink;
  zeltrix::ConvertTextTo(text, p, sink);
  Check(sink.text == out);
  StringSink owned;
  zeltrix::ConvertOwnedTextTo(std::string(text), p, owned);
  Check(owned.text == out);

  // The character path gives the same lines, in UTF-8.
  const std::u32string characters = zeltrix::CodePageToUtf32(zeltrix::CodePage::Cp1251, text);
  const std::string utf8Out = zeltrix::ConvertText(std::u32string_view(characters), p);
  Check(utf8Out == zeltrix::Cp1251ToUtf8(out));
  StringSink characterSink;
  zeltrix::ConvertOwnedTextTo(std::u32string(characters), p, characterSink);
  Check(characterSink.text == utf8Out);

  const bool known = p.SI >= zeltrix::kBinary && p.SI <= zeltrix::kHexadecimal;
  if (cgram) {
    CheckRecords(zeltrix::EngineText::FromCp1251(text), p);
  } else if (markers && known) {
    std::string expected;
    for (const char c : text) {
      if (map.Shows(c)) expected.push_back(static_cast<char>(map.Map(c).code));
    }
    Check(WithoutSpaces(ReadDataLines(out, p)) == WithoutSpaces(expected));
  } else if (markers) {
    ReadDataLines(out, p);
  }

  // The text read as UTF-8, on whichever path it takes.
  if (zeltrix::IsValidUtf8(text)) {
    const zeltrix::EngineText engineText = zeltrix::EngineText::FromUtf8(text);
    const std::string lines = zeltrix::ConvertText(engineText, p);
    Check(zeltrix::IsValidUtf8(engineText.OnBytePath() ? zeltrix::Cp1251ToUtf8(lines) : lines));
    if (cgram) {
      Lines(lines);
      CheckRecords(engineText, p);
    } else if (markers && known && !engineText.OnBytePath()) {
      std::string expected;
      for (const char32_t c : *engineText.Characters()) {
        if (map.Shows(c)) expected.push_back(static_cast<char>(map.Map(c).code));
      }
      Check(WithoutSpaces(ReadDataLines(lines, p)) == WithoutSpaces(expected));
    } else {
      Lines(lines);
    }
  }
  return 0;
}
