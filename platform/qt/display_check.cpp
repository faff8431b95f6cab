#include "platform/qt/display_check.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool ConnectUnix(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    const socklen_t length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return ok;
}

bool ConnectTcp(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
    bool ok = false;
    for (addrinfo* a = found; a && !ok; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (fd < 0) continue;
        ok = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return ok;
}

// DISPLAY is [host]:number[.screen]; a local display listens on a socket
// named after its number.
bool XDisplayOpens(const std::string& display) {
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = display.substr(0, colon);
    const std::string rest = display.substr(colon + 1);
    const std::string number = rest.substr(0, rest.find('.'));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos || number.size() > 5)
        return false;
    if (host.empty() || host == "unix") {
        const std::string path = "/tmp/.X11-unix/X" + number;
        return ConnectUnix(path, false) || ConnectUnix(path, true);
    }
    return ConnectTcp(host, 6000 + std::stoi(number));
}

bool WaylandDisplayOpens(const std::string& display) {
    if (!display.empty() && display.front() == '/') return ConnectUnix(display, false);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return false;
    return ConnectUnix(std::string(runtime) + "/" + display, false);
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

bool DisplayAvailable() {
    if (!Env("QT_QPA_PLATFORM").empty()) return true;
    const std::string wayland = Env("WAYLAND_DISPLAY");
    if (!wayland.empty() && WaylandDisplayOpens(wayland)) return true;
    const std::string x = Env("DISPLAY");
    return !x.empty() && XDisplayOpens(x);
}
