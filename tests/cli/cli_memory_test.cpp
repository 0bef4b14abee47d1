// Inputs that once filled the memory, run through the real zeltrix-cli with
// its address space limited: a profile with a field of megabytes, and a
// gigabyte of zero bytes.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/cli_runner.h"
#include "tests/support/cp1251_text.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::W;
using testing::WriteBytes;

// The program's own code and libraries take some 80 MB of address space;
// the rest is room for a run that holds what it needs and no more.
constexpr long kLimitKb = 256 * 1024;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

class CliMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // AddressSanitizer reserves terabytes of address space for itself.
    if (kSanitized) GTEST_SKIP() << "an address space limit stops a sanitized program at once";
    std::filesystem::copy_file(ZELTRIX_CLI, m_dir.Path("zeltrix-cli"));
  }

  // Runs zeltrix-cli in the test directory with the address space limited,
  // standard input from the file named (or nothing).
  testing::CliResult Run(const std::vector<std::string>& args, const std::string& input = "") {
    std::string command = "cd '" + m_dir.Root() + "' && ulimit -v " + std::to_string(kLimitKb) +
                          " && exec ./zeltrix-cli";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " <" + (input.empty() ? std::string("/dev/null") : input) + " >stdout 2>stderr";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(Path("stdout")),
            ReadBytes(Path("stderr"))};
  }

  std::string Path(const std::string& name) const { return m_dir.Path(name); }

  // The bytes followed by a gigabyte of zero bytes, in a sparse file.
  void WriteWithZeros(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(WriteBytes(Path(name), bytes));
    ASSERT_EQ(::truncate(Path(name).c_str(), static_cast<off_t>(bytes.size()) + (off_t{1} << 30)),
              0);
  }

  testing::TempDir m_dir;
};

TEST_F(CliMemoryTest, ProfileWithAFieldOfMegabytesConvertsWithinTheLimit) {
  const std::string field(4 * 1024 * 1024, 'x');
  ASSERT_TRUE(WriteBytes(Path("long.prof"),
                         "[Long]\r\nOst1 = 4\r\nOst2 = 4\r\nDirective = Dt\r\n"
                         "StartData = [String]" +
                             field +
                             "[/String]\r\nSI = 2\r\n"
                             "RazdelitelData = [String], [/String]\r\n"
                             "Comment = [String]; [/String]\r\nCommentState = 1\r\n"
                             "CountByte = 8\r\n"));
  ASSERT_TRUE(WriteBytes(Path("hi.txt"), "Hi"));
  const testing::CliResult r = Run({"convert", "--profiles", "long.prof", "hi.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(r.out == "; Hi\r\n    Dt    " + field + "48, " + field + "69\r\n")
      << r.out.size() << " bytes";
}

TEST_F(CliMemoryTest, TextEndsAtItsFirstZeroByte) {
  WriteWithZeros("text.txt", W("Привет"));
  WriteWithZeros("zeros.txt", "");
  const std::string cut = "zeltrix-cli: текст обрезан на первом нулевом байте (позиция 7)\n";
  const std::string lines = W("; Привет\r\n    Dt    0xA8, 0x70, 0xB8, 0xB3, 0x65, 0xBF\r\n");

  // From a file and from standard input alike.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"convert", "text.txt"}, std::vector<std::string>{"convert"}}) {
    const testing::CliResult r = Run(args, args.size() == 1 ? "text.txt" : "");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, cut);
    EXPECT_EQ(r.out, lines);
  }

  const testing::CliResult bin = Run({"bin", "-o", "out.bin", "text.txt"});
  EXPECT_EQ(bin.status, 0) << bin.err;
  EXPECT_EQ(bin.err, cut);
  EXPECT_EQ(ReadBytes(Path("out.bin")), "\xA8\x70\xB8\xB3\x65\xBF");

  const testing::CliResult preview = Run({"preview", "--format", "pbm", "text.txt"});
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_EQ(preview.err, cut);
  EXPECT_EQ(preview.out.substr(0, 10), "P1\n95 17\n1");

  // Nothing before the zero bytes: no text at all, and no zero byte in any output.
  const std::string none = "zeltrix-cli: текст обрезан на первом нулевом байте (позиция 1)\n";
  const testing::CliResult empty = Run({"convert", "zeros.txt"});
  EXPECT_EQ(empty.status, 0) << empty.err;
  EXPECT_EQ(empty.err, none);
  EXPECT_EQ(empty.out, "");
  const testing::CliResult noBin = Run({"bin", "-o", "zeros.bin", "zeros.txt"});
  EXPECT_EQ(noBin.status, 1);
  EXPECT_EQ(noBin.err, none + "zeltrix-cli: Отсутствует преобразуемый текст\n");
  const testing::CliResult blank = Run({"preview", "zeros.txt"});
  EXPECT_EQ(blank.status, 0) << blank.err;
  EXPECT_EQ(blank.out.find('#'), std::string::npos);
  EXPECT_EQ(blank.out.find('\0'), std::string::npos);
}

}  // namespace
}  // namespace zeltrix
