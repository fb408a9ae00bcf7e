// Control channel of the controller simulator that answers on a COM port
// of the test prefix. The test script starts one simulator per port and
// names its control address in GANTREL_SIM_<PORT> (e.g. GANTREL_SIM_COM1).
#pragma once

#include <string>

class TSimulator {
public:
    explicit TSimulator(const std::string& port);
    ~TSimulator();
    TSimulator(const TSimulator&) = delete;
    TSimulator& operator=(const TSimulator&) = delete;

    bool Available() const { return Socket != ~0ull; }
    // One command line; the reply line without its line end ("ok ..." or
    // "err ..."), or "err no simulator".
    std::string Send(const std::string& command);
    // The reply's text after "ok "; throws when the simulator says "err".
    std::string Ok(const std::string& command);

private:
    unsigned long long Socket = ~0ull;
    std::string Pending;
};

// Bytes as the simulator's hex, and back.
std::string ToHex(const unsigned char* bytes, int count);
std::string FromHex(const std::string& hex);
