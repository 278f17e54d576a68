// Checks the files port on the real Windows file system, under Wine: whole
// writes that replace a file only when complete, nested folder creation,
// wildcard search, size-limited reads. Usage: filesprobe <scratch folder>
// (a Windows path ending in a backslash); exit code 0 when every check held.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/win32/Win32Files.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

std::string text(const std::vector<unsigned char>& bytes) { return std::string(bytes.begin(), bytes.end()); }

bool write(qv::win::Win32Files& files, const std::string& path, const std::string& contents) {
    return files.writeAll(path, reinterpret_cast<const unsigned char*>(contents.data()), contents.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string root = argv[1];
    qv::win::Win32Files files;
    std::vector<unsigned char> bytes;

    // Folders: every missing level; what follows the last backslash is a file name.
    check(files.makeDirectories(root + "a\\b\\c\\photo1.bmp"), "makeDirectories makes a\\b\\c");
    check(GetFileAttributesA((root + "a\\b\\c").c_str()) & FILE_ATTRIBUTE_DIRECTORY, "a\\b\\c is a folder");
    check(GetFileAttributesA((root + "a\\b\\c\\photo1.bmp").c_str()) == INVALID_FILE_ATTRIBUTES,
          "the file name is not made a folder");
    check(files.makeDirectories(root + "a\\b\\c\\"), "makeDirectories on existing folders");
    check(write(files, root + "plain", "x") && !files.makeDirectories(root + "plain\\sub\\"),
          "a file in the way of a folder fails");

    // Whole writes.
    const std::string target = root + "a\\b\\c\\photo1.bmp";
    check(write(files, target, "first"), "writeAll writes a new file");
    check(files.readAll(target, bytes, 100) && text(bytes) == "first", "readAll gives it back");
    check(write(files, target, "second, longer"), "writeAll replaces it");
    check(files.readAll(target, bytes, 100) && text(bytes) == "second, longer", "the new contents are there");
    check(!files.readAll(target, bytes, 5) && bytes.empty(), "a file above maxBytes is refused, buffer empty");
    check(!write(files, root + "missing\\x.bmp", "data"), "writing into a missing folder fails");
    check(GetFileAttributesA((root + "missing").c_str()) == INVALID_FILE_ATTRIBUTES, "and makes no folder");

    // A target held open without sharing cannot be replaced: the old file
    // stays whole and no temporary file is left beside it.
    HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    check(held != INVALID_HANDLE_VALUE, "the target is held open");
    check(!write(files, target, "third"), "writing over a held file fails");
    CloseHandle(held);
    check(files.readAll(target, bytes, 100) && text(bytes) == "second, longer", "the held file is unchanged");
    auto leftovers = files.find(root + "a\\b\\c\\*");
    check(leftovers.size() == 3, "nothing but the file and the dot entries is in its folder");

    // Search, rename, remove.
    check(write(files, root + "a\\b\\c\\Logo.BMP", "logo") && write(files, root + "a\\b\\c\\note.txt", "t"),
          "two more files");
    auto found = files.find(root + "a\\b\\c\\*.bmp");
    std::vector<std::string> names;
    for (const auto& entry : found) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    check(names == std::vector<std::string>({"Logo.BMP", "photo1.bmp"}), "find *.bmp gives exactly the bitmaps");
    bool dots = false;
    for (const auto& entry : files.find(root + "a\\b\\*.*"))
        if (entry.name == "." && entry.directory) dots = true;
    check(dots, "find folder\\*.* includes the dot entry");
    check(files.find(root + "nowhere\\*.bmp").empty(), "find in a missing folder gives nothing");
    check(files.rename(root + "a\\b\\c\\note.txt", root + "a\\b\\c\\note2.txt") &&
              files.canOpen(root + "a\\b\\c\\note2.txt") && !files.canOpen(root + "a\\b\\c\\note.txt"),
          "rename moves the file");
    check(files.remove(root + "a\\b\\c\\note2.txt") && !files.canOpen(root + "a\\b\\c\\note2.txt"),
          "remove deletes it");
    check(!files.remove(root + "a\\b\\c\\note2.txt"), "removing a missing file fails");

    // Streams read front to back.
    auto stream = files.openRead(target);
    char buffer[8] = {};
    check(stream && stream->read(buffer, 6) == 6 && std::string(buffer, 6) == "second", "a stream reads the start");
    check(stream && stream->read(buffer, 8) == 8 && stream->read(buffer, 8) == 0, "and then the rest, then 0");
    check(!files.openRead(root + "none.bmp"), "opening a missing file gives nothing");

    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
