#pragma once

#include <string>

#include "core/io/single_byte_codec.h"

namespace zeltrix::testing {

/** A UTF-8 literal as the Windows-1251 bytes the program works on. */
inline std::string W(const char* utf8) { return *Utf8ToCp1251(utf8); }

}  // namespace zeltrix::testing
