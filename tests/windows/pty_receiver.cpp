// A GPS receiver on a pseudo-terminal, for the checks under wine (a Linux program). It prints
// the slave side's path, then obeys one command a line from its standard input and answers each
// with "ok" or "error: why":
//
//   send TEXT        writes TEXT in one write; \r, \n, \\ and \xHH stand for those bytes
//   wait-open MS     until someone has the slave side open
//   wait-closed MS   until no one has it open any more
//   unplug           closes the master side, as when a receiver is pulled out
//
// It ends at the end of its input.
#include <cctype>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool hexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::optional<std::string> unescape(const std::string &text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        const char kind = ++i < text.size() ? text[i] : '\0';
        if (kind == 'r' || kind == 'n' || kind == '\\') {
            bytes += kind == 'r' ? '\r' : kind == 'n' ? '\n' : '\\';
        } else if (kind == 'x' && i + 2 < text.size() && hexDigit(text[i + 1]) &&
                   hexDigit(text[i + 2])) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return bytes;
}

// The master reports a hang-up while no one has the slave side open.
bool slaveOpen(int master) {
    pollfd state{master, POLLIN, 0};
    return ::poll(&state, 1, 0) >= 0 && (state.revents & POLLHUP) == 0;
}

bool waitUntil(int master, bool open, long ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (slaveOpen(master) != open) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        // poll() returns at once during a hang-up, so it can't do the waiting.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string obey(int &master, const std::string &line) {
    const std::size_t blank = line.find(' ');
    const std::string command = line.substr(0, blank);
    const std::string argument = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (master < 0) {
        return "error: unplugged";
    }
    if (command == "send") {
        const auto bytes = unescape(argument);
        if (!bytes) {
            return "error: bad escape in " + argument;
        }
        const auto written = ::write(master, bytes->data(), bytes->size());
        return written == static_cast<ssize_t>(bytes->size()) ? "ok" : "error: write failed";
    }
    if (command == "wait-open" || command == "wait-closed") {
        const bool open = command == "wait-open";
        return waitUntil(master, open, std::stol("0" + argument))
                   ? "ok"
                   : std::string("error: the port is still ") + (open ? "closed" : "open");
    }
    if (command == "unplug") {
        ::close(master);
        master = -1;
        return "ok";
    }
    return "error: unknown command " + command;
}

} // namespace

int main() {
    termios raw{};
    cfmakeraw(&raw);
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    // Until the program opens it, no one holds the slave side.
    ::close(slave);
    std::cout << name << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::cout << obey(master, line) << std::endl;
    }
    if (master >= 0) {
        ::close(master);
    }
    return 0;
}
