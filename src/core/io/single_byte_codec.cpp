#include "core/io/single_byte_codec.h"

#include <cstring>
#include <memory>

#include "core/io/utf8.h"

namespace zeltrix {
namespace {

constexpr CodePageDescriptor kCp1251 = {
    "Windows-1251",
    {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
        0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
        0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
        0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
        0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
        0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
        0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
        0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
        0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
        0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
        0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
        0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
        0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
        0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
        0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
        0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
    }};

constexpr CodePageDescriptor kKoi8r = {
    "KOI8-R",
    {
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
    }};

// DOS Cyrillic.
constexpr CodePageDescriptor kCp866 = {
    "CP866",
    {
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
    }};

// Both directions of one code page, built once from its descriptor: the
// UTF-8 form of every byte (up to three bytes, its length in the fourth) and
// the byte of every code point below U+10000 (0 where there is none; bytes
// below 0x80 are ASCII and never looked up).
struct Tables {
  std::array<std::array<char, 4>, 256> forms{};
  std::array<unsigned char, 0x10000> bytes{};
};

std::unique_ptr<Tables> BuildTables(const CodePageDescriptor& page) {
  auto tables = std::make_unique<Tables>();
  for (int b = 0; b < 256; ++b) {
    const char32_t cp = b < 0x80 ? char32_t(b) : char32_t(page.upperHalf[b - 0x80]);
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
  static const std::unique_ptr<const Tables> kTables = BuildTables(DescriptorOf(kPage));
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

// UTF-8 to the page; kChecked gives up on invalid UTF-8, the other form
// writes kSubstituteByte for each stray byte. One loop for both, so that the
// two cannot drift apart on valid text.
template <bool kChecked>
bool EncodeUtf8(const Tables& tables, std::string_view utf8, std::string& out) {
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      out.push_back(utf8[i++]);
      continue;
    }
    char32_t cp;
    const std::size_t len = DecodeUtf8(utf8, i, cp);
    if (kChecked && len == 0) return false;
    const unsigned char byte = len == 0 ? 0 : HighByte(tables, cp);
    out.push_back(byte == 0 ? kSubstituteByte : static_cast<char>(byte));
    i += len == 0 ? 1 : len;
  }
  return true;
}

}  // namespace

const CodePageDescriptor& DescriptorOf(CodePage page) {
  switch (page) {
    case CodePage::Koi8r:
      return kKoi8r;
    case CodePage::Cp866:
      return kCp866;
    case CodePage::Cp1251:
      break;
  }
  return kCp1251;
}

char32_t CodePageToCodePoint(CodePage page, unsigned char byte) {
  return byte < 0x80 ? byte : DescriptorOf(page).upperHalf[byte - 0x80];
}

char CodePointToCodePage(CodePage page, char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  const unsigned char byte = HighByte(TablesOf(page), cp);
  return byte == 0 ? kSubstituteByte : static_cast<char>(byte);
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

std::u32string CodePageToUtf32(CodePage page, std::string_view bytes) {
  const CodePageDescriptor& descriptor = DescriptorOf(page);
  std::u32string out(bytes.size(), U'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out[i] = byte < 0x80 ? byte : descriptor.upperHalf[byte - 0x80];
  }
  return out;
}

std::string Utf8ToCodePage(CodePage page, std::string_view utf8) {
  std::string out;
  EncodeUtf8<false>(TablesOf(page), utf8, out);
  return out;
}

std::optional<std::string> Utf8ToCodePageChecked(CodePage page, std::string_view utf8) {
  std::string out;
  if (!EncodeUtf8<true>(TablesOf(page), utf8, out)) return std::nullopt;
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
