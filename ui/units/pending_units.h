// Units whose components are not built yet: they keep their property data
// and make no window, so a window that holds them still opens.
#pragma once
#include "../unit.h"

extern const UnitDescriptor kPendingEditBox;
extern const UnitDescriptor kPendingLabel;
extern const UnitDescriptor kPendingButton;
extern const UnitDescriptor kPendingProcessBar;
extern const UnitDescriptor kPendingCommonDlg;
extern const UnitDescriptor kPendingStatusBar;
extern const UnitDescriptor kPendingTransLabel;
extern const UnitDescriptor kPendingSuperBtn;
extern const UnitDescriptor kMenuItemUnit;
