// A folder slot's pieces on the real Windows file system and imaging
// component, under Wine: the decoders' extensions, the listing of a folder
// tree, and each picture of it decoded, at its own size and shrunk for a
// small wanted size. Usage: libraryprobe [--count] <folder>, or
// libraryprobe --decode <file> <width> <height>. Prints one line per fact
// (with --count only "count <pictures> ms <listing time>"; with --decode
// "decoded <w>x<h> ms <time> peak-mb <peak working set>"):
//   extension .png
//   listed <relative path>
//   picture <relative path> <width>x<height> <shrunk width>x<shrunk height> <b>,<g>,<r>
//   refused <relative path> <error>
//   unreachable
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "image/PictureExtensions.h"
#include "library/FolderListing.h"
#include "platform/win32/WicDecoder.h"
#include "platform/win32/Win32Folders.h"

int main() {
    // The folder as UTF-8 from the wide command line: the tree's names are
    // in several scripts.
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr || count < 2) return 2;
    if (count == 5 && std::wstring(args[1]) == L"--decode") {
        // The whole decode of one picture, timed, with the process's peak
        // memory (the codec's own full-size frame included).
        const int size = WideCharToMultiByte(CP_UTF8, 0, args[2], -1, nullptr, 0, nullptr, nullptr);
        std::string path(size > 0 ? size - 1 : 0, '\0');
        WideCharToMultiByte(CP_UTF8, 0, args[2], -1, path.data(), size, nullptr, nullptr);
        const int wantedWidth = _wtoi(args[3]), wantedHeight = _wtoi(args[4]);
        LocalFree(args);
        qv::win::WicDecoder decoder;
        qv::Image image;
        const ULONGLONG start = GetTickCount64();
        const auto error = decoder.decodePicture(path, wantedWidth, wantedHeight, {16384, 100000000}, nullptr, image);
        const ULONGLONG took = GetTickCount64() - start;
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
        std::printf("decoded %dx%d ms %llu peak-mb %zu error %d\n", image.width, image.height, took,
                    memory.PeakWorkingSetSize >> 20, static_cast<int>(error));
        return error == qv::DecodeError::None ? 0 : 1;
    }
    const bool countOnly = count >= 3 && std::wstring(args[1]) == L"--count";
    const wchar_t* wideFolder = args[countOnly ? 2 : 1];
    std::string folder;
    {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wideFolder, -1, nullptr, 0, nullptr, nullptr);
        folder.resize(size > 0 ? size - 1 : 0);
        WideCharToMultiByte(CP_UTF8, 0, wideFolder, -1, folder.data(), size, nullptr, nullptr);
    }
    LocalFree(args);
    SetConsoleOutputCP(CP_UTF8);

    qv::win::WicDecoder decoder;
    const auto extensions = qv::PictureExtensions::fromDecoderLists(decoder.decoderExtensions());
    if (!countOnly)
        for (const auto& extension : extensions.all()) std::printf("extension %s\n", extension.c_str());

    qv::win::Win32Folders folders;
    if (countOnly) {
        const ULONGLONG start = GetTickCount64();
        const auto listing = qv::listFolder(folders, folder, extensions);
        std::printf("count %zu ms %llu\n", listing.pictures.size(), GetTickCount64() - start);
        return listing.reachable ? 0 : 1;
    }
    const auto listing = qv::listFolder(folders, folder, extensions);
    if (!listing.reachable) std::printf("unreachable\n");
    std::string root = folder;
    if (!root.empty() && root.back() != '\\') root += '\\';
    const qv::DecodeLimit limit{16384, 100000000};
    for (const auto& name : listing.pictures) {
        std::printf("listed %s\n", name.c_str());
        qv::Image whole, shrunk;
        const auto error = decoder.decodePicture(root + name, 0, 0, limit, nullptr, whole);
        if (error != qv::DecodeError::None) {
            std::printf("refused %s %d\n", name.c_str(), static_cast<int>(error));
            continue;
        }
        decoder.decodePicture(root + name, 16, 16, limit, nullptr, shrunk);
        const unsigned char* centre = whole.row(whole.height / 2) + (whole.width / 2) * 3;
        std::printf("picture %s %dx%d %dx%d %d,%d,%d\n", name.c_str(), whole.width, whole.height, shrunk.width,
                    shrunk.height, centre[0], centre[1], centre[2]);
    }
    return 0;
}
