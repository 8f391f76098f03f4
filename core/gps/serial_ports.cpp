#include "serial_ports.h"

#include <algorithm>

namespace cronalba {

namespace {

// The run of digits at `at`, without its leading zeros; moves `at` past it.
TextView numberAt(TextView text, std::size_t &at) {
    while (at < text.size() && text[at] == u'0') {
        ++at;
    }
    const std::size_t start = at;
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return text.substr(start, at - start);
}

// "COM12" -> 12; 0 for a name not of that form.
int comNumber(TextView device) {
    const auto upper = [](char16_t c) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    };
    if (device.size() < 3 || upper(device[0]) != u'C' || upper(device[1]) != u'O' ||
        upper(device[2]) != u'M') {
        return 0;
    }
    const TextView digits = device.substr(3);
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(), isDigit)) {
        return 0;
    }
    int number = 0;
    for (const char16_t digit : digits) {
        number = number * 10 + (digit - u'0');
    }
    return number;
}

// Orders names as a person reads them: runs of digits by their value, so that ttyUSB2 comes
// before ttyUSB10. Names that differ only in leading zeros keep their plain order.
bool readingOrderLess(TextView a, TextView b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (!isDigit(a[i]) || !isDigit(b[j])) {
            if (a[i] != b[j]) {
                return a[i] < b[j];
            }
            ++i;
            ++j;
            continue;
        }
        // Two numbers: without their leading zeros, the longer is the larger.
        const TextView x = numberAt(a, i);
        const TextView y = numberAt(b, j);
        if (x.size() != y.size()) {
            return x.size() < y.size();
        }
        if (x != y) {
            return x < y;
        }
    }
    if ((i < a.size()) != (j < b.size())) {
        return j < b.size(); // the one that ended first
    }
    return a < b;
}

} // namespace

SerialPortNumbering::SerialPortNumbering(std::vector<SerialPortEntry> systemPorts,
                                         PortNaming portNaming)
    : naming(portNaming) {
    for (SerialPortEntry &port : systemPorts) {
        const int number = naming == PortNaming::ComNumbers ? comNumber(port.device) : 0;
        if (naming == PortNaming::SystemOrder || number > 0) {
            numbered.push_back({number, std::move(port.device), std::move(port.description)});
        }
    }
    std::sort(numbered.begin(), numbered.end(), [](const NumberedPort &a, const NumberedPort &b) {
        if (a.number != b.number) {
            return a.number < b.number;
        }
        return readingOrderLess(a.device, b.device);
    });
    if (naming == PortNaming::SystemOrder) {
        int number = 0;
        for (NumberedPort &port : numbered) {
            port.number = ++number;
        }
    }
}

std::optional<Text> SerialPortNumbering::deviceFor(int number) const {
    if (number < 1) {
        return std::nullopt;
    }
    if (naming == PortNaming::ComNumbers) {
        return u"COM" + Text(formatDigits(number, u""));
    }
    if (static_cast<std::size_t>(number) > numbered.size()) {
        return std::nullopt;
    }
    return numbered[static_cast<std::size_t>(number) - 1].device;
}

} // namespace cronalba
