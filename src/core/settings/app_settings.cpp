#include "core/settings/app_settings.h"

#include <type_traits>

#include "core/io/file_io.h"
#include "core/io/file_lock.h"
#include "core/settings/settings_file.h"

namespace zeltrix {

namespace {

// Every key of the settings file in file order: its group, its name and the
// field that holds it. Loading and saving both walk this one list.
template <class Settings, class Visit>
void ForEachKey(Settings& s, Visit&& visit) {
  visit("Window", "X", s.X);
  visit("Window", "Y", s.Y);
  visit("Window", "W", s.W);
  visit("Window", "H", s.H);
  visit("Window", "R", s.R);
  visit("Profile", "Pos", s.Pos);
  visit("BIN", "DelErrSunmol", s.Bin.DelErrSunmol);
  visit("BIN", "DelSpace", s.Bin.DelSpace);
  visit("BIN", "CountSpace", s.Bin.CountSpace);
  visit("BIN", "SaveFile", s.Bin.SaveFile);
  visit("BIN", "AddFile", s.Bin.AddFile);
  visit("BIN", "AsAddFile", s.Bin.AsAddFile);
  visit("BIN", "StartAddress", s.Bin.StartAddress);
  for (int n = 1; n <= kRecentFileCount; ++n) {
    visit("RecentFiles", RecentFileKey(n), s.RecentFiles[n - 1]);
  }
  visit("LCD", "Size", s.Lcd.Size);
  visit("LCD", "Zoom", s.Lcd.Zoom);
  visit("LCD", "Theme", s.Lcd.Theme);
  visit("LCD", "X", s.Lcd.X);
  visit("LCD", "Y", s.Lcd.Y);
  visit("LCD", "W", s.Lcd.W);
  visit("LCD", "H", s.Lcd.H);
}

// Selects each group once, when the first of its keys comes.
class GroupCursor {
 public:
  explicit GroupCursor(SettingsFile& file) : m_file(file) {}
  SettingsFile& In(std::string_view group) {
    if (m_current != group) m_file.SelectGroup(group);
    m_current = group;
    return m_file;
  }

 private:
  SettingsFile& m_file;
  std::string_view m_current;
};

}  // namespace

AppSettings LoadSettings(const std::string& path) {
  AppSettings settings;
  SettingsFile file;
  const bool opened = file.Open(path).Ok();
  // A file that cannot be read reads as empty: every key takes its default.
  GroupCursor cursor(file);
  ForEachKey(settings, [&](std::string_view group, std::string_view key, auto& field) {
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(field)>, std::string>) {
      field = cursor.In(group).ReadText(key, field);
    } else {
      field = cursor.In(group).ReadNumber(key, field);
    }
  });
  file.Close();
  // An empty file now lets the first exit fill it. A directory or an
  // unreadable file of that name is left alone, and so is a file another
  // program made meanwhile.
  if (!opened && NothingAt(path)) {
    const FileLock lock(path);
    if (lock.Status() && NothingAt(path) && file.Create(path)) file.Close();
  }
  return settings;
}

FileStatus SaveSettings(const std::string& path, const AppSettings& settings) {
  const FileLock lock(path);
  if (!lock.Status()) return lock.Status();
  SettingsFile file;
  // Nothing is written after a failed open (closing writes only what was
  // written), so a file deleted while the program ran stays deleted and a
  // folder, pipe or device of that name is left alone.
  if (!file.Open(path)) return FileStatus::NotRegularFile();
  GroupCursor cursor(file);
  ForEachKey(settings, [&](std::string_view group, std::string_view key, const auto& field) {
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(field)>, std::string>) {
      cursor.In(group).WriteText(key, field);
    } else {
      cursor.In(group).WriteNumber(key, field);
    }
  });
  return file.Close();
}

}  // namespace zeltrix
