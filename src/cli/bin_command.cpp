#include <QCommandLineParser>
#include <QRegularExpression>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "core/lcd/bin_writer.h"

namespace zeltrix::cli {
namespace {

// Prints the first report of a run on standard error and nothing on success.
// The question whether to append at the end is answered Yes with --yes and
// otherwise No, and then it is that question which the user reads.
class BinPrompter : public Prompter {
 public:
  explicit BinPrompter(bool yes) : m_yes(yes) {}

  MessageAnswer Show(const Message& message) override {
    const bool question = message.buttons != MessageButtons::Ok;
    if (question && m_yes) return MessageAnswer::Yes;
    if (message.icon == MessageIcon::Information) return MessageAnswer::Ok;
    if (!m_reported) {
      m_reported = true;
      StderrPrompter().Show(message);
    }
    return question ? MessageAnswer::No : MessageAnswer::Ok;
  }

 private:
  bool m_yes;
  bool m_reported = false;
};

int CountSpaceOption(const QString& value) {
  bool ok = false;
  const int count = value.toInt(&ok);
  if (!ok || count < 1 || count > 100) {
    UsageError("неверное число пробелов \"" + value.toStdString() +
               "\" у параметра --remove-spaces (нужно от 1 до 100)");
  }
  return count;
}

// The dialog's address field takes up to eight digits; so does the option.
std::string AddressOption(const QString& value, const char* option) {
  static const QRegularExpression kDigits("^[0-9]{1,8}$");
  if (!kDigits.match(value).hasMatch()) {
    UsageError("неверный начальный адрес \"" + value.toStdString() + "\" у параметра " + option +
               " (нужно от 0 до 99999999)");
  }
  return value.toStdString();
}

}  // namespace

int RunBin(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption removeUndisplayable("remove-undisplayable");
  const QCommandLineOption removeSpaces("remove-spaces", {}, "N");
  const QCommandLineOption append("append");
  const QCommandLineOption insert("insert", {}, "ADDR");
  const QCommandLineOption replace("replace", {}, "ADDR");
  const QCommandLineOption yes("yes");
  const QCommandLineOption encoding("encoding", {}, "ENCODING", "auto");
  const QCommandLineOption output({"o", "output"}, {}, "OUT");
  parser.addOptions(
      {removeUndisplayable, removeSpaces, append, insert, replace, yes, encoding, output});
  ParseOrFail(parser, arguments);
  const QString input = SingleInput(parser);
  const Encoding inputEncoding = ParseEncoding(parser.value(encoding), "--encoding", true);
  if (parser.value(output).isEmpty()) UsageError("не указан файл результата (-o ВЫХОД)");
  if (parser.isSet(append) + parser.isSet(insert) + parser.isSet(replace) > 1) {
    UsageError("параметры --append, --insert и --replace нельзя указывать вместе");
  }
  const int countSpace =
      parser.isSet(removeSpaces) ? CountSpaceOption(parser.value(removeSpaces)) : 2;

  // The choices of the BIN dialog's lists and its start-address field.
  std::int32_t target = kBinNewFile;
  std::int32_t placement = kBinAtEnd;
  std::int32_t manner = kBinInsert;
  std::string address;
  if (parser.isSet(append)) {
    target = kBinExistingFile;
  } else if (parser.isSet(insert)) {
    target = kBinExistingFile;
    placement = kBinAtAddress;
    address = AddressOption(parser.value(insert), "--insert");
  } else if (parser.isSet(replace)) {
    target = kBinExistingFile;
    placement = kBinAtAddress;
    manner = kBinReplace;
    address = AddressOption(parser.value(replace), "--replace");
  }

  Encoding used;
  const std::string text = DecodeInput(ReadInput(input), inputEncoding, used);
  const std::string path = LocalPath(parser.value(output));
  BinPrompter prompter(parser.isSet(yes));
  const std::optional<std::string> prepared =
      PrepareBinText(path, text, parser.isSet(removeUndisplayable), parser.isSet(removeSpaces),
                     countSpace, prompter);
  if (!prepared) return kExitFailure;
  if (!WriteBinImage(path, *prepared, target, placement, manner, address, prompter)) {
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace zeltrix::cli
