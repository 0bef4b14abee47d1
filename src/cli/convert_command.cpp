#include <QCommandLineParser>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/profile_source.h"
#include "core/io/cp1251.h"
#include "core/lcd/formatter.h"
#include "core/profiles/profile_database.h"

namespace zeltrix::cli {
namespace {

// Passes the data lines on as they are made, in the encoding asked for.
class LinesSink : public OutputSink {
 public:
  LinesSink(Output& out, bool utf8) : m_out(out), m_utf8(utf8) {}
  void Write(std::string_view bytes) override {
    if (m_utf8) {
      m_out.Write(Cp1251ToUtf8(bytes));
    } else {
      m_out.Write(bytes);
    }
  }

 private:
  Output& m_out;
  bool m_utf8;
};

}  // namespace

int RunConvert(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption profile({"p", "profile"}, {}, "NAME");
  const QCommandLineOption profiles("profiles", {}, "FILE");
  const QCommandLineOption encoding("encoding", {}, "ENCODING", "auto");
  const QCommandLineOption outputEncoding("output-encoding", {}, "ENCODING");
  const QCommandLineOption output({"o", "output"}, {}, "OUT");
  parser.addOptions({profile, profiles, encoding, outputEncoding, output});
  ParseOrFail(parser, arguments);
  const QString input = SingleInput(parser);
  const Encoding inputEncoding = ParseEncoding(parser.value(encoding), "--encoding", true);
  const bool outputGiven = parser.isSet(outputEncoding);
  const Encoding wanted =
      outputGiven ? ParseEncoding(parser.value(outputEncoding), "--output-encoding", false)
                  : Encoding::Auto;

  SettingsFile file;
  OpenProfileSource(file, parser.value(profiles));
  std::string name;
  if (parser.isSet(profile)) {
    const QByteArray utf8 = parser.value(profile).toUtf8();
    name = Utf8ToCp1251(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())))
               .value_or(std::string());
  } else {
    const std::vector<std::string> names = ProfileNames(file);
    if (names.empty()) Fail("В файле профилей нет ни одного профиля");
    name = names.front();
  }
  ProfileRecord record;
  StderrPrompter prompter;
  if (LoadProfileFrom(file, name, record, prompter) != kLoadDone) return kExitFailure;
  file.Close();

  Encoding used;
  const std::string text = DecodeInput(ReadInput(input), inputEncoding, used);
  Output out(parser.value(output));
  LinesSink sink(out, (outputGiven ? wanted : used) == Encoding::Utf8);
  ConvertTextTo(text, record, sink);
  out.Finish();
  return kExitOk;
}

}  // namespace zeltrix::cli
