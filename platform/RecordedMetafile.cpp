#include "RecordedMetafile.h"

#include <cstdio>

#include "BuiltinFont.h"
#include "CodePage.h"

namespace pavix::platform {

namespace {

std::string SvgColor(TColor color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(PixelOf(color)));
  return text;
}

std::string XmlEscaped(std::string_view utf8) {
  std::string escaped;
  for (const char c : utf8) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

}  // namespace

void TRecordedMetafile::PlayOn(ICanvas& canvas) const {
  for (const TDrawOperation& operation : operations_) {
    if (const auto* fill = std::get_if<TFillOperation>(&operation)) {
      canvas.FillRect(fill->rect, fill->color);
    } else {
      const auto& text = std::get<TTextOperation>(operation);
      canvas.SetFont(text.font);
      canvas.TextOut(text.x, text.y, text.text, text.background);
    }
  }
}

std::string TRecordedMetafile::Svg() const {
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(width_) + "\" height=\"" + std::to_string(height_) + "\" viewBox=\"0 0 " +
                    std::to_string(width_) + " " + std::to_string(height_) + "\" shape-rendering=\"crispEdges\">\n";
  auto rect = [&svg](const TRect& r, TColor color) {
    svg += "<rect x=\"" + std::to_string(r.left) + "\" y=\"" + std::to_string(r.top) + "\" width=\"" +
           std::to_string(r.right - r.left) + "\" height=\"" + std::to_string(r.bottom - r.top) + "\" fill=\"" +
           SvgColor(color) + "\"/>\n";
  };
  for (const TDrawOperation& operation : operations_) {
    if (const auto* fill = std::get_if<TFillOperation>(&operation)) {
      if (fill->rect.right > fill->rect.left && fill->rect.bottom > fill->rect.top) rect(fill->rect, fill->color);
      continue;
    }
    const auto& text = std::get<TTextOperation>(operation);
    rect({text.x, text.y, text.x + text.extent.width, text.y + text.extent.height}, text.background);
    // The baseline a little above the bottom of the text's box.
    svg += "<text x=\"" + std::to_string(text.x) + "\" y=\"" +
           std::to_string(text.y + text.extent.height * 7 / 8) + "\" font-family=\"" +
           XmlEscaped(SystemToUtf8(text.font.name)) + ", monospace\" font-size=\"" +
           std::to_string(text.extent.height) + "\" fill=\"" + SvgColor(text.font.color) + "\"" +
           (text.font.bold ? " font-weight=\"bold\"" : "") + (text.font.italic ? " font-style=\"italic\"" : "") +
           (text.font.underline ? " text-decoration=\"underline\"" : "") + ">" +
           XmlEscaped(SystemToUtf8(text.text)) + "</text>\n";
  }
  return svg + "</svg>\n";
}

void TMetafileRecorder::FillRect(const TRect& rect, TColor color) {
  if (!finished_) operations_.emplace_back(TFillOperation{rect, color});
}

void TMetafileRecorder::TextOut(std::int32_t x, std::int32_t y, std::string_view text, TColor background) {
  if (finished_ || text.empty()) return;
  operations_.emplace_back(TTextOperation{x, y, std::string(text), font_, background, TextExtent(text)});
}

TSize TMetafileRecorder::TextExtent(std::string_view text) { return BuiltinTextExtent(font_, text); }

std::unique_ptr<IMetafile> TMetafileRecorder::Finish() {
  finished_ = true;
  return std::make_unique<TRecordedMetafile>(width_, height_, std::move(operations_));
}

}  // namespace pavix::platform
