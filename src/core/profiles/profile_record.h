#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zeltrix {

class SettingsFile;

/** Number base codes of the SI field. */
enum NumberBase : std::int32_t { kBinary = 0, kDecimal = 1, kHexadecimal = 2 };

/**
 * One profile: how the codes of a text are written as data lines. A
 * default-constructed record holds the values of a new profile.
 */
struct ProfileRecord {
  std::uint8_t Preview = 0;  ///< 1 only for the format sample; never stored
  std::string Name;          ///< equals the group name; never stored as a key
  std::int32_t Ost1 = 0;
  std::int32_t Ost2 = 0;
  std::string Directive;
  std::string StartDataBlok;
  std::string EndDataBlok;
  std::string StartData;
  std::int32_t SI = kHexadecimal;
  std::string EndData;
  std::string RazdelitelData;
  std::string Comment;
  std::uint8_t CommentState = 0;
  std::int32_t CountByte = 0;
  std::uint8_t PerenosPoSlovam = 0;
  std::int32_t CountByteToComment = 0;
  std::uint8_t DeleteSumbolError = 0;
  std::uint8_t DeleteSpace = 0;
  std::uint8_t CountSpace = 2;

  bool operator==(const ProfileRecord&) const = default;
};

/** The stored keys of a profile, in the order in which a profile is written. */
inline constexpr std::array<std::string_view, 17> kProfileKeys = {
    "Ost1",         "Ost2",      "Directive",       "StartDataBlok",      "EndDataBlok",
    "StartData",    "SI",        "EndData",         "RazdelitelData",     "Comment",
    "CommentState", "CountByte", "PerenosPoSlovam", "CountByteToComment", "DeleteSumbolError",
    "DeleteSpace",  "CountSpace"};

/** Stores a text value between "[String]" and "[/String]", so its outer spaces survive. */
std::string WrapText(std::string_view value);

/**
 * Takes a stored text value apart: removes every "[String]" when one stands
 * anywhere, and every "[/String]" when one starts at the eighth character or
 * later. A value without the markers stays as it is.
 */
std::string UnwrapText(std::string_view stored);

/**
 * Reads the 17 stored fields from the current group of an open settings file;
 * a missing key gives its default (Ost1, Ost2, SI and CountSpace 2, the rest 0
 * or empty). Name and Preview are left as they are.
 */
void ReadProfileFields(SettingsFile& file, ProfileRecord& record);

/** Writes the 17 stored fields into the current group, in key order, texts wrapped. */
void WriteProfileFields(SettingsFile& file, const ProfileRecord& record);

}  // namespace zeltrix
