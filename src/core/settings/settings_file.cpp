#include "core/settings/settings_file.h"

#include <cstring>
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

std::string SettingsTextRefusal(std::string_view bytes) {
  constexpr std::string_view kOnly =
      ", а программа читает только однобайтовый текст (Windows-1251) и UTF-8";
  // UTF-32 first: its little-endian mark starts like UTF-16's.
  if (bytes.starts_with(std::string_view("\xFF\xFE\0\0", 4)) ||
      bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
    return "файл записан в кодировке UTF-32" + std::string(kOnly);
  }
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return "файл записан в кодировке UTF-16" + std::string(kOnly);
  }
  if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr) {
    return "в файле есть нулевые байты: это не однобайтовый текст (Windows-1251) и не UTF-8";
  }
  return {};
}

std::size_t SettingsFile::FoldedHash::operator()(std::string_view name) const {
  std::size_t hash = 14695981039346656037ull;
  for (const char c : name)
    hash = (hash ^ static_cast<unsigned char>(FoldAz(c))) * 1099511628211ull;
  return hash;
}

SettingsFile::~SettingsFile() { Close(); }

void SettingsFile::Reset() {
  m_open = false;
  m_readOnly = false;
  m_path.clear();
  m_utf8 = false;
  m_modified = false;
  m_bytes.clear();
  m_bytes.shrink_to_fit();
  m_owned.clear();
  m_entries.clear();
  m_entries.shrink_to_fit();
  m_groups.assign(1, Group{});
  m_indexed = false;
  m_byName.clear();
  m_nextSameName.clear();
  m_current = 0;
  m_pending.reset();
}

SettingsReadStatus SettingsFile::OpenFile(const std::string& path, Scope scope,
                                          std::string_view name) {
  Close();
  m_open = true;
  m_readOnly = scope != Scope::Whole;
  m_path = path;
  // Only a regular file is read: a pipe or a device is refused at once.
  Result<std::string, FileStatus> bytes = ReadWholeFile(path);
  if (!bytes) return Failure{SettingsReadFailure{bytes.Reason(), {}}};
  if (std::string refusal = SettingsTextRefusal(*bytes); !refusal.empty()) {
    // Read as anything else, its every line would be garbage, and a rewrite
    // would destroy it: it stays as it is.
    m_readOnly = true;
    return Failure{SettingsReadFailure{{}, std::move(refusal)}};
  }
  m_bytes = std::move(*bytes);
  Parse(scope, name);
  return {};
}

SettingsReadStatus SettingsFile::Open(const std::string& path) {
  return OpenFile(path, Scope::Whole, {});
}

SettingsReadStatus SettingsFile::OpenGroupNames(const std::string& path) {
  return OpenFile(path, Scope::GroupNames, {});
}

SettingsReadStatus SettingsFile::OpenGroup(const std::string& path, std::string_view name) {
  return OpenFile(path, Scope::OneGroup, name);
}

void SettingsFile::OpenBuffer(std::string_view bytes) {
  Close();
  m_open = true;
  m_bytes = bytes;
  Parse(Scope::Whole, {});
}

FileStatus SettingsFile::Create(const std::string& path) {
  Close();
  // The file must be creatable or writable now; its content is put in place
  // as a whole when it is closed, so a failed write leaves no new file.
  if (const FileStatus replaceable = CheckReplaceable(path); !replaceable) return replaceable;
  m_open = true;
  m_path = path;
  m_modified = true;
  return {};
}

std::string_view SettingsFile::Own(std::string text) {
  return m_owned.emplace_back(std::move(text));
}

void SettingsFile::IndexGroup(std::size_t group) const {
  m_nextSameName.resize(m_groups.size(), kNone);
  const auto [chain, added] = m_byName.try_emplace(m_groups[group].name, Chain{group, group});
  if (!added) {
    m_nextSameName[chain->second.last] = group;
    chain->second.last = group;
  }
}

void SettingsFile::BuildIndex() const {
  if (m_indexed) return;
  m_indexed = true;
  m_byName.reserve(m_groups.size());
  for (std::size_t g = 1; g < m_groups.size(); ++g) {
    if (!m_groups[g].removed) IndexGroup(g);
  }
}

std::size_t SettingsFile::AddGroup(std::string_view name) {
  Group group;
  group.name = name;
  group.first = m_entries.size();
  m_groups.push_back(std::move(group));
  if (m_indexed) IndexGroup(m_groups.size() - 1);
  return m_groups.size() - 1;
}

void SettingsFile::Parse(Scope scope, std::string_view wanted) {
  std::string_view bytes = m_bytes;
  if (bytes.starts_with(kUtf8Bom)) {
    m_utf8 = true;
    bytes.remove_prefix(kUtf8Bom.size());
  }
  const std::string wantedInFile = scope == Scope::OneGroup ? ToFile(wanted) : std::string();
  // Whether the lines of the current group are kept: all of them for the
  // whole file; only the headers for the names; the area before the first
  // group and the group wanted when one is.
  bool keepLines = scope != Scope::GroupNames;
  bool found = false;
  std::size_t group = 0;
  const char* const data = bytes.data();
  const std::size_t n = bytes.size();
  std::size_t pos = 0;
  while (pos < n) {
    std::size_t end = pos;
    while (end < n && !IsLineEnd(data[end])) ++end;
    std::string_view line(data + pos, end - pos);
    pos = end;
    while (pos < n && IsLineEnd(data[pos])) ++pos;

    while (!line.empty() && IsSpaceOrTab(line.front())) line.remove_prefix(1);
    if (line.empty()) continue;
    if (line.front() == '[') {
      line.remove_prefix(1);
      const std::string_view name = line.substr(0, line.find(']'));
      if (scope == Scope::OneGroup) {
        // The group wanted is complete at the next header.
        if (found) break;
        keepLines = found = SameSettingsName(name, wantedInFile);
        if (!found) continue;
      }
      m_groups[group].count = m_entries.size() - m_groups[group].first;
      group = AddGroup(name);
      continue;
    }
    if (!keepLines) continue;
    if (line.front() == ';') {
      line.remove_prefix(1);
      if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      m_entries.push_back({Kind::Comment, line, {}});
    } else {
      const std::size_t eq = line.find('=');
      std::string_view key = line.substr(0, eq);
      while (!key.empty() && IsSpaceOrTab(key.back())) key.remove_suffix(1);
      std::string_view value;
      if (eq != std::string_view::npos) {
        value = line.substr(eq + 1);
        while (!value.empty() && IsSpaceOrTab(value.front())) value.remove_prefix(1);
      }
      m_entries.push_back({Kind::Key, key, value});
    }
  }
  m_groups[group].count = m_entries.size() - m_groups[group].first;
}

std::string SettingsFile::Render() const {
  std::size_t size = kUtf8Bom.size() + 2 * kCrLf.size();
  for (const Group& g : m_groups) size += g.name.size() + 4;
  for (const Entry& e : m_entries) size += e.name.size() + e.value.size() + 5;
  for (const Group& g : m_groups) {
    for (const Entry& e : g.added) size += e.name.size() + e.value.size() + 5;
  }
  std::string out;
  out.reserve(size);
  if (m_utf8) out.append(kUtf8Bom).append(kCrLf);
  const auto append = [&out](const Entry& e) {
    if (e.kind == Kind::Comment) {
      out.append("; ").append(e.name);
    } else {
      out.append(e.name).append(" = ").append(e.value);
    }
    out.append(kCrLf);
  };
  for (std::size_t i = 0; i < m_groups.size(); ++i) {
    const Group& g = m_groups[i];
    if (g.removed) continue;
    if (i > 0) out.append("[").append(g.name).append("]").append(kCrLf);
    for (std::size_t e = g.first; e < g.first + g.count; ++e) append(m_entries[e]);
    for (const Entry& e : g.added) append(e);
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
  if (m_modified && !m_readOnly && !m_path.empty()) status = WriteFileAtomically(m_path, Render());
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
  BuildIndex();
  const auto found = m_byName.find(fileName);
  return found == m_byName.end() ? kNone : found->second.first;
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

SettingsFile::Entry* SettingsFile::FindKey(std::string_view fileKey) {
  Group& group = m_groups[m_current];
  for (std::size_t i = group.first; i < group.first + group.count; ++i) {
    Entry& entry = m_entries[i];
    if (entry.kind == Kind::Key && SameSettingsName(entry.name, fileKey)) return &entry;
  }
  for (Entry& entry : group.added) {
    if (entry.kind == Kind::Key && SameSettingsName(entry.name, fileKey)) return &entry;
  }
  return nullptr;
}

const SettingsFile::Entry* SettingsFile::Lookup(std::string_view key) {
  if (!m_open || m_pending) return nullptr;
  return FindKey(ToFile(key));
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
  if (!Writable()) return;
  if (m_pending) {
    m_current = AddGroup(Own(std::move(*m_pending)));
    m_pending.reset();
  }
  const std::string fileKey = ToFile(key);
  const std::string_view fileValue = Own(ToFile(value));
  if (Entry* found = FindKey(fileKey)) {
    if (found->name != fileKey) found->name = Own(fileKey);
    found->value = fileValue;
  } else {
    m_groups[m_current].added.push_back({Kind::Key, Own(fileKey), fileValue});
  }
  m_modified = true;
}

void SettingsFile::RemoveGroup(std::string_view name) {
  if (!Writable()) return;
  BuildIndex();
  const auto found = m_byName.find(ToFile(name));
  if (found == m_byName.end()) return;
  const std::size_t header = found->second.first;
  if (header == found->second.last) {
    m_byName.erase(found);
  } else {
    found->second.first = m_nextSameName[header];
  }
  // The group is marked, not erased, so that the other groups keep their places.
  Group& group = m_groups[header];
  group.removed = true;
  group.count = 0;
  group.added.clear();
  if (m_current == header) m_current = 0;
  m_modified = true;
}

std::vector<std::string> SettingsFile::GroupNames() const {
  std::vector<std::string> names;
  names.reserve(m_groups.size() - 1);
  for (std::size_t i = 1; i < m_groups.size(); ++i) {
    if (!m_groups[i].removed) names.push_back(FromFile(m_groups[i].name));
  }
  return names;
}

std::size_t SettingsFile::UnreadableGroupNames() const {
  if (!m_utf8) return 0;
  std::size_t unreadable = 0;
  for (std::size_t i = 1; i < m_groups.size(); ++i) {
    const Group& g = m_groups[i];
    if (!g.removed && !g.name.empty() && !Utf8ToLatin1(g.name)) ++unreadable;
  }
  return unreadable;
}

std::string SettingsFile::CurrentGroupName() const {
  return m_current == 0 ? std::string() : FromFile(m_groups[m_current].name);
}

}  // namespace zeltrix
