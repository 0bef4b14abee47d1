#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "core/io/single_byte_codec.h"

namespace zeltrix {

/** A Windows-1251 text as the widgets show it. */
inline QString FromCp1251(std::string_view text) {
  return QString::fromStdString(Cp1251ToUtf8(text));
}

/** What a widget holds, in Windows-1251; a character without a code gives 0x1A. */
inline std::string ToCp1251(const QString& text) { return Utf8ToCp1251Lossy(text.toStdString()); }

}  // namespace zeltrix
