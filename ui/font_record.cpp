#include "ui/font_record.h"

#include <cstring>

#include "platform/wide_text.h"
#include "ui/display_scale.h"

namespace {

constexpr char kDefaultFace[] = "宋体";

// A stored height is template pixels: points convert at 96 DPI, whatever
// the screen's, so that a font reads back as the size it was written with.
constexpr int kPointsPerInch = 72;

void SetFace(LOGFONTA* font, const char* face) {
  size_t length = face ? std::strlen(face) : 0;
  if (length == 0 || length > 31) {
    face = kDefaultFace;
    length = std::strlen(kDefaultFace);
  }
  std::memset(font->lfFaceName, 0, sizeof font->lfFaceName);
  std::memcpy(font->lfFaceName, face, length);
}

}  // namespace

LOGFONTA FontOrDefault(const void* logfont) {
  LOGFONTA font = {};
  if (logfont) {
    std::memcpy(&font, logfont, sizeof font);
  } else {
    // The stock font is made at the system's DPI: its height in template pixels.
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = display::ToUnits(font.lfHeight, display::SystemDpi());
    font.lfWidth = display::ToUnits(font.lfWidth, display::SystemDpi());
  }
  return font;
}

int32_t FontFieldValue(const LOGFONTA& font, int32_t field) {
  switch (field) {
    case FONT_ESCAPEMENT: return font.lfEscapement;
    case FONT_BOLD: return font.lfWeight >= FW_BOLD ? 1 : 0;
    case FONT_ITALIC: return font.lfItalic ? 1 : 0;
    case FONT_STRIKE_OUT: return font.lfStrikeOut ? 1 : 0;
    case FONT_UNDERLINE: return font.lfUnderline ? 1 : 0;
    case FONT_POINT_SIZE: {
      int32_t height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
      return MulDiv(height, kPointsPerInch, display::kTemplateDpi);
    }
    default: return 0;
  }
}

void ApplyFontField(LOGFONTA* font, int32_t field, uint32_t value) {
  auto v = static_cast<int32_t>(value);
  switch (field) {
    case FONT_ESCAPEMENT:
      font->lfEscapement = font->lfOrientation = v % 3600;
      break;
    case FONT_BOLD: font->lfWeight = v ? FW_BOLD : 0; break;
    case FONT_ITALIC: font->lfItalic = v ? 1 : 0; break;
    case FONT_STRIKE_OUT: font->lfStrikeOut = v ? 1 : 0; break;
    case FONT_UNDERLINE: font->lfUnderline = v ? 1 : 0; break;
    case FONT_POINT_SIZE: font->lfHeight = -MulDiv(v, display::kTemplateDpi, kPointsPerInch); break;
    case FONT_FACE_NAME: SetFace(font, reinterpret_cast<const char*>(static_cast<uintptr_t>(value))); break;
    default: break;
  }
}

void ApplyFontRecord(LOGFONTA* font, const FontRecord& record) {
  ApplyFontField(font, FONT_ESCAPEMENT, static_cast<uint32_t>(record.escapement));
  ApplyFontField(font, FONT_BOLD, static_cast<uint32_t>(record.bold));
  ApplyFontField(font, FONT_ITALIC, static_cast<uint32_t>(record.italic));
  ApplyFontField(font, FONT_STRIKE_OUT, static_cast<uint32_t>(record.strike_out));
  ApplyFontField(font, FONT_UNDERLINE, static_cast<uint32_t>(record.underline));
  ApplyFontField(font, FONT_POINT_SIZE, static_cast<uint32_t>(record.point_size));
  SetFace(font, record.face_name);
}

HFONT CreateUnitFont(const LOGFONTA& stored, int dpi) {
  LOGFONTA font = stored;
  font.lfHeight = display::ToPixels(font.lfHeight, dpi);
  font.lfWidth = display::ToPixels(font.lfWidth, dpi);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = 0;
  font.lfClipPrecision = 0;
  font.lfQuality = PROOF_QUALITY;
  font.lfPitchAndFamily = 0;
  // The face name is GBK: hand it to the wide function converted.
  LOGFONTW wide;
  std::memcpy(&wide, &font, offsetof(LOGFONTA, lfFaceName));
  MultiByteToWideChar(kGbkCodePage, 0, font.lfFaceName, -1, wide.lfFaceName, LF_FACESIZE);
  wide.lfFaceName[LF_FACESIZE - 1] = 0;
  return CreateFontIndirectW(&wide);
}

HFONT CreateDefaultFontAt(int dpi) {
  if (dpi == display::SystemDpi()) return nullptr;
  LOGFONTW font;
  if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font)) return nullptr;
  font.lfHeight = MulDiv(font.lfHeight, dpi, display::SystemDpi());
  font.lfWidth = MulDiv(font.lfWidth, dpi, display::SystemDpi());
  return CreateFontIndirectW(&font);
}
