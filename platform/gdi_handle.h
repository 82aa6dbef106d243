// Owners of GDI handles. A unit holds its bitmaps, fonts, icons and brushes
// in these, so each handle is freed in one place: when it is replaced, or
// when the component object goes (after its window is destroyed, so no
// control still draws with it). The picture renderer draws with them too.
#pragma once
#include <windows.h>

#include <utility>

template <typename Handle>
class GdiHandle {
 public:
  GdiHandle() = default;
  explicit GdiHandle(Handle handle) : handle_(handle) {}
  ~GdiHandle() { Reset(); }
  GdiHandle(const GdiHandle&) = delete;
  GdiHandle& operator=(const GdiHandle&) = delete;
  GdiHandle(GdiHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiHandle& operator=(GdiHandle&& other) noexcept {
    Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }

  // Takes `handle` in place of the one held, which is freed.
  void Reset(Handle handle = nullptr) {
    if (handle_ && handle_ != handle) Free(handle_);
    handle_ = handle;
  }
  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  static void Free(HICON icon) { DestroyIcon(icon); }
  static void Free(HGDIOBJ object) { DeleteObject(object); }
  Handle handle_ = nullptr;
};

using OwnedBitmap = GdiHandle<HBITMAP>;
using OwnedFont = GdiHandle<HFONT>;
using OwnedIcon = GdiHandle<HICON>;
using OwnedBrush = GdiHandle<HBRUSH>;
using OwnedRegion = GdiHandle<HRGN>;

// Fills a rectangle with a solid colour.
inline void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  OwnedBrush brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, brush.get());
}

// An object selected into a DC for a scope; the old one is put back.
class DcSelection {
 public:
  DcSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~DcSelection() { SelectObject(dc_, old_); }
  DcSelection(const DcSelection&) = delete;
  DcSelection& operator=(const DcSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A memory DC compatible with `like`, deleted at the end of its scope. With
// a bitmap, the bitmap is selected into it until then.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like, HBITMAP bitmap = nullptr) : dc_(CreateCompatibleDC(like)) {
    if (dc_ && bitmap) old_ = SelectObject(dc_, bitmap);
    selected_ = !bitmap || (old_ && old_ != HGDI_ERROR);
  }
  ~MemoryDc() {
    if (!dc_) return;
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }
  // The DC was made, and holds the bitmap when one was given.
  bool ok() const { return dc_ && selected_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
  bool selected_ = false;
};
