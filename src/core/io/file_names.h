#pragma once

#include <string>
#include <string_view>

namespace zeltrix {

/**
 * A file name's bytes as UTF-16 text for a user interface that keeps names
 * as text: its UTF-8 sequences become their characters, and every other byte
 * (a name from a Windows-1251 archive) becomes the lone surrogate
 * U+DC00 + byte, which no real text holds. FileNameFromUtf16 gives the same
 * bytes back, so that such a name is found and written as the system gave it.
 */
std::u16string FileNameToUtf16(std::string_view bytes);

/**
 * The bytes of a file name kept as FileNameToUtf16 made it: the lone
 * surrogates U+DC80 to U+DCFF become their byte again, every other character
 * its UTF-8 form (a stray surrogate of another kind U+FFFD).
 */
std::string FileNameFromUtf16(std::u16string_view text);

}  // namespace zeltrix
