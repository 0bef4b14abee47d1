#include <QCommandLineParser>
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

int CountSpaceOption(const QString& value) {
  return static_cast<int>(NumberOption(value, 1, 100,
                                       "неверное число пробелов \"" + value.toStdString() +
                                           "\" у параметра --remove-spaces (нужно от 1 до 100)"));
}

// The dialog's address field takes up to eight digits, so up to 99999999.
std::string AddressOption(const QString& value, const char* option) {
  return std::to_string(NumberOption(value, 0, 99999999,
                                     "неверный начальный адрес \"" + value.toStdString() +
                                         "\" у параметра " + option + " (нужно от 0 до 99999999)"));
}

// A new image as a whole, for standard output: the codes, in the layout at
// the address for Intel HEX, padded to the chip; refused as the writer of
// files refuses it.
std::string NewImage(const std::string& codes, const ImageFormat& format, std::uint64_t address) {
  const std::uint64_t end = address + codes.size();
  if (format.chip && end > format.chip->size) {
    Fail(ChipOverflowText(*format.chip, end - format.chip->size));
  }
  if (format.file == ImageFileFormat::Bin) {
    return format.chip ? codes + std::string(format.chip->size - codes.size(), '\xFF') : codes;
  }
  if (end > HexLayoutLimit(format.layout)) {
    Fail("Данные выходят за последний адрес файла Intel HEX (0xFFFFFFFF)");
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

int Run(const QStringList& arguments, Context& context) {
  const Options o;
  QCommandLineParser parser;
  ParseOrFail(parser, o.All(), arguments);
  const QString input = SingleInput(parser);
  const std::optional<TextEncoding> inputEncoding =
      ParseEncoding(parser.value(o.encoding), "--encoding", true);
  if (parser.value(o.output).isEmpty()) UsageError("не указан файл результата (-o ВЫХОД)");
  if (parser.isSet(o.append) + parser.isSet(o.insert) + parser.isSet(o.replace) > 1) {
    UsageError("параметры --append, --insert и --replace нельзя указывать вместе");
  }
  // Standard output takes a new file only: there is nothing to add to.
  const bool toStandardOutput = parser.value(o.output) == "-";
  for (const auto& [option, name] :
       {std::pair{&o.append, "--append"}, std::pair{&o.insert, "--insert"},
        std::pair{&o.replace, "--replace"}}) {
    if (toStandardOutput && parser.isSet(*option)) {
      UsageError(std::string("параметр ") + name + " не применим к стандартному выводу (-o -)");
    }
  }
  const int countSpace =
      parser.isSet(o.removeSpaces) ? CountSpaceOption(parser.value(o.removeSpaces)) : 2;

  // The choices of the BIN dialog's lists and its start-address field.
  BinTarget target = kBinNewFile;
  BinPlacement placement = kBinAtEnd;
  BinManner manner = kBinInsert;
  std::string address;
  if (parser.isSet(o.append)) {
    target = kBinExistingFile;
  } else if (parser.isSet(o.insert)) {
    target = kBinExistingFile;
    placement = kBinAtAddress;
    address = AddressOption(parser.value(o.insert), "--insert");
  } else if (parser.isSet(o.replace)) {
    target = kBinExistingFile;
    placement = kBinAtAddress;
    manner = kBinReplace;
    address = AddressOption(parser.value(o.replace), "--replace");
  }

  // The image file's format and what only an Intel HEX file takes.
  ImageFormat image;
  image.file = ImageFormatOption(parser, o.format, parser.value(o.output));
  for (const QCommandLineOption* option : {&o.recordLength, &o.layout, &o.address}) {
    RefuseForBin(parser, *option, image.file);
  }
  if (parser.isSet(o.recordLength)) {
    image.recordLength = RecordLengthOption(parser.value(o.recordLength));
  }
  if (parser.isSet(o.layout)) LayoutOption(parser.value(o.layout));
  if (parser.isSet(o.address)) {
    if (target != kBinNewFile) {
      UsageError(
          "параметр --address задаёт начало нового файла; с --append, --insert и --replace он "
          "не применим");
    }
    address = AddressOption(parser.value(o.address), "--address");
  }
  if (parser.isSet(o.chip)) image.chip = ChipOption(parser.value(o.chip));

  o.display.Check(parser);
  o.cgram.Check(parser);
  const std::optional<ProfileRecord> profile =
      DisplayProfile(o.source, o.display, o.cgram, parser, context);
  if (!profile) return kExitFailure;
  image.layout = parser.isSet(o.layout) ? LayoutOption(parser.value(o.layout)) : profile->Layout;
  // Records keep every screen's cells where the display shows them, so
  // nothing is taken out of the text.
  if (profile->Cgram == 1) {
    for (const QCommandLineOption* option : {&o.removeUndisplayable, &o.removeSpaces}) {
      if (parser.isSet(*option)) {
        UsageError("параметр --" + option->names().last().toStdString() +
                   " не применим к своим знакам (--cgram или Cgram в профиле): записи экранов "
                   "хранят текст как он есть");
      }
    }
  }

  EngineText text = std::move(ReadInputText(input, inputEncoding, context.console).text);
  const std::string path = LocalPath(parser.value(o.output));
  const QString output = parser.value(o.output);
  BinPrompter prompter(parser.isSet(o.yes), NothingAt(path) ? output.toStdString() : std::string(),
                       image.file == ImageFileFormat::IntelHex, context.console);
  if (profile->Cgram == 1) {
    const CgramSetup setup = CgramSetupOf(*profile);
    std::vector<CgramReport> reports;
    std::optional<std::string> records = PrepareCgramRecords(path, text, setup, prompter, &reports);
    text = EngineText();
    if (!records) return kExitFailure;
    if (toStandardOutput) {
      if (records->empty()) Fail("Не удалось выполнить преобразование!");
      WriteOutput({}, NewImage(*records, image, ParseStartAddress(address)), context.console);
    } else if (!WriteCgramRecords(path, *records, setup.geometry, image, target, placement, manner,
                                  address, prompter)) {
      return kExitFailure;
    }
    ReportCgram(reports, context.console);
    return kExitOk;
  }
  const CharacterMap map = CharacterMapOf(*profile);
  // Prepared where it stands, and let go once mapped: the text and its codes
  // are all a run holds.
  std::optional<EngineText> prepared =
      PrepareBinText(path, std::move(text), parser.isSet(o.removeUndisplayable),
                     parser.isSet(o.removeSpaces), countSpace, prompter, map);
  if (!prepared) return kExitFailure;
  const std::string codes = MapToLcdCodes(*prepared, map);
  prepared.reset();
  if (toStandardOutput) {
    if (codes.empty()) Fail("Не удалось выполнить преобразование!");
    WriteOutput({}, NewImage(codes, image, ParseStartAddress(address)), context.console);
    return kExitOk;
  }
  if (!WriteImageBlock(path, codes, image, target, placement, manner, address, prompter)) {
    return kExitFailure;
  }
  return kExitOk;
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
