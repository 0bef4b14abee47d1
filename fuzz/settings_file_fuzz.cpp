// The settings-file dialect: any bytes parse; a rewrite read back and
// rewritten again gives the same bytes in the same mode (8-bit or UTF-8);
// a key written into a group reads back with its value.
//
// Input: two bytes that pick the lengths of a group name, a key and a
// value, those three texts, then the file's bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/io/text_encoding.h"
#include "core/settings/settings_file.h"
#include "fuzz_check.h"

namespace {

using zeltrix::kUtf8Bom;

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Texts that the dialect can hold on one line: no line ends; a key that a
// line reads back as the same key (not empty, no "=", no blanks at its ends,
// not starting like a comment or a header); a group name without "]".
void MakeWritable(std::string& group, std::string& key, std::string& value) {
  std::erase_if(group, [](char c) { return IsLineEnd(c) || c == ']'; });
  std::erase_if(key, [](char c) { return IsLineEnd(c) || c == '='; });
  std::erase_if(value, IsLineEnd);
  while (!key.empty() && (IsSpaceOrTab(key.front()) || key.front() == ';' || key.front() == '['))
    key.erase(0, 1);
  while (!key.empty() && IsSpaceOrTab(key.back())) key.pop_back();
  if (group.empty()) group = "G";
  if (key.empty()) key = "k";
}

std::string Trimmed(std::string text) {
  while (!text.empty() && IsSpaceOrTab(text.front())) text.erase(0, 1);
  while (!text.empty() && IsSpaceOrTab(text.back())) text.pop_back();
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::string group = input.ConsumeRandomLengthString(64);
  std::string key = input.ConsumeRandomLengthString(64);
  std::string value = input.ConsumeRandomLengthString(64);
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  zeltrix::SettingsFile file;
  file.OpenBuffer(bytes);
  // A file is read and written in UTF-8 when it starts with the byte-order
  // mark, and only then does its rewrite start with one.
  const bool utf8 = bytes.starts_with(kUtf8Bom);
  const std::string first = file.Render();
  Check(first.starts_with(kUtf8Bom) == utf8);
  const std::size_t groups = file.GroupNames().size();

  file.OpenBuffer(first);
  Check(file.GroupNames().size() == groups);
  Check(file.Render() == first);

  // A written key reads back, also after the rewrite is read again. In UTF-8
  // mode only the codes up to 0xFF exist, which every byte stands for.
  MakeWritable(group, key, value);
  file.SelectGroup(group);
  file.WriteText(key, value);
  Check(file.SelectGroup(group));
  Check(file.ReadText(key, "\x01missing") == Trimmed(value));
  // A value written with leading blanks loses them when it is read again, so
  // the file settles from the second rewrite on.
  const std::string written = file.Render();
  Check(written.starts_with(kUtf8Bom) == utf8);
  file.OpenBuffer(written);
  Check(file.SelectGroup(group));
  Check(file.ReadText(key, "\x01missing") == Trimmed(value));
  const std::string settled = file.Render();
  file.OpenBuffer(settled);
  Check(file.Render() == settled);
  Check(file.SelectGroup(group));
  file.ReadNumber(key, 0);
  file.RemoveGroup(group);
  file.Render();
  return 0;
}
