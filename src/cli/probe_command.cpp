// zeltrix-cli probe: every display code from 0x20 to 0xFF, a display row at a
// time, for a firmware that shows them; what the display then shows tells
// which character ROM it has (compare with preview --codes).
#include <QCommandLineParser>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/display_options.h"
#include "core/lcd/formatter.h"

namespace zeltrix::cli {
namespace {

constexpr CodeRange kProbeCodes{0x20, 0xFF};

struct Options {
  QCommandLineOption size{"size",
                          "размер индикатора, как у preview (по умолчанию 16x2): его ширина - "
                          "число кодов в строке",
                          "РАЗМЕР", "16x2"};
  ProfileOptions source{
      "профиль строк данных (без него - первый профиль файла); регистр "
      "латинских букв не важен"};
  QCommandLineOption output{{"o", "output"},
                            "файл строк данных (заменяется целиком; без него - стандартный вывод)",
                            "ВЫХОД"};
  QCommandLineOption bin{"bin",
                         "записать коды не строками данных, а в новый двоичный файл (\"-\" - "
                         "стандартный вывод)",
                         "ФАЙЛ"};

  QList<QCommandLineOption> All() const {
    return QList<QCommandLineOption>{size} + source.All() + QList<QCommandLineOption>{output, bin};
  }
};

// Each row as a data line of the profile, after a comment line with the
// row's first code in hex when the profile has a comment start.
std::string DataLines(const std::vector<std::string>& rows, const ProfileRecord& profile,
                      unsigned first) {
  std::string lines;
  unsigned code = first;
  for (const std::string& row : rows) {
    if (!profile.Comment.empty()) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", code);
      lines.append(profile.Comment).append(hex).append("\r\n");
    }
    lines += CodesDataLine(row, profile);
    code += static_cast<unsigned>(row.size());
  }
  return lines;
}

CliStatus Run(const QStringList& arguments, Context& context) {
  const Options o;
  QCommandLineParser parser;
  if (const CliStatus parsed = ParseOrFail(parser, o.All(), arguments); !parsed) return parsed;
  if (!parser.positionalArguments().isEmpty()) {
    return Usage("лишний аргумент \"" + parser.positionalArguments().first().toStdString() + "\"");
  }
  const CliResult<LcdGeometry> geometry = SizeOption(parser.value(o.size));
  if (!geometry) return Failure{geometry.Reason()};
  if (parser.isSet(o.bin) && (o.source.Given(parser) || parser.isSet(o.output))) {
    return Usage("параметр --bin нельзя указывать вместе с -p, --profiles и -o");
  }
  if (parser.isSet(o.bin) && parser.value(o.bin).isEmpty()) {
    return Usage("не указан двоичный файл (--bin ФАЙЛ)");
  }

  const std::vector<std::string> rows = CodeRows(kProbeCodes, geometry->columns);
  if (parser.isSet(o.bin)) {
    std::string codes;
    for (const std::string& row : rows) codes += row;
    return WriteOutput(parser.value(o.bin), codes, context.console);
  }
  const CliResult<ProfileRecord> profile = o.source.Load(parser, context);
  if (!profile) return Failure{profile.Reason()};
  return WriteOutput(parser.value(o.output), DataLines(rows, *profile, kProbeCodes.first),
                     context.console);
}

}  // namespace

Command ProbeCommand() {
  return {"probe", [] { return Options().All(); },
          [] {
            return std::vector<HelpSection>{
                {{"probe [--size 16x2] [-p ИМЯ] [--profiles ФАЙЛ] [-o ВЫХОД]"},
                 "Пишет строками данных профиля все коды от 0x20 до 0xFF, по строке данных на "
                 "строку экрана: в каждой столько кодов, какова ширина экрана, последняя "
                 "дополнена пробелами (0x20); перед каждой - комментарий с её первым кодом. "
                 "Прошивка, выводящая их на индикатор строка за строкой, покажет его ПЗУ: "
                 "сравните экраны с preview --codes 0x20-0xFF --rom cyrillic|a00|a02 того же "
                 "размера.",
                 {"size", "profile", "profiles", "output"}},
                {{"probe [--size 16x2] --bin ФАЙЛ"},
                 "Пишет те же строки кодов подряд в двоичный файл, по байту на код: строка "
                 "экрана N начинается с байта N * ширину экрана (счёт с 0).",
                 {"bin"}}};
          },
          Run};
}

}  // namespace zeltrix::cli
