#include "core/image/image_writer.h"

#include <algorithm>

#include "core/image/intel_hex.h"
#include "core/io/file_io.h"
#include "core/lcd/block_placement.h"

namespace zeltrix {
namespace {

constexpr const char* kConversion = "Преобразование";
constexpr const char* kError = "Ошибка";

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

bool SameLetters(std::string_view a, std::string_view lower) {
  if (a.size() != lower.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char c = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    if (c != lower[i]) return false;
  }
  return true;
}

// The image of the existing file in the layout's terms, with the file it
// came from; a missing file is an empty one.
struct ExistingHex {
  HexFile file;
  SparseImage image;
  bool missing = false;
};

Result<ExistingHex> ReadExistingHex(const std::string& path, HexLayout layout) {
  ExistingHex existing;
  const Result<std::string, FileStatus> text = ReadWholeFile(path);
  if (!text) {
    // A file that is not there is made with the block, as a BIN file is.
    if (!NothingAt(path)) {
      return Failure{ErrorMessage(kError, "Не удалось открыть файл \n" + Quoted(path))};
    }
    existing.missing = true;
    return existing;
  }
  Result<HexFile, HexFault> file = ReadIntelHex(*text);
  if (!file) return Failure{ErrorMessage(kError, HexFaultText(path, file.Reason()))};
  Result<SparseImage, std::string> image = ImageInLayout(file->image, layout);
  if (!image) {
    return Failure{ErrorMessage(kError, HexLayoutFaultText(path, layout, image.Reason()))};
  }
  existing.file = std::move(*file);
  existing.image = std::move(*image);
  return existing;
}

Status PlaceInHexFile(const std::string& path, std::string_view codes, const BlockPlacement& where,
                      const ImageFormat& format, Prompter& prompter) {
  ExistingHex target;
  std::uint64_t address = where.address;
  bool replace = false;
  if (where.existing) {
    Result<ExistingHex> existing = ReadExistingHex(path, format.layout);
    if (!existing) return Failure{existing.Reason()};
    target = std::move(*existing);
    const std::uint64_t end = target.image.End();
    bool atAddress = where.atAddress;
    if (atAddress && end <= address) {
      if (Status append = AskToAppend(prompter, path, target.missing); !append) return append;
      atAddress = false;
    }
    // Appending is inserting after the last byte.
    replace = atAddress && where.replace;
    if (!atAddress) address = end;
  }
  // Where the image ends once the block is in: an insert moves the end up.
  const std::uint64_t oldEnd = target.image.End();
  const std::uint64_t newEnd = replace || address >= oldEnd
                                   ? std::max(oldEnd, address + codes.size())
                                   : oldEnd + codes.size();
  if (format.chip && newEnd > format.chip->size) {
    return Failure{
        WarningMessage(kConversion, ChipOverflowText(*format.chip, newEnd - format.chip->size))};
  }
  if (newEnd > HexLayoutLimit(format.layout)) {
    return Failure{WarningMessage(
        kConversion, "Данные выходят за последний адрес файла Intel HEX (0xFFFFFFFF)")};
  }
  if (replace) {
    target.image.Put(address, codes);
  } else {
    target.image.Insert(address, codes);
  }
  if (!where.existing && format.chip) {
    // A new image the size of the chip: every byte not given is erased, 0xFF.
    SparseImage full;
    full.Put(0, std::string(format.chip->size, '\xFF'));
    for (const auto& [at, bytes] : target.image.GetRuns()) full.Put(at, bytes);
    target.image = std::move(full);
  }
  PutInLayout(target.file.image, target.image, format.layout);
  const std::string text = WriteIntelHex(target.file, format.recordLength);

  AtomicFileWriter writer;
  if (!writer.Begin(path)) {
    return Failure{ErrorMessage(
        kError, std::string(where.existing && !target.missing ? "Не удалось записать файл \n"
                                                              : "Не удалось создать файл \n") +
                    Quoted(path))};
  }
  if (!writer.Write(text) || !writer.Commit()) {
    return Failure{ErrorMessage(kError, "Не удалось записать файл \n" + Quoted(path))};
  }
  return {};
}

}  // namespace

std::optional<ImageFileFormat> ImageFileFormatNamed(std::string_view name) {
  if (SameLetters(name, "bin")) return ImageFileFormat::Bin;
  if (SameLetters(name, "hex")) return ImageFileFormat::IntelHex;
  return std::nullopt;
}

ImageFileFormat ImageFileFormatOfPath(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return ImageFileFormat::Bin;
  const std::string_view extension = name.substr(dot + 1);
  return SameLetters(extension, "hex") || SameLetters(extension, "ihx") ? ImageFileFormat::IntelHex
                                                                        : ImageFileFormat::Bin;
}

Status WriteImageBlock(const std::string& path, std::string_view codes, const ImageFormat& format,
                       BinTarget target, BinPlacement placement, BinManner manner,
                       std::string_view startAddress, Prompter& prompter) {
  const BlockFileStep step = [&](std::string_view block, const BlockPlacement& where,
                                 Prompter& askedThrough) {
    if (format.file == ImageFileFormat::IntelHex) {
      return PlaceInHexFile(path, block, where, format, askedThrough);
    }
    return PlaceInBinFile(path, block, where, format.chip ? &*format.chip : nullptr, askedThrough);
  };
  return PlaceBlock(path, codes, target, placement, manner, startAddress, prompter, step);
}

}  // namespace zeltrix
