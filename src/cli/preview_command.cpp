// zeltrix-cli preview: one screen of a text as the display shows it, as dots
// for a terminal, as a plain PBM bitmap or as a PNG picture of the module.
#include <QBuffer>
#include <QCommandLineParser>
#include <QImage>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/display_options.h"
#include "core/lcd/cgram_plan.h"
#include "core/lcd/lcd_screen.h"
#include "core/lcd/module_image.h"
#include "core/lcd/screen_layout.h"

namespace zeltrix::cli {
namespace {

enum class PreviewFormat { Text, Pbm, Png };

// A lit dot is "#" (text) or "1" (PBM), one line per dot row.
std::string DotLines(const DotBitmap& bitmap, char lit, char dark) {
  std::string out;
  out.reserve(static_cast<std::size_t>(bitmap.width + 1) * bitmap.height);
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) out.push_back(bitmap.Lit(x, y) ? lit : dark);
    out.push_back('\n');
  }
  return out;
}

CliResult<std::string> PngBytes(const DotBitmap& bitmap, LcdGeometry geometry,
                                const LcdTheme& theme, int scale,
                                const std::vector<std::pair<int, int>>& markedCells) {
  const RgbImage picture = DrawModule(bitmap, geometry, theme, scale, markedCells);
  const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                     picture.height, picture.width * 4, QImage::Format_ARGB32);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return Failed("не удалось построить изображение PNG");
  return bytes.toStdString();
}

CliResult<PreviewFormat> FormatOption(const QCommandLineParser& parser,
                                      const QCommandLineOption& format, const QString& output) {
  if (parser.isSet(format)) {
    const QString value = parser.value(format).toLower();
    if (value == "text") return PreviewFormat::Text;
    if (value == "pbm") return PreviewFormat::Pbm;
    if (value == "png") return PreviewFormat::Png;
    return Usage("неизвестный формат \"" + parser.value(format).toStdString() +
                 "\" у параметра --format (можно: text, pbm, png)");
  }
  if (output.endsWith(".png", Qt::CaseInsensitive)) return PreviewFormat::Png;
  if (output.endsWith(".pbm", Qt::CaseInsensitive)) return PreviewFormat::Pbm;
  return PreviewFormat::Text;
}

CliResult<int> NumberOption(const QString& value, const char* option, int low, int high) {
  bool ok = false;
  const int number = value.toInt(&ok);
  if (!ok || number < low || number > high) {
    return Usage("неверное число \"" + value.toStdString() + "\" у параметра " + option +
                 " (нужно от " + std::to_string(low) + " до " + std::to_string(high) + ")");
  }
  return number;
}

// The theme a --theme value names; never null.
CliResult<const LcdTheme*> ThemeOption(const QString& value) {
  if (const LcdTheme* theme = FindLcdTheme(value.toStdString())) return theme;
  std::string ids;
  for (const LcdTheme& theme : LcdThemes())
    ids += (ids.empty() ? "" : ", ") + std::string(theme.id);
  return Usage("неизвестная тема \"" + value.toStdString() +
               "\" у параметра --theme (можно: " + ids + " или название темы из окна)");
}

struct Options {
  QCommandLineOption page{"page", "номер экрана, с 1 (по умолчанию 1)", "N", "1"};
  QCommandLineOption format{"format",
                            "text - точки знаками \"#\" и \".\"; pbm - простой PBM (P1), 1 - "
                            "горящая точка; png - рисунок модуля. По умолчанию: png, если ВЫХОД "
                            "оканчивается на .png, pbm - на .pbm, иначе text",
                            "ФОРМАТ"};
  QCommandLineOption theme{"theme",
                           "цвет модуля для png: yellow-green (по умолчанию), blue, "
                           "white-on-black, amber или название темы из окна",
                           "ТЕМА"};
  QCommandLineOption scale{"scale", "масштаб рисунка png, от 1 до 8 (по умолчанию 3)", "N", "3"};
  QCommandLineOption codes{"codes",
                           "вместо текста показать коды от ОТ до ДО (0x20-0xFF - все, что "
                           "пишет probe) так, как их показывает индикатор после probe: строка "
                           "экрана за строкой, по ширине экрана",
                           "ОТ-ДО"};
  QCommandLineOption markCgram{"mark-cgram",
                               "в рисунке png обвести тонкой рамкой клетки, которые показывают "
                               "свои знаки (коды 0x00-0x0F)"};
  ProfileOptions source{kProfileDescription};
  RomOptions display{kRomDefault};
  CgramOptions cgram{kSizeDefault};
  QCommandLineOption encoding{"encoding", "кодировка входа, как у convert", "КОД", "auto"};
  QCommandLineOption output{
      {"o", "output"}, "файл результата (без него - стандартный вывод)", "ВЫХОД"};

  QList<QCommandLineOption> All() const {
    return QList<QCommandLineOption>{page, format, theme, scale, codes, markCgram} + source.All() +
           display.All() + cgram.All() + QList<QCommandLineOption>{encoding, output};
  }
};

// The screen of the codes as probe writes them: row after row of the width.
ScreenPage CodesScreen(const std::vector<std::string>& rows, LcdGeometry geometry,
                       std::size_t screen) {
  ScreenPage page;
  const auto height = static_cast<std::size_t>(geometry.rows);
  for (std::size_t r = screen * height; r < rows.size() && r < (screen + 1) * height; ++r) {
    LcdRow row;
    row.line = r;
    row.length = rows[r].size();
    row.codes = rows[r];
    page.rows.push_back(std::move(row));
  }
  return page;
}

// The screen's dots in the format chosen: rows of # and ., a PBM picture or a PNG one.
CliResult<std::string> PictureBytes(PreviewFormat format, const DotBitmap& bitmap,
                                    LcdGeometry geometry, const LcdTheme& theme, int zoom,
                                    const std::vector<std::pair<int, int>>& marked) {
  switch (format) {
    case PreviewFormat::Text:
      return DotLines(bitmap, '#', '.');
    case PreviewFormat::Pbm:
      return "P1\n" + std::to_string(bitmap.width) + " " + std::to_string(bitmap.height) + "\n" +
             DotLines(bitmap, '1', '0');
    case PreviewFormat::Png:
      return PngBytes(bitmap, geometry, theme, zoom, marked);
  }
  return std::string();
}

CliStatus Run(const QStringList& arguments, Context& context) {
  const Options o;
  QCommandLineParser parser;
  if (const CliStatus parsed = ParseOrFail(parser, o.All(), arguments); !parsed) return parsed;
  const CliResult<QString> input = SingleInput(parser);
  if (!input) return Failure{input.Reason()};
  // A page number past any text is still a number; whether that screen exists
  // is known only once the text is read.
  const CliResult<int> screen = NumberOption(parser.value(o.page), "--page", 1, 1 << 30);
  if (!screen) return Failure{screen.Reason()};
  const CliResult<PreviewFormat> chosen = FormatOption(parser, o.format, parser.value(o.output));
  if (!chosen) return Failure{chosen.Reason()};
  const CliResult<const LcdTheme*> chosenTheme =
      parser.isSet(o.theme) ? ThemeOption(parser.value(o.theme)) : &LcdThemes().front();
  if (!chosenTheme) return Failure{chosenTheme.Reason()};
  const CliResult<int> zoom =
      NumberOption(parser.value(o.scale), "--scale", kMinLcdScale, kMaxLcdScale);
  if (!zoom) return Failure{zoom.Reason()};
  const CliResult<std::optional<TextEncoding>> inputEncoding =
      ParseEncoding(parser.value(o.encoding), "--encoding", true);
  if (!inputEncoding) return Failure{inputEncoding.Reason()};
  const auto codes = GivenValue<CodeRange>(parser, o.codes, CodesOption);
  if (!codes) return Failure{codes.Reason()};
  const std::optional<CodeRange>& range = *codes;
  if (range && !parser.positionalArguments().isEmpty()) {
    return Usage("параметр --codes нельзя указывать вместе с ВХОДОМ");
  }
  // The codes are shown as they are: there is no text to plan slots for.
  if (range && parser.isSet(o.cgram.cgram)) {
    return Usage("параметр --cgram нельзя указывать вместе с --codes");
  }
  // Frames are drawn in the glass between cells, which only the picture has.
  if (parser.isSet(o.markCgram) && *chosen != PreviewFormat::Png) {
    return Usage("параметр --mark-cgram применим только к рисунку png");
  }
  if (const CliStatus checked = o.display.Check(parser); !checked) return checked;
  if (const CliStatus checked = o.cgram.Check(parser); !checked) return checked;
  const CliResult<ProfileRecord> profile =
      DisplayProfile(o.source, o.display, o.cgram, parser, context);
  if (!profile) return Failure{profile.Reason()};
  const LcdGeometry geometry = profile->Size;
  LcdScreen lcd(geometry, profile->Rom);

  const auto index = static_cast<std::size_t>(*screen) - 1;
  ScreenPage page;
  if (range) {
    const std::vector<std::string> rows = CodeRows(*range, geometry.columns);
    page = CodesScreen(rows, geometry, index);
    if (page.rows.empty()) {
      const std::size_t screens = (rows.size() + static_cast<std::size_t>(geometry.rows) - 1) /
                                  static_cast<std::size_t>(geometry.rows);
      return Failed("экрана " + std::to_string(*screen) +
                    " нет: коды занимают экранов: " + std::to_string(screens));
    }
  } else {
    CliResult<InputText> read = ReadInputText(*input, *inputEncoding, context.console);
    if (!read) return Failure{read.Reason()};
    const EngineText text = std::move(read->text);
    std::optional<CgramReport> report;
    if (profile->Cgram == 1) {
      // The screen as planned after the ones before it, its slots loaded.
      CgramScreen planned = PlanCgramScreen(text, CgramSetupOf(*profile), index);
      page = std::move(planned.page);
      lcd.SetSlots(planned.Glyphs());
      report = std::move(planned.report);
    } else {
      page = LayOutScreen(text, geometry, index, CharacterMapOf(*profile));
    }
    // A screen past the text's end has no rows; only then is the text
    // counted, for the message.
    if (page.rows.empty()) {
      return Failed("экрана " + std::to_string(*screen) + " нет: текст занимает экранов: " +
                    std::to_string(CountScreens(text, geometry)));
    }
    if (report) ReportCgram({*report}, context.console);
  }
  const DotBitmap bitmap = lcd.Render(page);
  const std::vector<std::pair<int, int>> marked =
      parser.isSet(o.markCgram) ? SlotCells(page, geometry) : std::vector<std::pair<int, int>>{};

  const CliResult<std::string> bytes =
      PictureBytes(*chosen, bitmap, geometry, **chosenTheme, *zoom, marked);
  if (!bytes) return Failure{bytes.Reason()};
  return WriteOutput(parser.value(o.output), *bytes, context.console);
}

}  // namespace

Command PreviewCommand() {
  return {"preview", [] { return Options().All(); },
          [] {
            return std::vector<HelpSection>{
                {{"preview [--size 16x2] [--page N] [--format text|pbm|png]",
                  "        [--theme ТЕМА] [--scale N] [--mark-cgram] [-p ИМЯ]",
                  "        [--profiles ФАЙЛ] [--rom cyrillic|a00|a02] [--look-alikes]",
                  "        [--no-look-alikes] [--cgram | --no-cgram] [--cgram-codes 0|8]",
                  "        [--encoding КОД] [-o ВЫХОД] [ВХОД | --codes ОТ-ДО]"},
                 "Показывает экран N текста ВХОДА так, как его покажет индикатор: каждая строка "
                 "текста занимает строку экрана, длинная строка обрезается по его ширине, "
                 "символы, которые индикатор не способен отобразить, пропускаются. Со своими "
                 "знаками они рисуются знаками CGRAM, как их распределяет план экранов, и "
                 "строка в стандартном потоке ошибок говорит, если экрану не хватает 8 знаков. "
                 "С --codes показывает вместо текста сами коды, как их пишет probe.",
                 {"size", "page", "format", "theme", "scale", "mark-cgram", "codes", "profile",
                  "profiles", "rom", "look-alikes", "no-look-alikes", "cgram", "no-cgram",
                  "cgram-codes", "encoding", "output"}}};
          },
          Run};
}

}  // namespace zeltrix::cli
