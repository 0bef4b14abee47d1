#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/io/file_io.h"
#include "core/ui/result.h"

namespace zeltrix {

/**
 * Whether two group names or keys are the same to the settings file: the
 * letters A to Z without regard to case, every other byte exactly.
 */
bool SameSettingsName(std::string_view a, std::string_view b);

/**
 * Why a file's bytes are not text that the settings dialect reads, in
 * Russian for the end of a message: a UTF-16 or UTF-32 byte-order mark, or
 * zero bytes (no single-byte or UTF-8 text holds them). Empty when they are.
 */
std::string SettingsTextRefusal(std::string_view bytes);

/** Why a settings file was not read. */
struct SettingsReadFailure {
  /** Why its bytes could not be read (a missing file, a folder); success when they were refused. */
  FileStatus read;
  /** Why its bytes were refused unread (SettingsTextRefusal); empty when they could not be read. */
  std::string refusal;
};

/** Success, or why a settings file was not read. */
using SettingsReadStatus = StatusOf<SettingsReadFailure>;

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
 * starts with the byte-order mark. A file that is not such text at all (see
 * SettingsTextRefusal) is refused unread and never written.
 *
 * A file can also be opened only in part, for reading: its group names, or
 * one group. Then the rest of it is only scanned for its headers, and
 * nothing is ever written back.
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
   * and closing after a write creates the file. Returns why it was not read
   * then. A file refused unread (see SettingsTextRefusal) reads as empty,
   * and writes to it are dropped: it is never written.
   */
  SettingsReadStatus Open(const std::string& path);

  /**
   * Reads only the group headers of the file at path, for GroupNames(): the
   * keys are not parsed. The file is only read: writes are dropped and
   * closing writes nothing. Fails as Open.
   */
  SettingsReadStatus OpenGroupNames(const std::string& path);

  /**
   * Reads only the area before the first group and the first group of that
   * name (matched as SelectGroup matches), whose keys the reads then find;
   * the other groups are only scanned for their headers. The file is only
   * read, as with OpenGroupNames. Fails as Open.
   */
  SettingsReadStatus OpenGroup(const std::string& path, std::string_view name);

  /** Closes the open file and parses bytes held in memory; closing writes nothing. */
  void OpenBuffer(std::string_view bytes);

  /**
   * Closes the open file and starts the file at path anew, empty and 8-bit
   * (an existing file is replaced when this one is closed). Fails, leaving
   * no file open, when the path cannot be created or written
   * (CheckReplaceable).
   */
  FileStatus Create(const std::string& path);

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

  /**
   * How many group names of a UTF-8 file read as empty because their text is
   * not valid UTF-8 or holds characters above U+00FF (the 8-bit codes stand
   * for the code points up to there); a Russian name saved by a UTF-8 editor
   * is such a name. Always 0 for an 8-bit file.
   */
  std::size_t UnreadableGroupNames() const;

  /** The current group's name as the file spells it; empty for the area before the first group. */
  std::string CurrentGroupName() const;

  /** The bytes that closing would write now. */
  std::string Render() const;

 private:
  enum class Kind : std::uint8_t { Comment, Key };
  // Texts are views of the file's bytes as read, or of texts written since.
  struct Entry {
    Kind kind;
    std::string_view name;   // comment text or key
    std::string_view value;  // key lines only
  };
  // A header with the lines up to the next one; the first group stands for
  // the lines before any header and has none. The lines read from the file
  // are m_entries[first, first + count); keys added since are kept apart.
  struct Group {
    std::string_view name;
    std::size_t first = 0;
    std::size_t count = 0;
    std::vector<Entry> added;
    bool removed = false;
  };
  // The groups of one folded name: the first and the last in file order,
  // the others chained through m_nextSameName.
  struct Chain {
    std::size_t first;
    std::size_t last;
  };
  struct FoldedHash {
    std::size_t operator()(std::string_view name) const;
  };
  struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const { return SameSettingsName(a, b); }
  };
  enum class Scope { Whole, GroupNames, OneGroup };
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  void Reset();
  SettingsReadStatus OpenFile(const std::string& path, Scope scope, std::string_view name);
  void Parse(Scope scope, std::string_view wanted);
  std::string_view Own(std::string text);
  std::size_t AddGroup(std::string_view name);
  void IndexGroup(std::size_t group) const;
  void BuildIndex() const;
  std::string ToFile(std::string_view text) const;
  std::string FromFile(std::string_view text) const;
  std::size_t FindHeader(std::string_view fileName) const;
  Entry* FindKey(std::string_view fileKey);
  const Entry* Lookup(std::string_view key);
  bool Writable() const { return m_open && !m_readOnly; }

  bool m_open = false;
  bool m_readOnly = false;
  std::string m_path;  // empty for a buffer
  bool m_utf8 = false;
  bool m_modified = false;
  std::string m_bytes;              // the file as read; the entries look into it
  std::deque<std::string> m_owned;  // texts written since, at fixed places
  std::vector<Entry> m_entries;
  std::vector<Group> m_groups = std::vector<Group>(1);
  // Groups by name with A to Z folded, built at the first lookup: finding a
  // group costs the same in a file of ten groups as in one of ten thousand,
  // and listing the names costs nothing for it.
  mutable bool m_indexed = false;
  mutable std::unordered_map<std::string_view, Chain, FoldedHash, FoldedEqual> m_byName;
  mutable std::vector<std::size_t> m_nextSameName;
  std::size_t m_current = 0;             // index into m_groups
  std::optional<std::string> m_pending;  // in the file's form
};

}  // namespace zeltrix
