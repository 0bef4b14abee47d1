#include <QCommandLineParser>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/profile_source.h"
#include "core/io/single_byte_codec.h"
#include "core/lcd/formatter.h"
#include "core/profiles/profile_database.h"

namespace zeltrix::cli {
namespace {

// Passes the data lines on as they are made, in the encoding asked for.
class LinesSink : public OutputSink {
 public:
  LinesSink(Output& out, TextEncoding encoding) : m_out(out), m_encoding(encoding) {}
  void Write(std::string_view bytes) override {
    if (m_encoding == TextEncoding::Cp1251) {
      m_out.Write(bytes);
    } else if (m_encoding == TextEncoding::Utf8) {
      // UTF-8 data lines carry no byte-order mark, even when the input had one.
      m_out.Write(Cp1251ToUtf8(bytes));
    } else {
      m_out.Write(EncodeText(Cp1251ToUtf8(bytes), {m_encoding}));
    }
  }

 private:
  Output& m_out;
  TextEncoding m_encoding;
};

struct Options {
  QCommandLineOption profile{
      {"p", "profile"},
      "профиль (без него - первый профиль файла); регистр латинских букв не важен",
      "ИМЯ"};
  QCommandLineOption profiles{"profiles",
                              "файл профилей (по умолчанию Profile.prof рядом с программой или, "
                              "если она установлена, в ~/.config/Zeltrix, а если его нет - "
                              "три стандартных профиля)",
                              "ФАЙЛ"};
  QCommandLineOption encoding{"encoding",
                              "кодировка входа: auto (по умолчанию: текст UTF-8 с не-ASCII "
                              "символами читается как UTF-8, иначе как Windows-1251), cp1251, "
                              "utf-8, koi8-r или cp866",
                              "КОД", "auto"};
  QCommandLineOption outputEncoding{
      "output-encoding",
      "кодировка строк данных: cp1251, utf-8, koi8-r или cp866 (по умолчанию - "
      "кодировка входа)",
      "КОД"};
  QCommandLineOption output{{"o", "output"}, "файл результата (заменяется целиком)", "ВЫХОД"};

  QList<QCommandLineOption> All() const {
    return {profile, profiles, encoding, outputEncoding, output};
  }
};

int Run(const QStringList& arguments, Context& context) {
  const Options o;
  QCommandLineParser parser;
  ParseOrFail(parser, o.All(), arguments);
  const QString input = SingleInput(parser);
  const std::optional<TextEncoding> inputEncoding =
      ParseEncoding(parser.value(o.encoding), "--encoding", true);
  const std::optional<TextEncoding> wanted =
      parser.isSet(o.outputEncoding)
          ? ParseEncoding(parser.value(o.outputEncoding), "--output-encoding", false)
          : std::nullopt;

  // Only the profile's own group is read: the rest of a large file is only scanned.
  SettingsFile file;
  std::string name;
  if (parser.isSet(o.profile)) {
    const QString given = parser.value(o.profile);
    const std::optional<std::string> typed = ProfileNameArgument(given);
    if (!typed) Fail("Профиль \"" + given.toStdString() + "\" не найден!");
    name = *typed;
  } else {
    const std::string path = OpenProfileSource(file, parser.value(o.profiles),
                                               context.programDirectory, ProfileSourcePart::Names);
    WarnUnreadableNames(file, path, context.console);
    const std::vector<std::string> names = ProfileNames(file);
    if (names.empty()) Fail("В файле профилей нет ни одного профиля");
    name = names.front();
  }
  OpenProfileSourceGroup(file, parser.value(o.profiles), context.programDirectory, name);
  ProfileRecord record;
  StderrPrompter prompter(context.console);
  if (LoadProfileFrom(file, name, record, prompter) != kLoadDone) return kExitFailure;
  file.Close();

  InputText read = ReadInputText(input, inputEncoding, context.console);
  Output out(parser.value(o.output), context.console);
  LinesSink sink(out, wanted.value_or(read.encoding));
  // The run takes the text over, so a long input is never held twice.
  ConvertOwnedTextTo(std::move(read.text), record, sink);
  out.Finish();
  return kExitOk;
}

}  // namespace

Command ConvertCommand() {
  return {"convert", [] { return Options().All(); },
          [] {
            return std::vector<HelpSection>{
                {{"convert [-p ИМЯ] [--profiles ФАЙЛ] [--encoding КОД]",
                  "        [--output-encoding КОД] [-o ВЫХОД] [ВХОД]"},
                 "Преобразует весь текст ВХОДА (файл; без него или \"-\" - стандартный ввод) в "
                 "строки данных по профилю и пишет их в ВЫХОД или на стандартный вывод.",
                 {"profile", "profiles", "encoding", "output-encoding", "output"}}};
          },
          Run};
}

}  // namespace zeltrix::cli
