#pragma once

// The COM ports this system has, for telling the user which number is which.

#include <string>
#include <vector>

namespace cronalba::windows {

struct ComPortInfo {
    int number = 0;            // n of COMn
    std::wstring device;       // "COM3"
    std::wstring friendlyName; // "USB-SERIAL CH340 (COM3)"; empty when the system gives none
};

// Ports installed as devices (with their Device Manager names) and those only in the serial
// device map, each once, by number.
std::vector<ComPortInfo> listComPorts();

// n of "COMn" (any case, n from 1 up); 0 for any other name.
int comPortNumber(const std::wstring &device);

} // namespace cronalba::windows
