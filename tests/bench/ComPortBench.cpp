// Controller link timing against the simulated controller paced at the real
// 2400 baud on COM1: identification, one table read, one block read, one
// table write and one block write (a write ends once its bytes have left).
// Prints figures; asserts none.
#include "BenchClock.h"
#include "ComPort.h"
#include "SimulatorControl.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

template <typename Operation>
double Best(int runs, Operation op)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        double start = NowMs();
        if (!op()) return -1;
        double took = NowMs() - start;
        if (took < best) best = took;
    }
    return best;
}

void Report(const char* what, double measured, double limit)
{
    if (measured < 0) {
        std::printf("%-34s FAILED\n", what);
        return;
    }
    std::printf("%-34s %8.1f ms   limit %8.1f ms   %+6.1f %%\n", what, measured, limit,
                (measured - limit) * 100.0 / limit);
}

}  // namespace

int main()
{
    TSimulator sim("COM1");
    if (!sim.Available()) {
        std::printf("no simulator on COM1\n");
        return 1;
    }
    sim.Ok("replug");
    sim.Ok("fault none");
    sim.Ok("version 105");
    sim.Ok("pace on");

    TComPort port;
    if (port.Open("com1") != 2400) {
        std::printf("com1 does not open\n");
        return 1;
    }
    std::vector<uint8_t> table(288), block(224);
    uint8_t flags = 0;
    const int runs = 5;

    std::printf("Controller link at 2400 baud 8N1 (%.3f ms a byte), best of %d\n", ByteMs, runs);
    Report("identify ('R' + 16 bytes)", Best(runs, [&] { return port.GetVersion(flags) == 105; }), 17 * ByteMs);
    Report("read table (250 ms + 289 bytes)", Best(runs, [&] { return port.ReadTable(1, table.data(), 288) == 0; }),
           250 + 289 * ByteMs);
    Report("read block (225 bytes)", Best(runs, [&] { return port.ReadBlock(0, block.data(), 224); }), 225 * ByteMs);
    Report("write table (250 ms + 289 bytes)", Best(runs, [&] { return port.WriteTable(4, table.data(), 288) == 0; }),
           250 + 289 * ByteMs);
    Report("write block (225 bytes)", Best(runs, [&] { return port.WriteBlock(3, block.data(), 224); }), 225 * ByteMs);
    sim.Ok("pace off");
    return 0;
}
