#include "core/io/code_pages.h"

#include <array>
#include <cstring>
#include <memory>

#include "core/io/cp1251.h"

namespace zeltrix {
namespace {

using HighHalf = std::array<char16_t, 128>;

// KOI8-R, bytes 0x80 to 0xFF.
constexpr HighHalf kKoi8r = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524,  // 80
    0x252C, 0x2534, 0x253C, 0x2580, 0x2584, 0x2588, 0x258C, 0x2590,  // 88
    0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248,  // 90
    0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7,  // 98
    0x2550, 0x2551, 0x2552, 0x0451, 0x2553, 0x2554, 0x2555, 0x2556,  // A0
    0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,  // A8
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565,  // B0
    0x2566, 0x2567, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x00A9,  // B8
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,  // C0
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E,  // C8
    0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432,  // D0
    0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,  // D8
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413,  // E0
    0x0425, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E,  // E8
    0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412,  // F0
    0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A,  // F8
};

// CP866 (DOS Cyrillic), bytes 0x80 to 0xFF.
constexpr HighHalf kCp866 = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 88
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 98
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // A0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,  // F8
};

// Both directions of one code page, built once: the UTF-8 form of every byte
// (up to three bytes, its length in the fourth) and the byte of every code
// point below U+10000 (0 where there is none; bytes below 0x80 are ASCII and
// never looked up).
struct Tables {
  std::array<std::array<char, 4>, 256> forms{};
  std::array<unsigned char, 0x10000> bytes{};
};

std::unique_ptr<Tables> BuildTables(CodePage page) {
  auto tables = std::make_unique<Tables>();
  for (int b = 0; b < 256; ++b) {
    const char32_t cp = CodePageToCodePoint(page, static_cast<unsigned char>(b));
    std::string one;
    AppendUtf8(one, cp);
    for (std::size_t k = 0; k < one.size(); ++k) tables->forms[b][k] = one[k];
    tables->forms[b][3] = static_cast<char>(one.size());
    if (b >= 0x80) tables->bytes[cp] = static_cast<unsigned char>(b);
  }
  return tables;
}

// Each page's tables are built on its first use only, as most runs never
// touch more than one page.
template <CodePage kPage>
const Tables& TablesOf() {
  static const std::unique_ptr<const Tables> kTables = BuildTables(kPage);
  return *kTables;
}

const Tables& TablesOf(CodePage page) {
  switch (page) {
    case CodePage::Koi8r:
      return TablesOf<CodePage::Koi8r>();
    case CodePage::Cp866:
      return TablesOf<CodePage::Cp866>();
    case CodePage::Cp1251:
      break;
  }
  return TablesOf<CodePage::Cp1251>();
}

// The byte of a code point at or above 0x80, or 0 when the page has none.
unsigned char HighByte(const Tables& tables, char32_t cp) {
  return cp < 0x10000 ? tables.bytes[cp] : 0;
}

}  // namespace

char32_t CodePageToCodePoint(CodePage page, unsigned char byte) {
  if (byte < 0x80) return byte;
  switch (page) {
    case CodePage::Koi8r:
      return kKoi8r[byte - 0x80];
    case CodePage::Cp866:
      return kCp866[byte - 0x80];
    case CodePage::Cp1251:
      break;
  }
  return Cp1251ToCodePoint(byte);
}

char CodePointToCodePage(CodePage page, char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  const unsigned char byte = HighByte(TablesOf(page), cp);
  return byte == 0 ? kNoCp1251Code : static_cast<char>(byte);
}

std::string CodePageToUtf8(CodePage page, std::string_view bytes) {
  const Tables& tables = TablesOf(page);
  std::string out(bytes.size() * 3, '\0');
  char* put = out.data();
  for (const char c : bytes) {
    const auto& form = tables.forms[static_cast<unsigned char>(c)];
    std::memcpy(put, form.data(), 3);
    put += form[3];
  }
  out.resize(static_cast<std::size_t>(put - out.data()));
  return out;
}

std::string Utf8ToCodePage(CodePage page, std::string_view utf8) {
  const Tables& tables = TablesOf(page);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      out.push_back(utf8[i++]);
      continue;
    }
    char32_t cp;
    const std::size_t len = DecodeUtf8(utf8, i, cp);
    const unsigned char byte = len == 0 ? 0 : HighByte(tables, cp);
    out.push_back(byte == 0 ? kNoCp1251Code : static_cast<char>(byte));
    i += len == 0 ? 1 : len;
  }
  return out;
}

bool CodePageHolds(CodePage page, std::string_view utf8) {
  const Tables& tables = TablesOf(page);
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t cp;
    const std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0 || HighByte(tables, cp) == 0) return false;
    i += len;
  }
  return true;
}

}  // namespace zeltrix
