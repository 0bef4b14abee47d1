#include "core/profiles/profile_record.h"

#include "core/ini/settings_file.h"

namespace zeltrix {
namespace {

constexpr std::string_view kOpen = "[String]";
constexpr std::string_view kClose = "[/String]";

void RemoveAll(std::string& text, std::string_view marker) {
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(marker, from)) != std::string::npos;
       from = at + marker.size()) {
    out.append(text, from, at - from);
  }
  out.append(text, from, std::string::npos);
  text = std::move(out);
}

std::uint8_t Low8(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

}  // namespace

std::string WrapText(std::string_view value) {
  std::string out;
  out.reserve(kOpen.size() + value.size() + kClose.size());
  out.append(kOpen).append(value).append(kClose);
  return out;
}

std::string UnwrapText(std::string_view stored) {
  std::string value(stored);
  if (value.empty()) return value;
  const bool hasOpen = value.find(kOpen) != std::string::npos;
  // The closing marker counts only from the eighth character on.
  const bool hasClose = value.size() > 7 && value.find(kClose, 7) != std::string::npos;
  if (hasOpen) RemoveAll(value, kOpen);
  if (hasClose) RemoveAll(value, kClose);
  return value;
}

void ReadProfileFields(SettingsFile& file, ProfileRecord& record) {
  const auto text = [&](const char* key) { return UnwrapText(file.ReadText(key, "")); };
  record.Ost1 = file.ReadNumber("Ost1", 2);
  record.Ost2 = file.ReadNumber("Ost2", 2);
  record.Directive = text("Directive");
  record.StartDataBlok = text("StartDataBlok");
  record.EndDataBlok = text("EndDataBlok");
  record.StartData = text("StartData");
  record.SI = file.ReadNumber("SI", 2);
  record.EndData = text("EndData");
  record.RazdelitelData = text("RazdelitelData");
  record.Comment = text("Comment");
  record.CommentState = Low8(file.ReadNumber("CommentState", 0));
  record.CountByte = file.ReadNumber("CountByte", 0);
  record.PerenosPoSlovam = Low8(file.ReadNumber("PerenosPoSlovam", 0));
  record.CountByteToComment = file.ReadNumber("CountByteToComment", 0);
  record.DeleteSumbolError = Low8(file.ReadNumber("DeleteSumbolError", 0));
  record.DeleteSpace = Low8(file.ReadNumber("DeleteSpace", 0));
  record.CountSpace = Low8(file.ReadNumber("CountSpace", 2));
}

void WriteProfileFields(SettingsFile& file, const ProfileRecord& record) {
  file.WriteNumber("Ost1", record.Ost1);
  file.WriteNumber("Ost2", record.Ost2);
  file.WriteText("Directive", WrapText(record.Directive));
  file.WriteText("StartDataBlok", WrapText(record.StartDataBlok));
  file.WriteText("EndDataBlok", WrapText(record.EndDataBlok));
  file.WriteText("StartData", WrapText(record.StartData));
  file.WriteNumber("SI", record.SI);
  file.WriteText("EndData", WrapText(record.EndData));
  file.WriteText("RazdelitelData", WrapText(record.RazdelitelData));
  file.WriteText("Comment", WrapText(record.Comment));
  file.WriteNumber("CommentState", record.CommentState);
  file.WriteNumber("CountByte", record.CountByte);
  file.WriteNumber("PerenosPoSlovam", record.PerenosPoSlovam);
  file.WriteNumber("CountByteToComment", record.CountByteToComment);
  file.WriteNumber("DeleteSumbolError", record.DeleteSumbolError);
  file.WriteNumber("DeleteSpace", record.DeleteSpace);
  file.WriteNumber("CountSpace", record.CountSpace);
}

}  // namespace zeltrix
