#include "bench/sample_text.h"

#include <array>
#include <cstdint>

namespace zeltrix::bench {

std::string SampleText(std::size_t bytes) {
  // Windows-1251 words: "привет", "мир", "Температура", "ёлка", "№", then Latin ones.
  static const std::array<const char*, 12> kWords = {"\xEF\xF0\xE8\xE2\xE5\xF2",
                                                     "\xEC\xE8\xF0",
                                                     "\xD2\xE5\xEC\xEF\xE5\xF0\xE0\xF2\xF3\xF0\xE0",
                                                     "\xB8\xEB\xEA\xE0",
                                                     "\xB9",
                                                     "\xAB\xD1\xF2\xE0\xF0\xF2\xBB",
                                                     "Hello",
                                                     "world",
                                                     "LCD",
                                                     "HD44780",
                                                     "display",
                                                     "0x1F"};
  std::string text;
  text.reserve(bytes + 64);
  std::uint32_t state = 12345;
  std::size_t lineLength = 0;
  while (text.size() < bytes) {
    state = state * 1103515245u + 12345u;
    text += kWords[(state >> 16) % kWords.size()];
    lineLength += 6;
    if (lineLength >= 60) {
      text += "\r\n";
      lineLength = 0;
    } else {
      text += ' ';
    }
  }
  text.resize(bytes);
  return text;
}

}  // namespace zeltrix::bench
