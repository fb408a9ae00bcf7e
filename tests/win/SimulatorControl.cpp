#include "SimulatorControl.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <stdexcept>

TSimulator::TSimulator(const std::string& port)
{
    const char* address = std::getenv(("GANTREL_SIM_" + port).c_str());
    if (!address) return;
    std::string text = address;
    size_t colon = text.rfind(':');
    if (colon == std::string::npos) return;

    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return;
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(u_short(std::atoi(text.c_str() + colon + 1)));
    inet_pton(AF_INET, text.substr(0, colon).c_str(), &addr.sin_addr);
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        closesocket(s);
        return;
    }
    DWORD timeout = 10000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    Socket = s;
}

TSimulator::~TSimulator()
{
    if (Available()) {
        closesocket(SOCKET(Socket));
        WSACleanup();
    }
}

std::string TSimulator::Send(const std::string& command)
{
    if (!Available()) return "err no simulator";
    std::string line = command + "\n";
    if (send(SOCKET(Socket), line.data(), int(line.size()), 0) != int(line.size())) return "err send";
    for (;;) {
        size_t end = Pending.find('\n');
        if (end != std::string::npos) {
            std::string reply = Pending.substr(0, end);
            Pending.erase(0, end + 1);
            if (!reply.empty() && reply.back() == '\r') reply.pop_back();
            return reply;
        }
        char buffer[4096];
        int n = recv(SOCKET(Socket), buffer, sizeof buffer, 0);
        if (n <= 0) return "err receive";
        Pending.append(buffer, size_t(n));
    }
}

std::string TSimulator::Ok(const std::string& command)
{
    std::string reply = Send(command);
    if (reply.compare(0, 2, "ok") != 0) throw std::runtime_error(command + ": " + reply);
    return reply.size() > 3 ? reply.substr(3) : std::string();
}

std::string ToHex(const unsigned char* bytes, int count)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (int i = 0; i < count; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += char(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16));
    return bytes;
}
