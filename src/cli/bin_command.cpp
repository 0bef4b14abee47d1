#include <QCommandLineParser>
#include <functional>
#include <optional>
#include <utility>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/display_options.h"
#include "cli/image_options.h"
#include "core/image/intel_hex.h"
#include "core/lcd/bin_writer.h"
#include "core/lcd/cgram_output.h"

namespace zeltrix::cli {
namespace {

// Prints the first report of a run on standard error and nothing on success.
// The question whether to append at the end (or to create a missing file) is
// answered Yes with --yes; the command line cannot ask it, so without --yes
// the user reads what happened and what --yes would do.
class BinPrompter : public Prompter {
 public:
  BinPrompter(bool yes, std::string missingFile, bool hex, Console& console)
      : m_yes(yes), m_missingFile(std::move(missingFile)), m_hex(hex), m_console(console) {}

  MessageAnswer Show(const Message& message) override {
    const bool question = message.buttons != MessageButtons::Ok;
    if (question && m_yes) return MessageAnswer::Yes;
    if (question && !m_reported) {
      m_reported = true;
      // An Intel HEX file's image ends at its last data byte, not at the file's end.
      m_console.Err(!m_missingFile.empty()
                        ? "zeltrix-cli: Файл \"" + m_missingFile +
                              "\" не существует; с параметром --yes он будет создан с этими "
                              "данными\n"
                    : m_hex ? "zeltrix-cli: Начальный адрес не меньше конца данных файла; с "
                              "параметром --yes данные будут добавлены после последнего байта\n"
                            : "zeltrix-cli: Начальный адрес больше текущего размера файла; с "
                              "параметром --yes данные будут добавлены в конец файла\n");
    }
    if (message.icon == MessageIcon::Information) return MessageAnswer::Ok;
    if (!m_reported) {
      m_reported = true;
      StderrPrompter(m_console).Show(message);
    }
    return question ? MessageAnswer::No : MessageAnswer::Ok;
  }

 private:
  bool m_yes;
  std::string m_missingFile;  // the output's name when no file is there
  bool m_hex;
  Console& m_console;
  bool m_reported = false;
};

CliResult<int> CountSpaceOption(const QString& value) {
  const CliResult<std::uint32_t> count =
      NumberOption(value, 1, 100,
                   "неверное число пробелов \"" + value.toStdString() +
                       "\" у параметра --remove-spaces (нужно от 1 до 100)");
  if (!count) return Failure{count.Reason()};
  return static_cast<int>(*count);
}

// The dialog's address field takes up to eight digits, so up to 99999999.
CliResult<std::string> AddressOption(const QString& value, const char* option) {
  const CliResult<std::uint32_t> address =
      NumberOption(value, 0, 99999999,
                   "неверный начальный адрес \"" + value.toStdString() + "\" у параметра " +
                       option + " (нужно от 0 до 99999999)");
  if (!address) return Failure{address.Reason()};
  return std::to_string(*address);
}

// A new image as a whole, for standard output: the codes, in the layout at
// the address for Intel HEX, padded to the chip; refused as the writer of
// files refuses it.
CliResult<std::string> NewImage(const std::string& codes, const ImageFormat& format,
                                std::uint64_t address) {
  const std::uint64_t end = address + codes.size();
  if (format.chip && end > format.chip->size) {
    return Failed(ChipOverflowText(*format.chip, end - format.chip->size));
  }
  if (format.file == ImageFileFormat::Bin) {
    return format.chip ? codes + std::string(format.chip->size - codes.size(), '\xFF') : codes;
  }
  if (end > HexLayoutLimit(format.layout)) {
    return Failed("Данные выходят за последний адрес файла Intel HEX (0xFFFFFFFF)");
  }
  // Every byte of the chip not given is erased, 0xFF.
  SparseImage image;
  if (format.chip) image.Put(0, std::string(format.chip->size, '\xFF'));
  image.Put(address, codes);
  HexFile file;
  PutInLayout(file.image, image, format.layout);
  return WriteIntelHex(file, format.recordLength);
}

struct Options {
  QCommandLineOption removeUndisplayable{
      "remove-undisplayable", "удалить символы, которые индикатор не способен отобразить"};
  QCommandLineOption removeSpaces{
      "remove-spaces", "оставлять от каждой серии пробелов не больше N (от 1 до 100)", "N"};
  QCommandLineOption append{"append",
                            "дописать коды в конец существующего файла (если файла нет, он "
                            "создаётся с этими кодами)"};
  QCommandLineOption insert{
      "insert",
      "вставить коды в существующий файл с байта АДРЕС (десятичное число от 0 до 99999999)",
      "АДРЕС"};
  QCommandLineOption replace{"replace", "записать коды поверх байтов файла с байта АДРЕС", "АДРЕС"};
  QCommandLineOption yes{"yes",
                         "если АДРЕС не меньше размера файла, дописать коды в конец файла, а "
                         "если файла нет, создать его (без этого параметра ничего не "
                         "записывается)"};
  QCommandLineOption encoding{"encoding", "кодировка входа, как у convert", "КОД", "auto"};
  QCommandLineOption output{
      {"o", "output"}, "файл образа (\"-\" - стандартный вывод, только новый файл)", "ВЫХОД"};
  QCommandLineOption format{"format",
                            "bin - сами байты; hex - записи Intel HEX. По умолчанию: hex, если "
                            "ВЫХОД оканчивается на .hex или .ihx, иначе bin",
                            "ФОРМАТ"};
  QCommandLineOption recordLength{
      "record-length", "байтов данных в записи Intel HEX: 16 (по умолчанию) или 32", "N"};
  QCommandLineOption layout{
      "layout",
      "где байты стоят в файле Intel HEX: plain - каждый по своему адресу; pic16-eeprom - "
      "EEPROM данных PIC16, байт в слове по адресу 0x4200 + 2 × АДРЕС; pic18-eeprom - EEPROM "
      "данных PIC18, по адресу 0xF00000 + АДРЕС (по умолчанию - как в профиле, без профиля - "
      "plain)",
      "РАЗМЕЩЕНИЕ"};
  QCommandLineOption address{"address",
                             "адрес первого байта нового файла Intel HEX, до смещения "
                             "размещения (десятичное число от 0 до 99999999, по умолчанию 0)",
                             "АДРЕС"};
  QCommandLineOption chip{"chip",
                          "микросхема EEPROM от 24c01 до 24c512: новый образ дополняется "
                          "байтами 0xFF до её размера, а образ, который в неё не помещается, "
                          "не записывается",
                          "МИКРОСХЕМА"};
  ProfileOptions source{
      "профиль, из которого берутся ПЗУ, похожие символы, свои знаки, размер экрана и "
      "размещение Intel HEX (без -p и --profiles - ПЗУ cyrillic без похожих символов и своих "
      "знаков и размещение plain, с одним --profiles - первый профиль файла); регистр "
      "латинских букв не важен"};
  RomOptions display{kRomDefault};
  CgramOptions cgram{kSizeDefault};

  QList<QCommandLineOption> All() const {
    return QList<QCommandLineOption>{removeUndisplayable,
                                     removeSpaces,
                                     append,
                                     insert,
                                     replace,
                                     yes,
                                     encoding,
                                     output,
                                     format,
                                     recordLength,
                                     layout,
                                     address,
                                     chip} +
           source.All() + display.All() + cgram.All();
  }
};

// Where the codes go: the choices of the BIN dialog's lists and its
// start-address field, and the format of the image file.
struct Destination {
  BinTarget target = kBinNewFile;
  BinPlacement placement = kBinAtEnd;
  BinManner manner = kBinInsert;
  std::string address;
  ImageFormat image;
  std::optional<HexLayout> layout;  ///< taken over the profile's once that is loaded
  bool toStandardOutput = false;
};

// --append, --insert and --replace: one at the most, and none for standard output.
CliStatus CheckPlacementOptions(const QCommandLineParser& parser, const Options& o,
                                Destination& to) {
  if (parser.isSet(o.append) + parser.isSet(o.insert) + parser.isSet(o.replace) > 1) {
    return Usage("параметры --append, --insert и --replace нельзя указывать вместе");
  }
  // Standard output takes a new file only: there is nothing to add to.
  to.toStandardOutput = parser.value(o.output) == "-";
  for (const auto& [option, name] :
       {std::pair{&o.append, "--append"}, std::pair{&o.insert, "--insert"},
        std::pair{&o.replace, "--replace"}}) {
    if (to.toStandardOutput && parser.isSet(*option)) {
      return Usage(std::string("параметр ") + name + " не применим к стандартному выводу (-o -)");
    }
  }
  return {};
}

// Where in the file the codes go, the image file's format and what only an
// Intel HEX file takes.
CliStatus ReadDestination(const QCommandLineParser& parser, const Options& o, Destination& to) {
  if (parser.isSet(o.append)) {
    to.target = kBinExistingFile;
  } else if (parser.isSet(o.insert) || parser.isSet(o.replace)) {
    const bool insert = parser.isSet(o.insert);
    to.target = kBinExistingFile;
    to.placement = kBinAtAddress;
    to.manner = insert ? kBinInsert : kBinReplace;
    CliResult<std::string> at = AddressOption(parser.value(insert ? o.insert : o.replace),
                                              insert ? "--insert" : "--replace");
    if (!at) return Failure{at.Reason()};
    to.address = *std::move(at);
  }
  const CliResult<ImageFileFormat> file =
      ImageFormatOption(parser, o.format, parser.value(o.output));
  if (!file) return Failure{file.Reason()};
  to.image.file = *file;
  for (const QCommandLineOption* option : {&o.recordLength, &o.layout, &o.address}) {
    if (const CliStatus refused = RefuseForBin(parser, *option, to.image.file); !refused) {
      return refused;
    }
  }
  const auto length = GivenValue<int>(parser, o.recordLength, RecordLengthOption);
  if (!length) return Failure{length.Reason()};
  to.image.recordLength = length->value_or(to.image.recordLength);
  const auto layout = GivenValue<HexLayout>(parser, o.layout, LayoutOption);
  if (!layout) return Failure{layout.Reason()};
  to.layout = *layout;
  if (parser.isSet(o.address)) {
    if (to.target != kBinNewFile) {
      return Usage(
          "параметр --address задаёт начало нового файла; с --append, --insert и --replace он "
          "не применим");
    }
    CliResult<std::string> at = AddressOption(parser.value(o.address), "--address");
    if (!at) return Failure{at.Reason()};
    to.address = *std::move(at);
  }
  const auto chip = GivenValue<EepromChip>(parser, o.chip, ChipOption);
  if (!chip) return Failure{chip.Reason()};
  to.image.chip = *chip;
  return {};
}

// Writes a block of codes (or of screen records) where the destination says:
// a new image on standard output, else the file through the writer, whose
// failure the prompter prints.
CliStatus WriteBlock(const std::string& codes, const Destination& to, const std::string& path,
                     BinPrompter& prompter, Context& context,
                     const std::function<Status(const std::string&)>& writeFile) {
  if (to.toStandardOutput) {
    if (codes.empty()) return Failed("Не удалось выполнить преобразование!");
    const CliResult<std::string> bytes = NewImage(codes, to.image, ParseStartAddress(to.address));
    if (!bytes) return Failure{bytes.Reason()};
    return WriteOutput({}, *bytes, context.console);
  }
  if (const Status written = writeFile(path); !written) {
    prompter.Show(written.Reason());
    return Reported();
  }
  return {};
}

CliStatus Run(const QStringList& arguments, Context& context) {
  const Options o;
  QCommandLineParser parser;
  if (const CliStatus parsed = ParseOrFail(parser, o.All(), arguments); !parsed) return parsed;
  const CliResult<QString> input = SingleInput(parser);
  if (!input) return Failure{input.Reason()};
  const CliResult<std::optional<TextEncoding>> inputEncoding =
      ParseEncoding(parser.value(o.encoding), "--encoding", true);
  if (!inputEncoding) return Failure{inputEncoding.Reason()};
  if (parser.value(o.output).isEmpty()) return Usage("не указан файл результата (-o ВЫХОД)");
  Destination to;
  if (const CliStatus checked = CheckPlacementOptions(parser, o, to); !checked) return checked;
  const CliResult<int> countSpace =
      parser.isSet(o.removeSpaces) ? CountSpaceOption(parser.value(o.removeSpaces)) : 2;
  if (!countSpace) return Failure{countSpace.Reason()};
  if (const CliStatus read = ReadDestination(parser, o, to); !read) return read;

  if (const CliStatus checked = o.display.Check(parser); !checked) return checked;
  if (const CliStatus checked = o.cgram.Check(parser); !checked) return checked;
  const CliResult<ProfileRecord> profile =
      DisplayProfile(o.source, o.display, o.cgram, parser, context);
  if (!profile) return Failure{profile.Reason()};
  to.image.layout = to.layout.value_or(profile->Layout);
  // Records keep every screen's cells where the display shows them, so
  // nothing is taken out of the text.
  if (profile->Cgram == 1) {
    for (const QCommandLineOption* option : {&o.removeUndisplayable, &o.removeSpaces}) {
      if (parser.isSet(*option)) {
        return Usage("параметр --" + option->names().last().toStdString() +
                     " не применим к своим знакам (--cgram или Cgram в профиле): записи экранов "
                     "хранят текст как он есть");
      }
    }
  }

  CliResult<InputText> read = ReadInputText(*input, *inputEncoding, context.console);
  if (!read) return Failure{read.Reason()};
  EngineText text = std::move(read->text);
  const std::string path = LocalPath(parser.value(o.output));
  const QString output = parser.value(o.output);
  BinPrompter prompter(parser.isSet(o.yes), NothingAt(path) ? output.toStdString() : std::string(),
                       to.image.file == ImageFileFormat::IntelHex, context.console);
  if (profile->Cgram == 1) {
    const CgramSetup setup = CgramSetupOf(*profile);
    std::vector<CgramReport> reports;
    Result<std::string> records = PrepareCgramRecords(path, text, setup, &reports);
    text = EngineText();
    if (!records) {
      prompter.Show(records.Reason());
      return Reported();
    }
    const CliStatus written =
        WriteBlock(*records, to, path, prompter, context, [&](const std::string& file) {
          return WriteCgramRecords(file, *records, setup.geometry, to.image, to.target,
                                   to.placement, to.manner, to.address, prompter);
        });
    if (written) ReportCgram(reports, context.console);
    return written;
  }
  const CharacterMap map = CharacterMapOf(*profile);
  // Prepared where it stands, and let go once mapped: the text and its codes
  // are all a run holds.
  std::string codes;
  {
    const Result<EngineText> prepared =
        PrepareBinText(path, std::move(text), parser.isSet(o.removeUndisplayable),
                       parser.isSet(o.removeSpaces), *countSpace, map);
    if (!prepared) {
      prompter.Show(prepared.Reason());
      return Reported();
    }
    codes = MapToLcdCodes(*prepared, map);
  }
  return WriteBlock(codes, to, path, prompter, context, [&](const std::string& file) {
    return WriteImageBlock(file, codes, to.image, to.target, to.placement, to.manner, to.address,
                           prompter);
  });
}

}  // namespace

Command BinCommand() {
  return {"bin", [] { return Options().All(); },
          [] {
            return std::vector<HelpSection>{
                {{"bin [--remove-undisplayable] [--remove-spaces N]",
                  "    [--append | --insert АДРЕС | --replace АДРЕС] [--yes]",
                  "    [--format bin|hex] [--record-length 16|32]",
                  "    [--layout plain|pic16-eeprom|pic18-eeprom] [--address АДРЕС]",
                  "    [--chip 24c01..24c512]",
                  "    [-p ИМЯ] [--profiles ФАЙЛ] [--rom cyrillic|a00|a02]",
                  "    [--look-alikes | --no-look-alikes] [--cgram | --no-cgram]",
                  "    [--cgram-codes 0|8] [--size 16x2] [--encoding КОД] -o ВЫХОД [ВХОД]"},
                 "Пишет коды символов ВХОДА, которые индикатор способен отобразить, в образ "
                 "ВЫХОД, по байту на символ: в двоичный файл или в файл Intel HEX; переводы "
                 "строк и табуляции становятся пробелами. Без --append, --insert и --replace "
                 "ВЫХОД создаётся заново (старый файл заменяется целиком). В файле Intel HEX "
                 "адреса - адреса образа в размещении: --append, --insert и --replace меняют "
                 "образ, который описывает файл, а все остальные его байты остаются на своих "
                 "адресах; файл с неверной записью не меняется. Со своими знаками образ - записи "
                 "экранов по 64 + столбцы × строки байт: 8 знаков по 8 байт строк точек, затем "
                 "коды экрана строка за строкой, дополненные пробелами; --insert и --replace "
                 "принимают только адрес, кратный размеру записи.",
                 {"remove-undisplayable",
                  "remove-spaces",
                  "append",
                  "insert",
                  "replace",
                  "yes",
                  "format",
                  "record-length",
                  "layout",
                  "address",
                  "chip",
                  "profile",
                  "profiles",
                  "rom",
                  "look-alikes",
                  "no-look-alikes",
                  "cgram",
                  "no-cgram",
                  "cgram-codes",
                  "size",
                  "encoding",
                  "output"}}};
          },
          Run};
}

}  // namespace zeltrix::cli
