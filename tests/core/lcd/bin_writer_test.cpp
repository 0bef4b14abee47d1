#include "core/lcd/bin_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "core/image/image_writer.h"
#include "core/io/single_byte_codec.h"
#include "tests/support/cp1251_text.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/result_value.h"
#include "tests/support/temp_dir.h"

namespace zeltrix {
namespace {

using testing::ReadBytes;
using testing::RecordingPrompter;
using testing::SeenOf;
using testing::TempDir;
using testing::ValueOf;
using testing::WriteBytes;

using testing::W;

Message Info(const char* title, const char* text) {
  return {title, text, MessageIcon::Information, MessageButtons::Ok, MessageAnswer::Ok};
}
Message Warning(const char* title, const char* text) {
  return {title, text, MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok};
}
Message Error(const std::string& title, const std::string& text) {
  return {title, text, MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok};
}

const Message kSuccess = Info("Преобразование", "Преобразование успешно завершено.");
const Message kAppendQuestion = {
    "Преобразование",
    "Начальный адрес больше текущего размера файла!\nДобавить данные в конец файла?",
    MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes};
// For a file that does not exist yet; "{path}" stands for the file's path.
const Message kCreateQuestion = {
    "Преобразование", "Файл \n\"{path}\"\nне существует!\nСоздать его и записать в него данные?",
    MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes};
const Message kNotDone = Warning("Преобразование", "Преобразование не производилось");
const Message kNoAddress = Warning("Предупреждение",
                                   "Поле  \"Начальный адрес\"  не заполенно\n"
                                   "Нужно указать начальный адрес добавляемых данных в файл.");
const Message kNothingDisplayable = Error("Преобразование", "Не удалось выполнить преобразование!");
const Message kNoPath = Warning("Подготовка к преобразованию", "Не указан путь к файлу!");
const Message kNoText = Warning("Преобразование текста", "Отсутствует преобразуемый текст");

Message WriteFailed(const std::string& path) {
  return Error("Ошибка", "Не удалось записать файл \n\"" + path + "\"");
}

// The messages a write shows: its questions through the prompter, then the
// outcome its caller shows, when the expected messages end with one (a run
// that does nothing shows nothing at all).
std::vector<Message> Seen(const RecordingPrompter& prompter, const Status& outcome,
                          const std::vector<Message>& expected) {
  if (expected.empty() || expected.back().buttons != MessageButtons::Ok) return prompter.shown;
  return SeenOf(prompter.shown, outcome, kSuccess);
}

std::size_t EntriesIn(const std::string& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(MapToLcdCodes, KeepsOnlyDisplayableCharactersInOrder) {
  EXPECT_EQ(MapToLcdCodes(W("Я a{€ Ё")), "\xB1\x20\x61\x20\xA2");
  EXPECT_EQ(MapToLcdCodes("\x88\x7B\x0C"), "");
}

TEST(ParseStartAddress, LeadingBlanksThenDigits) {
  const std::pair<const char*, std::uint64_t> cases[] = {
      {"", 0},
      {"0", 0},
      {"00000012", 12},
      {" \t 42", 42},
      {"2abc", 2},
      {"abc", 0},
      {"- 5", 0},
      {"99999999", 99999999},
      {"7 8", 7},
      {"\n5", 0},
      {"123456789012", 123456789012},
  };
  for (const auto& [field, value] : cases) EXPECT_EQ(ParseStartAddress(field), value) << field;
  // A run of digits no file could reach does not wrap around to a small address.
  EXPECT_GT(ParseStartAddress(std::string(60, '9')), 1000000000000000000ull);
}

TEST(PrepareBinText, RefusalsAndPreparation) {
  struct Case {
    const char* path;
    std::string text;
    bool removeUndisplayable, removeSpaces;
    int countSpace;
    std::optional<std::string> prepared;
    std::optional<Message> refusal;
  };
  const Case cases[] = {
      {"", "A", false, false, 2, std::nullopt, kNoPath},
      {"", "", false, false, 2, std::nullopt, kNoPath},
      {"f.bin", "", true, true, 2, std::nullopt, kNoText},
      // Line breaks and TABs become one space each; a CR LF or LF CR pair is one break.
      {"f.bin", "A\r\nB", false, false, 2, "A B", std::nullopt},
      {"f.bin", "A\tB\n\rC\r\rD\n", false, false, 2, "A B C  D ", std::nullopt},
      // Without either option nothing is removed.
      {"f.bin", "A{\x88  \t B", false, false, 1, "A{\x88    B", std::nullopt},
      {"f.bin", "A{\x88  \t B", true, false, 1, "A    B", std::nullopt},
      {"f.bin", "A{\x88  \t B", false, true, 1, "A{\x88 B", std::nullopt},
      {"f.bin", "A{\210B  \t C", true, true, 2, "AB  C", std::nullopt},
      // A text with nothing left after cleaning is refused like an empty one.
      {"f.bin", "\x88\x88", true, false, 2, std::nullopt, kNoText},
      // Spaces alone survive the removal of undisplayable characters.
      {"f.bin", "\r\n", true, false, 2, " ", std::nullopt},
  };
  for (const Case& c : cases) {
    const Result<std::string> prepared =
        PrepareBinText(c.path, c.text, c.removeUndisplayable, c.removeSpaces, c.countSpace);
    EXPECT_EQ(ValueOf(prepared), c.prepared) << c.text;
    if (c.refusal) {
      ASSERT_FALSE(prepared) << c.text;
      EXPECT_EQ(prepared.Reason(), *c.refusal) << c.text;
    } else {
      EXPECT_TRUE(prepared) << c.text;
    }
  }
}

TEST(WriteBinImage, PlacesTheCodes) {
  struct Case {
    const char* what;
    std::optional<std::string> before;  // nothing: no file
    std::string text;
    BinTarget target;
    BinPlacement placement;
    BinManner manner;
    const char* address;
    std::vector<MessageAnswer> answers;
    std::optional<std::string> after;
    std::vector<Message> shown;
  };
  const std::string old = "\x01\x02\x03\x04";
  // clang-format off
  const Case cases[] = {
      {"new file", std::nullopt, W("Да"),
       kBinNewFile, kBinAtEnd, kBinInsert, "0", {}, "\xE0\x61", {kSuccess}},
      {"new file over an old one, placement and manner ignored", old, "AB",
       kBinNewFile, kBinAtAddress, kBinReplace, "", {}, "AB", {kSuccess}},
      {"append", old, "AB",
       kBinExistingFile, kBinAtEnd, kBinReplace, "1", {}, old + "AB", {kSuccess}},
      {"append to a missing file", std::nullopt, "AB",
       kBinExistingFile, kBinAtEnd, kBinInsert, "0", {}, "AB", {kSuccess}},
      {"insert at 0", old, "AB",
       kBinExistingFile, kBinAtAddress, kBinInsert, "0", {}, "AB" + old, {kSuccess}},
      {"insert in the middle", old, "AB",
       kBinExistingFile, kBinAtAddress, kBinInsert, "2", {}, "\001\002AB\003\004", {kSuccess}},
      {"leading digits of the address", old, "AB",
       kBinExistingFile, kBinAtAddress, kBinInsert, " 1x9", {}, "\001AB\002\003\004", {kSuccess}},
      {"replace inside", old, "AB",
       kBinExistingFile, kBinAtAddress, kBinReplace, "1", {}, "\001AB\004", {kSuccess}},
      {"replace past the end grows the file", old, "ABCDE",
       kBinExistingFile, kBinAtAddress, kBinReplace, "2", {}, "\001\002ABCDE", {kSuccess}},
      {"address equal to the size asks, Yes appends", old, "AB",
       kBinExistingFile, kBinAtAddress, kBinInsert, "4", {MessageAnswer::Yes}, old + "AB",
       {kAppendQuestion, kSuccess}},
      {"address past the end, No", old, "AB",
       kBinExistingFile, kBinAtAddress, kBinReplace, "99999999", {MessageAnswer::No}, old,
       {kAppendQuestion, kNotDone}},
      {"missing file at an address, No leaves no file", std::nullopt, "AB",
       kBinExistingFile, kBinAtAddress, kBinInsert, "4096", {MessageAnswer::No}, std::nullopt,
       {kCreateQuestion, kNotDone}},
      {"missing file at an address, Yes", std::nullopt, "AB",
       kBinExistingFile, kBinAtAddress, kBinReplace, "0", {MessageAnswer::Yes}, "AB",
       {kCreateQuestion, kSuccess}},
      {"empty address field", old, "AB",
       kBinExistingFile, kBinAtAddress, kBinInsert, "", {}, old, {kNoAddress}},
      {"empty address field, no file is made", std::nullopt, "AB",
       kBinExistingFile, kBinAtAddress, kBinInsert, "", {}, std::nullopt, {kNoAddress}},
      {"nothing displayable, no new file", std::nullopt, "\x88\x88",
       kBinNewFile, kBinAtEnd, kBinInsert, "0", {}, std::nullopt, {kNothingDisplayable}},
      {"nothing displayable, the old file stays", old, "\x88{",
       kBinNewFile, kBinAtEnd, kBinInsert, "0", {}, old, {kNothingDisplayable}},
      {"nothing displayable, no existing-file target is made", std::nullopt, "\x88",
       kBinExistingFile, kBinAtEnd, kBinInsert, "0", {}, std::nullopt, {kNothingDisplayable}},
      {"undisplayable characters leave no byte", std::nullopt, W("€Ж}ж"),
       kBinNewFile, kBinAtEnd, kBinInsert, "0", {}, "\xA3\xB6", {kSuccess}},
      {"an empty text does nothing", old, "",
       kBinNewFile, kBinAtEnd, kBinInsert, "0", {}, old, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.Path("data.bin");
    if (c.before) WriteBytes(path, *c.before);
    RecordingPrompter prompter;
    prompter.answers.assign(c.answers.begin(), c.answers.end());
    const Status outcome =
        WriteBinImage(path, c.text, c.target, c.placement, c.manner, c.address, prompter);
    const bool written = outcome.Ok();
    EXPECT_EQ(written, c.shown.size() > 0 && c.shown.back() == kSuccess) << c.what;
    // The messages that name the file, named for the one at that path.
    const auto shownFor = [&](const std::string& at) {
      std::vector<Message> shown = c.shown;
      for (Message& m : shown) {
        if (const std::size_t i = m.text.find("{path}"); i != std::string::npos) {
          m.text.replace(i, 6, at);
        }
      }
      return shown;
    };
    EXPECT_EQ(Seen(prompter, outcome, c.shown), shownFor(path)) << c.what;
    if (c.after) {
      EXPECT_EQ(ReadBytes(path), *c.after) << c.what;
    } else {
      EXPECT_FALSE(std::filesystem::exists(path)) << c.what;
    }
    // No temporary file is left beside the target.
    EXPECT_EQ(EntriesIn(dir.Root()), c.after ? 1u : 0u) << c.what;

    // A code block made beforehand is placed the same way, with the same messages,
    // and so it is by the writer of images in their BIN form.
    if (c.text.empty()) continue;
    for (const bool image : {false, true}) {
      TempDir blockDir;
      const std::string blockPath = blockDir.Path("data.bin");
      if (c.before) WriteBytes(blockPath, *c.before);
      RecordingPrompter blockPrompter;
      blockPrompter.answers.assign(c.answers.begin(), c.answers.end());
      const std::string codes = MapToLcdCodes(c.text);
      const Status blockOutcome =
          image ? WriteImageBlock(blockPath, codes, ImageFormat{}, c.target, c.placement, c.manner,
                                  c.address, blockPrompter)
                : WriteBinBlock(blockPath, codes, c.target, c.placement, c.manner, c.address,
                                blockPrompter);
      EXPECT_EQ(blockOutcome.Ok(), written) << c.what;
      EXPECT_EQ(Seen(blockPrompter, blockOutcome, c.shown), shownFor(blockPath)) << c.what;
      EXPECT_EQ(std::filesystem::exists(blockPath), c.after.has_value()) << c.what;
      if (c.after) {
        EXPECT_EQ(ReadBytes(blockPath), *c.after) << c.what;
      }
    }
  }
}

// The way the BIN dialog and the command-line tool take a text to the file.
TEST(WriteBinImage, TwoLinesBecomeThreeBytes) {
  TempDir dir;
  const std::string path = dir.Path("data.bin");
  RecordingPrompter prompter;
  const Result<std::string> text = PrepareBinText(path, "A\r\nB", false, false, 2);
  ASSERT_TRUE(text);
  EXPECT_TRUE(WriteBinImage(path, *text, kBinNewFile, kBinAtEnd, kBinInsert, "0", prompter));
  EXPECT_EQ(ReadBytes(path), "\x41\x20\x42");
}

TEST(WriteBinImage, AnEmptyPathDoesNothing) {
  RecordingPrompter prompter;
  EXPECT_FALSE(WriteBinImage("", "AB", kBinNewFile, kBinAtEnd, kBinInsert, "0", prompter));
  EXPECT_TRUE(prompter.shown.empty());
}

TEST(WriteBinImage, FilesThatCannotBeMadeOrOpened) {
  TempDir dir;
  const std::string missingFolder = dir.Path("no/such/data.bin");
  const std::string folder = dir.Path("folder");
  std::filesystem::create_directory(folder);
  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;
    BinTarget target;
    Message message;
  };
  const Case cases[] = {
      {missingFolder, kBinNewFile,
       Error("Ошибка", "Не удалось создать файл \n\"" + missingFolder + "\"")},
      {folder, kBinNewFile, Error("Ошибка", "Не удалось создать файл \n\"" + folder + "\"")},
      // Renaming over a pipe would remove it instead of writing into it.
      {fifo, kBinNewFile, Error("Ошибка", "Не удалось создать файл \n\"" + fifo + "\"")},
      {fifo, kBinExistingFile, Error("Ошибка", "Не удалось открыть файл \n\"" + fifo + "\"")},
      // A missing file is made with the codes, so a missing folder fails as for a new file.
      {missingFolder, kBinExistingFile,
       Error("Ошибка", "Не удалось создать файл \n\"" + missingFolder + "\"")},
      {folder, kBinExistingFile, Error("Ошибка", "Не удалось открыть файл \n\"" + folder + "\"")},
  };
  for (const Case& c : cases) {
    RecordingPrompter prompter;
    const Status written =
        WriteBinImage(c.path, "AB", c.target, kBinAtEnd, kBinInsert, "0", prompter);
    EXPECT_FALSE(written);
    EXPECT_EQ(SeenOf(prompter.shown, written, kSuccess), std::vector<Message>{c.message});
  }
  EXPECT_EQ(EntriesIn(dir.Root()), 2u);
  EXPECT_EQ(EntriesIn(folder), 0u);
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A write that fails halfway, as on a full disk, leaves the old bytes exactly as they
// were, reports the file and never reports success.
TEST(WriteBinImage, AFailedWriteLeavesTheOldFile) {
  struct Case {
    const char* what;
    BinTarget target;
    BinPlacement placement;
    BinManner manner;
    const char* address;
  };
  const Case cases[] = {
      {"new file", kBinNewFile, kBinAtEnd, kBinInsert, "0"},
      {"append", kBinExistingFile, kBinAtEnd, kBinInsert, "0"},
      {"insert", kBinExistingFile, kBinAtAddress, kBinInsert, "10"},
      {"replace", kBinExistingFile, kBinAtAddress, kBinReplace, "10"},
  };
  const std::string old(3000, '\x55');
  const std::string text(5000, 'A');
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.Path("data.bin");
    WriteBytes(path, old);
    RecordingPrompter prompter;
    Status written;
    {
      testing::FileSizeLimit full(4000);
      written = WriteBinImage(path, text, c.target, c.placement, c.manner, c.address, prompter);
      EXPECT_FALSE(written) << c.what;
    }
    EXPECT_EQ(SeenOf(prompter.shown, written, kSuccess), std::vector<Message>{WriteFailed(path)})
        << c.what;
    EXPECT_EQ(ReadBytes(path), old) << c.what;
    EXPECT_EQ(EntriesIn(dir.Root()), 1u) << c.what;
  }
}

TEST(WriteBinImage, AFailedAppendToAMissingFileLeavesNoFile) {
  TempDir dir;
  const std::string path = dir.Path("data.bin");
  RecordingPrompter prompter;
  Status written;
  {
    testing::FileSizeLimit full(10);
    written = WriteBinImage(path, std::string(100, 'A'), kBinExistingFile, kBinAtEnd, kBinInsert,
                            "0", prompter);
    EXPECT_FALSE(written);
  }
  EXPECT_EQ(SeenOf(prompter.shown, written, kSuccess), std::vector<Message>{WriteFailed(path)});
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(EntriesIn(dir.Root()), 0u);
}

TEST(WriteBinImage, RewritesKeepPermissionsAndLinks) {
  TempDir dir;
  const std::string path = dir.Path("data.bin");
  WriteBytes(path, "0123");
  ::chmod(path.c_str(), 0604);
  ASSERT_EQ(::symlink("data.bin", dir.Path("link.bin").c_str()), 0);
  const std::pair<BinManner, const char*> writes[] = {{kBinInsert, "AB"}, {kBinReplace, "Q"}};
  for (const auto& [manner, text] : writes) {
    RecordingPrompter prompter;
    EXPECT_TRUE(WriteBinImage(dir.Path("link.bin"), text, kBinExistingFile, kBinAtAddress, manner,
                              "1", prompter));
  }
  EXPECT_EQ(ReadBytes(path), "0QB123");
  struct stat st {};
  ASSERT_EQ(::lstat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  ASSERT_EQ(::lstat(dir.Path("link.bin").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// The old bytes are streamed through a bounded buffer, so a file larger than it
// must come through whole and in order.
TEST(WriteBinImage, LargeFilesKeepEveryByte) {
  TempDir dir;
  const std::string path = dir.Path("data.bin");
  std::string old(5 * 1024 * 1024 + 3, '\0');
  for (std::size_t i = 0; i < old.size(); ++i) old[i] = static_cast<char>(i * 7 + i / 251);
  const std::string text(3 * 1024 * 1024 + 1, 'Z');
  const std::size_t at = 1024 * 1024 + 17;
  struct Case {
    BinManner manner;
    std::string expected;
  };
  const Case cases[] = {
      {kBinInsert, old.substr(0, at) + text + old.substr(at)},
      {kBinReplace, old.substr(0, at) + text + old.substr(at + text.size())},
  };
  for (const Case& c : cases) {
    WriteBytes(path, old);
    RecordingPrompter prompter;
    EXPECT_TRUE(WriteBinImage(path, text, kBinExistingFile, kBinAtAddress, c.manner,
                              std::to_string(at), prompter));
    const std::string after = ReadBytes(path);
    EXPECT_EQ(after.size(), c.expected.size());
    EXPECT_TRUE(after == c.expected) << "manner " << c.manner;
  }
}

}  // namespace
}  // namespace zeltrix
