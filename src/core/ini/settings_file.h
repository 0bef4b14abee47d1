#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/io/file_io.h"

namespace zeltrix {

/**
 * Whether two group names or keys are the same to the settings file: the
 * letters A to Z without regard to case, every other byte exactly.
 */
bool SameSettingsName(std::string_view a, std::string_view b);

/**
 * One open settings file in the program's INI-like dialect: "[group]" headers,
 * "key = value" lines and "; comment" lines, read whole on opening and
 * rewritten whole on closing, only when something was written.
 *
 * Group names and keys are matched with the letters A to Z taken without
 * regard to case and every other byte exactly. A file that starts with the
 * UTF-8 byte-order mark is read and written in UTF-8, the program's 8-bit
 * codes standing for the code points of the same number.
 *
 * A rewrite keeps the file's mode: an 8-bit file is never written so that it
 * starts with the byte-order mark.
 */
class SettingsFile {
 public:
  SettingsFile() = default;
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;
  /** Closes the file, writing it back when modified. */
  ~SettingsFile();

  /**
   * Closes the open file and reads the one at path. When it cannot be read
   * the path is remembered with an empty list: reads give their defaults,
   * and closing after a write creates the file. Returns false then.
   */
  bool Open(const std::string& path);

  /** Closes the open file and parses bytes held in memory; closing writes nothing. */
  void OpenBuffer(std::string_view bytes);

  /**
   * Closes the open file and starts the file at path anew, empty and 8-bit
   * (an existing file is replaced when this one is closed). Returns false,
   * leaving no file open, when the path cannot be created or written.
   */
  bool Create(const std::string& path);

  /**
   * Rewrites the file when something was written, then forgets it. Fails
   * only when a rewrite was due and failed; the old file then stays.
   */
  FileStatus Close();

  /**
   * Makes the named group current (an empty name: the area before the first
   * group) and returns true. A missing group becomes pending: reads give
   * their defaults and the first write appends the group at the end.
   */
  bool SelectGroup(std::string_view name);

  /** The key's value read as a decimal integer ("12ab" is 12, "ab" is 0); the default when missing.
   */
  std::int32_t ReadNumber(std::string_view key, std::int32_t defaultValue);

  /** The key's value without spaces and tabs at either end; the default when missing. */
  std::string ReadText(std::string_view key, std::string_view defaultValue);

  /** Writes the value in decimal; see WriteText. */
  void WriteNumber(std::string_view key, std::int32_t value);

  /**
   * Replaces the key's value in place (the key takes the letters given) or
   * adds the key at the end of the current group.
   */
  void WriteText(std::string_view key, std::string_view value);

  /** Removes the first matching group with all its lines. */
  void RemoveGroup(std::string_view name);

  /** The names of all groups in file order, repeats and empty names included. */
  std::vector<std::string> GroupNames() const;

  /** The current group's name as the file spells it; empty for the area before the first group. */
  std::string CurrentGroupName() const;

  /** The bytes that closing would write now. */
  std::string Render() const;

 private:
  enum class Kind : std::uint8_t { Comment, Key };
  struct Entry {
    Kind kind;
    std::string name;   // comment text or key
    std::string value;  // key lines only
  };
  // A header with the lines up to the next one; the first group stands for
  // the lines before any header and has none.
  struct Group {
    std::string name;
    std::vector<Entry> entries;
    bool removed = false;
  };
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  void Reset();
  void Parse(std::string_view bytes);
  std::size_t AddGroup(std::string name);
  std::string ToFile(std::string_view text) const;
  std::string FromFile(std::string_view text) const;
  std::size_t FindHeader(std::string_view fileName) const;
  std::size_t FindKey(std::string_view fileKey) const;
  const Entry* Lookup(std::string_view key) const;

  bool m_open = false;
  std::string m_path;  // empty for a buffer
  bool m_utf8 = false;
  bool m_modified = false;
  std::vector<Group> m_groups = std::vector<Group>(1);
  // Groups by name with A to Z folded, each list in file order: finding a
  // group costs the same in a file of ten groups as in one of ten thousand.
  std::unordered_map<std::string, std::vector<std::size_t>> m_byName;
  std::size_t m_current = 0;             // index into m_groups
  std::optional<std::string> m_pending;  // in the file's form
};

}  // namespace zeltrix
