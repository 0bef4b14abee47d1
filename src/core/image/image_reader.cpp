#include "core/image/image_reader.h"

#include <limits>

#include "core/image/intel_hex.h"
#include "core/io/file_io.h"
#include "core/lcd/code_decoder.h"

namespace zeltrix {
namespace {

constexpr const char* kError = "Ошибка";

}  // namespace

Result<SparseImage> ImageFromContent(const std::string& path, std::string content,
                                     ImageFileFormat format, HexLayout layout) {
  SparseImage image;
  if (format == ImageFileFormat::Bin) {
    image.Put(0, content);
    return image;
  }
  const Result<HexFile, HexFault> file = ReadIntelHex(content);
  if (!file) return Failure{ErrorMessage(kError, HexFaultText(path, file.Reason()))};
  Result<SparseImage, std::string> inLayout = ImageInLayout(file->image, layout);
  if (!inLayout) {
    return Failure{ErrorMessage(kError, HexLayoutFaultText(path, layout, inLayout.Reason()))};
  }
  return std::move(*inLayout);
}

Result<SparseImage> ReadImageFile(const std::string& path, ImageFileFormat format,
                                  HexLayout layout) {
  Result<std::string, FileStatus> content = ReadWholeFile(path);
  if (!content) {
    return Failure{ErrorMessage(kError, "Не удалось открыть файл \n\"" + path + "\"\n" +
                                            AsSentence(content.Reason().Reason()))};
  }
  return ImageFromContent(path, std::move(*content), format, layout);
}

std::string SelectImageBytes(const SparseImage& image, std::uint64_t from,
                             std::optional<std::uint64_t> length) {
  constexpr std::uint64_t kLast = std::numeric_limits<std::uint64_t>::max();
  const std::uint64_t to =
      !length ? image.End() : (*length > kLast - from ? kLast : from + *length);
  return image.BytesIn(from, to);
}

Result<std::string> DecodeImageFile(const std::string& path, const ImageDecoding& how) {
  const Result<SparseImage> image = ReadImageFile(path, how.format, how.layout);
  if (!image) return Failure{image.Reason()};
  return DecodeLcdCodes(SelectImageBytes(*image, how.from, how.length), how.rom, how.geometry);
}

}  // namespace zeltrix
