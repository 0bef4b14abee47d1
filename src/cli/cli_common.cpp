#include "cli/cli_common.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "core/io/cp1251.h"
#include "core/io/file_io.h"

namespace zeltrix::cli {

void Fail(std::string message) { throw CliError{kExitFailure, std::move(message)}; }

void UsageError(std::string message) { throw CliError{kExitUsage, std::move(message)}; }

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
  std::fprintf(stderr, "zeltrix-cli: %s\n", line.c_str());
  return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

void ParseOrFail(QCommandLineParser& parser, const QStringList& arguments) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  if (parser.parse(arguments)) return;
  const QStringList unknown = parser.unknownOptionNames();
  if (!unknown.isEmpty()) {
    const QString name = unknown.first();
    UsageError("неизвестный параметр \"" + std::string(name.size() == 1 ? "-" : "--") +
               name.toStdString() + "\"");
  }
  // Qt names the option whose value is missing between quotes.
  const QString error = parser.errorText();
  const qsizetype open = error.indexOf('\'');
  const qsizetype close = error.indexOf('\'', open + 1);
  if (open >= 0 && close > open) {
    UsageError("не указано значение параметра \"" +
               error.mid(open + 1, close - open - 1).toStdString() + "\"");
  }
  UsageError("неверная командная строка");
}

QString SingleInput(const QCommandLineParser& parser) {
  const QStringList positional = parser.positionalArguments();
  if (positional.size() > 1)
    UsageError("лишний аргумент \"" + positional.at(1).toStdString() + "\"");
  return positional.isEmpty() ? QString() : positional.first();
}

std::string ProgramDirectory() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "./";
  std::string dir = exe.parent_path().string();
  if (dir.empty() || dir.back() != '/') dir.push_back('/');
  return dir;
}

std::string LocalPath(const QString& argument) { return argument.toLocal8Bit().toStdString(); }

namespace {

bool IsStream(const QString& name) { return name.isEmpty() || name == "-"; }

std::string ReadStandardInput() {
  std::string data;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail("не удалось прочитать стандартный ввод");
    if (got == 0) return data;
    data.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace

std::string ReadInput(const QString& input) {
  if (IsStream(input)) return ReadStandardInput();
  const std::string path = LocalPath(input);
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) Fail("Не удалось открыть файл \"" + input.toStdString() + "\"");
  return std::move(*bytes);
}

Encoding ParseEncoding(const QString& value, const char* option, bool allowAuto) {
  const QString v = value.toLower();
  if (allowAuto && v == "auto") return Encoding::Auto;
  if (v == "cp1251" || v == "windows-1251") return Encoding::Cp1251;
  if (v == "utf-8" || v == "utf8") return Encoding::Utf8;
  UsageError(std::string("неизвестная кодировка \"") + value.toStdString() + "\" у параметра " +
             option);
}

std::string DecodeInput(std::string_view bytes, Encoding encoding, Encoding& used) {
  if (encoding == Encoding::Auto) {
    const bool nonAscii = std::any_of(bytes.begin(), bytes.end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    encoding = nonAscii && IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Cp1251;
  }
  used = encoding;
  if (encoding == Encoding::Cp1251) return std::string(bytes);
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::optional<std::string> text = Utf8ToCp1251(bytes);
  if (!text) Fail("входной текст не является текстом в кодировке UTF-8");
  return std::move(*text);
}

Output::Output(const QString& name) : m_name(name), m_toFile(!IsStream(name)) {
  // A generated file need not wait for the disk: the rename alone keeps a
  // half-written result from ever standing under its name.
  if (m_toFile && !m_file.Begin(LocalPath(name), false)) {
    Fail("Не удалось записать файл \"" + name.toStdString() + "\"");
  }
}

void Output::Write(std::string_view bytes) {
  if (m_toFile) {
    if (!m_file.Write(bytes)) Fail("Не удалось записать файл \"" + m_name.toStdString() + "\"");
    return;
  }
  while (!bytes.empty()) {
    const ssize_t put = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) Fail("не удалось записать стандартный вывод");
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
}

void Output::Finish() {
  if (m_toFile && !m_file.Commit()) {
    Fail("Не удалось записать файл \"" + m_name.toStdString() + "\"");
  }
}

void WriteOutput(const QString& output, std::string_view bytes) {
  Output out(output);
  out.Write(bytes);
  out.Finish();
}

}  // namespace zeltrix::cli
