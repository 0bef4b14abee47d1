#include "cli/cli_common.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/io/file_io.h"
#include "core/io/file_names.h"
#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"

namespace zeltrix::cli {

Failure<CliError> Failed(std::string message) {
  return Failure{CliError{kExitFailure, std::move(message)}};
}

Failure<CliError> Usage(std::string message) {
  return Failure{CliError{kExitUsage, std::move(message)}};
}

Failure<CliError> Reported() { return Failure{CliError{kExitFailure, {}}}; }

std::string WithReason(std::string message, const FileStatus& status) {
  if (!status.Ok()) message += ": " + status.Reason();
  return message;
}

CliResult<std::uint32_t> NumberOption(const QString& value, std::uint32_t low, std::uint32_t high,
                                      const std::string& refusal) {
  if (value.isEmpty()) return Usage(refusal);
  std::uint64_t number = 0;
  for (const QChar c : value) {
    if (c < '0' || c > '9') return Usage(refusal);
    number = std::min<std::uint64_t>(number * 10 + static_cast<std::uint64_t>(c.unicode() - '0'),
                                     std::uint64_t{1} << 40);
  }
  if (number < low || number > high) return Usage(refusal);
  return static_cast<std::uint32_t>(number);
}

std::string CharacterName(char32_t c) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  if (c < 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD) return code;
  std::string name = "«";
  AppendUtf8(name, c);
  return name + "» (" + code + ")";
}

MessageAnswer StderrPrompter::Show(const Message& message) {
  std::string line;
  for (const char c : message.text) {
    if (c == '\n') {
      if (!line.empty() && line.back() != ' ') line.push_back(' ');
    } else {
      line.push_back(c);
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  m_console.Err("zeltrix-cli: " + line + "\n");
  return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

namespace {

// The argument, as typed, that names a value option but stands last, so that
// its value is missing; empty when there is none.
QString OptionWithoutValue(const QList<QCommandLineOption>& options, const QStringList& arguments) {
  const qsizetype end = arguments.indexOf("--");
  const QString last = end < 0 ? (arguments.isEmpty() ? QString() : arguments.last())
                               : (end == 0 ? QString() : arguments.at(end - 1));
  if (!last.startsWith('-') || last.contains('=')) return {};
  const QString name = last.mid(last.startsWith("--") ? 2 : 1);
  for (const QCommandLineOption& option : options) {
    if (!option.valueName().isEmpty() && option.names().contains(name)) return last;
  }
  return {};
}

}  // namespace

CliStatus ParseOrFail(QCommandLineParser& parser, const QList<QCommandLineOption>& options,
                      const QStringList& arguments) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addOptions(options);
  // The parser expects the program's name first.
  if (parser.parse(QStringList{"zeltrix-cli"} + arguments)) return {};
  const QStringList unknown = parser.unknownOptionNames();
  if (!unknown.isEmpty()) {
    const QString name = unknown.first();
    return Usage("неизвестный параметр \"" + std::string(name.size() == 1 ? "-" : "--") +
                 name.toStdString() + "\"");
  }
  const QString missing = OptionWithoutValue(options, arguments);
  if (!missing.isEmpty()) {
    return Usage("не указано значение параметра \"" + missing.toStdString() + "\"");
  }
  return Usage("неверная командная строка");
}

CliResult<QString> SingleInput(const QCommandLineParser& parser) {
  const QStringList positional = parser.positionalArguments();
  if (positional.size() > 1)
    return Usage("лишний аргумент \"" + positional.at(1).toStdString() + "\"");
  return positional.isEmpty() ? QString() : positional.first();
}

std::string LocalPath(const QString& argument) {
  return FileNameFromUtf16(argument.toStdU16String());
}

namespace {

bool IsStream(const QString& name) { return name.isEmpty() || name == "-"; }

// The input, a file or standard input for an empty name or "-", read up to
// its first zero byte (that byte included) or to its end.
CliResult<std::string> ReadInput(const QString& input, Console& console) {
  if (IsStream(input)) {
    std::optional<std::string> bytes = console.ReadAll();
    if (!bytes) return Failed("не удалось прочитать стандартный ввод");
    return std::move(*bytes);
  }
  const auto failed = [&](const FileStatus& status) {
    return Failed(WithReason("Не удалось открыть файл \"" + input.toStdString() + "\"", status));
  };
  const Result<OpenFile, FileStatus> file = OpenRegularFile(LocalPath(input), O_RDONLY);
  if (!file) return failed(file.Reason());
  std::optional<std::string> bytes = ReadUpToZero(file->Descriptor(), file->Size());
  if (!bytes) return failed(FileStatus::FromErrno(errno));
  return std::move(*bytes);
}

// UTF-8 text to Windows-1251 in its own storage, from the given offset on,
// a megabyte at a time: no character is longer in Windows-1251, so each
// piece fits where its UTF-8 stood. A piece that holds a character
// Windows-1251 lacks is left as it is, and the work stops there: false, with
// the Windows-1251 bytes of the pieces before it in text[0, put) and the
// UTF-8 rest in text[at, end).
bool Utf8ToCp1251InPlace(std::string& text, std::size_t from, std::size_t& put, std::size_t& at) {
  constexpr std::size_t kBlock = 1 << 20;
  put = 0;
  at = from;
  while (at < text.size()) {
    std::size_t end = std::min(text.size(), at + kBlock);
    // A piece ends before a continuation byte, so no character is split.
    while (end < text.size() && end > at &&
           (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
      --end;
    }
    if (end == at) end = std::min(text.size(), at + kBlock);
    const std::string_view utf8 = std::string_view(text).substr(at, end - at);
    const std::string piece = Utf8ToCp1251Lossy(utf8);
    // SUB stands for a character without a code, unless the text had it.
    if (piece.find(kSubstituteByte) != std::string::npos &&
        std::count(piece.begin(), piece.end(), kSubstituteByte) !=
            std::count(utf8.begin(), utf8.end(), kSubstituteByte)) {
      return false;
    }
    std::memcpy(text.data() + put, piece.data(), piece.size());
    put += piece.size();
    at = end;
  }
  text.resize(put);
  return true;
}

// Appends the characters of valid UTF-8 text.
void AppendUtf8Characters(std::u32string& characters, std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = c < 0x80 ? 1 : DecodeUtf8(utf8, i, c);
    characters.push_back(length == 0 ? kReplacementCharacter : c);
    i += length == 0 ? 1 : length;
  }
}

// UTF-8 text as the engine's: Windows-1251 bytes converted where they stand
// when Windows-1251 holds every character, else the characters, in storage of
// exactly their number, and the bytes are let go.
EngineText FromUtf8(std::string text, std::size_t from) {
  std::size_t put = 0;
  std::size_t at = 0;
  if (Utf8ToCp1251InPlace(text, from, put, at)) return EngineText::FromCp1251(std::move(text));
  const std::string_view converted(text.data(), put);
  const std::string_view rest = std::string_view(text).substr(at);
  std::u32string characters;
  characters.reserve(put +
                     static_cast<std::size_t>(std::count_if(rest.begin(), rest.end(), [](char c) {
                       return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
                     })));
  for (const char c : converted)
    characters.push_back(Cp1251ToCodePoint(static_cast<unsigned char>(c)));
  AppendUtf8Characters(characters, rest);
  text = std::string();
  return EngineText::FromCharacters(std::move(characters));
}

// A single-byte code page's text as the engine's: byte for byte in place when
// Windows-1251 holds all its characters, else as the characters.
EngineText FromCodePage(std::string text, CodePage page) {
  std::array<char, 256> table{};
  std::array<bool, 256> held{};
  for (int b = 0; b < 256; ++b) {
    const char32_t c = CodePageToCodePoint(page, static_cast<unsigned char>(b));
    table[b] = CodePointToCp1251(c);
    held[b] = table[b] != kSubstituteByte || c == 0x1A;
  }
  if (!std::all_of(text.begin(), text.end(),
                   [&](char c) { return held[static_cast<unsigned char>(c)]; })) {
    std::u32string characters = CodePageToUtf32(page, text);
    text = std::string();
    return EngineText::FromCharacters(std::move(characters));
  }
  for (char& c : text) c = table[static_cast<unsigned char>(c)];
  return EngineText::FromCp1251(std::move(text));
}

// The bytes as the engine's text, read in the encoding given or else in the
// detected one. A text that Windows-1251 holds is converted where it stands,
// so that a long input is never held twice; any other is decoded into its
// characters, and the bytes are let go once that is done.
CliResult<InputText> DecodeInput(std::string bytes, std::optional<TextEncoding> encoding) {
  const TextFormat format = encoding ? TextFormat{*encoding, false} : DetectTextFormat(bytes);
  switch (format.encoding) {
    case TextEncoding::Cp1251:
      // Windows-1251 input is the engine's text already, byte for byte.
      return InputText{EngineText::FromCp1251(std::move(bytes)), format.encoding};
    case TextEncoding::Utf8: {
      // Detection has checked the bytes already.
      if (encoding && !IsValidUtf8(bytes)) {
        return Failed("входной текст не является текстом в кодировке UTF-8");
      }
      const std::size_t start =
          bytes.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0 ? kUtf8Bom.size() : 0;
      return InputText{FromUtf8(std::move(bytes), start), format.encoding};
    }
    case TextEncoding::Koi8r:
      return InputText{FromCodePage(std::move(bytes), CodePage::Koi8r), format.encoding};
    case TextEncoding::Cp866:
      break;
  }
  return InputText{FromCodePage(std::move(bytes), CodePage::Cp866), format.encoding};
}

}  // namespace

CliResult<InputText> ReadInputText(const QString& input, std::optional<TextEncoding> encoding,
                                   Console& console) {
  CliResult<std::string> bytes = ReadInput(input, console);
  if (!bytes) return Failure{bytes.Reason()};
  // The text ends at its first zero byte, as in the main window: what
  // follows is no text, and must not reach the output.
  const std::size_t zero = bytes->find('\0');
  if (zero != std::string::npos) {
    bytes->resize(zero);
    console.Err("zeltrix-cli: текст обрезан на первом нулевом байте (позиция " +
                std::to_string(zero + 1) + ")\n");
  }
  return DecodeInput(*std::move(bytes), encoding);
}

CliResult<std::optional<TextEncoding>> ParseEncoding(const QString& value, const char* option,
                                                     bool allowAuto) {
  const QString v = value.toLower();
  if (allowAuto && v == "auto") return std::optional<TextEncoding>();
  if (v == "cp1251" || v == "windows-1251") return std::optional(TextEncoding::Cp1251);
  if (v == "utf-8" || v == "utf8") return std::optional(TextEncoding::Utf8);
  if (v == "koi8-r" || v == "koi8r") return std::optional(TextEncoding::Koi8r);
  if (v == "cp866" || v == "ibm866") return std::optional(TextEncoding::Cp866);
  return Usage(std::string("неизвестная кодировка \"") + value.toStdString() + "\" у параметра " +
               option);
}

std::optional<std::string> ProfileNameArgument(const QString& argument) {
  // Bytes that were no UTF-8 on the command line spell no profile's name.
  if (!argument.isValidUtf16()) return std::nullopt;
  std::optional<std::string> name = Utf8ToCp1251(argument.toStdString());
  if (!name || name->empty() || name->find(kSubstituteByte) != std::string::npos)
    return std::nullopt;
  return name;
}

Output::Output(const QString& name, Console& console)
    : m_name(name), m_console(console), m_toFile(!IsStream(name)) {}

CliStatus Output::Begin() {
  // A generated file need not wait for the disk: the rename alone keeps a
  // half-written result from ever standing under its name.
  if (!m_toFile) return {};
  if (const FileStatus begun = m_file.Begin(LocalPath(m_name), false); !begun) {
    return FileFailure(begun);
  }
  return {};
}

CliStatus Output::Write(std::string_view bytes) {
  if (m_toFile) {
    if (const FileStatus written = m_file.Write(bytes); !written) return FileFailure(written);
    return {};
  }
  if (!m_console.Out(bytes)) return Failed("не удалось записать стандартный вывод");
  return {};
}

CliStatus Output::Finish() {
  if (!m_toFile) return {};
  if (const FileStatus committed = m_file.Commit(); !committed) return FileFailure(committed);
  return {};
}

Failure<CliError> Output::FileFailure(const FileStatus& status) const {
  return Failed(WithReason("Не удалось записать файл \"" + m_name.toStdString() + "\"", status));
}

CliStatus WriteOutput(const QString& output, std::string_view bytes, Console& console) {
  Output out(output, console);
  if (CliStatus begun = out.Begin(); !begun) return begun;
  if (CliStatus written = out.Write(bytes); !written) return written;
  return out.Finish();
}

}  // namespace zeltrix::cli
