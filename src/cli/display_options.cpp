#include "cli/display_options.h"

#include "cli/cli_common.h"
#include "cli/profile_source.h"
#include "core/profiles/profile_database.h"

namespace zeltrix::cli {

ProfileOptions::ProfileOptions(const QString& profileDescription)
    : profile({"p", "profile"}, profileDescription, "ИМЯ"),
      profiles("profiles",
               "файл профилей (по умолчанию Profile.prof рядом с программой или, если она "
               "установлена, в ~/.config/Zeltrix, а если его нет - три стандартных профиля)",
               "ФАЙЛ") {}

bool ProfileOptions::Given(const QCommandLineParser& parser) const {
  return parser.isSet(profile) || parser.isSet(profiles);
}

CliResult<ProfileRecord> ProfileOptions::Load(const QCommandLineParser& parser,
                                              Context& context) const {
  SettingsFile file;
  std::string name;
  if (parser.isSet(profile)) {
    const QString given = parser.value(profile);
    const std::optional<std::string> typed = ProfileNameArgument(given);
    if (!typed) return Failed("Профиль \"" + given.toStdString() + "\" не найден!");
    name = *typed;
  } else {
    const CliResult<std::string> path = OpenProfileSource(
        file, parser.value(profiles), context.programDirectory, ProfileSourcePart::Names);
    if (!path) return Failure{path.Reason()};
    WarnUnreadableNames(file, *path, context.console);
    const std::vector<std::string> names = ProfileNames(file);
    if (names.empty()) return Failed("В файле профилей нет ни одного профиля");
    name = names.front();
  }
  const CliResult<std::string> opened =
      OpenProfileSourceGroup(file, parser.value(profiles), context.programDirectory, name);
  if (!opened) return Failure{opened.Reason()};
  ProfileRecord record;
  StderrPrompter prompter(context.console);
  if (const Status loaded = LoadProfileFrom(file, name, record); !loaded) {
    prompter.Show(loaded.Reason());
    return Reported();
  }
  return record;
}

RomOptions::RomOptions(const QString& romDefault)
    : rom("rom",
          "ПЗУ знакогенератора индикатора: cyrillic (латиница и кириллица), a00 (латиница, "
          "японская катакана, знаки), a02 (латиница, буквы европейских языков, греческие, часть "
          "кириллицы); " +
              romDefault,
          "ПЗУ"),
      lookAlikes("look-alikes",
                 "символ, которого нет в ПЗУ, показывать похожим символом ПЗУ (русская А - "
                 "латинской A, тире - дефисом), если ПЗУ его знает; без этого и "
                 "--no-look-alikes - как в профиле"),
      noLookAlikes("no-look-alikes",
                   "символ, которого нет в ПЗУ, не показывать, даже если профиль разрешает "
                   "похожие символы") {}

CliResult<CharacterRom> RomValue(const QString& value) {
  const std::optional<CharacterRom> rom = RomNamed(value.toStdString());
  if (!rom) {
    return Usage("неизвестное ПЗУ \"" + value.toStdString() +
                 "\" у параметра --rom (можно: cyrillic, a00, a02)");
  }
  return *rom;
}

CliStatus RomOptions::Check(const QCommandLineParser& parser) const {
  if (parser.isSet(rom)) {
    if (const CliResult<CharacterRom> value = RomValue(parser.value(rom)); !value) {
      return Failure{value.Reason()};
    }
  }
  if (parser.isSet(lookAlikes) && parser.isSet(noLookAlikes)) {
    return Usage("параметры --look-alikes и --no-look-alikes нельзя указывать вместе");
  }
  return {};
}

CliStatus RomOptions::ApplyTo(const QCommandLineParser& parser, ProfileRecord& profile) const {
  if (parser.isSet(rom)) {
    const CliResult<CharacterRom> value = RomValue(parser.value(rom));
    if (!value) return Failure{value.Reason()};
    profile.Rom = *value;
  }
  if (parser.isSet(lookAlikes)) profile.LookAlikes = 1;
  if (parser.isSet(noLookAlikes)) profile.LookAlikes = 0;
  return {};
}

CgramOptions::CgramOptions(const QString& sizeDefault)
    : cgram("cgram",
            "символы, которых нет в ПЗУ (после похожих символов), показывать своими знаками "
            "(CGRAM): не больше 8 разных на экран, остальные - заменами; без этого и "
            "--no-cgram - как в профиле"),
      noCgram("no-cgram", "не использовать свои знаки, даже если профиль их включает"),
      cgramCodes("cgram-codes",
                 "коды своих знаков: 8 - 0x08-0x0F, 0 - 0x00-0x07 (по умолчанию - как в "
                 "профиле, без профиля - 8)",
                 "0|8"),
      size("size",
           "размер индикатора, экран которого - единица своих знаков: 8x1, 8x2, 16x1, 16x2, "
           "16x4, 20x2, 20x4, 24x2, 40x2, 40x4; " +
               sizeDefault,
           "РАЗМЕР") {}

namespace {

CliResult<std::uint8_t> CgramCodesValue(const QString& value) {
  if (value == "0") return std::uint8_t{0};
  if (value == "8") return std::uint8_t{8};
  return Usage("неверные коды своих знаков \"" + value.toStdString() +
               "\" у параметра --cgram-codes (можно: 0, 8)");
}

}  // namespace

CliStatus CgramOptions::Check(const QCommandLineParser& parser) const {
  if (parser.isSet(cgram) && parser.isSet(noCgram)) {
    return Usage("параметры --cgram и --no-cgram нельзя указывать вместе");
  }
  if (parser.isSet(cgramCodes)) {
    if (const CliResult<std::uint8_t> codes = CgramCodesValue(parser.value(cgramCodes)); !codes) {
      return Failure{codes.Reason()};
    }
  }
  if (parser.isSet(size)) {
    if (const CliResult<LcdGeometry> geometry = SizeOption(parser.value(size)); !geometry) {
      return Failure{geometry.Reason()};
    }
  }
  return {};
}

CliStatus CgramOptions::ApplyTo(const QCommandLineParser& parser, ProfileRecord& profile) const {
  if (parser.isSet(cgram)) profile.Cgram = 1;
  if (parser.isSet(noCgram)) profile.Cgram = 0;
  if (parser.isSet(cgramCodes)) {
    const CliResult<std::uint8_t> codes = CgramCodesValue(parser.value(cgramCodes));
    if (!codes) return Failure{codes.Reason()};
    profile.CgramCodes = *codes;
  }
  if (parser.isSet(size)) {
    const CliResult<LcdGeometry> geometry = SizeOption(parser.value(size));
    if (!geometry) return Failure{geometry.Reason()};
    profile.Size = *geometry;
  }
  return {};
}

void ReportCgram(const std::vector<CgramReport>& reports, Console& console) {
  for (const CgramReport& report : reports) {
    const std::string line = CgramMessage(report);
    if (!line.empty()) console.Err("zeltrix-cli: " + line + "\n");
  }
}

CliResult<ProfileRecord> DisplayProfile(const ProfileOptions& source, const RomOptions& display,
                                        const CgramOptions& cgram, const QCommandLineParser& parser,
                                        Context& context) {
  ProfileRecord profile;
  if (source.Given(parser)) {
    CliResult<ProfileRecord> loaded = source.Load(parser, context);
    if (!loaded) return Failure{loaded.Reason()};
    profile = *std::move(loaded);
  }
  if (const CliStatus applied = display.ApplyTo(parser, profile); !applied) {
    return Failure{applied.Reason()};
  }
  if (const CliStatus applied = cgram.ApplyTo(parser, profile); !applied) {
    return Failure{applied.Reason()};
  }
  return profile;
}

CliResult<LcdGeometry> SizeOption(const QString& value) {
  if (const std::optional<LcdGeometry> geometry = ParseGeometry(value.toStdString())) {
    return *geometry;
  }
  std::string sizes;
  for (const LcdGeometry& geometry : kLcdGeometries) {
    sizes += (sizes.empty() ? "" : ", ") + GeometryName(geometry);
  }
  return Usage("неверный размер экрана \"" + value.toStdString() +
               "\" у параметра --size (можно: " + sizes + ")");
}

namespace {

// One code: 0x and one or two hex digits, or up to three decimal digits;
// nothing else.
std::optional<unsigned> Code(const QString& text) {
  const bool hex = text.startsWith("0x", Qt::CaseInsensitive);
  const QString digits = hex ? text.mid(2) : text;
  if (digits.isEmpty() || digits.size() > (hex ? 2 : 3)) return std::nullopt;
  unsigned value = 0;
  for (const QChar c : digits) {
    const char16_t u = c.unicode();
    unsigned digit = 16;
    if (u >= '0' && u <= '9') digit = u - '0';
    if (hex && u >= 'a' && u <= 'f') digit = u - 'a' + 10;
    if (hex && u >= 'A' && u <= 'F') digit = u - 'A' + 10;
    if (digit >= (hex ? 16U : 10U)) return std::nullopt;
    value = value * (hex ? 16 : 10) + digit;
  }
  if (value > 0xFF) return std::nullopt;
  return value;
}

}  // namespace

CliResult<CodeRange> CodesOption(const QString& value) {
  const QStringList bounds = value.split('-');
  std::optional<unsigned> first;
  std::optional<unsigned> last;
  if (bounds.size() <= 2) {
    first = Code(bounds.first());
    last = bounds.size() == 2 ? Code(bounds.last()) : first;
  }
  if (!first || !last || *first > *last) {
    return Usage("неверные коды \"" + value.toStdString() +
                 "\" у параметра --codes (нужно ОТ-ДО от 0 до 255, например 0x20-0xFF)");
  }
  return CodeRange{*first, *last};
}

std::vector<std::string> CodeRows(CodeRange range, int columns) {
  std::vector<std::string> rows;
  const auto width = static_cast<std::size_t>(columns);
  for (unsigned code = range.first; code <= range.last; ++code) {
    if (rows.empty() || rows.back().size() == width) rows.emplace_back();
    rows.back().push_back(static_cast<char>(code));
  }
  if (!rows.empty()) rows.back().resize(width, ' ');
  return rows;
}

}  // namespace zeltrix::cli
