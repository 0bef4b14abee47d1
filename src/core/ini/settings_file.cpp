#include "core/ini/settings_file.h"

#include <limits>

#include "core/io/file_io.h"
#include "core/io/text_encoding.h"
#include "core/io/utf8.h"

namespace zeltrix {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

char FoldAz(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// A group name as groups are looked up by: a to z folded to A to Z.
std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldAz(c);
  return folded;
}

std::string_view TrimSpacesAndTabs(std::string_view text) {
  while (!text.empty() && IsSpaceOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpaceOrTab(text.back())) text.remove_suffix(1);
  return text;
}

// Like atoi, but a value beyond 32 bits stops at the nearest limit.
std::int32_t ParseNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpaceOrTab(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  constexpr long long kLimit = static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max())
    value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

}  // namespace

bool SameSettingsName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAz(a[i]) != FoldAz(b[i])) return false;
  }
  return true;
}

SettingsFile::~SettingsFile() { Close(); }

void SettingsFile::Reset() {
  m_open = false;
  m_path.clear();
  m_utf8 = false;
  m_modified = false;
  m_groups.assign(1, Group{});
  m_byName.clear();
  m_current = 0;
  m_pending.reset();
}

bool SettingsFile::Open(const std::string& path) {
  Close();
  m_open = true;
  m_path = path;
  // Only a regular file is read: a pipe or a device is refused at once.
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return false;
  Parse(*bytes);
  return true;
}

void SettingsFile::OpenBuffer(std::string_view bytes) {
  Close();
  m_open = true;
  Parse(bytes);
}

bool SettingsFile::Create(const std::string& path) {
  Close();
  // The file must be creatable or writable now; its content is put in place
  // as a whole when it is closed, so a failed write leaves no new file.
  if (!CheckReplaceable(path)) return false;
  m_open = true;
  m_path = path;
  m_modified = true;
  return true;
}

std::size_t SettingsFile::AddGroup(std::string name) {
  std::string folded = Folded(name);
  m_groups.push_back({std::move(name), {}, false});
  m_byName[std::move(folded)].push_back(m_groups.size() - 1);
  return m_groups.size() - 1;
}

void SettingsFile::Parse(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) {
    m_utf8 = true;
    bytes.remove_prefix(kUtf8Bom.size());
  }
  std::size_t group = 0;
  std::size_t pos = 0;
  const std::size_t n = bytes.size();
  while (pos < n) {
    std::size_t end = pos;
    while (end < n && !IsLineEnd(bytes[end])) ++end;
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end;
    while (pos < n && IsLineEnd(bytes[pos])) ++pos;

    while (!line.empty() && IsSpaceOrTab(line.front())) line.remove_prefix(1);
    if (line.empty()) continue;
    if (line.front() == ';') {
      line.remove_prefix(1);
      if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      m_groups[group].entries.push_back({Kind::Comment, std::string(line), {}});
    } else if (line.front() == '[') {
      line.remove_prefix(1);
      group = AddGroup(std::string(line.substr(0, line.find(']'))));
    } else {
      const std::size_t eq = line.find('=');
      std::string_view key = line.substr(0, eq);
      while (!key.empty() && IsSpaceOrTab(key.back())) key.remove_suffix(1);
      std::string_view value;
      if (eq != std::string_view::npos) {
        value = line.substr(eq + 1);
        while (!value.empty() && IsSpaceOrTab(value.front())) value.remove_prefix(1);
      }
      m_groups[group].entries.push_back({Kind::Key, std::string(key), std::string(value)});
    }
  }
}

std::string SettingsFile::Render() const {
  std::size_t size = kUtf8Bom.size() + 2 * kCrLf.size();
  for (const Group& g : m_groups) {
    size += g.name.size() + 4;
    for (const Entry& e : g.entries) size += e.name.size() + e.value.size() + 5;
  }
  std::string out;
  out.reserve(size);
  if (m_utf8) out.append(kUtf8Bom).append(kCrLf);
  for (std::size_t i = 0; i < m_groups.size(); ++i) {
    const Group& g = m_groups[i];
    if (g.removed) continue;
    if (i > 0) out.append("[").append(g.name).append("]").append(kCrLf);
    for (const Entry& e : g.entries) {
      if (e.kind == Kind::Comment) {
        out.append("; ").append(e.name);
      } else {
        out.append(e.name).append(" = ").append(e.value);
      }
      out.append(kCrLf);
    }
  }
  // A key whose first bytes are those of the byte-order mark must not end up
  // at the start of an 8-bit file: read back, the file would turn to UTF-8
  // and lose every Windows-1251 name. A blank line ahead of it is dropped
  // when the file is read, so the file keeps its entries and its mode.
  if (!m_utf8 && out.starts_with(kUtf8Bom)) out.insert(0, kCrLf);
  return out;
}

FileStatus SettingsFile::Close() {
  if (!m_open) return {};
  FileStatus status;
  // A file that we may only read, or a pipe or device, is refused by the writer.
  if (m_modified && !m_path.empty()) status = WriteFileAtomically(m_path, Render());
  Reset();
  return status;
}

std::string SettingsFile::ToFile(std::string_view text) const {
  return m_utf8 ? Latin1ToUtf8(text) : std::string(text);
}

std::string SettingsFile::FromFile(std::string_view text) const {
  if (!m_utf8) return std::string(text);
  return Utf8ToLatin1(text).value_or(std::string());
}

std::size_t SettingsFile::FindHeader(std::string_view fileName) const {
  const auto found = m_byName.find(Folded(fileName));
  return found == m_byName.end() || found->second.empty() ? kNone : found->second.front();
}

bool SettingsFile::SelectGroup(std::string_view name) {
  if (name.empty()) {
    m_current = 0;
    m_pending.reset();
    return true;
  }
  std::string fileName = ToFile(name);
  const std::size_t header = FindHeader(fileName);
  if (header == kNone) {
    m_pending = std::move(fileName);
    return false;
  }
  m_current = header;
  m_pending.reset();
  return true;
}

std::size_t SettingsFile::FindKey(std::string_view fileKey) const {
  const std::vector<Entry>& entries = m_groups[m_current].entries;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].kind == Kind::Key && SameSettingsName(entries[i].name, fileKey)) return i;
  }
  return kNone;
}

const SettingsFile::Entry* SettingsFile::Lookup(std::string_view key) const {
  if (!m_open || m_pending) return nullptr;
  const std::size_t i = FindKey(ToFile(key));
  return i == kNone ? nullptr : &m_groups[m_current].entries[i];
}

std::int32_t SettingsFile::ReadNumber(std::string_view key, std::int32_t defaultValue) {
  const Entry* entry = Lookup(key);
  return entry ? ParseNumber(FromFile(entry->value)) : defaultValue;
}

std::string SettingsFile::ReadText(std::string_view key, std::string_view defaultValue) {
  const Entry* entry = Lookup(key);
  return entry ? FromFile(TrimSpacesAndTabs(entry->value)) : std::string(defaultValue);
}

void SettingsFile::WriteNumber(std::string_view key, std::int32_t value) {
  WriteText(key, std::to_string(value));
}

void SettingsFile::WriteText(std::string_view key, std::string_view value) {
  if (!m_open) return;
  if (m_pending) {
    m_current = AddGroup(std::move(*m_pending));
    m_pending.reset();
  }
  std::string fileKey = ToFile(key);
  const std::size_t found = FindKey(fileKey);
  std::vector<Entry>& entries = m_groups[m_current].entries;
  if (found != kNone) {
    entries[found].name = std::move(fileKey);
    entries[found].value = ToFile(value);
  } else {
    entries.push_back({Kind::Key, std::move(fileKey), ToFile(value)});
  }
  m_modified = true;
}

void SettingsFile::RemoveGroup(std::string_view name) {
  if (!m_open) return;
  const auto found = m_byName.find(Folded(ToFile(name)));
  if (found == m_byName.end() || found->second.empty()) return;
  const std::size_t header = found->second.front();
  found->second.erase(found->second.begin());
  // The group is marked, not erased, so that the other groups keep their places.
  m_groups[header].removed = true;
  m_groups[header].entries.clear();
  if (m_current == header) m_current = 0;
  m_modified = true;
}

std::vector<std::string> SettingsFile::GroupNames() const {
  std::vector<std::string> names;
  for (std::size_t i = 1; i < m_groups.size(); ++i) {
    if (!m_groups[i].removed) names.push_back(FromFile(m_groups[i].name));
  }
  return names;
}

std::string SettingsFile::CurrentGroupName() const {
  return m_current == 0 ? std::string() : FromFile(m_groups[m_current].name);
}

}  // namespace zeltrix
