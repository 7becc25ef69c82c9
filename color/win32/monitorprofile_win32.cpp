#include "monitorprofile_win32.h"

#include <string>

namespace {

// The colour system's name and directory buffers: 1024 bytes each.
constexpr DWORD nameBytes = 1024;

// The display-device key of the monitor that shows window; empty when not found.
std::wstring deviceKeyOf(HWND window, void (*log)(const char *))
{
    if (!window)
        log("View is NULL");
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    if (!monitor) {
        log("View is NULL");
        return std::wstring();
    }
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return std::wstring();
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    if (!EnumDisplayDevicesW(info.szDevice, 0, &device, 0))
        return std::wstring();
    return device.DeviceKey;
}

std::vector<unsigned char> fileBytes(const std::wstring &path)
{
    std::vector<unsigned char> bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size{};
    // A display profile is a few kilobytes; anything above 16 MB is not one.
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= (16 << 20)) {
        bytes.resize(size_t(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr) || read != bytes.size())
            bytes.clear();
    }
    CloseHandle(file);
    return bytes;
}

} // namespace

ColorSystemCalls windowsColorSystem()
{
    return {WcsGetUsePerUserProfiles, WcsGetDefaultColorProfile, GetColorDirectoryW};
}

std::vector<unsigned char> monitorProfileOfWindow(HWND window, const ColorSystemCalls &calls,
                                                  void (*log)(const char *line))
{
    const std::wstring deviceKey = deviceKeyOf(window, log);
    if (deviceKey.empty())
        return {};
    BOOL perUser = FALSE;
    calls.getUsePerUserProfiles(deviceKey.c_str(), CLASS_MONITOR, &perUser);
    WCHAR name[nameBytes / sizeof(WCHAR)] = {};
    calls.getDefaultColorProfile(perUser ? WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER
                                         : WCS_PROFILE_MANAGEMENT_SCOPE_SYSTEM_WIDE,
                                 deviceKey.c_str(), CPT_ICC, CPST_NONE, 0, nameBytes, name);
    WCHAR directory[nameBytes / sizeof(WCHAR)] = {};
    DWORD directoryBytes = nameBytes;
    calls.getColorDirectory(nullptr, directory, &directoryBytes);
    // A name or directory the calls did not give stays empty: the path then
    // names no file, and the caller falls back to sRGB.
    if (!name[0] || !directory[0])
        return {};
    return fileBytes(std::wstring(directory) + L"\\" + name);
}
