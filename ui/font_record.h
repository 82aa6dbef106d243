// Fonts as properties: a 60-byte LOGFONTA inside the units, and as seen by
// compiled code a 28-byte record of seven words: escapement, bold, italic,
// strike-out, underline, point size, face name (a text).
#pragma once
#include <windows.h>

#include <cstdint>

struct FontRecord {
  int32_t escapement;
  int32_t bold;
  int32_t italic;
  int32_t strike_out;
  int32_t underline;
  int32_t point_size;
  const char* face_name;
};
static_assert(sizeof(FontRecord) == 28, "seven words");

enum FontField : int32_t {
  FONT_ESCAPEMENT = 0,
  FONT_BOLD,
  FONT_ITALIC,
  FONT_STRIKE_OUT,
  FONT_UNDERLINE,
  FONT_POINT_SIZE,
  FONT_FACE_NAME,
  FONT_WHOLE_RECORD = -1,
};

// The font a unit gave (null: the default GUI font), as a LOGFONTA with its
// height in template pixels.
LOGFONTA FontOrDefault(const void* logfont);
// One field of a font, as compiled code reads it.
int32_t FontFieldValue(const LOGFONTA& font, int32_t field);
// Applies one field (or, for FONT_WHOLE_RECORD, a whole FontRecord) to a font.
// A face name that is empty or longer than 31 bytes becomes "宋体";
// escapements are taken modulo 3,600.
void ApplyFontField(LOGFONTA* font, int32_t field, uint32_t value);
void ApplyFontRecord(LOGFONTA* font, const FontRecord& record);
// Makes an HFONT from a stored LOGFONTA the way every unit does, for a
// window at `dpi` (the stored height is template pixels).
HFONT CreateUnitFont(const LOGFONTA& font, int dpi);
// The default GUI font for a window at `dpi`: the stock font is made at the
// system's DPI, so at any other it is made again, scaled. Null at the
// system's DPI, where the stock object itself serves.
HFONT CreateDefaultFontAt(int dpi);
