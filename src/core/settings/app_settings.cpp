#include "core/settings/app_settings.h"

#include "core/ini/settings_file.h"
#include "core/io/file_io.h"

namespace zeltrix {

AppSettings LoadSettings(const std::string& path) {
  AppSettings settings;
  SettingsFile file;
  const bool opened = file.Open(path);
  // A file that cannot be read reads as empty: every key takes its default.
  file.SelectGroup("Window");
  settings.X = file.ReadNumber("X", settings.X);
  settings.Y = file.ReadNumber("Y", settings.Y);
  settings.W = file.ReadNumber("W", settings.W);
  settings.H = file.ReadNumber("H", settings.H);
  settings.R = file.ReadNumber("R", settings.R);
  file.SelectGroup("Profile");
  settings.Pos = file.ReadNumber("Pos", settings.Pos);
  BinOutputOptions& bin = settings.Bin;
  file.SelectGroup("BIN");
  bin.DelErrSunmol = file.ReadNumber("DelErrSunmol", bin.DelErrSunmol);
  bin.DelSpace = file.ReadNumber("DelSpace", bin.DelSpace);
  bin.CountSpace = file.ReadNumber("CountSpace", bin.CountSpace);
  bin.SaveFile = file.ReadNumber("SaveFile", bin.SaveFile);
  bin.AddFile = file.ReadNumber("AddFile", bin.AddFile);
  bin.AsAddFile = file.ReadNumber("AsAddFile", bin.AsAddFile);
  bin.StartAddress = file.ReadNumber("StartAddress", bin.StartAddress);
  file.SelectGroup("RecentFiles");
  for (int n = 1; n <= kRecentFileCount; ++n) {
    settings.RecentFiles[n - 1] = file.ReadText(RecentFileKey(n), "");
  }
  LcdPreviewSettings& lcd = settings.Lcd;
  file.SelectGroup("LCD");
  lcd.Size = file.ReadText("Size", lcd.Size);
  lcd.Zoom = file.ReadNumber("Zoom", lcd.Zoom);
  lcd.Theme = file.ReadText("Theme", lcd.Theme);
  lcd.X = file.ReadNumber("X", lcd.X);
  lcd.Y = file.ReadNumber("Y", lcd.Y);
  lcd.W = file.ReadNumber("W", lcd.W);
  lcd.H = file.ReadNumber("H", lcd.H);
  file.Close();
  // An empty file now lets the first exit fill it. A directory or an
  // unreadable file of that name is left alone.
  if (!opened && NothingAt(path) && file.Create(path)) file.Close();
  return settings;
}

bool SaveSettings(const std::string& path, const AppSettings& settings) {
  // A file deleted while the program ran stays deleted.
  if (!IsRegularFile(path)) return false;
  SettingsFile file;
  // Nothing is written after a failed open: closing writes only what was written.
  if (!file.Open(path)) return false;
  file.SelectGroup("Window");
  file.WriteNumber("X", settings.X);
  file.WriteNumber("Y", settings.Y);
  file.WriteNumber("W", settings.W);
  file.WriteNumber("H", settings.H);
  file.WriteNumber("R", settings.R);
  file.SelectGroup("Profile");
  file.WriteNumber("Pos", settings.Pos);
  const BinOutputOptions& bin = settings.Bin;
  file.SelectGroup("BIN");
  file.WriteNumber("DelErrSunmol", bin.DelErrSunmol);
  file.WriteNumber("DelSpace", bin.DelSpace);
  file.WriteNumber("CountSpace", bin.CountSpace);
  file.WriteNumber("SaveFile", bin.SaveFile);
  file.WriteNumber("AddFile", bin.AddFile);
  file.WriteNumber("AsAddFile", bin.AsAddFile);
  file.WriteNumber("StartAddress", bin.StartAddress);
  file.SelectGroup("RecentFiles");
  for (int n = 1; n <= kRecentFileCount; ++n) {
    file.WriteText(RecentFileKey(n), settings.RecentFiles[n - 1]);
  }
  const LcdPreviewSettings& lcd = settings.Lcd;
  file.SelectGroup("LCD");
  file.WriteText("Size", lcd.Size);
  file.WriteNumber("Zoom", lcd.Zoom);
  file.WriteText("Theme", lcd.Theme);
  file.WriteNumber("X", lcd.X);
  file.WriteNumber("Y", lcd.Y);
  file.WriteNumber("W", lcd.W);
  file.WriteNumber("H", lcd.H);
  return file.Close().Ok();
}

}  // namespace zeltrix
