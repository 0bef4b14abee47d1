#include "gui/support/qt_file_names.h"

#include <dirent.h>

#include <QFile>
#include <optional>

#include "core/io/file_io.h"
#include "core/io/file_names.h"

namespace zeltrix {
namespace {

// The one entry of the folder that Qt shows as the given name; nothing when
// none or several are.
std::optional<std::string> EntryShownAs(const std::string& folder, const QString& shown) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::optional<std::string> found;
  int matches = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (QFile::decodeName(entry->d_name) == shown && ++matches == 1) found = entry->d_name;
  }
  ::closedir(dir);
  return matches == 1 ? found : std::nullopt;
}

}  // namespace

QString QtFileName(const std::string& path) {
  return QString::fromStdU16String(FileNameToUtf16(path));
}

std::string LocalFileName(const QString& name) { return FileNameFromUtf16(name.toStdU16String()); }

QStringList FileNameArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QtFileName(argv[i]);
  return arguments;
}

std::string DroppedFileName(const QUrl& url) {
  if (!url.isLocalFile()) return {};
  // A file on another host keeps Qt's reading ("//host/path").
  if (!url.host().isEmpty()) return LocalFileName(url.toLocalFile());
  return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

std::string ChosenFileName(const QString& chosen) {
  if (!chosen.contains(QChar::ReplacementCharacter)) return LocalFileName(chosen);
  std::string path;
  const QStringList parts = chosen.split('/');
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i > 0) path += '/';
    std::string part = LocalFileName(parts[i]);
    if (parts[i].contains(QChar::ReplacementCharacter) && NothingAt(path + part)) {
      part = EntryShownAs(i > 0 ? path : std::string(), parts[i]).value_or(part);
    }
    path += part;
  }
  return path;
}

}  // namespace zeltrix
