// The standard control units: EditBox, Label, Button, ProcessBar and
// CommonDlg of the core library, StatusBar of the first UI extension, and
// the status bar's one method.
#pragma once
#include "runtime/abi/library.h"
#include "ui/unit.h"

extern const UnitDescriptor kEditBoxUnit;     // core unit 5
extern const UnitDescriptor kLabelUnit;       // core unit 10
extern const UnitDescriptor kButtonUnit;      // core unit 11
extern const UnitDescriptor kProcessBarUnit;  // core unit 19
extern const UnitDescriptor kCommonDlgUnit;   // core unit 31
extern const UnitDescriptor kStatusBarUnit;   // first UI extension, unit 2

// Set part text: (component, part index, text or omitted). An index outside
// the part list does nothing.
extern "C" void __cdecl StatusBarSetPartText(ArgRecord* result, int32_t arg_count, ArgRecord* args);
