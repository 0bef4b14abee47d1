#include "cli/image_options.h"

#include <string>

#include "cli/cli_common.h"

namespace zeltrix::cli {

CliResult<ImageFileFormat> ImageFormatOption(const QCommandLineParser& parser,
                                             const QCommandLineOption& format,
                                             const QString& path) {
  if (!parser.isSet(format)) return ImageFileFormatOfPath(path.toStdString());
  const QString value = parser.value(format);
  if (const std::optional<ImageFileFormat> named = ImageFileFormatNamed(value.toStdString())) {
    return *named;
  }
  return Usage("неизвестный формат \"" + value.toStdString() +
               "\" у параметра --format (можно: bin, hex)");
}

CliResult<HexLayout> LayoutOption(const QString& value) {
  if (const std::optional<HexLayout> layout = HexLayoutNamed(value.toStdString())) return *layout;
  std::string names;
  for (const HexLayout layout : kHexLayouts) {
    names += (names.empty() ? "" : ", ") + std::string(HexLayoutOptionName(layout));
  }
  return Usage("неизвестное размещение \"" + value.toStdString() +
               "\" у параметра --layout (можно: " + names + ")");
}

CliResult<EepromChip> ChipOption(const QString& value) {
  if (const std::optional<EepromChip> chip = EepromChipNamed(value.toStdString())) return *chip;
  std::string names;
  for (const EepromChip& chip : kEepromChips) {
    std::string name(chip.name);
    for (char& c : name) c = c == 'C' ? 'c' : c;
    names += (names.empty() ? "" : ", ") + name;
  }
  return Usage("неизвестная микросхема \"" + value.toStdString() +
               "\" у параметра --chip (можно: " + names + ")");
}

CliResult<int> RecordLengthOption(const QString& value) {
  if (value == "16") return 16;
  if (value == "32") return 32;
  return Usage("неверная длина записи \"" + value.toStdString() +
               "\" у параметра --record-length (можно: 16, 32)");
}

CliStatus RefuseForBin(const QCommandLineParser& parser, const QCommandLineOption& option,
                       ImageFileFormat format) {
  if (format == ImageFileFormat::Bin && parser.isSet(option)) {
    return Usage("параметр --" + option.names().last().toStdString() +
                 " применим только к файлу Intel HEX (--format hex или ВЫХОД .hex)");
  }
  return {};
}

}  // namespace zeltrix::cli
