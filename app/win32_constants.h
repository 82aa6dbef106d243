// The Win32 values the application passes to its DLL commands, each once,
// under the system's own meaning (the application includes no system header).
#pragma once
#include <cstdint>

namespace win32 {

// Files: access, sharing, creation, attributes, moves, seeks.
constexpr uint32_t kGenericRead = 0x80000000, kGenericWrite = 0x40000000;
constexpr uint32_t kShareRead = 1, kShareAll = 7;  // FILE_SHARE_READ; READ | WRITE | DELETE
constexpr uint32_t kCreateNew = 1, kCreateAlways = 2, kOpenExisting = 3;
constexpr uint32_t kAttributeHidden = 0x2, kAttributeNormal = 0x80, kAttributeTemporary = 0x100;
constexpr uint32_t kFlagDeleteOnClose = 0x04000000, kFlagSequentialScan = 0x08000000;
constexpr uint32_t kInvalidHandle = 0xFFFFFFFF;  // INVALID_HANDLE_VALUE
constexpr uint32_t kMoveReplaceExisting = 1, kMoveCopyAllowed = 2, kMoveWriteThrough = 8;
constexpr uint32_t kFileBegin = 0;
constexpr uint32_t kGetFileExInfoStandard = 0;

// Waits, messages, threads.
constexpr uint32_t kInfinite = 0xFFFFFFFF;
constexpr uint32_t kWaitObject0 = 0, kWaitFailed = 0xFFFFFFFF;
constexpr uint32_t kAllInput = 0x04FF;  // QS_ALLINPUT
constexpr uint32_t kQuitMessage = 0x0012;  // WM_QUIT
constexpr uint32_t kPeekRemove = 1;  // PM_REMOVE
constexpr uint32_t kContextControl = 0x00010001;  // CONTEXT_CONTROL on i386

// WinINet.
constexpr uint32_t kAccessPreconfig = 0, kAccessPreconfigNoAutoproxy = 4;
constexpr uint32_t kConnectionProxy = 4;  // INTERNET_CONNECTION_PROXY
constexpr uint32_t kOptionConnectTimeout = 2, kOptionSendTimeout = 5, kOptionReceiveTimeout = 6;
constexpr uint32_t kOptionUrl = 34, kOptionHttpDecoding = 65;
// INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE
constexpr uint32_t kRequestFlags = 0x84000100;
constexpr uint32_t kQueryContentLength = 5, kQueryLastModified = 11, kQueryContentEncoding = 29;
constexpr uint32_t kQueryContentRange = 53, kQueryEtag = 54;
constexpr uint32_t kQueryStatusCode = 0x20000013;  // HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER

// Message boxes.
constexpr int32_t kWarningStyle = 48;  // MB_ICONWARNING with an OK button

}  // namespace win32
