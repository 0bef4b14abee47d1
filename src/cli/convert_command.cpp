#include <QCommandLineParser>
#include <algorithm>
#include <array>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/display_options.h"
#include "core/io/single_byte_codec.h"
#include "core/io/utf8.h"
#include "core/lcd/formatter.h"

namespace zeltrix::cli {
namespace {

// Passes the data lines on as they are made, in the encoding asked for. The
// run makes them in Windows-1251 (a text on the byte path) or in UTF-8 (one
// on the character path); a character that the encoding asked for has no
// code for fails the command, naming the character and its line. After the
// first failure, that or a failed write, the rest of the run's lines are let
// go unwritten, and Status tells why.
class LinesSink : public OutputSink {
 public:
  // Without an output the lines are only looked through.
  LinesSink(Output* out, bool utf8Lines, TextEncoding encoding)
      : m_out(out), m_utf8Lines(utf8Lines), m_encoding(encoding), m_page(CodePageOf(encoding)) {
    for (int b = 0; b < 256; ++b) {
      const char32_t c = Cp1251ToCodePoint(static_cast<unsigned char>(b));
      m_bytes[b] = CodePointToCodePage(m_page, c);
      m_held[b] = Holds(c);
    }
  }

  // True when the encoding holds every character that lines may have.
  bool HoldsAll() const {
    return m_encoding == TextEncoding::Utf8 || (m_encoding == TextEncoding::Cp1251 && !m_utf8Lines);
  }

  // True when the encoding holds every character of the text and of the
  // profile's texts, so that no line can hold one it lacks.
  bool HoldsAllOf(const EngineText& text, const ProfileRecord& profile) const {
    if (HoldsAll()) return true;
    std::array<bool, 256> seen{};
    for (const std::string* field :
         {&profile.Directive, &profile.StartDataBlok, &profile.EndDataBlok, &profile.StartData,
          &profile.EndData, &profile.RazdelitelData, &profile.Comment}) {
      for (const char c : *field) seen[static_cast<unsigned char>(c)] = true;
    }
    if (const std::string* bytes = text.Bytes()) {
      for (const char c : *bytes) seen[static_cast<unsigned char>(c)] = true;
    } else {
      for (const char32_t c : *text.Characters()) {
        if (!Holds(c)) return false;
      }
    }
    for (int b = 0; b < 256; ++b) {
      if (seen[b] && !m_held[b]) return false;
    }
    return true;
  }

  // Success, or why the lines could not be written.
  const CliStatus& Status() const { return m_status; }

  void Write(std::string_view lines) override {
    if (!m_status) return;
    if (m_utf8Lines == (m_encoding == TextEncoding::Utf8) &&
        (m_utf8Lines || m_encoding == TextEncoding::Cp1251)) {
      // Lines already in the encoding asked for: UTF-8 data lines carry no
      // byte-order mark, even when the input had one.
      Put(lines);
      return;
    }
    if (m_encoding == TextEncoding::Utf8) {
      Put(Cp1251ToUtf8(lines));
      return;
    }
    std::string encoded;
    if (!m_utf8Lines) {
      encoded.resize(lines.size());
      for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto b = static_cast<unsigned char>(lines[i]);
        if (!m_held[b]) return Refuse(Cp1251ToCodePoint(b), lines, i);
        encoded[i] = m_bytes[b];
      }
    } else {
      encoded.reserve(lines.size());
      for (std::size_t i = 0; i < lines.size();) {
        char32_t c = static_cast<unsigned char>(lines[i]);
        const std::size_t length = c < 0x80 ? 1 : DecodeUtf8(lines, i, c);
        if (!Holds(c)) return Refuse(c, lines, i);
        encoded.push_back(CodePointToCodePage(m_page, c));
        i += length == 0 ? 1 : length;
      }
    }
    Put(encoded);
    m_lines += static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n'));
  }

 private:
  bool Holds(char32_t c) const {
    return m_encoding == TextEncoding::Utf8 || CodePointToCodePage(m_page, c) != kSubstituteByte ||
           c == 0x1A;
  }

  void Put(std::string_view bytes) {
    if (m_out != nullptr) m_status = m_out->Write(bytes);
  }

  void Refuse(char32_t c, std::string_view lines, std::size_t at) {
    const std::size_t line =
        m_lines + static_cast<std::size_t>(std::count(lines.begin(), lines.begin() + at, '\n')) + 1;
    m_status = Failed(std::string("кодировка ") + EncodingName(m_encoding) +
                      " не может записать символ " + CharacterName(c) + " в строке " +
                      std::to_string(line) + " вывода; укажите --output-encoding utf-8");
  }

  Output* m_out;
  bool m_utf8Lines;
  TextEncoding m_encoding;
  CodePage m_page;
  std::array<char, 256> m_bytes{};
  std::array<bool, 256> m_held{};
  std::size_t m_lines = 0;  // lines written before the present piece
  CliStatus m_status;
};

struct Options {
  ProfileOptions source{
      "профиль (без него - первый профиль файла); регистр латинских букв не важен"};
  RomOptions display{"по умолчанию - ПЗУ профиля"};
  CgramOptions cgram{"по умолчанию - размер из профиля (16x2, если в нём не указан)"};
  QCommandLineOption encoding{"encoding",
                              "кодировка входа: auto (по умолчанию: текст UTF-8 с не-ASCII "
                              "символами читается как UTF-8, иначе как Windows-1251), cp1251, "
                              "utf-8, koi8-r или cp866",
                              "КОД", "auto"};
  QCommandLineOption outputEncoding{
      "output-encoding",
      "кодировка строк данных: cp1251, utf-8, koi8-r или cp866 (по умолчанию - кодировка "
      "входа); если в ней нет символа вывода, ничего не записывается",
      "КОД"};
  QCommandLineOption output{{"o", "output"}, "файл результата (заменяется целиком)", "ВЫХОД"};

  QList<QCommandLineOption> All() const {
    return source.All() + display.All() + cgram.All() +
           QList<QCommandLineOption>{encoding, outputEncoding, output};
  }
};

CliStatus Run(const QStringList& arguments, Context& context) {
  const Options o;
  QCommandLineParser parser;
  if (const CliStatus parsed = ParseOrFail(parser, o.All(), arguments); !parsed) return parsed;
  const CliResult<QString> input = SingleInput(parser);
  if (!input) return Failure{input.Reason()};
  const CliResult<std::optional<TextEncoding>> inputEncoding =
      ParseEncoding(parser.value(o.encoding), "--encoding", true);
  if (!inputEncoding) return Failure{inputEncoding.Reason()};
  const CliResult<std::optional<TextEncoding>> wanted =
      parser.isSet(o.outputEncoding)
          ? ParseEncoding(parser.value(o.outputEncoding), "--output-encoding", false)
          : std::optional<TextEncoding>();
  if (!wanted) return Failure{wanted.Reason()};
  if (const CliStatus checked = o.display.Check(parser); !checked) return checked;
  if (const CliStatus checked = o.cgram.Check(parser); !checked) return checked;

  CliResult<ProfileRecord> record = o.source.Load(parser, context);
  if (!record) return Failure{record.Reason()};
  if (const CliStatus applied = o.display.ApplyTo(parser, *record); !applied) return applied;
  if (const CliStatus applied = o.cgram.ApplyTo(parser, *record); !applied) return applied;

  CliResult<InputText> read = ReadInputText(*input, *inputEncoding, context.console);
  if (!read) return Failure{read.Reason()};
  const bool utf8Lines = !read->text.OnBytePath();
  const TextEncoding encoding = wanted->value_or(read->encoding);
  Output out(parser.value(o.output), context.console);
  if (const CliStatus begun = out.Begin(); !begun) return begun;
  LinesSink sink(&out, utf8Lines, encoding);
  // A file stays as it was when the run fails; standard output cannot take
  // back what it got, so when the encoding may lack a character of the
  // lines, they are looked through before anything is written.
  if (!out.ToFile() && !sink.HoldsAllOf(read->text, *record)) {
    LinesSink check(nullptr, utf8Lines, encoding);
    ConvertTextTo(read->text, *record, check);
    if (!check.Status()) return check.Status();
  }
  // The run takes the text over, so a long input is never held twice.
  std::vector<CgramReport> reports;
  ConvertOwnedTextTo(std::move(read->text), *record, sink, nullptr, &reports);
  if (!sink.Status()) return sink.Status();
  if (const CliStatus finished = out.Finish(); !finished) return finished;
  // Screens that lack slots are told about once the lines are written; the
  // run itself succeeded.
  ReportCgram(reports, context.console);
  return {};
}

}  // namespace

Command ConvertCommand() {
  return {"convert", [] { return Options().All(); },
          [] {
            return std::vector<HelpSection>{
                {{"convert [-p ИМЯ] [--profiles ФАЙЛ] [--rom cyrillic|a00|a02]",
                  "        [--look-alikes | --no-look-alikes] [--cgram | --no-cgram]",
                  "        [--cgram-codes 0|8] [--size 16x2] [--encoding КОД]",
                  "        [--output-encoding КОД] [-o ВЫХОД] [ВХОД]"},
                 "Преобразует весь текст ВХОДА (файл; без него или \"-\" - стандартный ввод) в "
                 "строки данных по профилю и пишет их в ВЫХОД или на стандартный вывод. Со "
                 "своими знаками каждый экран преобразуется отдельно, после блока CGRAM с "
                 "рисунками его знаков; об экране, которому не хватает 8 знаков, говорит строка "
                 "в стандартном потоке ошибок.",
                 {"profile", "profiles", "rom", "look-alikes", "no-look-alikes", "cgram",
                  "no-cgram", "cgram-codes", "size", "encoding", "output-encoding", "output"}}};
          },
          Run};
}

}  // namespace zeltrix::cli
