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
// came from; a missing file is an empty one. Nothing after a refusal, which
// is reported.
struct ExistingHex {
  HexFile file;
  SparseImage image;
  bool missing = false;
};

std::optional<ExistingHex> ReadExistingHex(const std::string& path, HexLayout layout,
                                           Prompter& prompter) {
  ExistingHex existing;
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) {
    // A file that is not there is made with the block, as a BIN file is.
    if (!NothingAt(path)) {
      ShowError(prompter, kError, "Не удалось открыть файл \n" + Quoted(path));
      return std::nullopt;
    }
    existing.missing = true;
    return existing;
  }
  HexFault fault;
  std::optional<HexFile> file = ReadIntelHex(*text, &fault);
  if (!file) {
    ShowError(prompter, kError, HexFaultText(path, fault));
    return std::nullopt;
  }
  std::string reason;
  std::optional<SparseImage> image = ImageInLayout(file->image, layout, &reason);
  if (!image) {
    ShowError(prompter, kError, HexLayoutFaultText(path, layout, reason));
    return std::nullopt;
  }
  existing.file = std::move(*file);
  existing.image = std::move(*image);
  return existing;
}

bool PlaceInHexFile(const std::string& path, std::string_view codes, const BlockPlacement& where,
                    const ImageFormat& format, Prompter& prompter) {
  ExistingHex target;
  std::uint64_t address = where.address;
  bool replace = false;
  if (where.existing) {
    std::optional<ExistingHex> existing = ReadExistingHex(path, format.layout, prompter);
    if (!existing) return false;
    target = std::move(*existing);
    const std::uint64_t end = target.image.End();
    bool atAddress = where.atAddress;
    if (atAddress && end <= address) {
      if (!AskToAppend(prompter, path, target.missing)) return false;
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
    ShowWarning(prompter, kConversion, ChipOverflowText(*format.chip, newEnd - format.chip->size));
    return false;
  }
  if (newEnd > HexLayoutLimit(format.layout)) {
    ShowWarning(prompter, kConversion,
                "Данные выходят за последний адрес файла Intel HEX (0xFFFFFFFF)");
    return false;
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
    ShowError(prompter, kError,
              std::string(where.existing && !target.missing ? "Не удалось записать файл \n"
                                                            : "Не удалось создать файл \n") +
                  Quoted(path));
    return false;
  }
  if (!writer.Write(text) || !writer.Commit()) {
    ShowError(prompter, kError, "Не удалось записать файл \n" + Quoted(path));
    return false;
  }
  return true;
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

bool WriteImageBlock(const std::string& path, std::string_view codes, const ImageFormat& format,
                     BinTarget target, BinPlacement placement, BinManner manner,
                     std::string_view startAddress, Prompter& prompter) {
  const BlockFileStep step = [&](std::string_view block, const BlockPlacement& where,
                                 Prompter& shownTo) {
    if (format.file == ImageFileFormat::IntelHex) {
      return PlaceInHexFile(path, block, where, format, shownTo);
    }
    return PlaceInBinFile(path, block, where, format.chip ? &*format.chip : nullptr, shownTo);
  };
  return PlaceBlock(path, codes, target, placement, manner, startAddress, prompter, step);
}

}  // namespace zeltrix
