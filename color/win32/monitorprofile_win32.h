#pragma once

// The Windows monitor-profile lookup, in plain Win32 with no Qt: the Windows
// Color System's default profile of the monitor that shows a window.

#include <windows.h>

#include <icm.h>

#include <vector>

// The colour-system calls the lookup makes; tests put their own in place.
struct ColorSystemCalls {
    BOOL(WINAPI *getUsePerUserProfiles)(PCWSTR deviceName, DWORD deviceClass, PBOOL usePerUser);
    BOOL(WINAPI *getDefaultColorProfile)(WCS_PROFILE_MANAGEMENT_SCOPE scope, PCWSTR deviceName,
                                          COLORPROFILETYPE type, COLORPROFILESUBTYPE subtype, DWORD profileId,
                                          DWORD bufferBytes, LPWSTR profileName);
    BOOL(WINAPI *getColorDirectory)(PCWSTR machineName, PWSTR buffer, PDWORD bufferBytes);
};

// The calls of the Windows Color System itself.
ColorSystemCalls windowsColorSystem();

// The ICC profile bytes of the monitor that shows window (the primary
// monitor when window is null or on none): MonitorFromWindow,
// GetMonitorInfoW, EnumDisplayDevicesW, then the per-user or system-wide
// default profile of that display device in the colour directory. Empty
// when any step gives nothing; the caller then falls back to sRGB. log
// receives the program's debug lines ("View is NULL").
std::vector<unsigned char> monitorProfileOfWindow(HWND window, const ColorSystemCalls &calls,
                                                  void (*log)(const char *line));
