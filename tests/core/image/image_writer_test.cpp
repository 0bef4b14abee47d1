#include "core/image/image_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <thread>

#include "core/image/intel_hex.h"
#include "core/io/file_lock.h"
#include "core/io/single_byte_codec.h"
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
using testing::WriteBytes;

using Runs = std::vector<std::pair<std::uint64_t, std::string>>;

std::string Hex(const Runs& runs, LineEnd lineEnd = LineEnd::CrLf,
                std::optional<HexStartRecord> start = std::nullopt, int recordLength = 16) {
  HexFile file{{}, lineEnd, start};
  for (const auto& [address, bytes] : runs) file.image.Put(address, bytes);
  return WriteIntelHex(file, recordLength);
}

Message Shown(MessageIcon icon, const std::string& title, const std::string& text) {
  return {title, text, icon, MessageButtons::Ok, MessageAnswer::Ok};
}

const Message kSuccess =
    Shown(MessageIcon::Information, "Преобразование", "Преобразование успешно завершено.");
const Message kAppendQuestion = {
    "Преобразование",
    "Начальный адрес больше текущего размера файла!\nДобавить данные в конец файла?",
    MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes};
const Message kCreateQuestion = {
    "Преобразование", "Файл \n\"{path}\"\nне существует!\nСоздать его и записать в него данные?",
    MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::Yes};
const Message kNotDone =
    Shown(MessageIcon::Warning, "Преобразование", "Преобразование не производилось");
const Message kNoAddress = Shown(MessageIcon::Warning, "Предупреждение",
                                 "Поле  \"Начальный адрес\"  не заполенно\n"
                                 "Нужно указать начальный адрес добавляемых данных в файл.");

Message Refused(const std::string& text) {
  return Shown(MessageIcon::Warning, "Преобразование", text);
}
Message Failed(const std::string& text) { return Shown(MessageIcon::Error, "Ошибка", text); }

struct Placement {
  const char* what;
  std::optional<std::string> before;  // nothing: no file
  ImageFormat format;
  BinTarget target;
  BinPlacement placement;
  BinManner manner;
  const char* address;
  std::vector<MessageAnswer> answers;
  std::optional<std::string> after;  // nothing: no file
  std::vector<Message> shown;        // "{path}" stands for the file's path
};

void Check(const Placement& c) {
  TempDir dir;
  const std::string path = dir.Path("data.hex");
  if (c.before) WriteBytes(path, *c.before);
  RecordingPrompter prompter;
  prompter.answers.assign(c.answers.begin(), c.answers.end());
  const std::string codes = "XY";
  const Status written =
      WriteImageBlock(path, codes, c.format, c.target, c.placement, c.manner, c.address, prompter);
  EXPECT_EQ(written.Ok(), !c.shown.empty() && c.shown.back() == kSuccess) << c.what;
  std::vector<Message> shown = c.shown;
  for (Message& m : shown) {
    if (const std::size_t i = m.text.find("{path}"); i != std::string::npos)
      m.text.replace(i, 6, path);
  }
  EXPECT_EQ(SeenOf(prompter.shown, written, kSuccess), shown) << c.what;
  if (c.after) {
    EXPECT_EQ(ReadBytes(path), *c.after) << c.what;
  } else {
    EXPECT_FALSE(std::filesystem::exists(path)) << c.what;
  }
  // Nothing is left beside the file: no temporary, no lock.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), c.after ? 1 : 0)
      << c.what;
}

// The image of an existing file changes as a BIN file would, in the layout's
// terms; the file keeps its line ends, its start record and every other byte.
TEST(WriteImageBlock, PlacesTheCodesInIntelHexFiles) {
  const HexStartRecord start{5, 0x100};
  const std::string old = Hex({{0, "abcd"}, {10, "ef"}}, LineEnd::Lf, start);
  const auto kept = [&](const Runs& runs) { return Hex(runs, LineEnd::Lf, start); };
  ImageFormat hex{.file = ImageFileFormat::IntelHex};
  ImageFormat hex32 = hex;
  hex32.recordLength = 32;
  ImageFormat pic16 = hex;
  pic16.layout = HexLayout::Pic16Eeprom;
  ImageFormat pic18 = hex;
  pic18.layout = HexLayout::Pic18Eeprom;
  // A PIC16 program with its EEPROM data "ab".
  const std::string program = Hex({{0, "\x8A\x01"}, {0x4200, std::string("a\0b\0", 4)}});
  const std::string badRecord = ":0200000041427B\n:0300000041424338\n:00000001FF\n";
  const std::string badWord = Hex({{0x4200, "a\x01"}});
  // clang-format off
  const Placement cases[] = {
      {"new file at the address", std::nullopt, hex,
       kBinNewFile, kBinAtEnd, kBinInsert, "5", {}, Hex({{5, "XY"}}), {kSuccess}},
      {"new file over an old one, empty field", old, hex32,
       kBinNewFile, kBinAtAddress, kBinReplace, "", {}, Hex({{0, "XY"}}), {kSuccess}},
      {"append after the last byte", old, hex,
       kBinExistingFile, kBinAtEnd, kBinReplace, "1", {}, kept({{0, "abcd"}, {10, "efXY"}}), {kSuccess}},
      {"insert in a run moves the rest up", old, hex,
       kBinExistingFile, kBinAtAddress, kBinInsert, "2", {}, kept({{0, "abXYcd"}, {12, "ef"}}), {kSuccess}},
      {"insert in a gap keeps both gaps", old, hex,
       kBinExistingFile, kBinAtAddress, kBinInsert, "6", {}, kept({{0, "abcd"}, {6, "XY"}, {12, "ef"}}),
       {kSuccess}},
      {"replace fills the gap and writes over", old, hex,
       kBinExistingFile, kBinAtAddress, kBinReplace, "9", {}, kept({{0, "abcd"}, {9, "XYf"}}), {kSuccess}},
      {"address at the end asks, Yes appends", old, hex,
       kBinExistingFile, kBinAtAddress, kBinReplace, "12", {MessageAnswer::Yes},
       kept({{0, "abcd"}, {10, "efXY"}}), {kAppendQuestion, kSuccess}},
      {"address past the end, No", old, hex,
       kBinExistingFile, kBinAtAddress, kBinInsert, "99", {MessageAnswer::No}, old,
       {kAppendQuestion, kNotDone}},
      {"missing file at an address, Yes", std::nullopt, hex,
       kBinExistingFile, kBinAtAddress, kBinInsert, "7", {MessageAnswer::Yes}, Hex({{0, "XY"}}),
       {kCreateQuestion, kSuccess}},
      {"missing file at an address, No", std::nullopt, hex,
       kBinExistingFile, kBinAtAddress, kBinInsert, "7", {MessageAnswer::No}, std::nullopt,
       {kCreateQuestion, kNotDone}},
      {"append to a missing file", std::nullopt, hex,
       kBinExistingFile, kBinAtEnd, kBinInsert, "", {}, Hex({{0, "XY"}}), {kSuccess}},
      {"empty address field", old, hex,
       kBinExistingFile, kBinAtAddress, kBinInsert, "", {}, old, {kNoAddress}},
      {"a bad record: nothing written", badRecord, hex,
       kBinExistingFile, kBinAtEnd, kBinInsert, "0", {}, badRecord,
       {Failed("Строка 2 файла \"{path}\": неверная контрольная сумма")}},
      {"PIC16 EEPROM insert keeps the program", program, pic16,
       kBinExistingFile, kBinAtAddress, kBinInsert, "1", {},
       Hex({{0, "\x8A\x01"}, {0x4200, std::string("a\0X\0Y\0b\0", 8)}}), {kSuccess}},
      {"PIC16 EEPROM word with a high byte", badWord, pic16,
       kBinExistingFile, kBinAtEnd, kBinInsert, "0", {}, badWord,
       {Failed("Файл \"{path}\" не подходит для размещения «PIC16 EEPROM»: по адресу 0x4201 "
               "старший байт слова равен 0x01, а должен быть 0")}},
      {"PIC16 EEPROM new file", std::nullopt, pic16,
       kBinNewFile, kBinAtEnd, kBinInsert, "3", {}, Hex({{0x4206, std::string("X\0Y\0", 4)}}),
       {kSuccess}},
      {"PIC18 EEPROM append", Hex({{0x300000, "\x22"}, {0xF00000, "ab"}}), pic18,
       kBinExistingFile, kBinAtEnd, kBinInsert, "0", {}, Hex({{0x300000, "\x22"}, {0xF00000, "abXY"}}),
       {kSuccess}},
      {"past the last HEX address", std::nullopt, pic16,
       kBinNewFile, kBinAtEnd, kBinInsert, "2147475199", {}, std::nullopt,
       {Refused("Данные выходят за последний адрес файла Intel HEX (0xFFFFFFFF)")}},
  };
  // clang-format on
  for (const Placement& c : cases) Check(c);
}

TEST(WriteImageBlock, ChipSizeImages) {
  const EepromChip chip = *EepromChipNamed("24c01");
  ImageFormat bin{.chip = chip};
  ImageFormat hex = bin;
  hex.file = ImageFileFormat::IntelHex;
  ImageFormat pic16 = hex;
  pic16.layout = HexLayout::Pic16Eeprom;
  const std::string erased(128, '\xFF');
  std::string pic16Erased;
  for (int i = 0; i < 128; ++i) pic16Erased += std::string("\xFF\0", 2);
  // clang-format off
  const Placement cases[] = {
      {"new BIN padded with 0xFF", std::nullopt, bin,
       kBinNewFile, kBinAtEnd, kBinInsert, "0", {}, "XY" + erased.substr(2), {kSuccess}},
      {"new HEX: the whole chip, the codes at the address", std::nullopt, hex,
       kBinNewFile, kBinAtEnd, kBinInsert, "5", {}, Hex({{0, erased.substr(0, 5) + "XY" + erased.substr(7)}}),
       {kSuccess}},
      {"new PIC16 EEPROM: every word of the chip", std::nullopt, pic16,
       kBinNewFile, kBinAtEnd, kBinInsert, "0", {},
       Hex({{0x4200, std::string("X\0Y\0", 4) + pic16Erased.substr(4)}}), {kSuccess}},
      {"new HEX one byte too far", std::nullopt, hex,
       kBinNewFile, kBinAtEnd, kBinInsert, "127", {}, std::nullopt,
       {Refused("Данные не помещаются в микросхему 24C01: не хватает 1 байта")}},
      {"existing BIN is not padded", std::string(100, 'o'), bin,
       kBinExistingFile, kBinAtEnd, kBinInsert, "0", {}, std::string(100, 'o') + "XY", {kSuccess}},
      {"existing BIN replace at the chip's end fits", std::string(127, 'o'), bin,
       kBinExistingFile, kBinAtAddress, kBinReplace, "126", {}, std::string(126, 'o') + "XY", {kSuccess}},
      {"existing full BIN, insert", erased, bin,
       kBinExistingFile, kBinAtAddress, kBinInsert, "0", {}, erased,
       {Refused("Данные не помещаются в микросхему 24C01: не хватает 2 байт")}},
      {"existing full HEX, append", Hex({{0, erased}}), hex,
       kBinExistingFile, kBinAtEnd, kBinInsert, "0", {}, Hex({{0, erased}}),
       {Refused("Данные не помещаются в микросхему 24C01: не хватает 2 байт")}},
  };
  // clang-format on
  for (const Placement& c : cases) Check(c);
  RecordingPrompter prompter;
  TempDir dir;
  const Status big = WriteImageBlock(dir.Path("big.bin"), std::string(149, 'A'), bin, kBinNewFile,
                                     kBinAtEnd, kBinInsert, "0", prompter);
  EXPECT_FALSE(big);
  EXPECT_EQ(SeenOf(prompter.shown, big, kSuccess),
            std::vector<Message>{
                Refused("Данные не помещаются в микросхему 24C01: не хватает 21 байта")});
  EXPECT_EQ(ChipOverflowText(chip, 11),
            "Данные не помещаются в микросхему 24C01: не хватает 11 байт");
}

TEST(WriteImageBlock, FilesThatCannotBeReadOrWritten) {
  TempDir dir;
  const std::string folder = dir.Path("folder");
  std::filesystem::create_directory(folder);
  const std::string missingFolder = dir.Path("no/such.hex");
  const ImageFormat hex{.file = ImageFileFormat::IntelHex};
  const struct {
    std::string path;
    BinTarget target;
    Message message;
  } cases[] = {
      {folder, kBinExistingFile, Failed("Не удалось открыть файл \n\"" + folder + "\"")},
      {folder, kBinNewFile, Failed("Не удалось создать файл \n\"" + folder + "\"")},
      {missingFolder, kBinExistingFile,
       Failed("Не удалось создать файл \n\"" + missingFolder + "\"")},
  };
  for (const auto& c : cases) {
    RecordingPrompter prompter;
    const Status written =
        WriteImageBlock(c.path, "AB", hex, c.target, kBinAtEnd, kBinInsert, "0", prompter);
    EXPECT_FALSE(written);
    EXPECT_EQ(SeenOf(prompter.shown, written, kSuccess), std::vector<Message>{c.message});
  }
  // A write that fails halfway leaves the old file.
  const std::string path = dir.Path("data.hex");
  const std::string old = Hex({{0, std::string(3000, 'o')}});
  WriteBytes(path, old);
  RecordingPrompter prompter;
  Status written;
  {
    testing::FileSizeLimit full(old.size());
    written = WriteImageBlock(path, "AB", hex, kBinExistingFile, kBinAtAddress, kBinInsert, "0",
                              prompter);
    EXPECT_FALSE(written);
  }
  EXPECT_EQ(SeenOf(prompter.shown, written, kSuccess),
            std::vector<Message>{Failed("Не удалось записать файл \n\"" + path + "\"")});
  EXPECT_EQ(ReadBytes(path), old);
}

// A HEX file is read and written under the lock the BIN writer takes: a
// writer that finds another one at work waits for it and changes its result.
TEST(WriteImageBlock, WaitsForTheFileLockAndKeepsTheOtherChange) {
  using namespace std::chrono_literals;
  TempDir dir;
  const std::string path = dir.Path("data.hex");
  WriteBytes(path, Hex({{0, "ab"}}));
  std::promise<void> locked;
  auto other = std::async(std::launch::async, [&] {
    const FileLock lock(path);
    locked.set_value();
    std::this_thread::sleep_for(300ms);
    WriteBytes(path, Hex({{0, "abcd"}}));
    return static_cast<bool>(lock.Status());
  });
  locked.get_future().wait();
  RecordingPrompter prompter;
  const auto start = std::chrono::steady_clock::now();
  const Status written = WriteImageBlock(path, "XY", ImageFormat{.file = ImageFileFormat::IntelHex},
                                         kBinExistingFile, kBinAtEnd, kBinInsert, "0", prompter);
  EXPECT_TRUE(written);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_TRUE(other.get());
  EXPECT_EQ(SeenOf(prompter.shown, written, kSuccess), std::vector<Message>{kSuccess});
  EXPECT_EQ(ReadBytes(path), Hex({{0, "abcdXY"}}));
}

// objcopy, of GNU binutils, turns a HEX file into the bytes it holds from its
// lowest address on, zeros in the gaps: for the same text and address they
// must be the bytes our BIN file holds from that address on.
TEST(WriteImageBlock, ObjcopyReadsOurHexAsOurBin) {
  if (std::system("objcopy --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "objcopy (GNU binutils) is not installed";
  }
  std::string text;
  while (text.size() < 5000) text += *Utf8ToCp1251("Привет, Hello! 0123 ёж № ");
  const std::string codes = MapToLcdCodes(text);
  const struct {
    std::uint64_t address;
    int recordLength;
  } cases[] = {{0, 16}, {0, 32}, {65530, 16}, {131060, 32}};
  for (const auto& c : cases) {
    TempDir dir;
    RecordingPrompter prompter;
    const std::string bin = dir.Path("data.bin");
    const std::string hex = dir.Path("data.hex");
    const std::string address = std::to_string(c.address);
    // The BIN file: the text appended to bytes that fill the addresses before it.
    if (c.address != 0) WriteBytes(bin, std::string(c.address, '\x55'));
    ASSERT_TRUE(WriteBinImage(bin, text, c.address != 0 ? kBinExistingFile : kBinNewFile, kBinAtEnd,
                              kBinInsert, "0", prompter));
    const ImageFormat format{.file = ImageFileFormat::IntelHex, .recordLength = c.recordLength};
    ASSERT_TRUE(
        WriteImageBlock(hex, codes, format, kBinNewFile, kBinAtEnd, kBinInsert, address, prompter));
    const std::string out = dir.Path("objcopy.bin");
    const std::string objcopy = "objcopy -I ihex -O binary '" + hex + "' '" + out + "'";
    ASSERT_EQ(std::system(objcopy.c_str()), 0);
    EXPECT_EQ(ReadBytes(out), ReadBytes(bin).substr(c.address)) << address;
    // A gap comes back as zeros.
    WriteBytes(hex, Hex({{c.address, codes}, {c.address + codes.size() + 5000, "AB"}}, LineEnd::Lf,
                        std::nullopt, c.recordLength));
    ASSERT_EQ(std::system(objcopy.c_str()), 0);
    EXPECT_EQ(ReadBytes(out), codes + std::string(5000, '\0') + "AB") << address;
  }
}

}  // namespace
}  // namespace zeltrix
