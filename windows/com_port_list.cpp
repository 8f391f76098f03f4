#include "com_port_list.h"

#include "owned.h"

#include <windows.h>
// clang-format off
#include <initguid.h>
#include <devguid.h>
// clang-format on
#include <setupapi.h>

#include <array>
#include <cwchar>
#include <iterator>
#include <map>
#include <string>

namespace cronalba::windows {

namespace {

using OwnedDeviceList = Owned<HDEVINFO, &SetupDiDestroyDeviceInfoList>;

// Ports by their name in capitals, so that "com3" and "COM3" are one.
using PortsByName = std::map<std::wstring, std::wstring>;

std::wstring upper(std::wstring name) {
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

// A string value of an open key, or empty.
std::wstring stringValue(HKEY key, const wchar_t *name) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(value.data()),
                         &bytes) != ERROR_SUCCESS) {
        return {};
    }
    value.resize(bytes / sizeof(wchar_t));
    // Stored strings may or may not end in their terminator.
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return value;
}

// Installed port devices: Device Manager's "Ports (COM & LPT)" class, printer ports left out.
void addInstalledPorts(PortsByName &ports) {
    const OwnedDeviceList list(
        nullIfInvalid(SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT)));
    if (!list) {
        return;
    }
    HDEVINFO devices = list.get();
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        const OwnedKey key(nullIfInvalid(
            SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ)));
        if (!key) {
            continue;
        }
        const std::wstring name = upper(stringValue(key.get(), L"PortName"));
        if (name.rfind(L"COM", 0) != 0) {
            continue; // a printer port
        }
        std::wstring friendly(256, L'\0');
        DWORD bytes = 0;
        if (SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                              reinterpret_cast<BYTE *>(friendly.data()),
                                              static_cast<DWORD>(friendly.size() * sizeof(wchar_t)),
                                              &bytes)) {
            friendly.resize(wcsnlen(friendly.c_str(), friendly.size()));
        } else {
            friendly.clear();
        }
        ports[name] = friendly;
    }
}

// The serial device map, where every serial driver (and wine, for its configured ports) enters
// the ports it serves; names are the values' data.
void addMappedPorts(PortsByName &ports) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                      &opened) != ERROR_SUCCESS) {
        return;
    }
    const OwnedKey map(opened);
    for (DWORD index = 0;; ++index) {
        std::array<wchar_t, 256> valueName{};
        auto nameLength = static_cast<DWORD>(valueName.size());
        if (RegEnumValueW(map.get(), index, valueName.data(), &nameLength, nullptr, nullptr,
                          nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        ports.try_emplace(upper(stringValue(map.get(), valueName.data())));
    }
}

} // namespace

std::vector<SerialPortEntry> listComPorts() {
    PortsByName ports;
    addInstalledPorts(ports);
    addMappedPorts(ports);
    std::vector<SerialPortEntry> entries;
    for (const auto &[name, friendlyName] : ports) {
        entries.push_back(
            {Text(name.begin(), name.end()), Text(friendlyName.begin(), friendlyName.end())});
    }
    return entries;
}

} // namespace cronalba::windows
