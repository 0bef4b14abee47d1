#include "core/image/image_reader.h"

#include <limits>

#include "core/image/intel_hex.h"
#include "core/io/file_io.h"
#include "core/lcd/code_decoder.h"

namespace zeltrix {
namespace {

constexpr const char* kError = "Ошибка";

}  // namespace

std::optional<SparseImage> ReadImageFile(const std::string& path, ImageFileFormat format,
                                         HexLayout layout, Prompter& prompter) {
  FileStatus status;
  std::optional<std::string> bytes = ReadWholeFile(path, &status);
  if (!bytes) {
    ShowError(prompter, kError,
              "Не удалось открыть файл \n\"" + path + "\"\n" + AsSentence(status.Reason()));
    return std::nullopt;
  }
  SparseImage image;
  if (format == ImageFileFormat::Bin) {
    image.Put(0, *bytes);
    return image;
  }
  HexFault fault;
  const std::optional<HexFile> file = ReadIntelHex(*bytes, &fault);
  if (!file) {
    ShowError(prompter, kError, HexFaultText(path, fault));
    return std::nullopt;
  }
  std::string reason;
  std::optional<SparseImage> inLayout = ImageInLayout(file->image, layout, &reason);
  if (!inLayout) ShowError(prompter, kError, HexLayoutFaultText(path, layout, reason));
  return inLayout;
}

std::string SelectImageBytes(const SparseImage& image, std::uint64_t from,
                             std::optional<std::uint64_t> length) {
  constexpr std::uint64_t kLast = std::numeric_limits<std::uint64_t>::max();
  const std::uint64_t to =
      !length ? image.End() : (*length > kLast - from ? kLast : from + *length);
  return image.BytesIn(from, to);
}

std::optional<std::string> DecodeImageFile(const std::string& path, const ImageDecoding& how,
                                           Prompter& prompter) {
  const std::optional<SparseImage> image = ReadImageFile(path, how.format, how.layout, prompter);
  if (!image) return std::nullopt;
  return DecodeLcdCodes(SelectImageBytes(*image, how.from, how.length), how.rom, how.geometry);
}

}  // namespace zeltrix
