// The platform's floor for the installer's start-up: a program that opens a
// window of the installer's size and style, centred, and waits for it to be
// closed. Its arguments add what the installer's start-up must also do:
//   bare_window [ole] [controls] [font] [children]
//   ole       OleInitialize first
//   controls  register the common controls the installer's components use
//   font      paint a line of Chinese in the installer's font
//   children  hold the system controls the installer's window is made of,
//             made the plain way: an edit control, six buttons, three
//             labels, a progress bar and a status bar of four parts, all in
//             the installer's font
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cwchar>

#include <initializer_list>

namespace {

bool paint_text = false;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  if (message == WM_PAINT && paint_text) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"微软雅黑");
    HGDIOBJ old = SelectObject(dc, font);
    RECT area = {10, 10, 400, 40};
    DrawTextW(dc, L"qelmo 安装助手：下载状态", -1, &area, DT_LEFT);
    SelectObject(dc, old);
    DeleteObject(font);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

struct Child {
  const wchar_t* class_name;
  const wchar_t* text;
  DWORD style;
  RECT rect;  // left, top, width, height
};

void AddChildren(HWND window, HINSTANCE instance) {
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"微软雅黑");
  for (const Child& child : {
           Child{L"STATIC", L"保存路径", SS_LEFT, {9, 12, 63, 20}},
           Child{L"EDIT", L"C:\\qelmo\\zr_11.17.zip", ES_READONLY | WS_BORDER, {62, 10, 394, 30}},
           Child{PROGRESS_CLASSW, L"", 0, {8, 49, 448, 22}},
           Child{L"STATIC", L"已经下载:", SS_LEFT, {8, 81, 220, 20}},
           Child{L"STATIC", L"总大小:", SS_LEFT, {235, 81, 220, 20}},
           Child{L"BUTTON", L"zr配套安装包", BS_PUSHBUTTON, {13, 112, 91, 24}},
           Child{L"BUTTON", L"完整程序下载包", BS_PUSHBUTTON, {159, 111, 101, 25}},
           Child{L"BUTTON", L"更新程序下载包", BS_PUSHBUTTON, {317, 111, 100, 25}},
           Child{L"BUTTON", L"", BS_PUSHBUTTON, {110, 117, 16, 16}},
           Child{L"BUTTON", L"", BS_PUSHBUTTON, {267, 117, 16, 16}},
           Child{L"BUTTON", L"", BS_PUSHBUTTON, {424, 115, 16, 16}},
       }) {
    HWND control = CreateWindowExW(0, child.class_name, child.text, WS_CHILD | WS_VISIBLE | child.style,
                                   child.rect.left, child.rect.top, child.rect.right, child.rect.bottom, window,
                                   nullptr, instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS, 0, 0, 0, 0, window,
                                nullptr, instance, nullptr);
  SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  int edges[4] = {120, 240, 360, -1};
  SendMessageW(status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
  for (int part = 0; part < 4; ++part) {
    SendMessageW(status, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(L"下载状态：未开始"));
    SendMessageW(status, SB_SETTIPTEXTW, part, reinterpret_cast<LPARAM>(L"下载状态"));
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  paint_text = std::wcsstr(command_line, L"font") != nullptr;
  if (std::wcsstr(command_line, L"ole")) OleInitialize(nullptr);
  if (std::wcsstr(command_line, L"controls")) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
  }
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = L"BareWindow";
  RegisterClassW(&window_class);
  constexpr int kWidth = 478, kHeight = 194;  // the installer's window
  HWND window = CreateWindowExW(0, L"BareWindow", L"bare window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                                WS_MINIMIZEBOX, (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, kWidth, kHeight, nullptr, nullptr,
                                instance, nullptr);
  if (std::wcsstr(command_line, L"children")) AddChildren(window, instance);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
