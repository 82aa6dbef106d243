// Loading windows from their records and seeing them destroyed.
#pragma once
#include <windows.h>

#include "ui/window_records.h"

// Private messages from the window manager to the units.
constexpr UINT WM_UNIT_BEFORE_SHOW = 0x806F;
constexpr UINT WM_UNIT_DOCKING_LAYOUT = 0x8004;
constexpr UINT WM_UNIT_AFTER_CREATED = 0x8076;

// Builds a window and all its components; false when it cannot be created
// (the window stays unloaded). A live window is only restored or activated.
bool LoadWindow(WindowRecord* record, bool modal, HWND owner);

// Places every component of a loaded window at its template rectangle at
// the window's DPI, after that DPI changed, and has each make again what it
// made for the old one.
void LayOutForDpi(WindowRecord* record);

// Builds the window's menu again from its menu items (after an item changed).
void RebuildWindowMenu(WindowRecord* record);

// Called by the window unit when its window is finally gone.
void OnWindowDestroyed(WindowRecord* record);

// The record and position of the element whose object is `component`.
bool FindElementOfObject(const class Component* component, WindowRecord** record, int32_t* position);
