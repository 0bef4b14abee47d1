// zeltrix-cli preview: one screen of a text as the display shows it, as dots
// for a terminal, as a plain PBM bitmap or as a PNG picture of the module.
#include <QBuffer>
#include <QCommandLineParser>
#include <QImage>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/display_options.h"
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

std::string PngBytes(const DotBitmap& bitmap, LcdGeometry geometry, const LcdTheme& theme,
                     int scale) {
  const RgbImage picture = DrawModule(bitmap, geometry, theme, scale);
  const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                     picture.height, picture.width * 4, QImage::Format_ARGB32);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) Fail("не удалось построить изображение PNG");
  return bytes.toStdString();
}

PreviewFormat FormatOption(const QCommandLineParser& parser, const QCommandLineOption& format,
                           const QString& output) {
  if (parser.isSet(format)) {
    const QString value = parser.value(format).toLower();
    if (value == "text") return PreviewFormat::Text;
    if (value == "pbm") return PreviewFormat::Pbm;
    if (value == "png") return PreviewFormat::Png;
    UsageError("неизвестный формат \"" + parser.value(format).toStdString() +
               "\" у параметра --format (можно: text, pbm, png)");
  }
  if (output.endsWith(".png", Qt::CaseInsensitive)) return PreviewFormat::Png;
  if (output.endsWith(".pbm", Qt::CaseInsensitive)) return PreviewFormat::Pbm;
  return PreviewFormat::Text;
}

int NumberOption(const QString& value, const char* option, int low, int high) {
  bool ok = false;
  const int number = value.toInt(&ok);
  if (!ok || number < low || number > high) {
    UsageError("неверное число \"" + value.toStdString() + "\" у параметра " + option +
               " (нужно от " + std::to_string(low) + " до " + std::to_string(high) + ")");
  }
  return number;
}

const LcdTheme& ThemeOption(const QString& value) {
  if (const LcdTheme* theme = FindLcdTheme(value.toStdString())) return *theme;
  std::string ids;
  for (const LcdTheme& theme : LcdThemes())
    ids += (ids.empty() ? "" : ", ") + std::string(theme.id);
  UsageError("неизвестная тема \"" + value.toStdString() + "\" у параметра --theme (можно: " + ids +
             " или название темы из окна)");
}

struct Options {
  QCommandLineOption size{"size",
                          "размер индикатора: 8x1, 8x2, 16x1, 16x2 (по умолчанию), 16x4, 20x2, "
                          "20x4, 24x2, 40x2, 40x4",
                          "РАЗМЕР", "16x2"};
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
  ProfileOptions source{kProfileDescription};
  RomOptions display{kRomDefault};
  QCommandLineOption encoding{"encoding", "кодировка входа, как у convert", "КОД", "auto"};
  QCommandLineOption output{
      {"o", "output"}, "файл результата (без него - стандартный вывод)", "ВЫХОД"};

  QList<QCommandLineOption> All() const {
    return QList<QCommandLineOption>{size, page, format, theme, scale, codes} + source.All() +
           display.All() + QList<QCommandLineOption>{encoding, output};
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

int Run(const QStringList& arguments, Context& context) {
  const Options o;
  QCommandLineParser parser;
  ParseOrFail(parser, o.All(), arguments);
  const QString input = SingleInput(parser);
  const LcdGeometry geometry = SizeOption(parser.value(o.size));
  // A page number past any text is still a number; whether that screen exists
  // is known only once the text is read.
  const int screen = NumberOption(parser.value(o.page), "--page", 1, 1 << 30);
  const PreviewFormat chosen = FormatOption(parser, o.format, parser.value(o.output));
  const LcdTheme& chosenTheme =
      parser.isSet(o.theme) ? ThemeOption(parser.value(o.theme)) : LcdThemes().front();
  const int zoom = NumberOption(parser.value(o.scale), "--scale", kMinLcdScale, kMaxLcdScale);
  const std::optional<TextEncoding> inputEncoding =
      ParseEncoding(parser.value(o.encoding), "--encoding", true);
  const std::optional<CodeRange> range =
      parser.isSet(o.codes) ? std::optional(CodesOption(parser.value(o.codes))) : std::nullopt;
  if (range && !parser.positionalArguments().isEmpty()) {
    UsageError("параметр --codes нельзя указывать вместе с ВХОДОМ");
  }
  o.display.Check(parser);
  const std::optional<CharacterMap> map = DisplayMap(o.source, o.display, parser, context);
  if (!map) return kExitFailure;

  const auto index = static_cast<std::size_t>(screen) - 1;
  ScreenPage page;
  if (range) {
    const std::vector<std::string> rows = CodeRows(*range, geometry.columns);
    page = CodesScreen(rows, geometry, index);
    if (page.rows.empty()) {
      const std::size_t screens = (rows.size() + static_cast<std::size_t>(geometry.rows) - 1) /
                                  static_cast<std::size_t>(geometry.rows);
      Fail("экрана " + std::to_string(screen) +
           " нет: коды занимают экранов: " + std::to_string(screens));
    }
  } else {
    const EngineText text = std::move(ReadInputText(input, inputEncoding, context.console).text);
    page = LayOutScreen(text, geometry, index, *map);
    // A screen past the text's end has no rows; only then is the text
    // counted, for the message.
    if (page.rows.empty()) {
      Fail("экрана " + std::to_string(screen) +
           " нет: текст занимает экранов: " + std::to_string(CountScreens(text, geometry)));
    }
  }
  const DotBitmap bitmap = LcdScreen(geometry, map->Rom()).Render(page);

  std::string bytes;
  switch (chosen) {
    case PreviewFormat::Text:
      bytes = DotLines(bitmap, '#', '.');
      break;
    case PreviewFormat::Pbm:
      bytes = "P1\n" + std::to_string(bitmap.width) + " " + std::to_string(bitmap.height) + "\n" +
              DotLines(bitmap, '1', '0');
      break;
    case PreviewFormat::Png:
      bytes = PngBytes(bitmap, geometry, chosenTheme, zoom);
      break;
  }
  WriteOutput(parser.value(o.output), bytes, context.console);
  return kExitOk;
}

}  // namespace

Command PreviewCommand() {
  return {"preview", [] { return Options().All(); },
          [] {
            return std::vector<HelpSection>{
                {{"preview [--size 16x2] [--page N] [--format text|pbm|png]",
                  "        [--theme ТЕМА] [--scale N] [-p ИМЯ] [--profiles ФАЙЛ]",
                  "        [--rom cyrillic|a00|a02] [--look-alikes]",
                  "        [--no-look-alikes] [--encoding КОД] [-o ВЫХОД]",
                  "        [ВХОД | --codes ОТ-ДО]"},
                 "Показывает экран N текста ВХОДА так, как его покажет индикатор: каждая строка "
                 "текста занимает строку экрана, длинная строка обрезается по его ширине, "
                 "символы, которые индикатор не способен отобразить, пропускаются. С --codes "
                 "показывает вместо текста сами коды, как их пишет probe.",
                 {"size", "page", "format", "theme", "scale", "codes", "profile", "profiles", "rom",
                  "look-alikes", "no-look-alikes", "encoding", "output"}}};
          },
          Run};
}

}  // namespace zeltrix::cli
