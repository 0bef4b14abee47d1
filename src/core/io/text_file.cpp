#include "core/io/text_file.h"

#include <sys/stat.h>

#include <optional>
#include <utility>

#include "core/io/file_io.h"

namespace zeltrix {

Result<std::string, FileStatus> ReadTextFile(const std::string& path) {
  Result<std::string, FileStatus> bytes = ReadWholeFile(path);
  if (!bytes) return Failure{bytes.Reason()};
  const std::size_t zero = bytes->find('\0');
  if (zero != std::string::npos) bytes->resize(zero);
  return std::move(*bytes);
}

FileStatus WriteTextFile(const std::string& path, std::string_view text) {
  return WriteFileAtomically(path, text.substr(0, text.find('\0')));
}

std::string CompleteExtension(std::string path, std::string_view extension) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart || dot + 1 == path.size()) path += extension;
  return path;
}

bool IsNonEmptyRegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

}  // namespace zeltrix
