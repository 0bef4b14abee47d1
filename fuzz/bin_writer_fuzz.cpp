// The BIN text preparation and writer against a model held in memory: the
// file must end up exactly as the model says (new, appended, inserted or
// written over at the address, or untouched), the result must say whether
// it was written, and the prepared text must keep the text's displayable
// characters in order, with no line break or tab left.
//
// Input: the options, the answer to the append question, the address field,
// the old file (or none), then the text. The file lives in a scratch folder
// in /dev/shm when there is one.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "core/io/file_io.h"
#include "core/lcd/bin_writer.h"
#include "core/lcd/lcd_code.h"
#include "fuzz_check.h"

namespace {

class AnsweringPrompter : public zeltrix::Prompter {
 public:
  explicit AnsweringPrompter(bool yes) : m_yes(yes) {}
  zeltrix::MessageAnswer Show(const zeltrix::Message& message) override {
    if (message.buttons != zeltrix::MessageButtons::YesNo) return zeltrix::MessageAnswer::Ok;
    ++questions;
    return m_yes ? zeltrix::MessageAnswer::Yes : zeltrix::MessageAnswer::No;
  }
  int questions = 0;

 private:
  bool m_yes;
};

const std::string& ScratchFile() {
  static const std::string path = [] {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? "/dev/shm"
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "zeltrix-fuzz-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr);
    static const std::string folder = pattern;
    std::atexit([] { std::filesystem::remove_all(folder); });
    return pattern + "/target.bin";
  }();
  return path;
}

// The displayable characters other than the space, whose number line breaks
// and tabs (turned into spaces) and the removal of runs may change.
std::string Visible(std::string_view text) {
  std::string kept;
  for (const char c : text) {
    if (zeltrix::IsDisplayable(c) && c != ' ') kept.push_back(c);
  }
  return kept;
}

std::uint64_t Address(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  std::uint64_t value = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    value =
        value > 100000000000ULL ? value : value * 10 + static_cast<std::uint64_t>(field[i] - '0');
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool removeUndisplayable = input.ConsumeBool();
  const bool removeSpaces = input.ConsumeBool();
  const int countSpace = input.ConsumeIntegralInRange<int>(-1, 201);
  const std::int32_t target = input.ConsumeIntegralInRange<std::int32_t>(-1, 2);
  const std::int32_t placement = input.ConsumeIntegralInRange<std::int32_t>(-1, 2);
  const std::int32_t manner = input.ConsumeIntegralInRange<std::int32_t>(-1, 2);
  const bool yes = input.ConsumeBool();
  AnsweringPrompter prompter(yes);
  const std::string field = input.ConsumeRandomLengthString(12);
  const bool hadFile = input.ConsumeBool();
  const std::string old = hadFile ? input.ConsumeRandomLengthString(256) : std::string();
  const std::string text = input.ConsumeRemainingBytesAsString();

  const std::string& path = ScratchFile();
  ::unlink(path.c_str());
  if (hadFile) Check(zeltrix::WriteFileAtomically(path, old));

  const zeltrix::Result<std::string> prepared =
      zeltrix::PrepareBinText(path, text, removeUndisplayable, removeSpaces, countSpace);
  if (!prepared) return 0;
  Check(!prepared->empty());
  Check(prepared->find_first_of("\r\n\t") == std::string::npos);
  Check(Visible(*prepared) == Visible(text));

  std::string codes;
  for (const char c : *prepared) {
    if (zeltrix::IsDisplayable(c)) codes.push_back(static_cast<char>(zeltrix::LcdCode(c)));
  }
  const bool existing = target == zeltrix::kBinExistingFile;
  const bool atAddress = existing && placement == zeltrix::kBinAtAddress;

  // What the file must hold afterwards, or nothing when it must stay as it was.
  std::optional<std::string> expected;
  if (codes.empty() || (atAddress && field.empty())) {
  } else if (!existing) {
    expected = codes;
  } else if (!atAddress) {
    expected = old + codes;
  } else {
    // Beyond the end the answer to the question decides: Yes appends, No leaves the file.
    const std::uint64_t address = Address(field);
    if (address < old.size()) {
      const std::size_t at = static_cast<std::size_t>(address);
      const std::size_t tail =
          manner == zeltrix::kBinReplace ? std::min(old.size(), at + codes.size()) : at;
      expected = old.substr(0, at) + codes + old.substr(tail);
    }
  }
  const bool beyondEnd =
      atAddress && !field.empty() && !codes.empty() && Address(field) >= old.size();
  const bool written = static_cast<bool>(
      // Stored options may hold any number, so values outside the enums are fed too.
      zeltrix::WriteBinImage(path, *prepared, static_cast<zeltrix::BinTarget>(target),
                             static_cast<zeltrix::BinPlacement>(placement),
                             static_cast<zeltrix::BinManner>(manner), field, prompter));
  if (beyondEnd) {
    Check(prompter.questions == 1);
    if (yes) expected = old + codes;
  } else {
    Check(prompter.questions == 0);
  }
  Check(written == expected.has_value());
  const zeltrix::Result<std::string, zeltrix::FileStatus> now = zeltrix::ReadWholeFile(path);
  if (expected) {
    Check(now && *now == *expected);
  } else if (hadFile) {
    Check(now && *now == old);
  } else {
    // A missing file is made only with the codes: a refusal leaves none.
    Check(!now);
  }
  return 0;
}
