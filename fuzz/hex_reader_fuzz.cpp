// The Intel HEX reader on any text: a refusal names a line of the text and
// says why; a text it reads is written back (16- and 32-byte records) as a
// text it reads as the same file, and the image each layout sees there,
// put back in its place, leaves the file's image as it was.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/image/intel_hex.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const zeltrix::Result<zeltrix::HexFile, zeltrix::HexFault> file = zeltrix::ReadIntelHex(text);
  if (!file) {
    const zeltrix::HexFault& fault = file.Reason();
    std::size_t lines = 0;
    for (const char c : text) lines += c == '\n';
    if (!text.empty() && text.back() != '\n') ++lines;
    Check(fault.line >= 1 && fault.line <= lines);
    Check(!fault.reason.empty());
    return 0;
  }
  Check(file->image.End() <= zeltrix::kHexAddressLimit);
  for (const int length : {16, 32}) {
    const std::string written = zeltrix::WriteIntelHex(*file, length);
    const zeltrix::Result<zeltrix::HexFile, zeltrix::HexFault> again =
        zeltrix::ReadIntelHex(written);
    Check(again && *again == *file);
  }
  for (const zeltrix::HexLayout layout : zeltrix::kHexLayouts) {
    const zeltrix::Result<zeltrix::SparseImage, std::string> image =
        zeltrix::ImageInLayout(file->image, layout);
    if (!image) {
      Check(layout == zeltrix::HexLayout::Pic16Eeprom && !image.Reason().empty());
      continue;
    }
    Check(image->End() <= zeltrix::HexLayoutLimit(layout));
    zeltrix::SparseImage hex = file->image;
    zeltrix::PutInLayout(hex, *image, layout);
    Check(hex == file->image);
  }
  return 0;
}
