#include "core/ini/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>

#include "core/io/cp1251.h"
#include "core/io/file_io.h"

namespace zeltrix {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
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

SettingsFile::~SettingsFile() { Close(); }

void SettingsFile::Reset() {
  m_open = false;
  m_path.clear();
  m_existedAtOpen = false;
  m_utf8 = false;
  m_modified = false;
  m_entries.clear();
  m_current = kGlobal;
  m_pending.reset();
}

bool SettingsFile::Open(const std::string& path) {
  Close();
  m_open = true;
  m_path = path;
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
  ::close(fd);
  if (!regular) return false;
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return false;
  m_existedAtOpen = true;
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
  // as a whole when it is closed.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  m_open = true;
  m_path = path;
  m_existedAtOpen = true;
  m_modified = true;
  return true;
}

void SettingsFile::Parse(std::string_view bytes) {
  if (bytes.substr(0, 3) == kBom) {
    m_utf8 = true;
    bytes.remove_prefix(3);
  }
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
      m_entries.push_back({Kind::Comment, std::string(line), {}});
    } else if (line.front() == '[') {
      line.remove_prefix(1);
      m_entries.push_back({Kind::Header, std::string(line.substr(0, line.find(']'))), {}});
    } else {
      const std::size_t eq = line.find('=');
      std::string_view key = line.substr(0, eq);
      while (!key.empty() && IsSpaceOrTab(key.back())) key.remove_suffix(1);
      std::string_view value;
      if (eq != std::string_view::npos) {
        value = line.substr(eq + 1);
        while (!value.empty() && IsSpaceOrTab(value.front())) value.remove_prefix(1);
      }
      m_entries.push_back({Kind::Key, std::string(key), std::string(value)});
    }
  }
}

std::string SettingsFile::Render() const {
  std::size_t size = m_utf8 ? kBom.size() + kCrLf.size() : 0;
  for (const Entry& e : m_entries) size += e.name.size() + e.value.size() + 5;
  std::string out;
  out.reserve(size);
  if (m_utf8) out.append(kBom).append(kCrLf);
  for (const Entry& e : m_entries) {
    switch (e.kind) {
      case Kind::Header:
        out.append("[").append(e.name).append("]");
        break;
      case Kind::Comment:
        out.append("; ").append(e.name);
        break;
      case Kind::Key:
        out.append(e.name).append(" = ").append(e.value);
        break;
      case Kind::Removed:
        continue;
    }
    out.append(kCrLf);
  }
  return out;
}

bool SettingsFile::Close() {
  if (!m_open) return true;
  bool ok = true;
  if (m_modified && !m_path.empty()) {
    // A file that we may only read stays as it is.
    const bool refused = FileExists(m_path) && ::access(m_path.c_str(), W_OK) != 0;
    ok = !refused && WriteFileAtomically(m_path, Render());
  }
  Reset();
  return ok;
}

std::string SettingsFile::ToFile(std::string_view text) const {
  return m_utf8 ? Latin1ToUtf8(text) : std::string(text);
}

std::string SettingsFile::FromFile(std::string_view text) const {
  if (!m_utf8) return std::string(text);
  return Utf8ToLatin1(text).value_or(std::string());
}

std::size_t SettingsFile::FindHeader(std::string_view fileName) const {
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    if (m_entries[i].kind == Kind::Header && SameSettingsName(m_entries[i].name, fileName))
      return i;
  }
  return kGlobal;
}

bool SettingsFile::SelectGroup(std::string_view name) {
  if (name.empty()) {
    m_current = kGlobal;
    m_pending.reset();
    return true;
  }
  const std::string fileName = ToFile(name);
  const std::size_t header = FindHeader(fileName);
  if (header == kGlobal) {
    m_pending = fileName;
    return false;
  }
  m_current = header;
  m_pending.reset();
  return true;
}

std::size_t SettingsFile::GroupBegin() const { return m_current == kGlobal ? 0 : m_current + 1; }

std::size_t SettingsFile::GroupEnd() const {
  std::size_t i = GroupBegin();
  while (i < m_entries.size() && m_entries[i].kind != Kind::Header) ++i;
  return i;
}

std::size_t SettingsFile::FindKey(std::string_view fileKey) const {
  const std::size_t end = GroupEnd();
  for (std::size_t i = GroupBegin(); i < end; ++i) {
    if (m_entries[i].kind == Kind::Key && SameSettingsName(m_entries[i].name, fileKey)) return i;
  }
  return kGlobal;
}

const SettingsFile::Entry* SettingsFile::Lookup(std::string_view key) const {
  if (!m_open || m_pending) return nullptr;
  const std::size_t i = FindKey(ToFile(key));
  return i == kGlobal ? nullptr : &m_entries[i];
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
    m_entries.push_back({Kind::Header, std::move(*m_pending), {}});
    m_current = m_entries.size() - 1;
    m_pending.reset();
  }
  std::string fileKey = ToFile(key);
  const std::size_t found = FindKey(fileKey);
  if (found != kGlobal) {
    m_entries[found].name = std::move(fileKey);
    m_entries[found].value = ToFile(value);
  } else {
    const auto at = m_entries.begin() + static_cast<std::ptrdiff_t>(GroupEnd());
    m_entries.insert(at, {Kind::Key, std::move(fileKey), ToFile(value)});
  }
  m_modified = true;
}

void SettingsFile::RemoveGroup(std::string_view name) {
  if (!m_open) return;
  const std::size_t header = FindHeader(ToFile(name));
  if (header == kGlobal) return;
  if (m_current == header) m_current = kGlobal;
  // Entries are marked, not erased, so that removing many groups stays cheap.
  m_entries[header].kind = Kind::Removed;
  for (std::size_t i = header + 1; i < m_entries.size() && m_entries[i].kind != Kind::Header; ++i) {
    m_entries[i].kind = Kind::Removed;
  }
  m_modified = true;
}

std::vector<std::string> SettingsFile::GroupNames() const {
  std::vector<std::string> names;
  for (const Entry& e : m_entries) {
    if (e.kind == Kind::Header) names.push_back(FromFile(e.name));
  }
  return names;
}

}  // namespace zeltrix
