#include "gui/profiles/format_preview.h"

#include <QPlainTextEdit>

#include "core/io/single_byte_codec.h"
#include "core/lcd/formatter.h"
#include "gui/support/qt_text.h"

namespace zeltrix {

std::string FormatPreviewSample() { return *Utf8ToCp1251("Пример преобразования текста"); }

std::string FormatPreviewText(const ProfileRecord& fields) {
  ProfileRecord preview = fields;
  // A preview shows no progress and never stops early.
  preview.Preview = 1;
  preview.Name = "*Proba*";
  return ConvertText(FormatPreviewSample(), preview);
}

void ShowFormatPreview(QPlainTextEdit* sampleBox, const ProfileRecord& fields) {
  QString text = FromCp1251(FormatPreviewText(fields));
  // The box keeps its lines apart by itself; a CR would show as a stray mark.
  text.replace("\r\n", "\n");
  sampleBox->setPlainText(text);
}

}  // namespace zeltrix
