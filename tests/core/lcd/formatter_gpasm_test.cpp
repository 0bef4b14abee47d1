// The data lines of the two PIC profiles go through the real assembler,
// gpasm of gputils, and the assembled words must be the codes of the text.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/lcd/formatter.h"
#include "core/lcd/lcd_code.h"
#include "core/profiles/profile_database.h"
#include "core/settings/settings_file.h"
#include "tests/support/cp1251_text.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::W;
using testing::WriteBytes;

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

ProfileRecord DefaultProfile(const std::string& name) {
  SettingsFile file;
  file.OpenBuffer("");
  WriteDefaultProfiles(file);
  ProfileRecord record;
  EXPECT_TRUE(LoadProfileFrom(file, name, record));
  return record;
}

// The 14-bit program words of an Intel HEX file, from address 0 on.
std::vector<std::uint16_t> ProgramWords(const std::string& hex) {
  std::map<std::uint32_t, std::uint8_t> bytes;
  std::uint32_t base = 0;
  std::stringstream lines(hex);
  std::string line;
  const auto byteAt = [&](std::size_t i) {
    return static_cast<std::uint8_t>(std::stoul(line.substr(1 + 2 * i, 2), nullptr, 16));
  };
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] != ':') continue;
    const std::uint8_t count = byteAt(0);
    const std::uint32_t address = (byteAt(1) << 8) | byteAt(2);
    const std::uint8_t type = byteAt(3);
    if (type == 4) base = static_cast<std::uint32_t>((byteAt(4) << 8) | byteAt(5)) << 16;
    if (type != 0) continue;
    for (std::size_t i = 0; i < count; ++i) bytes[base + address + i] = byteAt(4 + i);
  }
  std::vector<std::uint16_t> words;
  for (std::uint32_t at = 0; bytes.count(at) != 0 && bytes.count(at + 1) != 0; at += 2) {
    words.push_back(static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8)));
  }
  return words;
}

// Texts whose chunks of 8 end with characters the display cannot show, or
// hold nothing else, among ordinary ones; the same every run.
std::vector<std::string> Texts() {
  const std::string shown = W("AzБя0 9.Ё№«");
  const std::string hidden = W("°€{}~|") + "\x7F\x98";
  std::uint32_t state = 2024;
  const auto next = [&](std::uint32_t below) {
    state = state * 1103515245u + 12345u;
    return (state >> 16) % below;
  };
  std::vector<std::string> texts;
  for (int t = 0; t < 60; ++t) {
    std::string text;
    const std::uint32_t chunks = 1 + next(4);
    for (std::uint32_t c = 0; c < chunks; ++c) {
      // Undisplayable characters: none, the last few, or the whole chunk.
      const std::uint32_t kind = next(3);
      const std::uint32_t hiddenTail = kind == 0 ? 0 : kind == 1 ? 1 + next(3) : 8;
      for (std::uint32_t i = 0; i < 8; ++i) {
        text += i + hiddenTail >= 8 ? hidden[next(static_cast<std::uint32_t>(hidden.size()))]
                                    : shown[next(static_cast<std::uint32_t>(shown.size()))];
      }
    }
    // A last, shorter chunk that ends undisplayable now and then.
    if (next(2) == 0) text += shown.substr(0, 1 + next(3)) + hidden.substr(next(4), 1);
    texts.push_back(text);
  }
  return texts;
}

TEST(ConvertTextAssembles, PicProfilesGiveTheCodesThroughGpasm) {
  if (!OnPath("gpasm")) GTEST_SKIP() << "gpasm (Debian package gputils) is not installed";
  struct Case {
    const char* profile;
    std::uint16_t word;  // RETLW k is 0x34kk; DE stores k in a word of its own
  };
  const std::vector<std::string> texts = Texts();
  std::vector<std::uint16_t> codes;
  for (const std::string& text : texts) {
    for (const char c : text) {
      if (IsDisplayable(c)) codes.push_back(LcdCode(c));
    }
  }
  ASSERT_LT(codes.size(), 2048u) << "the 16F628A holds 2048 words";
  for (const Case c : {Case{"ASM — DT For PIC", 0x3400}, Case{"ASM — DE For PIC", 0x0000}}) {
    const ProfileRecord profile = DefaultProfile(W(c.profile));
    std::string source = "    processor 16f628a\r\n    org 0\r\n";
    for (const std::string& text : texts) source += ConvertText(text, profile);
    source += "    end\r\n";
    testing::TempDir dir;
    ASSERT_TRUE(WriteBytes(dir.Path("lines.asm"), source));
    const std::string command =
        "cd '" + dir.Root() + "' && gpasm -o lines.hex lines.asm >gpasm.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << c.profile << ":\n"
                                               << ReadBytes(dir.Path("gpasm.log"));
    const std::vector<std::uint16_t> words = ProgramWords(ReadBytes(dir.Path("lines.hex")));
    ASSERT_EQ(words.size(), codes.size()) << c.profile;
    for (std::size_t i = 0; i < codes.size(); ++i) {
      ASSERT_EQ(words[i], c.word | codes[i]) << c.profile << ", word " << i;
    }
  }
}

}  // namespace
}  // namespace zeltrix
