#pragma once

#include <string>

#include "core/profiles/profile_record.h"

class QPlainTextEdit;

namespace zeltrix {

/** The sample text of the format preview, in Windows-1251. */
std::string FormatPreviewSample();

/**
 * The sample converted with the format of the given fields, as a conversion
 * with them would write it: a throw-away copy of the record, marked as the
 * preview, drives the real formatter.
 */
std::string FormatPreviewText(const ProfileRecord& fields);

/**
 * Replaces the content of the sample box with the converted sample; a line
 * of more than a thousand characters shows its first thousand and "…".
 */
void ShowFormatPreview(QPlainTextEdit* sampleBox, const ProfileRecord& fields);

}  // namespace zeltrix
