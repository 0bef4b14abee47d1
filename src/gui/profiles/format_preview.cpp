#include "gui/profiles/format_preview.h"

#include <QPlainTextEdit>
#include <string_view>

#include "core/io/single_byte_codec.h"
#include "core/lcd/formatter.h"
#include "gui/support/qt_text.h"

namespace zeltrix {
namespace {

// The box shows lines of some forty characters. A profile with fields of
// thousands of characters makes lines of a megabyte, whose layout would stall
// the window for seconds: such a line is cut, and an ellipsis says so.
constexpr std::size_t kLongestShownLine = 1000;

std::string ShortenedLines(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    const std::string_view line = text.substr(0, end);
    if (line.size() > kLongestShownLine) {
      out.append(line.substr(0, kLongestShownLine)).push_back('\x85');  // "…"
    } else {
      out.append(line);
    }
    if (end == std::string_view::npos) break;
    out.append("\r\n");
    text.remove_prefix(end + 2);
  }
  return out;
}

}  // namespace

std::string FormatPreviewSample() { return *Utf8ToCp1251("Пример преобразования текста"); }

std::string FormatPreviewText(const ProfileRecord& fields) {
  ProfileRecord preview = fields;
  // A preview shows no progress and never stops early.
  preview.Preview = 1;
  preview.Name = "*Proba*";
  return ConvertText(FormatPreviewSample(), preview);
}

void ShowFormatPreview(QPlainTextEdit* sampleBox, const ProfileRecord& fields) {
  QString text = FromCp1251(ShortenedLines(FormatPreviewText(fields)));
  // The box keeps its lines apart by itself; a CR would show as a stray mark.
  text.replace("\r\n", "\n");
  sampleBox->setPlainText(text);
}

}  // namespace zeltrix
