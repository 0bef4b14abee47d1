#include "core/profiles/profile_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings/settings_file.h"

namespace zeltrix {
namespace {

TEST(UnwrapText, Rules) {
  struct Case {
    std::string stored, value;
  };
  const Case cases[] = {
      {"[String][/String]", ""},
      {"[String]  [/String]", "  "},
      {"[String]; [/String]", "; "},
      {"[String]a[String]b[/String]", "ab"},
      {"x[/String]", "x[/String]"},
      {"1234567[/String]", "1234567"},
      {"[String]abc", "abc"},
      {"Dt", "Dt"},
      {"", ""},
      {"[string]lower[/string]", "[string]lower[/string]"},
  };
  for (const Case& c : cases) EXPECT_EQ(UnwrapText(c.stored), c.value) << c.stored;
}

TEST(WrapText, AlwaysWraps) {
  EXPECT_EQ(WrapText(""), "[String][/String]");
  EXPECT_EQ(WrapText(", "), "[String], [/String]");
}

ProfileRecord ReadGroup(const std::string& content) {
  SettingsFile file;
  file.OpenBuffer(content);
  file.SelectGroup("P");
  ProfileRecord record;
  record.Name = "kept";
  ReadProfileFields(file, record);
  return record;
}

TEST(ReadProfileFields, MissingKeysTakeTheirDefaults) {
  const ProfileRecord r = ReadGroup("[P]\r\n");
  EXPECT_EQ(r.Ost1, 2);
  EXPECT_EQ(r.Ost2, 2);
  EXPECT_EQ(r.SI, 2);
  EXPECT_EQ(r.CountSpace, 2);
  EXPECT_EQ(r.CountByte, 0);
  EXPECT_EQ(r.CommentState, 0);
  EXPECT_EQ(r.CountByteToComment, 0);
  EXPECT_EQ(r.Directive, "");
  EXPECT_EQ(r.Comment, "");
  EXPECT_EQ(r.Name, "kept");
}

TEST(ReadProfileFields, ValuesAreCutToTheirWidthAndLettersReadAsZero) {
  const ProfileRecord r = ReadGroup(
      "[P]\r\nCountSpace = 300\r\nDeleteSpace = -1\r\nSI = x\r\nCountByte = 12abc\r\n"
      "Comment = ; \r\nRazdelitelData = [String], [/String]\r\n");
  EXPECT_EQ(r.CountSpace, 44);
  EXPECT_EQ(r.DeleteSpace, 255);
  EXPECT_EQ(r.SI, 0);
  EXPECT_EQ(r.CountByte, 12);
  EXPECT_EQ(r.Comment, ";");
  EXPECT_EQ(r.RazdelitelData, ", ");
}

TEST(ProfileFields, SaveAndReloadGiveTheSameRecord) {
  ProfileRecord original;
  original.Ost1 = 30;
  original.Ost2 = 0;
  original.Directive = " db ";
  original.StartDataBlok = "\t{ ";
  original.EndDataBlok = " }";
  original.StartData = "\xC0";
  original.SI = kBinary;
  original.EndData = "h";
  original.RazdelitelData = ", ";
  original.Comment = "// ";
  original.CommentState = 1;
  original.CountByte = 1024;
  original.PerenosPoSlovam = 1;
  original.CountByteToComment = 1;
  original.DeleteSumbolError = 1;
  original.DeleteSpace = 1;
  original.CountSpace = 100;

  SettingsFile file;
  file.OpenBuffer("");
  file.SelectGroup("P");
  WriteProfileFields(file, original);
  // The keys stand in the order of kProfileKeys, the texts wrapped.
  std::vector<std::string> keys;
  const std::string written = file.Render();
  for (std::size_t at = written.find("\r\n") + 2, end;
       (end = written.find("\r\n", at)) != std::string::npos; at = end + 2) {
    keys.push_back(written.substr(at, written.find(" = ", at) - at));
  }
  EXPECT_EQ(keys, std::vector<std::string>(kProfileKeys.begin(), kProfileKeys.end()));
  EXPECT_NE(written.find("Directive = [String] db [/String]\r\n"), std::string::npos);
  ProfileRecord reread;
  file.SelectGroup("P");
  ReadProfileFields(file, reread);
  EXPECT_EQ(reread, original);
}

// The keys written after the 17: what each stored value reads as.
TEST(ReadProfileFields, TheRomAndLookAlikes) {
  const struct {
    const char* lines;
    CharacterRom rom;
    std::uint8_t lookAlikes;
  } cases[] = {
      {"", CharacterRom::Cyrillic, 0},
      {"Rom = A00\r\n", CharacterRom::A00, 0},
      {"rom = a02\r\nlookalikes = 1\r\n", CharacterRom::A02, 1},
      {"Rom =  CYRILLIC \r\nLookAlikes = 0\r\n", CharacterRom::Cyrillic, 0},
      {"Rom = A01\r\n", CharacterRom::Cyrillic, 0},
      {"Rom = \r\n", CharacterRom::Cyrillic, 0},
      {"Rom = [String]A00[/String]\r\n", CharacterRom::Cyrillic, 0},
      {"LookAlikes = 257\r\n", CharacterRom::Cyrillic, 1},
  };
  for (const auto& c : cases) {
    const ProfileRecord r = ReadGroup(std::string("[P]\r\nOst1 = 3\r\n") + c.lines);
    EXPECT_EQ(r.Rom, c.rom) << c.lines;
    EXPECT_EQ(r.LookAlikes, c.lookAlikes) << c.lines;
    EXPECT_EQ(r.Ost1, 3) << c.lines;
  }
}

// The lines of the group "P" after its header.
std::vector<std::string> GroupLines(SettingsFile& file) {
  const std::string written = file.Render();
  std::vector<std::string> lines;
  for (std::size_t at = written.find("[P]\r\n") + 5, end;
       (end = written.find("\r\n", at)) != std::string::npos && written[at] != '['; at = end + 2) {
    lines.push_back(written.substr(at, end - at));
  }
  return lines;
}

TEST(WriteProfileFields, TheRomAndLookAlikesOnlyWhenTheyDifferFromTheirDefaults) {
  SettingsFile file;
  file.OpenBuffer("");
  file.SelectGroup("P");
  ProfileRecord record;
  record.Rom = CharacterRom::A00;
  WriteProfileFields(file, record);
  std::vector<std::string> lines = GroupLines(file);
  ASSERT_EQ(lines.size(), kProfileKeys.size() + 1);
  EXPECT_EQ(lines.back(), "Rom = A00");

  record.Rom = CharacterRom::A02;
  record.LookAlikes = 1;
  WriteProfileFields(file, record);
  lines = GroupLines(file);
  ASSERT_EQ(lines.size(), kProfileKeys.size() + 2);
  EXPECT_EQ(lines[kProfileKeys.size()], "Rom = A02");
  EXPECT_EQ(lines.back(), "LookAlikes = 1");
  ProfileRecord reread;
  ReadProfileFields(file, reread);
  EXPECT_EQ(reread, record);

  // Back to the defaults: the keys the group holds take them, or the old values would stay.
  WriteProfileFields(file, ProfileRecord{});
  lines = GroupLines(file);
  ASSERT_EQ(lines.size(), kProfileKeys.size() + 2);
  EXPECT_EQ(lines[kProfileKeys.size()], "Rom = Cyrillic");
  EXPECT_EQ(lines.back(), "LookAlikes = 0");
  ReadProfileFields(file, reread);
  EXPECT_EQ(reread, ProfileRecord{});
}

// The Intel HEX layout: read as stored or as the command line names it,
// written only when it is not the default.
TEST(ProfileFields, TheLayout) {
  const struct {
    const char* lines;
    HexLayout layout;
  } cases[] = {
      {"", HexLayout::Plain},
      {"Layout = PIC16\r\n", HexLayout::Pic16Eeprom},
      {"layout = pic18\r\n", HexLayout::Pic18Eeprom},
      {"Layout = pic16-eeprom\r\n", HexLayout::Pic16Eeprom},
      {"Layout = PIC24\r\n", HexLayout::Plain},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadGroup(std::string("[P]\r\n") + c.lines).Layout, c.layout) << c.lines;
  }
  SettingsFile file;
  file.OpenBuffer("");
  file.SelectGroup("P");
  ProfileRecord record;
  WriteProfileFields(file, record);
  EXPECT_EQ(GroupLines(file).size(), kProfileKeys.size());
  record.Layout = HexLayout::Pic18Eeprom;
  WriteProfileFields(file, record);
  EXPECT_EQ(GroupLines(file).back(), "Layout = PIC18");
  ProfileRecord reread;
  ReadProfileFields(file, reread);
  EXPECT_EQ(reread, record);
  WriteProfileFields(file, ProfileRecord{});
  EXPECT_EQ(GroupLines(file).back(), "Layout = Plain");
}

// Custom characters and the display's size: what each stored value reads as,
// and which keys a record writes (only the values that differ from their
// defaults, after the ROM's keys).
TEST(ProfileFields, CustomCharactersAndTheDisplaysSize) {
  const struct {
    const char* lines;
    std::uint8_t cgram;
    std::uint8_t codes;
    LcdGeometry size;
  } reads[] = {
      {"", 0, 8, {16, 2}},
      {"Cgram = 1\r\nCgramCodes = 0\r\nSize = 20x4\r\n", 1, 0, {20, 4}},
      {"cgram = 2\r\ncgramcodes = 7\r\nsize = 40X2\r\n", 0, 8, {40, 2}},
      {"Cgram = 257\r\nCgramCodes = 256\r\nSize = 17x2\r\n", 0, 8, {16, 2}},
      {"Cgram = x\r\nCgramCodes = \r\nSize = [String]8x1[/String]\r\n", 0, 8, {16, 2}},
      {"Cgram = 1x\r\nCgramCodes = 0 \r\nSize = 20x4\r\n", 1, 0, {20, 4}},
      {"Cgram = 01\r\nCgramCodes = x0\r\n", 1, 8, {16, 2}},
  };
  for (const auto& c : reads) {
    const ProfileRecord r = ReadGroup(std::string("[P]\r\nOst1 = 3\r\n") + c.lines);
    EXPECT_EQ(r.Cgram, c.cgram) << c.lines;
    EXPECT_EQ(r.CgramCodes, c.codes) << c.lines;
    EXPECT_EQ(r.Size, c.size) << c.lines;
  }

  const struct {
    std::uint8_t cgram;
    std::uint8_t codes;
    LcdGeometry size;
    std::vector<std::string> written;
  } writes[] = {
      {0, 8, {16, 2}, {}},
      {1, 8, {16, 2}, {"Cgram = 1"}},
      {0, 0, {8, 1}, {"CgramCodes = 0", "Size = 8x1"}},
      {1, 0, {40, 4}, {"Cgram = 1", "CgramCodes = 0", "Size = 40x4"}},
  };
  for (const auto& c : writes) {
    SettingsFile file;
    file.OpenBuffer("");
    file.SelectGroup("P");
    ProfileRecord record;
    record.LookAlikes = 1;
    record.Cgram = c.cgram;
    record.CgramCodes = c.codes;
    record.Size = c.size;
    WriteProfileFields(file, record);
    const std::vector<std::string> lines = GroupLines(file);
    ASSERT_EQ(lines.size(), kProfileKeys.size() + 1 + c.written.size());
    EXPECT_EQ(lines[kProfileKeys.size()], "LookAlikes = 1");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + kProfileKeys.size() + 1, lines.end()),
              c.written);
    ProfileRecord reread;
    ReadProfileFields(file, reread);
    EXPECT_EQ(reread, record);
  }
}

}  // namespace
}  // namespace zeltrix
