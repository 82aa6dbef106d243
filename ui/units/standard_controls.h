// The standard control units: EditBox, Label, Button, ProcessBar and
// CommonDlg of the core library, StatusBar of the first UI extension (their
// component types are in their descriptions), and the status bar's one
// method.
#pragma once
#include "runtime/abi/library.h"
#include "ui/unit.h"

extern const UnitDescriptor kEditBoxUnit;
extern const UnitDescriptor kLabelUnit;
extern const UnitDescriptor kButtonUnit;
extern const UnitDescriptor kProcessBarUnit;
extern const UnitDescriptor kCommonDlgUnit;
extern const UnitDescriptor kStatusBarUnit;

// Set part text: (component, part index, text or omitted). An index outside
// the part list does nothing.
extern "C" void __cdecl StatusBarSetPartText(ArgRecord* result, int32_t arg_count, ArgRecord* args);
