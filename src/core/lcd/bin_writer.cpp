#include "core/lcd/bin_writer.h"

#include <fcntl.h>

#include <algorithm>
#include <limits>
#include <new>
#include <type_traits>

#include "core/io/file_io.h"
#include "core/io/file_lock.h"
#include "core/lcd/block_placement.h"
#include "core/lcd/text_prep.h"

namespace zeltrix {
namespace {

constexpr const char* kConversion = "Преобразование";
constexpr const char* kError = "Ошибка";

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

Message NoMemory() { return ErrorMessage(kConversion, "Ошибка при доступе к памяти!"); }

Message WriteFailure(const std::string& path) {
  return ErrorMessage(kError, "Не удалось записать файл \n" + Quoted(path));
}

Message CreateFailure(const std::string& path) {
  return ErrorMessage(kError, "Не удалось создать файл \n" + Quoted(path));
}

// The new file goes in beside an old one of that name and replaces it only
// once it is complete, so a failure leaves the old file as it was.
Status WriteNewFile(const std::string& path, std::string_view codes, const EepromChip* chip) {
  if (chip != nullptr && codes.size() > chip->size) {
    return Failure{WarningMessage(kConversion, ChipOverflowText(*chip, codes.size() - chip->size))};
  }
  AtomicFileWriter writer;
  if (!writer.Begin(path)) return Failure{CreateFailure(path)};
  // An image the size of the chip: the rest is the erased state, 0xFF.
  const std::string padding(chip != nullptr ? chip->size - codes.size() : 0, '\xFF');
  if (!writer.Write(codes) || !writer.Write(padding) || !writer.Commit()) {
    return Failure{WriteFailure(path)};
  }
  return {};
}

// Append, insert and replace build the new content in a temporary file: the
// bytes before the address, the codes, then the rest, streamed from the old
// file. A kill or a power cut then leaves the old file or the new one, never
// a file cut short; appending is inserting at the end. A missing file (no
// descriptor, size 0) is made the same way, so it appears only with the codes.
Status Rewrite(int fd, std::uint64_t size, std::uint64_t address, bool replace,
               std::string_view codes, const std::string& path) {
  const std::uint64_t tail =
      replace ? std::min<std::uint64_t>(size, address + codes.size()) : address;
  AtomicFileWriter writer;
  if (!writer.Begin(path) && fd < 0) return Failure{CreateFailure(path)};
  const bool written = writer.CopyFrom(fd, 0, address) && writer.Write(codes) &&
                       writer.CopyFrom(fd, tail, size - tail) && writer.Commit();
  if (!written) return Failure{WriteFailure(path)};
  return {};
}

Status WriteIntoExisting(const std::string& path, std::string_view codes, bool atAddress,
                         std::uint64_t address, bool replace, const EepromChip* chip,
                         Prompter& prompter) {
  const Result<OpenFile, FileStatus> file = OpenRegularFile(path, O_RDWR);
  const int fd = file ? file->Descriptor() : -1;
  const std::uint64_t size = file ? file->Size() : 0;
  // A file that is not there is not made here: a refusal or a failure
  // would leave it behind empty.
  const bool missing = !file && NothingAt(path);
  if (!file && !missing) {
    return Failure{ErrorMessage(kError, "Не удалось открыть файл \n" + Quoted(path))};
  }
  if (atAddress && size <= address) {
    if (Status append = AskToAppend(prompter, path, missing); !append) return append;
    atAddress = false;
  }
  if (!atAddress) {
    // Appending is inserting at the end.
    address = size;
    replace = false;
  }
  // An existing image is checked against the chip, not padded: padding
  // would put the next append past the chip's end.
  const std::uint64_t newSize =
      replace ? std::max<std::uint64_t>(size, address + codes.size()) : size + codes.size();
  if (chip != nullptr && newSize > chip->size) {
    return Failure{WarningMessage(kConversion, ChipOverflowText(*chip, newSize - chip->size))};
  }
  return Rewrite(fd, size, address, replace, codes, path);
}

template <class Char>
std::string CodesOf(std::basic_string_view<Char> text, const CharacterMap& shownBy) {
  // A copy of its own, out of reach of the writes through put.
  const CharacterMap map = shownBy;
  std::string codes(text.size(), '\0');
  char* put = codes.data();
  for (const Char c : text) {
    const MappedChar mapped = map.Map(c);
    *put = static_cast<char>(mapped.code);
    put += mapped.Shown();
  }
  codes.resize(static_cast<std::size_t>(put - codes.data()));
  return codes;
}

template <class String>
Result<String> Prepare(std::string_view path, String text, bool removeUndisplayable,
                       bool removeSpaces, int countSpace, const CharacterMap& map) {
  if (path.empty()) return Failure{NoBinPathMessage()};
  if (text.empty()) return Failure{NoBinTextMessage()};
  try {
    TabsAndBreaksToSpacesInPlace(text);
    if (removeUndisplayable || removeSpaces) {
      CleanTextInPlace(text, removeSpaces ? 1 : 0, countSpace, removeUndisplayable ? 1 : 0, map);
    }
    if (text.empty()) return Failure{NoBinTextMessage()};
    return text;
  } catch (const std::bad_alloc&) {
    return Failure{NoMemory()};
  }
}

// Puts the code block that makeCodes gives into the file, with every check
// of WriteBinImage after its first step. The block is made only once the
// start address is known to be given, as it always was. The step writes the
// file in a format of its own; without one, the file is a BIN.
template <class MakeCodes>
Status Place(const std::string& path, MakeCodes makeCodes, BinTarget target, BinPlacement placement,
             BinManner manner, std::string_view startAddress, Prompter& prompter,
             const BlockFileStep& step = {}) {
  const bool existing = target == kBinExistingFile;
  const bool atAddress = existing && placement == kBinAtAddress;
  if (atAddress && startAddress.empty()) {
    return Failure{WarningMessage("Предупреждение",
                                  "Поле  \"Начальный адрес\"  не заполенно\n"
                                  "Нужно указать начальный адрес добавляемых данных в файл.")};
  }
  try {
    const auto codes = makeCodes();
    if (codes.empty()) {
      return Failure{ErrorMessage(kConversion, "Не удалось выполнить преобразование!")};
    }
    // From the read of the old file to the replacement no other writer may
    // change it, or one of the two changes would be lost.
    const FileLock lock(path);
    if (!lock.Status()) {
      return Failure{ErrorMessage(
          kError,
          std::string(existing ? "Не удалось открыть файл \n" : "Не удалось создать файл \n") +
              Quoted(path) + "\n" + AsSentence(lock.Status().Reason()))};
    }
    const BlockPlacement where{existing, atAddress, manner == kBinReplace,
                               ParseStartAddress(startAddress)};
    return step ? step(codes, where, prompter)
                : PlaceInBinFile(path, codes, where, nullptr, prompter);
  } catch (const std::bad_alloc&) {
    return Failure{NoMemory()};
  }
}

}  // namespace

Message NoBinPathMessage() {
  return WarningMessage("Подготовка к преобразованию", "Не указан путь к файлу!");
}

Message NoBinTextMessage() {
  return WarningMessage("Преобразование текста", "Отсутствует преобразуемый текст");
}

Message BinWrittenMessage() {
  return {kConversion, "Преобразование успешно завершено.", MessageIcon::Information,
          MessageButtons::Ok, MessageAnswer::Ok};
}

Status AskToAppend(Prompter& prompter, const std::string& path, bool missing) {
  const MessageAnswer answer = prompter.Show(
      {kConversion,
       missing
           ? "Файл \n" + Quoted(path) + "\nне существует!\nСоздать его и записать в него данные?"
           : "Начальный адрес больше текущего размера файла!\nДобавить данные в конец файла?",
       MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes});
  if (answer == MessageAnswer::Yes) return {};
  return Failure{WarningMessage(kConversion, "Преобразование не производилось")};
}

Status PlaceInBinFile(const std::string& path, std::string_view codes, const BlockPlacement& where,
                      const EepromChip* chip, Prompter& prompter) {
  return where.existing ? WriteIntoExisting(path, codes, where.atAddress, where.address,
                                            where.replace, chip, prompter)
                        : WriteNewFile(path, codes, chip);
}

Status PlaceBlock(const std::string& path, std::string_view codes, BinTarget target,
                  BinPlacement placement, BinManner manner, std::string_view startAddress,
                  Prompter& prompter, const BlockFileStep& step) {
  if (path.empty()) return Failure{NoBinPathMessage()};
  return Place(
      path, [&] { return codes; }, target, placement, manner, startAddress, prompter, step);
}

std::string MapToLcdCodes(std::string_view text, const CharacterMap& map) {
  return CodesOf(text, map);
}

std::string MapToLcdCodes(std::u32string_view text, const CharacterMap& map) {
  return CodesOf(text, map);
}

std::string MapToLcdCodes(const EngineText& text, const CharacterMap& map) {
  return text.Visit([&](const auto& units) { return MapToLcdCodes(units, map); });
}

std::uint64_t ParseStartAddress(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  // Far more digits than any file can hold stop at a value no file reaches.
  constexpr std::uint64_t kCap = std::numeric_limits<std::uint64_t>::max() / 10 - 9;
  std::uint64_t value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    value = std::min(kCap, value * 10 + static_cast<std::uint64_t>(field[i] - '0'));
  }
  return value;
}

Result<std::string> PrepareBinText(std::string_view path, std::string text,
                                   bool removeUndisplayable, bool removeSpaces, int countSpace,
                                   const CharacterMap& map) {
  return Prepare(path, std::move(text), removeUndisplayable, removeSpaces, countSpace, map);
}

Result<std::u32string> PrepareBinText(std::string_view path, std::u32string text,
                                      bool removeUndisplayable, bool removeSpaces, int countSpace,
                                      const CharacterMap& map) {
  return Prepare(path, std::move(text), removeUndisplayable, removeSpaces, countSpace, map);
}

Result<EngineText> PrepareBinText(std::string_view path, EngineText text, bool removeUndisplayable,
                                  bool removeSpaces, int countSpace, const CharacterMap& map) {
  return std::move(text).Visit([&](auto&& units) -> Result<EngineText> {
    auto prepared =
        PrepareBinText(path, std::move(units), removeUndisplayable, removeSpaces, countSpace, map);
    if (!prepared) return Failure{prepared.Reason()};
    if constexpr (std::is_same_v<std::decay_t<decltype(units)>, std::string>) {
      return EngineText::FromCp1251(std::move(*prepared));
    } else {
      // Either path gives the same codes, should the removal have left only
      // characters that Windows-1251 holds.
      return EngineText::FromCharacters(std::move(*prepared));
    }
  });
}

Status WriteBinImage(const std::string& path, std::string_view text, BinTarget target,
                     BinPlacement placement, BinManner manner, std::string_view startAddress,
                     Prompter& prompter) {
  if (path.empty()) return Failure{NoBinPathMessage()};
  if (text.empty()) return Failure{NoBinTextMessage()};
  return Place(
      path, [&] { return MapToLcdCodes(text); }, target, placement, manner, startAddress, prompter);
}

Status WriteBinBlock(const std::string& path, std::string_view codes, BinTarget target,
                     BinPlacement placement, BinManner manner, std::string_view startAddress,
                     Prompter& prompter) {
  if (path.empty()) return Failure{NoBinPathMessage()};
  return Place(
      path, [&] { return codes; }, target, placement, manner, startAddress, prompter);
}

}  // namespace zeltrix
