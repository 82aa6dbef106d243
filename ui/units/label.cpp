// Label: a self-painted text with effects, borders, a gradient frame, a
// gradient or picture background and alignments. The transparent effect
// paints no background, so whatever lies beneath shows through.
#include <cmath>

#include "../component.h"
#include "../property_writer.h"
#include "control_support.h"
#include "standard_controls.h"
#include "wide_text.h"

using namespace controls;

namespace {

constexpr wchar_t kClassName[] = L"_ZU_Label";

enum Effect : uint32_t { kPlain, kRaised, kSunken, kShadow, kTransparent };
constexpr uint32_t kGradientFrame = 6;

struct LabelProperties {
  // In stored order (properties 9, 11, 10, 12-14, 16, 17, 19-24, 26, 25).
  uint32_t effect = kPlain;
  int32_t frame_width = 1;
  uint32_t border = 0;
  uint32_t frame_colours[3] = {kDefaultColour, kDefaultColour, kDefaultColour};
  uint32_t text_colour = 0;
  uint32_t background_colour = kDefaultColour;
  uint32_t picture_mode = 0;  // 0 top left, 1 stretched, 2 tiled
  uint32_t gradient_direction = 0;
  uint32_t gradient_colours[3] = {kDefaultColour, kDefaultColour, kDefaultColour};
  uint32_t horizontal_align = 0;
  uint32_t vertical_align = 1;
  uint32_t word_wrap = 0;
  UnitFont font;
  std::vector<uint8_t> picture;
  std::string text;
  std::string data_source, data_field;  // version 2

  static constexpr uint32_t kVersion = 2;
  bool Read(ByteReader& reader) {
    uint32_t version;
    if (!ReadVersion(reader, kVersion, &version)) return false;
    effect = ClampChoice(reader.Word(), 4);
    frame_width = static_cast<int32_t>(reader.Word());
    border = ClampChoice(reader.Word(), 6);
    for (uint32_t& colour : frame_colours) colour = reader.Word();
    text_colour = reader.Word();
    background_colour = reader.Word();
    picture_mode = ClampChoice(reader.Word(), 2);
    gradient_direction = ClampChoice(reader.Word(), 8);
    for (uint32_t& colour : gradient_colours) colour = reader.Word();
    horizontal_align = ClampChoice(reader.Word(), 2);
    vertical_align = ClampChoice(reader.Word(), 2);
    word_wrap = reader.Word();
    font.SetStored(reader.Buffer());
    picture = BytesOf(reader.Buffer());
    text = TextOf(reader.CountedText());
    if (version >= 2) {
      data_source = TextOf(reader.CountedText());
      data_field = TextOf(reader.CountedText());
    }
    return !reader.failed();
  }
  HGLOBAL Save() const {
    PropertyWriter writer;
    writer.Word(kVersion);
    writer.Word(effect);
    writer.Word(static_cast<uint32_t>(frame_width));
    writer.Word(border);
    for (uint32_t colour : frame_colours) writer.Word(colour);
    writer.Word(text_colour);
    writer.Word(background_colour);
    writer.Word(picture_mode);
    writer.Word(gradient_direction);
    for (uint32_t colour : gradient_colours) writer.Word(colour);
    writer.Word(horizontal_align);
    writer.Word(vertical_align);
    writer.Word(word_wrap);
    font.Write(writer);
    writer.Buffer(picture);
    writer.CountedText(text);
    writer.CountedText(data_source);
    writer.CountedText(data_field);
    return writer.ToGlobal();
  }
  DWORD ExStyle() const { return BorderExStyle(border) | (effect == kTransparent ? WS_EX_TRANSPARENT : 0); }
};

// The colours of a frame or gradient list, default colours left out.
std::vector<COLORREF> ColourList(const uint32_t (&colours)[3]) {
  std::vector<COLORREF> list;
  for (uint32_t colour : colours)
    if (colour != kDefaultColour) list.push_back(colour & 0x00FFFFFF);
  return list;
}

// The colour at t (0..1) along a list of evenly spaced stops.
COLORREF Blend(const std::vector<COLORREF>& stops, double t) {
  if (stops.size() == 1) return stops[0];
  double at = std::fmin(std::fmax(t, 0.0), 1.0) * static_cast<double>(stops.size() - 1);
  size_t i = static_cast<size_t>(at);
  if (i >= stops.size() - 1) return stops.back();
  double f = at - static_cast<double>(i);
  auto mix = [f](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
  COLORREF a = stops[i], b = stops[i + 1];
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

// A frame of `width` rings, blended from the outer ring inwards.
void DrawFrame(HDC dc, const RECT& rect, int32_t width, const std::vector<COLORREF>& colours) {
  RECT ring = rect;
  for (int32_t i = 0; i < width && ring.right > ring.left && ring.bottom > ring.top; ++i) {
    HBRUSH brush = CreateSolidBrush(Blend(colours, width > 1 ? static_cast<double>(i) / (width - 1) : 0.0));
    FrameRect(dc, &ring, brush);
    DeleteObject(brush);
    InflateRect(&ring, -1, -1);
  }
}

// Directions 1-8: left to right, right to left, top to bottom, bottom to
// top, and the four diagonals from each corner.
void DrawGradient(HDC dc, const RECT& rect, uint32_t direction, const std::vector<COLORREF>& colours) {
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0 || colours.empty()) return;
  static const int kVectors[9][2] = {{0, 0},  {1, 0},  {-1, 0}, {0, 1},  {0, -1},
                                     {1, 1},  {-1, -1}, {-1, 1}, {1, -1}};
  int dx = kVectors[direction][0], dy = kVectors[direction][1];
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return;
  // t is the pixel's place along the direction, 0 at the starting edge.
  double span = std::abs(dx) * (width - 1) + std::abs(dy) * (height - 1);
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double along = (dx > 0 ? x : (dx < 0 ? width - 1 - x : 0)) + (dy > 0 ? y : (dy < 0 ? height - 1 - y : 0));
      COLORREF c = Blend(colours, span > 0 ? along / span : 0.0);
      pixels[y * width + x] = static_cast<uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
    }
  }
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
}

void DrawPicture(HDC dc, const RECT& rect, HBITMAP picture, uint32_t mode) {
  BITMAP info;
  if (!GetObjectW(picture, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, picture);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  if (mode == 1) {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  } else if (mode == 2) {
    for (int y = rect.top; y < rect.bottom; y += info.bmHeight)
      for (int x = rect.left; x < rect.right; x += info.bmWidth)
        BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
  } else {
    BitBlt(dc, rect.left, rect.top, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
  }
  RestoreDC(dc, saved);
  SelectObject(memory, old);
  DeleteDC(memory);
}

class Label : public Component {
 public:
  using Component::Component;
  LabelProperties p;

  bool Create(uint32_t extra_style, HWND parent, uint32_t control_id, RECT rect) {
    if (!RegisterUnitClass(kClassName)) return false;
    HWND window = CreateWindowExW(p.ExStyle(), kClassName, GbkToWide(p.text.c_str()).c_str(),
                                  WS_CHILD | WS_CLIPSIBLINGS | extra_style | BorderStyle(p.border), rect.left,
                                  rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<uintptr_t>(control_id)), nullptr, nullptr);
    if (!window) return false;
    Attach(window);
    LoadPicture();
    return true;
  }

  void LoadPicture() {
    if (picture_) DeleteObject(picture_);
    picture_ = BitmapFromPicture(p.picture);
  }

  // Shows a change at once. A transparent label shows what lies beneath
  // it, so its parent and siblings repaint that part first.
  void Repaint() { Repaint(p.effect == kTransparent); }
  void Repaint(bool through_parent) {
    HWND window = hwnd();
    HWND parent = GetParent(window);
    if (through_parent && parent) {
      // Everything beneath first, then the label over it: one redraw pass
      // does not promise that order.
      RECT rect;
      GetWindowRect(window, &rect);
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
      RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      ValidateRect(window, nullptr);
      RedrawWindow(parent, &rect, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    InvalidateRect(window, nullptr, FALSE);
    ShowNow(window);
  }

  // Effect and border are window styles as well as painting.
  void ApplyStyles() {
    constexpr DWORD kOwnEx = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE | WS_EX_TRANSPARENT;
    LONG ex_style = GetWindowLongW(hwnd(), GWL_EXSTYLE);
    LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
    LONG new_ex = static_cast<LONG>((ex_style & ~kOwnEx) | p.ExStyle());
    LONG new_style = static_cast<LONG>((style & ~WS_BORDER) | BorderStyle(p.border));
    if (new_ex == ex_style && new_style == style) return;
    SetWindowLongW(hwnd(), GWL_EXSTYLE, new_ex);
    SetWindowLongW(hwnd(), GWL_STYLE, new_style);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;  // painted with the rest
      case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd(), &paint);
        RECT client;
        GetClientRect(hwnd(), &client);
        if (client.right <= 0 || client.bottom <= 0) {
          // Nothing to paint.
        } else if (p.effect == kTransparent) {
          Paint(dc, client);
        } else {
          // Drawn off screen first: labels are rewritten many times a second.
          HDC memory = CreateCompatibleDC(dc);
          HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
          HGDIOBJ old = SelectObject(memory, bitmap);
          Paint(memory, client);
          BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
          SelectObject(memory, old);
          DeleteObject(bitmap);
          DeleteDC(memory);
        }
        EndPaint(hwnd(), &paint);
        return 0;
      }
      case WM_NCDESTROY:
        if (picture_) DeleteObject(picture_);
        picture_ = nullptr;
        break;
      default:
        break;
    }
    return Default(message, wparam, lparam);
  }

 private:
  void Paint(HDC dc, RECT rect) {
    // With every frame colour left at the default there is no frame to draw.
    std::vector<COLORREF> frame_colours = ColourList(p.frame_colours);
    if (p.border == kGradientFrame && p.frame_width > 0 && !frame_colours.empty()) {
      DrawFrame(dc, rect, p.frame_width, frame_colours);
      InflateRect(&rect, -p.frame_width, -p.frame_width);
      if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    }
    if (p.effect != kTransparent) {
      HBRUSH brush = CreateSolidBrush(ResolveColour(p.background_colour));
      FillRect(dc, &rect, brush);
      DeleteObject(brush);
    }
    if (picture_)
      DrawPicture(dc, rect, picture_, p.picture_mode);
    else if (p.gradient_direction != 0)
      DrawGradient(dc, rect, p.gradient_direction, ColourList(p.gradient_colours));
    PaintText(dc, rect);
  }

  void PaintText(HDC dc, const RECT& rect) {
    if (p.text.empty()) return;
    std::wstring text = GbkToWide(p.text.c_str());
    UINT format = DT_NOPREFIX;
    if (p.horizontal_align == 1) format |= DT_CENTER;
    if (p.horizontal_align == 2) format |= DT_RIGHT;
    HGDIOBJ old_font = SelectObject(dc, p.font.Handle());
    SetBkMode(dc, TRANSPARENT);
    RECT box = rect;
    if (p.word_wrap) {
      // DT_VCENTER works on single lines only: place the wrapped block by
      // its measured height instead, so the vertical alignment still holds.
      format |= DT_WORDBREAK;
      RECT measured = rect;
      DrawTextW(dc, text.c_str(), -1, &measured, format | DT_CALCRECT);
      int spare = (rect.bottom - rect.top) - (measured.bottom - measured.top);
      if (spare > 0 && p.vertical_align != 0) box.top += p.vertical_align == 1 ? spare / 2 : spare;
    } else {
      format |= DT_SINGLELINE;
      if (p.vertical_align == 1) format |= DT_VCENTER;
      if (p.vertical_align == 2) format |= DT_BOTTOM;
    }
    auto draw = [&](COLORREF colour, int dx, int dy) {
      RECT at = box;
      OffsetRect(&at, dx, dy);
      SetTextColor(dc, colour);
      DrawTextW(dc, text.c_str(), -1, &at, format);
    };
    constexpr COLORREF kWhite = RGB(255, 255, 255);
    COLORREF colour = ResolveColour(p.text_colour);
    switch (p.effect) {
      case kRaised:
        draw(kWhite, -1, -1);
        draw(colour, 0, 0);
        break;
      case kSunken:
        draw(kWhite, 0, 0);
        draw(colour, 1, 1);
        break;
      case kShadow:
        draw(RGB(0, 0, 0), 2, 2);
        draw(colour, 0, 0);
        break;
      default:
        draw(colour, 0, 0);
        break;
    }
    SelectObject(dc, old_font);
  }

  HBITMAP picture_ = nullptr;
};

enum : int32_t {
  LABEL_TEXT,
  LABEL_EFFECT,
  LABEL_BORDER,
  LABEL_FRAME_WIDTH,
  LABEL_FRAME_COLOUR1,
  LABEL_FRAME_COLOUR2,
  LABEL_FRAME_COLOUR3,
  LABEL_FONT,
  LABEL_TEXT_COLOUR,
  LABEL_BACKGROUND_COLOUR,
  LABEL_PICTURE,
  LABEL_PICTURE_MODE,
  LABEL_GRADIENT_DIRECTION,
  LABEL_GRADIENT_COLOUR1,
  LABEL_GRADIENT_COLOUR2,
  LABEL_GRADIENT_COLOUR3,
  LABEL_HORIZONTAL_ALIGN,
  LABEL_WORD_WRAP,
  LABEL_VERTICAL_ALIGN,
  LABEL_DATA_SOURCE,
  LABEL_DATA_FIELD,
  LABEL_COUNT
};

constexpr PropertyInfo kColour = {PT_COLOUR, 0}, kChoice = {PT_CHOICE, 0};
const PropertyInfo kProperties[8 + LABEL_COUNT] = {
    QELMO_STANDARD_PROPERTIES,
    {PT_TEXT, 0}, kChoice, kChoice, {PT_INTEGER, 0}, kColour, kColour, kColour, {PT_FONT, 0}, kColour, kColour,
    {PT_PICTURE, 0}, kChoice, kChoice, kColour, kColour, kColour, kChoice, {PT_TRUTH, 0}, kChoice,
    {PT_TEXT, 0}, {PT_TEXT, 0},
};

// The plain word properties, with the largest value of the choices.
uint32_t* WordField(LabelProperties& p, int32_t property, int32_t* max) {
  *max = -1;
  switch (property) {
    case LABEL_EFFECT: *max = 4; return &p.effect;
    case LABEL_BORDER: *max = 6; return &p.border;
    case LABEL_FRAME_WIDTH: return reinterpret_cast<uint32_t*>(&p.frame_width);
    case LABEL_FRAME_COLOUR1:
    case LABEL_FRAME_COLOUR2:
    case LABEL_FRAME_COLOUR3: return &p.frame_colours[property - LABEL_FRAME_COLOUR1];
    case LABEL_TEXT_COLOUR: return &p.text_colour;
    case LABEL_BACKGROUND_COLOUR: return &p.background_colour;
    case LABEL_PICTURE_MODE: *max = 2; return &p.picture_mode;
    case LABEL_GRADIENT_DIRECTION: *max = 8; return &p.gradient_direction;
    case LABEL_GRADIENT_COLOUR1:
    case LABEL_GRADIENT_COLOUR2:
    case LABEL_GRADIENT_COLOUR3: return &p.gradient_colours[property - LABEL_GRADIENT_COLOUR1];
    case LABEL_HORIZONTAL_ALIGN: *max = 2; return &p.horizontal_align;
    case LABEL_WORD_WRAP: return &p.word_wrap;
    case LABEL_VERTICAL_ALIGN: *max = 2; return &p.vertical_align;
    default: return nullptr;
  }
}

std::string* TextField(LabelProperties& p, int32_t property) {
  switch (property) {
    case LABEL_TEXT: return &p.text;
    case LABEL_DATA_SOURCE: return &p.data_source;
    case LABEL_DATA_FIELD: return &p.data_field;
    default: return nullptr;
  }
}

int32_t Get(Component* object, int32_t property, PropertyValue* value) {
  LabelProperties& p = static_cast<Label*>(object)->p;
  int32_t max;
  if (uint32_t* word = WordField(p, property, &max)) {
    *value = WordValue(*word);
    return 1;
  }
  if (std::string* text = TextField(p, property)) {
    *value = TextValue(*text);
    return 1;
  }
  if (property == LABEL_FONT) {
    *value = p.font.Value();
    return 1;
  }
  if (property == LABEL_PICTURE) {
    *value = BytesValue(p.picture);
    return 1;
  }
  return 0;
}

int32_t Set(Component* object, int32_t property, PropertyValue* value, int32_t) {
  auto* label = static_cast<Label*>(object);
  LabelProperties& p = label->p;
  int32_t max;
  if (uint32_t* word = WordField(p, property, &max)) {
    uint32_t v = max >= 0 ? ClampChoice(value->low, max) : value->low;
    if (*word == v) return 0;
    *word = v;
    if (property == LABEL_EFFECT || property == LABEL_BORDER) {
      // Leaving the transparent effect repaints what showed through too.
      bool was_transparent = (GetWindowLongW(label->hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
      label->ApplyStyles();
      label->Repaint(was_transparent || p.effect == kTransparent);
      return 0;
    }
  } else if (std::string* text = TextField(p, property)) {
    std::string fresh = TextFrom(*value);
    if (*text == fresh) return 0;
    *text = std::move(fresh);
    if (property != LABEL_TEXT) return 0;
    SetWindowTextW(label->hwnd(), GbkToWide(p.text.c_str()).c_str());
  } else if (property == LABEL_FONT) {
    p.font.SetValue(*value);
  } else if (property == LABEL_PICTURE) {
    p.picture = BytesFrom(*value);
    label->LoadPicture();
  } else {
    return 0;
  }
  label->Repaint();
  return 0;
}

HGLOBAL Save(Component* object) { return static_cast<Label*>(object)->p.Save(); }

void* Interface(int32_t operation) {
  switch (operation) {
    case UNIT_CREATE: return reinterpret_cast<void*>(&CreateControl<Label>);
    case UNIT_SET_PROPERTY: return reinterpret_cast<void*>(&Set);
    case UNIT_SAVE_PROPERTIES: return reinterpret_cast<void*>(&Save);
    case UNIT_GET_PROPERTY: return reinterpret_cast<void*>(&Get);
    default: return nullptr;
  }
}

}  // namespace

const UnitDescriptor kLabelUnit = {"Label", "标签", 0, kProperties, 8 + LABEL_COUNT, Interface};
