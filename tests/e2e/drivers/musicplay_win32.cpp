// Plays a music file through the show's player for a while: the reference
// the music test compares the show's capture with.
// Usage: musicplay <file> <volume> <milliseconds>
// Prints "graph 1" when a graph was built (0 otherwise), and the media
// events taken and the seeks made, with the milliseconds since the start.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/win32/DirectShowGraph.h"
#include "show/MusicPlayer.h"

namespace {

DWORD g_start = 0;

class LoggingGraph : public qv::win::DirectShowGraph {
public:
    long getEvent(long& code, std::intptr_t& p1, std::intptr_t& p2, long timeoutMs) override {
        const long result = DirectShowGraph::getEvent(code, p1, p2, timeoutMs);
        if (result == 0) std::printf("%lu event %ld\n", GetTickCount() - g_start, code);
        return result;
    }
    long setPositions(qv::MediaTime current, std::optional<qv::MediaTime> stop) override {
        const long result = DirectShowGraph::setPositions(current, stop);
        std::printf("%lu seek %lld %lld: %08lx\n", GetTickCount() - g_start, static_cast<long long>(current),
                    static_cast<long long>(stop.value_or(-1)), static_cast<unsigned long>(result));
        return result;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_start = GetTickCount();
    int code = 0;
    {
        qv::MusicPlayer player(std::make_unique<LoggingGraph>());
        player.Play(argv[1]);
        player.SetVolume(std::atol(argv[2]));
        std::printf("graph %d\n", player.hasGraph() ? 1 : 0);
        const DWORD until = g_start + static_cast<DWORD>(std::atol(argv[3]));
        while (static_cast<LONG>(until - GetTickCount()) > 0) {
            player.PollEvent();
            Sleep(46);
        }
        code = player.hasGraph() ? 0 : 1;
    }
    CoUninitialize();
    std::fflush(stdout);
    return code;
}
