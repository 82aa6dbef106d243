// Decoding picture bytes and files, with the system making the icons.
#include "picture/picture_loader.h"

#include <new>
#include <string>

#include "picture/picture_decoders.h"
#include "platform/wide_text.h"

namespace {

// A picture file larger than this is not a window's picture.
constexpr LONGLONG kMaxFileSize = 128ll << 20;
constexpr DWORD kIconVersion = 0x00030000;

// At the image's own size; when the system refuses that size, at the
// default icon size, except for 16-bit images.
HICON CreateIconFromImage(const IconImage& image) {
  auto bytes = const_cast<PBYTE>(image.bytes.data());
  auto size = static_cast<DWORD>(image.bytes.size());
  HICON icon = CreateIconFromResourceEx(bytes, size, TRUE, kIconVersion, image.width, image.height, LR_DEFAULTCOLOR);
  if (!icon && image.bit_count != 16)
    icon = CreateIconFromResourceEx(bytes, size, TRUE, kIconVersion, 0, 0, LR_DEFAULTSIZE);
  return icon;
}

// The size the icon was made at.
bool IconSize(HICON icon, int32_t* width, int32_t* height) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  BITMAP bm{};
  bool colour = info.hbmColor != nullptr;
  bool ok = GetObjectW(colour ? info.hbmColor : info.hbmMask, sizeof bm, &bm) != 0;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  // A monochrome icon's mask holds the mask and the image one above the other.
  *width = bm.bmWidth;
  *height = colour ? bm.bmHeight : bm.bmHeight / 2;
  return ok && *width > 0 && *height > 0;
}

struct FileHandle {
  HANDLE handle;
  ~FileHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

}  // namespace

std::unique_ptr<LoadedPicture> LoadPicture(const void* data, int32_t size) {
  if (!data || size <= 0) return nullptr;
  const ByteRun bytes(static_cast<const uint8_t*>(data), static_cast<size_t>(size));
  std::unique_ptr<LoadedPicture> picture(new (std::nothrow) LoadedPicture);
  if (!picture) return nullptr;
  DecodedPicture& decoded = picture->decoded;
  if (DecodePixels(bytes, &decoded)) return picture;
  if (decoded.kind != PictureKind::kIcon && decoded.kind != PictureKind::kCursor) return nullptr;

  IconImage image;
  if (!ChooseIconImage(bytes, &image)) return nullptr;
  picture->icon = CreateIconFromImage(image);
  if (!picture->icon || !IconSize(picture->icon, &decoded.width, &decoded.height)) return nullptr;
  return picture;
}

std::unique_ptr<LoadedPicture> LoadPictureFile(const char* path) {
  if (!path || !*path) return nullptr;
  const std::wstring wide = GbkToWide(path);
  FileHandle file{CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.handle, &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileSize) return nullptr;
  const auto length = static_cast<DWORD>(size.QuadPart);
  std::unique_ptr<uint8_t[]> contents(new (std::nothrow) uint8_t[length]);
  DWORD read = 0;
  if (!contents || !ReadFile(file.handle, contents.get(), length, &read, nullptr) || read != length) return nullptr;
  return LoadPicture(contents.get(), static_cast<int32_t>(length));
}

int32_t PictureToBitmap(const void* data, int32_t size) {
  std::unique_ptr<LoadedPicture> picture = LoadPicture(data, size);
  if (!picture) return 0;
  HDC screen = GetDC(nullptr);
  if (!screen) return 0;
  HBITMAP bitmap = RenderPicture(screen, *picture, RGB(255, 255, 255), false);
  ReleaseDC(nullptr, screen);
  return static_cast<int32_t>(reinterpret_cast<uintptr_t>(bitmap));
}
