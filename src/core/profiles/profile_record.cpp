#include "core/profiles/profile_record.h"

#include <type_traits>

#include "core/settings/settings_file.h"

namespace zeltrix {
namespace {

constexpr std::string_view kOpen = "[String]";
constexpr std::string_view kClose = "[/String]";

void RemoveAll(std::string& text, std::string_view marker) {
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(marker, from)) != std::string::npos;
       from = at + marker.size()) {
    out.append(text, from, at - from);
  }
  out.append(text, from, std::string::npos);
  text = std::move(out);
}

std::uint8_t Low8(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

}  // namespace

std::string WrapText(std::string_view value) {
  std::string out;
  out.reserve(kOpen.size() + value.size() + kClose.size());
  out.append(kOpen).append(value).append(kClose);
  return out;
}

std::string UnwrapText(std::string_view stored) {
  std::string value(stored);
  if (value.empty()) return value;
  const bool hasOpen = value.find(kOpen) != std::string::npos;
  // The closing marker counts only from the eighth character on.
  const bool hasClose = value.size() > 7 && value.find(kClose, 7) != std::string::npos;
  if (hasOpen) RemoveAll(value, kOpen);
  if (hasClose) RemoveAll(value, kClose);
  return value;
}

namespace {

// The stored fields under their keys, in the order of kProfileKeys (which the
// default database is written from too), each with the value a missing
// number key reads as (a missing text reads as empty). Reading and writing
// both walk this one list.
template <class Record, class Visit>
void ForEachStoredField(Record& r, Visit&& visit) {
  visit(kProfileKeys[0], r.Ost1, 2);
  visit(kProfileKeys[1], r.Ost2, 2);
  visit(kProfileKeys[2], r.Directive, 0);
  visit(kProfileKeys[3], r.StartDataBlok, 0);
  visit(kProfileKeys[4], r.EndDataBlok, 0);
  visit(kProfileKeys[5], r.StartData, 0);
  visit(kProfileKeys[6], r.SI, 2);
  visit(kProfileKeys[7], r.EndData, 0);
  visit(kProfileKeys[8], r.RazdelitelData, 0);
  visit(kProfileKeys[9], r.Comment, 0);
  visit(kProfileKeys[10], r.CommentState, 0);
  visit(kProfileKeys[11], r.CountByte, 0);
  visit(kProfileKeys[12], r.PerenosPoSlovam, 0);
  visit(kProfileKeys[13], r.CountByteToComment, 0);
  visit(kProfileKeys[14], r.DeleteSumbolError, 0);
  visit(kProfileKeys[15], r.DeleteSpace, 0);
  visit(kProfileKeys[16], r.CountSpace, 2);
}

template <class Field>
constexpr bool kIsText = std::is_same_v<std::remove_cvref_t<Field>, std::string>;

// What a stored number of a one-byte optional field reads as.
using ReadsAs = std::uint8_t (*)(std::int32_t stored);
std::uint8_t OneOrZero(std::int32_t stored) { return stored == 1 ? 1 : 0; }
std::uint8_t ZeroOrEight(std::int32_t stored) { return stored == 0 ? 0 : 8; }

// The optional fields under their keys, in the order of kOptionalProfileKeys,
// each with its default and, for a number, what a stored value reads as.
template <class Record, class Visit>
void ForEachOptionalField(Record& r, Visit&& visit) {
  visit(kOptionalProfileKeys[0], r.Rom, CharacterRom::Cyrillic, nullptr);
  visit(kOptionalProfileKeys[1], r.LookAlikes, std::uint8_t{0}, &Low8);
  visit(kOptionalProfileKeys[2], r.Layout, HexLayout::Plain, nullptr);
  visit(kOptionalProfileKeys[3], r.Cgram, std::uint8_t{0}, &OneOrZero);
  visit(kOptionalProfileKeys[4], r.CgramCodes, std::uint8_t{8}, &ZeroOrEight);
  visit(kOptionalProfileKeys[5], r.Size, kDefaultLcdGeometry, nullptr);
}

// How each type of optional field is stored: a ROM by its name, a size as
// "16x2", a number in decimal (LookAlikes keeping the low eight bits, as the
// one-byte fields of the 17 do).
void ReadOptional(SettingsFile& file, std::string_view key, CharacterRom& field,
                  CharacterRom missing, ReadsAs) {
  field = RomNamed(file.ReadText(key, RomName(missing))).value_or(CharacterRom::Cyrillic);
}

void ReadOptional(SettingsFile& file, std::string_view key, HexLayout& field, HexLayout missing,
                  ReadsAs) {
  field = HexLayoutNamed(file.ReadText(key, HexLayoutStoredName(missing))).value_or(missing);
}

void ReadOptional(SettingsFile& file, std::string_view key, LcdGeometry& field, LcdGeometry missing,
                  ReadsAs) {
  field = ParseGeometry(file.ReadText(key, GeometryName(missing))).value_or(kDefaultLcdGeometry);
}

// A value that is no number (empty, letters) reads as the field's default,
// so that a damaged CgramCodes keeps the codes that are never 0.
void ReadOptional(SettingsFile& file, std::string_view key, std::uint8_t& field,
                  std::uint8_t missing, ReadsAs readsAs) {
  const std::string text = file.ReadText(key, "");
  const std::size_t digit = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  const bool number = digit < text.size() && text[digit] >= '0' && text[digit] <= '9';
  field = number ? readsAs(file.ReadNumber(key, missing)) : missing;
}

void WriteOptional(SettingsFile& file, std::string_view key, CharacterRom field) {
  file.WriteText(key, RomName(field));
}

void WriteOptional(SettingsFile& file, std::string_view key, HexLayout field) {
  file.WriteText(key, HexLayoutStoredName(field));
}

void WriteOptional(SettingsFile& file, std::string_view key, LcdGeometry field) {
  file.WriteText(key, GeometryName(field));
}

void WriteOptional(SettingsFile& file, std::string_view key, std::uint8_t field) {
  file.WriteNumber(key, field);
}

// A value never holds a line break, so this default shows that the key is missing.
bool HoldsKey(SettingsFile& file, std::string_view key) { return file.ReadText(key, "\n") != "\n"; }

}  // namespace

void ReadProfileFields(SettingsFile& file, ProfileRecord& record) {
  ForEachStoredField(record, [&](std::string_view key, auto& field, std::int32_t missing) {
    using Field = std::remove_cvref_t<decltype(field)>;
    if constexpr (kIsText<Field>) {
      field = UnwrapText(file.ReadText(key, ""));
    } else if constexpr (std::is_same_v<Field, std::uint8_t>) {
      // The one-byte fields keep the low eight bits of what is stored.
      field = Low8(file.ReadNumber(key, missing));
    } else {
      field = file.ReadNumber(key, missing);
    }
  });
  ForEachOptionalField(record,
                       [&](std::string_view key, auto& field, auto missing, ReadsAs readsAs) {
                         ReadOptional(file, key, field, missing, readsAs);
                       });
}

void WriteProfileFields(SettingsFile& file, const ProfileRecord& record) {
  ForEachStoredField(record, [&](std::string_view key, const auto& field, std::int32_t) {
    if constexpr (kIsText<decltype(field)>) {
      file.WriteText(key, WrapText(field));
    } else {
      file.WriteNumber(key, field);
    }
  });
  ForEachOptionalField(record, [&](std::string_view key, const auto& field, auto missing, ReadsAs) {
    // A key the group holds already is written even with its default: left
    // alone, its old value would still be read.
    if (field != missing || HoldsKey(file, key)) WriteOptional(file, key, field);
  });
}

}  // namespace zeltrix
