// Label: a self-painted text with effects, borders, a gradient frame, a
// gradient or picture background and alignments. The transparent effect
// paints no background, so whatever lies beneath shows through.
#include <cmath>

#include "platform/gdi_handle.h"
#include "platform/wide_text.h"
#include "platform/window_class.h"
#include "ui/component.h"
#include "ui/display_scale.h"
#include "ui/units/borders.h"
#include "ui/units/label_properties.h"
#include "ui/units/property_values.h"
#include "ui/units/standard_controls.h"
#include "ui/units/table_unit.h"
#include "ui/units/unit_colour.h"
#include "ui/units/unit_pictures.h"
#include "ui/units/unit_window.h"

using namespace controls;
using namespace units;

namespace {

constexpr wchar_t kClassName[] = L"_ZU_Label";

enum Effect : uint32_t { kPlain, kRaised, kSunken, kShadow, kTransparent };
constexpr uint32_t kGradientFrame = 6;

struct LabelProperties : LabelStored {
  // The stored words are kept as they came; these bring them into range.
  uint32_t Effect() const { return ClampChoice(effect, kTransparent); }
  uint32_t Border() const { return ClampChoice(border, kGradientFrame); }
  uint32_t PictureMode() const { return ClampChoice(picture_mode, 2); }
  uint32_t GradientDirection() const { return ClampChoice(gradient_direction, 8); }
  uint32_t HorizontalAlign() const { return ClampChoice(horizontal_align, 2); }
  uint32_t VerticalAlign() const { return ClampChoice(vertical_align, 2); }

  DWORD ExStyle() const { return BorderExStyle(Border()) | (Effect() == kTransparent ? WS_EX_TRANSPARENT : 0); }
};

constexpr auto kLabelTable = LabelTable<LabelProperties>();

// The colours of a frame or gradient list, default colours left out.
std::vector<COLORREF> ColourList(std::initializer_list<uint32_t> colours) {
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
    OwnedBrush brush(CreateSolidBrush(Blend(colours, width > 1 ? static_cast<double>(i) / (width - 1) : 0.0)));
    FrameRect(dc, &ring, brush.get());
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
  OwnedBitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
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
  MemoryDc memory(dc);
  DcSelection selected(memory.get(), bitmap.get());
  BitBlt(dc, rect.left, rect.top, width, height, memory.get(), 0, 0, SRCCOPY);
}

void DrawPicture(HDC dc, const RECT& rect, HBITMAP picture, uint32_t mode) {
  BITMAP info;
  if (!GetObjectW(picture, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return;
  MemoryDc memory(dc);
  DcSelection selected(memory.get(), picture);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  if (mode == 1) {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, rect.left, rect.top, width, height, memory.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  } else if (mode == 2) {
    for (int y = rect.top; y < rect.bottom; y += info.bmHeight)
      for (int x = rect.left; x < rect.right; x += info.bmWidth)
        BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
  } else {
    BitBlt(dc, rect.left, rect.top, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
  }
  RestoreDC(dc, saved);
}

class Label : public TableComponent<LabelProperties, kLabelTable> {
 public:
  using TableComponent::TableComponent;

  bool Create(const Placement& at) {
    if (!RegisterWindowClass(kClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS)) return false;
    HWND window = CreateChildWindow(p.ExStyle(), kClassName, p.text,
                                    WS_CHILD | WS_CLIPSIBLINGS | at.extra_style | BorderStyle(p.Border()), at);
    if (!window) return false;
    Attach(window);
    picture_.Reset(BitmapFromPicture(p.background_picture));
    return true;
  }

  int32_t Apply(Change change, int32_t number, const PropertyValue&) {
    if (change == Change::kRestyle) {
      // Leaving the transparent effect repaints what showed through too.
      bool was_transparent = (GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
      ApplyStyles();
      Repaint(was_transparent || p.Effect() == kTransparent);
      return 0;
    }
    if (number == LABEL_BACKGROUND_PICTURE) picture_.Reset(BitmapFromPicture(p.background_picture));
    if (number == LABEL_TEXT) SetWindowTextW(hwnd(), GbkToWide(p.text.c_str()).c_str());
    Repaint();
    return 0;
  }

  // Shows a change at once. A transparent label shows what lies beneath
  // it, so its parent and siblings repaint that part first.
  void Repaint() { Repaint(p.Effect() == kTransparent); }
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
    LONG new_style = static_cast<LONG>((style & ~WS_BORDER) | BorderStyle(p.Border()));
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
        } else if (p.Effect() == kTransparent) {
          Paint(dc, client);
        } else {
          // Drawn off screen first: labels are rewritten many times a second.
          MemoryDc memory(dc);
          OwnedBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
          DcSelection selected(memory.get(), bitmap.get());
          Paint(memory.get(), client);
          BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        }
        EndPaint(hwnd(), &paint);
        return 0;
      }
      default:
        break;
    }
    return Default(message, wparam, lparam);
  }

 private:
  void Paint(HDC dc, RECT rect) {
    // With every frame colour left at the default there is no frame to draw.
    std::vector<COLORREF> frame_colors = ColourList({p.frame_color1, p.frame_color2, p.frame_color3});
    if (p.Border() == kGradientFrame && p.frame_width > 0 && !frame_colors.empty()) {
      int frame_width = display::ToPixels(p.frame_width, display::WindowDpi(hwnd()));  // template units
      DrawFrame(dc, rect, frame_width, frame_colors);
      InflateRect(&rect, -frame_width, -frame_width);
      if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    }
    if (p.Effect() != kTransparent) FillSolid(dc, rect, ResolveColour(p.background_color));
    if (picture_)
      DrawPicture(dc, rect, picture_.get(), p.PictureMode());
    else if (p.GradientDirection() != 0)
      DrawGradient(dc, rect, p.GradientDirection(),
                   ColourList({p.gradient_color1, p.gradient_color2, p.gradient_color3}));
    PaintText(dc, rect);
  }

  void PaintText(HDC dc, const RECT& rect) {
    if (p.text.empty()) return;
    std::wstring text = GbkToWide(p.text.c_str());
    UINT format = DT_NOPREFIX;
    if (p.HorizontalAlign() == 1) format |= DT_CENTER;
    if (p.HorizontalAlign() == 2) format |= DT_RIGHT;
    DcSelection font(dc, p.font.Handle(hwnd()));
    SetBkMode(dc, TRANSPARENT);
    RECT box = rect;
    if (p.word_wrap) {
      // DT_VCENTER works on single lines only: place the wrapped block by
      // its measured height instead, so the vertical alignment still holds.
      format |= DT_WORDBREAK;
      RECT measured = rect;
      DrawTextW(dc, text.c_str(), -1, &measured, format | DT_CALCRECT);
      int spare = (rect.bottom - rect.top) - (measured.bottom - measured.top);
      if (spare > 0 && p.VerticalAlign() != 0) box.top += p.VerticalAlign() == 1 ? spare / 2 : spare;
    } else {
      format |= DT_SINGLELINE;
      if (p.VerticalAlign() == 1) format |= DT_VCENTER;
      if (p.VerticalAlign() == 2) format |= DT_BOTTOM;
    }
    auto draw = [&](COLORREF colour, int dx, int dy) {
      RECT at = box;
      OffsetRect(&at, dx, dy);
      SetTextColor(dc, colour);
      DrawTextW(dc, text.c_str(), -1, &at, format);
    };
    constexpr COLORREF kWhite = RGB(255, 255, 255);
    COLORREF colour = ResolveColour(p.text_color);
    switch (p.Effect()) {
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
  }

  OwnedBitmap picture_;
};

constexpr auto kProperties = PropertyTypes<kLabelTable>();

}  // namespace

const UnitDescriptor kLabelUnit = {"Label", "标签", 0, kProperties.data(), kProperties.size(),
                                   TableUnit<Label>::Interface};
