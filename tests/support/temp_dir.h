#pragma once

#include <stdlib.h>  // mkdtemp

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace zeltrix::testing {

/** A fresh directory that is removed with everything in it at the end of the test. */
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zeltrix-test-XXXXXX").string();
    const char* made = ::mkdtemp(pattern.data());
    // Without its folder no test can go on; an empty path would point at the working folder.
    if (made == nullptr) {
      throw std::filesystem::filesystem_error("mkdtemp", pattern,
                                              std::error_code(errno, std::generic_category()));
    }
    m_path = made;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Path(const std::string& name) const { return m_path + "/" + name; }
  const std::string& Root() const { return m_path; }

 private:
  std::string m_path;
};

/** Writes the bytes as the whole file; false when it cannot be written. */
inline bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  out.close();
  return !out.fail();
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace zeltrix::testing
