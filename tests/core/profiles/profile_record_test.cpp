#include "core/profiles/profile_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ini/settings_file.h"

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

}  // namespace
}  // namespace zeltrix
