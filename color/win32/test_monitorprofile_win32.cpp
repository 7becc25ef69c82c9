// The Windows monitor-profile lookup, run under Wine: the monitor steps are
// Wine's own, the colour-system calls stand-ins that either give nothing (the
// sRGB fallback) or name a profile file. Exit status 0 when all holds.
#include "monitorprofile_win32.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int failures = 0;
std::vector<std::string> logged;

void check(bool holds, const char *what)
{
    std::printf("%s: %s\n", holds ? "ok" : "FAILED", what);
    if (!holds)
        ++failures;
}

void record(const char *line)
{
    logged.push_back(line);
}

std::wstring profileDirectory;
const std::wstring profileName = L"monitor.icc";
bool askedPerUser = false;
WCS_PROFILE_MANAGEMENT_SCOPE askedScope = WCS_PROFILE_MANAGEMENT_SCOPE_SYSTEM_WIDE;
std::wstring askedDevice;

BOOL WINAPI perUserYes(PCWSTR device, DWORD deviceClass, PBOOL usePerUser)
{
    askedPerUser = deviceClass == CLASS_MONITOR;
    askedDevice = device;
    *usePerUser = TRUE;
    return TRUE;
}

BOOL WINAPI noDefaultProfile(WCS_PROFILE_MANAGEMENT_SCOPE, PCWSTR, COLORPROFILETYPE, COLORPROFILESUBTYPE, DWORD, DWORD,
                             LPWSTR)
{
    return FALSE;
}

BOOL WINAPI namedProfile(WCS_PROFILE_MANAGEMENT_SCOPE scope, PCWSTR, COLORPROFILETYPE type, COLORPROFILESUBTYPE,
                         DWORD, DWORD bytes, LPWSTR name)
{
    askedScope = scope;
    if (type != CPT_ICC || bytes < (profileName.size() + 1) * sizeof(WCHAR))
        return FALSE;
    lstrcpyW(name, profileName.c_str());
    return TRUE;
}

BOOL WINAPI colourDirectory(PCWSTR, PWSTR buffer, PDWORD bytes)
{
    lstrcpyW(buffer, profileDirectory.c_str());
    *bytes = DWORD((profileDirectory.size() + 1) * sizeof(WCHAR));
    return TRUE;
}

// A stand-in profile: only its bytes are looked at here.
std::vector<unsigned char> writeProfile()
{
    WCHAR temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    profileDirectory = temp;
    if (!profileDirectory.empty() && profileDirectory.back() == L'\\')
        profileDirectory.pop_back();
    std::vector<unsigned char> bytes(600);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    const HANDLE file = CreateFileW((profileDirectory + L"\\" + profileName).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return bytes;
}

} // namespace

int main()
{
    const std::vector<unsigned char> profile = writeProfile();
    ColorSystemCalls calls = windowsColorSystem();
    calls.getUsePerUserProfiles = perUserYes;
    calls.getColorDirectory = colourDirectory;

    calls.getDefaultColorProfile = noDefaultProfile;
    check(monitorProfileOfWindow(nullptr, calls, record).empty(), "no default profile gives nothing (sRGB fallback)");
    check(logged == std::vector<std::string>{"View is NULL"}, "a window without a handle is logged as View is NULL");
    check(askedPerUser && !askedDevice.empty(), "the monitor's display-device key is asked about, as a monitor");

    calls.getDefaultColorProfile = namedProfile;
    check(monitorProfileOfWindow(nullptr, calls, record) == profile, "the named profile's bytes are read");
    check(askedScope == WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER, "per-user associations use the user's scope");

    profileDirectory += L"\\missing";
    check(monitorProfileOfWindow(nullptr, calls, record).empty(), "a profile file that is not there gives nothing");
    return failures == 0 ? 0 : 1;
}
