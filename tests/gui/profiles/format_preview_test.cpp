// The live sample of the edited format in the profile management window.
#include <functional>
#include <vector>

#include "core/lcd/formatter.h"
#include "gui/profiles/format_preview.h"
#include "tests/gui/profiles/profile_window_fixture.h"

namespace zeltrix::testing {
namespace {

const std::string kEightALine =
    "; Пример п\r\n    Dt    0xA8, 0x70, 0xB8, 0xBC, 0x65, 0x70, 0x20, 0xBE\r\n"
    "; реобразо\r\n    Dt    0x70, 0x65, 0x6F, 0xB2, 0x70, 0x61, 0xB7, 0x6F\r\n"
    "; вания те\r\n    Dt    0xB3, 0x61, 0xBD, 0xB8, 0xC7, 0x20, 0xBF, 0x65\r\n"
    "; кста\r\n    Dt    0xBA, 0x63, 0xBF, 0x61\r\n";

class FormatPreviewTest : public ProfileWindowTest {
 protected:
  // A new profile typed as the user types the first default one.
  void TypeAsmFormat() {
    Click("newButton");
    Retype(Spin("ost1Spin"), 4);
    Type(Edit("directiveEdit"), "Dt");
    Retype(Spin("ost2Spin"), 4);
    Type(Edit("startDataEdit"), "0x");
    Type(Edit("razdelitelDataEdit"), ", ");
    Type(Edit("commentEdit"), "; ");
    QTest::mouseClick(Check("commentStateCheck"), Qt::LeftButton);
    Retype(Spin("countByteSpin"), 8);
  }
};

TEST_F(FormatPreviewTest, EightCharactersALineWithComments) {
  ASSERT_NE(Open(), nullptr);
  const ProfileRecord before = window->CurrentProfile();
  TypeAsmFormat();
  EXPECT_EQ(Sample(), kEightALine);
  EXPECT_EQ(Get<QPlainTextEdit>("sampleBox")->toPlainText().count('\r'), 0);
  // Space removal changes nothing: the sample has no run of two spaces.
  QTest::mouseClick(Check("deleteSpaceCheck"), Qt::LeftButton);
  EXPECT_EQ(Sample(), kEightALine);
  // The preview touches neither the main window's profile nor the database.
  ProfileRecord after = window->CurrentProfile();
  after.Name = before.Name;
  EXPECT_EQ(after, before);
  EXPECT_EQ(ReadBytes(Paths().profiles), kDefaultDatabase);
}

TEST_F(FormatPreviewTest, NoLimitPutsTheWholeSampleOnOneLine) {
  ASSERT_NE(Open(), nullptr);
  TypeAsmFormat();
  Retype(Spin("countByteSpin"), 0);
  EXPECT_FALSE(Check("perenosPoSlovamCheck")->isEnabled());
  EXPECT_EQ(Sample(),
            "; Пример преобразования текста\r\n    Dt    0xA8, 0x70, 0xB8, 0xBC, 0x65, 0x70, 0x20, "
            "0xBE, 0x70, 0x65, 0x6F, 0xB2, 0x70, 0x61, 0xB7, 0x6F, 0xB3, 0x61, 0xBD, 0xB8, 0xC7, "
            "0x20, 0xBF, 0x65, 0xBA, 0x63, 0xBF, 0x61\r\n");
}

TEST_F(FormatPreviewTest, EmptyingTheCommentStartRemovesTheCommentLines) {
  ASSERT_NE(Open(), nullptr);
  TypeAsmFormat();
  QTest::mouseClick(Check("countByteToCommentCheck"), Qt::LeftButton);
  EXPECT_NE(Sample().find("0xBE ; 8\r\n; реобразо"), std::string::npos) << Sample();
  Retype(Edit("commentEdit"), "");
  EXPECT_FALSE(Check("commentStateCheck")->isEnabled());
  EXPECT_FALSE(Check("countByteToCommentCheck")->isEnabled());
  EXPECT_EQ(Sample(),
            "    Dt    0xA8, 0x70, 0xB8, 0xBC, 0x65, 0x70, 0x20, 0xBE\r\n"
            "    Dt    0x70, 0x65, 0x6F, 0xB2, 0x70, 0x61, 0xB7, 0x6F\r\n"
            "    Dt    0xB3, 0x61, 0xBD, 0xB8, 0xC7, 0x20, 0xBF, 0x65\r\n"
            "    Dt    0xBA, 0x63, 0xBF, 0x61\r\n");
}

// Every control reaches its field and refreshes the sample when the user changes it.
TEST_F(FormatPreviewTest, EveryControlRefreshesTheSample) {
  ASSERT_NE(Open(), nullptr);
  Click("newButton");
  ProfileRecord expected;
  expected.Ost1 = 0;
  expected.Ost2 = 0;
  expected.CountSpace = 2;
  struct Step {
    const char* what;
    std::function<void()> act;
    std::function<void(ProfileRecord&)> field;
  };
  const std::vector<Step> steps = {
      {"ost1", [&] { Retype(Spin("ost1Spin"), 3); }, [](ProfileRecord& r) { r.Ost1 = 3; }},
      {"ost2", [&] { Retype(Spin("ost2Spin"), 2); }, [](ProfileRecord& r) { r.Ost2 = 2; }},
      {"directive", [&] { Type(Edit("directiveEdit"), "De"); },
       [](ProfileRecord& r) { r.Directive = "De"; }},
      {"block start", [&] { Type(Edit("startDataBlokEdit"), " {"); },
       [](ProfileRecord& r) { r.StartDataBlok = " {"; }},
      {"block end", [&] { Type(Edit("endDataBlokEdit"), "} "); },
       [](ProfileRecord& r) { r.EndDataBlok = "} "; }},
      {"datum start", [&] { Type(Edit("startDataEdit"), "<"); },
       [](ProfileRecord& r) { r.StartData = "<"; }},
      {"datum end", [&] { Type(Edit("endDataEdit"), "h"); },
       [](ProfileRecord& r) { r.EndData = "h"; }},
      {"separator", [&] { Type(Edit("razdelitelDataEdit"), ","); },
       [](ProfileRecord& r) { r.RazdelitelData = ","; }},
      {"base", [&] { Base()->setCurrentIndex(0); }, [](ProfileRecord& r) { r.SI = kBinary; }},
      {"comment", [&] { Type(Edit("commentEdit"), "Ж"); },
       [](ProfileRecord& r) { r.Comment = W("Ж"); }},
      {"comment state", [&] { QTest::mouseClick(Check("commentStateCheck"), Qt::LeftButton); },
       [](ProfileRecord& r) { r.CommentState = 1; }},
      {"bytes", [&] { Retype(Spin("countByteSpin"), 10); },
       [](ProfileRecord& r) { r.CountByte = 10; }},
      {"wrap", [&] { QTest::mouseClick(Check("perenosPoSlovamCheck"), Qt::LeftButton); },
       [](ProfileRecord& r) { r.PerenosPoSlovam = 1; }},
      {"count to comment",
       [&] { QTest::mouseClick(Check("countByteToCommentCheck"), Qt::LeftButton); },
       [](ProfileRecord& r) { r.CountByteToComment = 1; }},
      {"undisplayable", [&] { QTest::mouseClick(Check("deleteSumbolErrorCheck"), Qt::LeftButton); },
       [](ProfileRecord& r) { r.DeleteSumbolError = 1; }},
      {"spaces", [&] { QTest::mouseClick(Check("deleteSpaceCheck"), Qt::LeftButton); },
       [](ProfileRecord& r) { r.DeleteSpace = 1; }},
      {"longest run", [&] { Retype(Spin("countSpaceSpin"), 1); },
       [](ProfileRecord& r) { r.CountSpace = 1; }},
      {"base again", [&] { Base()->setCurrentIndex(1); },
       [](ProfileRecord& r) { r.SI = kDecimal; }},
  };
  auto* box = Get<QPlainTextEdit>("sampleBox");
  for (const Step& step : steps) {
    // Whatever stands in the box goes at the next refresh.
    box->setPlainText("junk");
    step.act();
    step.field(expected);
    EXPECT_EQ(Sample(), Cp1251ToUtf8(ConvertText(FormatPreviewSample(), expected))) << step.what;
  }
  // The name plays no part and refreshes nothing.
  box->setPlainText("junk");
  Type(Name(), "Anything");
  EXPECT_EQ(Sample(), "junk");
}

// Fields of thousands of characters (a field takes up to 32767) make lines
// the box cannot show: each is cut after a thousand characters.
TEST_F(FormatPreviewTest, LinesOfLongFieldsAreCutWithAnEllipsis) {
  ASSERT_NE(Open(), nullptr);
  TypeAsmFormat();
  const QString longest(32767, 'x');
  Edit("startDataEdit")->setText(longest);
  ASSERT_EQ(Edit("startDataEdit")->text(), longest);
  const std::string sample = Sample();
  const std::string dataLine = "    Dt    " + std::string(990, 'x') + "…\r\n";
  EXPECT_EQ(sample, "; Пример п\r\n" + dataLine + "; реобразо\r\n" + dataLine + "; вания те\r\n" +
                        dataLine + "; кста\r\n" + dataLine);
  // A line of exactly a thousand characters is shown whole: two indents of 4,
  // the directive, then 8 data of 2 digits and 7 separators of 2.
  Edit("startDataEdit")->setText("");
  Edit("directiveEdit")->setText(QString(1000 - 8 - 16 - 14, 'D'));
  const std::string whole = Sample();
  EXPECT_EQ(whole.find("…"), std::string::npos);
  EXPECT_EQ(whole.find("\r\n", whole.find("\r\n") + 2) - whole.find("\r\n") - 2, 1000u);
}

TEST_F(FormatPreviewTest, TheRecordIsMarkedAsThePreview) {
  EXPECT_EQ(Cp1251ToUtf8(FormatPreviewSample()), "Пример преобразования текста");
  EXPECT_EQ(FormatPreviewSample().size(), 28u);
  ProfileRecord fields;
  fields.Name = "Real";
  fields.CountByte = 4;
  // The same lines as a real conversion.
  EXPECT_EQ(FormatPreviewText(fields), ConvertText(FormatPreviewSample(), fields));
}

}  // namespace
}  // namespace zeltrix::testing
