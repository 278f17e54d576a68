// Plays a music file through the show's player for a while, polling as the
// show does: the full-volume reference of the music test.
// Usage: musicplay <file> <volume> <milliseconds>; prints "graph 1" when a
// graph was built, "graph 0" otherwise.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/win32/DirectShowGraph.h"
#include "show/MusicPlayer.h"

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        qv::MusicPlayer player(std::make_unique<qv::win::DirectShowGraph>());
        player.Play(argv[1]);
        player.SetVolume(std::atol(argv[2]));
        std::printf("graph %d\n", player.hasGraph() ? 1 : 0);
        std::fflush(stdout);
        const DWORD until = GetTickCount() + static_cast<DWORD>(std::atol(argv[3]));
        while (static_cast<LONG>(until - GetTickCount()) > 0) {
            player.PollEvent();
            Sleep(46);
        }
    }
    CoUninitialize();
    return 0;
}
