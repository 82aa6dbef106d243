// The main window and the elements the routines touch (from its form).
#pragma once
#include <cstdint>

constexpr uint32_t kMainWindow = 0x52010002;
constexpr uint32_t kPathBox = 0x16010008;          // EditBox "编辑框_本地文件地址"
constexpr uint32_t kProgressBar = 0x1601000C;      // ProcessBar "进度条_下载进度"
constexpr uint32_t kPercentLabel = 0x16010007;     // TransLabel "透明标签_百分比"
constexpr uint32_t kDownloadedLabel = 0x16010006;  // Label "标签_已下载"
constexpr uint32_t kTotalLabel = 0x16010005;       // Label "标签_总大小"
constexpr uint32_t kStatusBar = 0x16010004;        // StatusBar "状态条_下载状态"
constexpr uint32_t kDownloadButtons[3] = {0x16013200, 0x160100D2, 0x16010011};  // "按钮3", "按钮2", "按钮1"

// Property numbers used.
constexpr int32_t kContentProperty = 8;   // EditBox content, Label text, TransLabel text
constexpr int32_t kPositionProperty = 13;  // ProcessBar position
constexpr int32_t kDisableProperty = 6;    // every unit: 1 disabled
