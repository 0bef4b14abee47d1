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

std::optional<ProfileRecord> ProfileOptions::Load(const QCommandLineParser& parser,
                                                  Context& context) const {
  SettingsFile file;
  std::string name;
  if (parser.isSet(profile)) {
    const QString given = parser.value(profile);
    const std::optional<std::string> typed = ProfileNameArgument(given);
    if (!typed) Fail("Профиль \"" + given.toStdString() + "\" не найден!");
    name = *typed;
  } else {
    const std::string path = OpenProfileSource(file, parser.value(profiles),
                                               context.programDirectory, ProfileSourcePart::Names);
    WarnUnreadableNames(file, path, context.console);
    const std::vector<std::string> names = ProfileNames(file);
    if (names.empty()) Fail("В файле профилей нет ни одного профиля");
    name = names.front();
  }
  OpenProfileSourceGroup(file, parser.value(profiles), context.programDirectory, name);
  ProfileRecord record;
  StderrPrompter prompter(context.console);
  if (LoadProfileFrom(file, name, record, prompter) != kLoadDone) return std::nullopt;
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

CharacterRom RomValue(const QString& value) {
  const std::optional<CharacterRom> rom = RomNamed(value.toStdString());
  if (!rom) {
    UsageError("неизвестное ПЗУ \"" + value.toStdString() +
               "\" у параметра --rom (можно: cyrillic, a00, a02)");
  }
  return *rom;
}

void RomOptions::Check(const QCommandLineParser& parser) const {
  if (parser.isSet(rom)) RomValue(parser.value(rom));
  if (parser.isSet(lookAlikes) && parser.isSet(noLookAlikes)) {
    UsageError("параметры --look-alikes и --no-look-alikes нельзя указывать вместе");
  }
}

void RomOptions::ApplyTo(const QCommandLineParser& parser, ProfileRecord& profile) const {
  if (parser.isSet(rom)) profile.Rom = RomValue(parser.value(rom));
  if (parser.isSet(lookAlikes)) profile.LookAlikes = 1;
  if (parser.isSet(noLookAlikes)) profile.LookAlikes = 0;
}

std::optional<ProfileRecord> DisplayProfile(const ProfileOptions& source, const RomOptions& display,
                                            const QCommandLineParser& parser, Context& context) {
  ProfileRecord profile;
  if (source.Given(parser)) {
    std::optional<ProfileRecord> loaded = source.Load(parser, context);
    if (!loaded) return std::nullopt;
    profile = std::move(*loaded);
  }
  display.ApplyTo(parser, profile);
  return profile;
}

std::optional<CharacterMap> DisplayMap(const ProfileOptions& source, const RomOptions& display,
                                       const QCommandLineParser& parser, Context& context) {
  const std::optional<ProfileRecord> profile = DisplayProfile(source, display, parser, context);
  if (!profile) return std::nullopt;
  return CharacterMapOf(*profile);
}

LcdGeometry SizeOption(const QString& value) {
  if (const std::optional<LcdGeometry> geometry = ParseGeometry(value.toStdString())) {
    return *geometry;
  }
  std::string sizes;
  for (const LcdGeometry& geometry : kLcdGeometries) {
    sizes += (sizes.empty() ? "" : ", ") + GeometryName(geometry);
  }
  UsageError("неверный размер экрана \"" + value.toStdString() +
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

CodeRange CodesOption(const QString& value) {
  const QStringList bounds = value.split('-');
  std::optional<unsigned> first;
  std::optional<unsigned> last;
  if (bounds.size() <= 2) {
    first = Code(bounds.first());
    last = bounds.size() == 2 ? Code(bounds.last()) : first;
  }
  if (!first || !last || *first > *last) {
    UsageError("неверные коды \"" + value.toStdString() +
               "\" у параметра --codes (нужно ОТ-ДО от 0 до 255, например 0x20-0xFF)");
  }
  return {*first, *last};
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
