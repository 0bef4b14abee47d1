#include <QCommandLineOption>

#include "cli/cli_app.h"
#include "cli/command.h"

namespace zeltrix::cli {
namespace {

constexpr qsizetype kWidth = 79;
constexpr qsizetype kTextIndent = 6;
// Where an option's description starts; a longer name puts it on the next line.
constexpr qsizetype kDescriptionColumn = 28;

// Words of the text, filled into lines of the given indent up to the width.
QString Wrapped(const QString& text, qsizetype indent, qsizetype firstIndent) {
  QString out;
  QString line(firstIndent, ' ');
  bool lineHasWord = false;
  for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
    if (lineHasWord && line.size() + 1 + word.size() > kWidth) {
      out += line + '\n';
      line = QString(indent, ' ');
      lineHasWord = false;
    }
    if (lineHasWord) line += ' ';
    line += word;
    lineHasWord = true;
  }
  return out + line + '\n';
}

QString OptionName(const QCommandLineOption& option) {
  QStringList names;
  for (const QString& name : option.names()) names << (name.size() == 1 ? "-" : "--") + name;
  QString shown = names.join(", ");
  if (!option.valueName().isEmpty()) shown += ' ' + option.valueName();
  return shown;
}

QString OptionHelp(const QCommandLineOption& option) {
  QString head = QString(kTextIndent, ' ') + OptionName(option);
  if (head.size() + 1 > kDescriptionColumn) {
    head += '\n';
    return head + Wrapped(option.description(), kDescriptionColumn, kDescriptionColumn);
  }
  const QString description = Wrapped(option.description(), kDescriptionColumn, kDescriptionColumn);
  return head + description.mid(head.size());
}

QString SectionHelp(const HelpSection& section, const QList<QCommandLineOption>& options) {
  const QString program = "  zeltrix-cli ";
  QString out;
  for (qsizetype i = 0; i < section.synopsis.size(); ++i) {
    out += (i == 0 ? program : QString(program.size(), ' ')) + section.synopsis.at(i) + '\n';
  }
  if (!section.text.isEmpty()) out += Wrapped(section.text, kTextIndent, kTextIndent);
  for (const QString& wanted : section.options) {
    for (const QCommandLineOption& option : options) {
      if (option.names().last() == wanted) out += OptionHelp(option);
    }
  }
  return out;
}

}  // namespace

std::string HelpText() {
  QString out =
      "Zeltrix: текст в коды символов ЖКИ HD44780 с кириллицей.\n\n"
      "Использование:\n";
  for (const Command& command : Commands()) {
    const QList<QCommandLineOption> options = command.options();
    for (const HelpSection& section : command.help()) out += SectionHelp(section, options) + '\n';
  }
  out += SectionHelp({{"--help"}, "Эта справка.", {}}, {});
  out += SectionHelp({{"--version"}, "Название и версия программы.", {}}, {});
  out += '\n';
  out += Wrapped(
      "Коды возврата: 0 - успех, 2 - ошибка в командной строке, 1 - любая другая ошибка "
      "(сообщение выводится в стандартный поток ошибок).",
      0, 0);
  return out.toStdString();
}

}  // namespace zeltrix::cli
