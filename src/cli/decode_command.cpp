// zeltrix-cli decode: the text that the codes of a BIN or Intel HEX image
// show on the display.
#include <QCommandLineParser>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/display_options.h"
#include "cli/image_options.h"
#include "core/image/image_reader.h"
#include "core/io/utf8.h"
#include "core/lcd/code_decoder.h"

namespace zeltrix::cli {
namespace {

struct Options {
  QCommandLineOption rom{"rom",
                         "ПЗУ знакогенератора, которым читаются коды: cyrillic, a00 или a02 (по "
                         "умолчанию - ПЗУ профиля, без профиля - cyrillic)",
                         "ПЗУ"};
  QCommandLineOption from{"from",
                          "адрес первого читаемого байта образа (десятичное число, по умолчанию "
                          "0)",
                          "АДРЕС"};
  QCommandLineOption length{"length", "сколько байтов читать (по умолчанию - до конца образа)",
                            "N"};
  QCommandLineOption format{"format",
                            "bin - сами байты; hex - записи Intel HEX. По умолчанию: hex, если "
                            "ОБРАЗ оканчивается на .hex или .ihx, иначе bin",
                            "ФОРМАТ"};
  QCommandLineOption layout{"layout",
                            "размещение образа в файле Intel HEX, как у bin (по умолчанию - как "
                            "в профиле, без профиля - plain)",
                            "РАЗМЕЩЕНИЕ"};
  QCommandLineOption size{"size",
                          "размер индикатора, как у preview: с ним каждая строка экрана - "
                          "отдельная строка вывода",
                          "РАЗМЕР"};
  ProfileOptions source{
      "профиль, из которого берутся ПЗУ и размещение (без -p и --profiles - ПЗУ cyrillic и "
      "размещение plain, с одним --profiles - первый профиль файла); регистр латинских букв не "
      "важен"};
  QCommandLineOption outputEncoding{
      "output-encoding",
      "кодировка вывода: utf-8 (по умолчанию), cp1251, koi8-r или cp866; если в ней нет символа "
      "вывода, ничего не записывается",
      "КОД"};
  QCommandLineOption output{
      {"o", "output"}, "файл результата (без него - стандартный вывод)", "ВЫХОД"};

  QList<QCommandLineOption> All() const {
    return QList<QCommandLineOption>{rom, from, length, format, layout, size} + source.All() +
           QList<QCommandLineOption>{outputEncoding, output};
  }
};

// Addresses of an image go up to the last one an Intel HEX file has.
CliResult<std::uint32_t> AddressValue(const QString& value, const char* option, std::uint32_t low) {
  return NumberOption(value, low, 0xFFFFFFFF,
                      "неверное число \"" + value.toStdString() + "\" у параметра " + option +
                          " (нужно от " + std::to_string(low) + " до 4294967295)");
}

// The image the file holds, in the layout's terms for an Intel HEX file.
CliResult<SparseImage> ReadImage(const QString& name, ImageFileFormat format, HexLayout layout) {
  Result<std::string, FileStatus> bytes = ReadWholeFile(LocalPath(name));
  if (!bytes) {
    return Failed(
        WithReason("Не удалось открыть файл \"" + name.toStdString() + "\"", bytes.Reason()));
  }
  Result<SparseImage> image =
      ImageFromContent(name.toStdString(), std::move(*bytes), format, layout);
  if (!image) return Failed(image.Reason().text);
  return std::move(*image);
}

// The UTF-8 text in the encoding; a character it lacks fails the command,
// naming the character and its line.
CliResult<std::string> Encoded(const std::string& text, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return text;
  const CodePage page = CodePageOf(encoding);
  std::string encoded;
  encoded.reserve(text.size());
  std::size_t line = 1;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80 ? 1 : DecodeUtf8(text, i, c);
    const char byte = CodePointToCodePage(page, c);
    if (byte == kSubstituteByte && c != 0x1A) {
      return Failed(std::string("кодировка ") + EncodingName(encoding) +
                    " не может записать символ " + CharacterName(c) + " в строке " +
                    std::to_string(line) + " вывода; укажите --output-encoding utf-8");
    }
    if (c == '\n') ++line;
    encoded.push_back(byte);
    i += length == 0 ? 1 : length;
  }
  return encoded;
}

CliStatus Run(const QStringList& arguments, Context& context) {
  const Options o;
  QCommandLineParser parser;
  if (const CliStatus parsed = ParseOrFail(parser, o.All(), arguments); !parsed) return parsed;
  const CliResult<QString> given = SingleInput(parser);
  if (!given) return Failure{given.Reason()};
  const QString& file = *given;
  if (file.isEmpty()) return Usage("не указан файл образа");
  if (file == "-") return Usage("образ читается только из файла, не со стандартного ввода");
  const CliResult<ImageFileFormat> format = ImageFormatOption(parser, o.format, file);
  if (!format) return Failure{format.Reason()};
  if (const CliStatus refused = RefuseForBin(parser, o.layout, *format); !refused) return refused;
  // The layout and ROM given are checked here, and taken over the profile's
  // once that is loaded.
  const auto layoutGiven = GivenValue<HexLayout>(parser, o.layout, LayoutOption);
  if (!layoutGiven) return Failure{layoutGiven.Reason()};
  const auto romGiven = GivenValue<CharacterRom>(parser, o.rom, RomValue);
  if (!romGiven) return Failure{romGiven.Reason()};
  const auto fromGiven = GivenValue<std::uint32_t>(
      parser, o.from, [](const QString& value) { return AddressValue(value, "--from", 0); });
  if (!fromGiven) return Failure{fromGiven.Reason()};
  const std::uint64_t from = fromGiven->value_or(0);
  const auto lengthGiven = GivenValue<std::uint32_t>(
      parser, o.length, [](const QString& value) { return AddressValue(value, "--length", 1); });
  if (!lengthGiven) return Failure{lengthGiven.Reason()};
  const std::optional<std::uint64_t> length = *lengthGiven;
  const auto geometry = GivenValue<LcdGeometry>(parser, o.size, SizeOption);
  if (!geometry) return Failure{geometry.Reason()};
  TextEncoding encoding = TextEncoding::Utf8;
  if (parser.isSet(o.outputEncoding)) {
    const CliResult<std::optional<TextEncoding>> named =
        ParseEncoding(parser.value(o.outputEncoding), "--output-encoding", false);
    if (!named) return Failure{named.Reason()};
    encoding = **named;
  }

  // The profile's ROM and layout, under the options.
  ProfileRecord profile;
  if (o.source.Given(parser)) {
    CliResult<ProfileRecord> loaded = o.source.Load(parser, context);
    if (!loaded) return Failure{loaded.Reason()};
    profile = *std::move(loaded);
  }
  const CharacterRom rom = romGiven->value_or(profile.Rom);
  const HexLayout layout = layoutGiven->value_or(profile.Layout);

  const CliResult<SparseImage> image = ReadImage(file, *format, layout);
  if (!image) return Failure{image.Reason()};
  // Addresses past the image are a mistake, not an empty text.
  const std::uint64_t end = image->End();
  if ((length || from > 0) && (from >= end || (length && *length > end - from))) {
    const std::string where = "образа в файле \"" + file.toStdString() +
                              "\" (последний адрес образа " + std::to_string(end - 1) + ")";
    if (end == 0)
      return Failed("в файле \"" + file.toStdString() + "\" нет ни одного байта образа");
    if (from >= end) return Failed("адрес " + std::to_string(from) + " за концом " + where);
    return Failed("адреса с " + std::to_string(from) + " по " + std::to_string(from + *length - 1) +
                  " выходят за конец " + where);
  }
  std::string text = DecodeLcdCodes(SelectImageBytes(*image, from, length), rom, *geometry);
  // Lines of text end with a line break, the last one too.
  if (!text.empty()) text.push_back('\n');
  const CliResult<std::string> encoded = Encoded(text, encoding);
  if (!encoded) return Failure{encoded.Reason()};
  return WriteOutput(parser.value(o.output), *encoded, context.console);
}

}  // namespace

Command DecodeCommand() {
  return {
      "decode", [] { return Options().All(); },
      [] {
        return std::vector<HelpSection>{
            {{"decode [--rom cyrillic|a00|a02] [--from АДРЕС] [--length N]",
              "       [--format bin|hex] [--layout РАЗМЕЩЕНИЕ] [--size 16x2]",
              "       [-p ИМЯ] [--profiles ФАЙЛ] [--output-encoding КОД]",
              "       [-o ВЫХОД] ОБРАЗ"},
             "Выводит текст, который коды образа ОБРАЗ (двоичного файла или файла Intel HEX) "
             "покажут на индикаторе: каждый код - знаком его ПЗУ (буква, общая для латиницы "
             "и кириллицы, - кириллической, если в её слове есть буква только кириллицы и нет "
             "буквы только латиницы), коды собственных символов - ⟨0⟩…⟨7⟩, прочие коды - "
             "\\xNN. Адреса, которых файл Intel HEX не описывает, пропускаются; адрес за концом "
             "образа - ошибка.",
             {"rom", "from", "length", "format", "layout", "size", "profile", "profiles",
              "output-encoding", "output"}}};
      },
      Run};
}

}  // namespace zeltrix::cli
