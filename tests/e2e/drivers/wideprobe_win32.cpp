// Checks the Windows adapters at the edge between the core's UTF-8 and the
// wide-character functions, under Wine: files, the registry and the bitmap
// loader with names in any language; malformed UTF-8 refused, never cut; a
// value written by an ANSI build read back unchanged, and ours readable by
// one. Usage: wideprobe <scratch folder> (a Windows path ending in a
// backslash); exit code 0 when every check held.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "image/BmpFile.h"
#include "platform/win32/Win32App.h"
#include "platform/win32/Win32Decoder.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/WideText.h"
#include "settings/RegistryKey.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

constexpr char kProbeKey[] = "Software\\QvWideProbe";

std::wstring rawString(HKEY key, const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return L"(none)";
    return buffer;
}

std::string repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

}  // namespace

int main() {
    const std::vector<std::string> args = qv::win::commandLineArguments();
    if (args.empty()) return 2;
    const std::string root = args[0];
    std::wstring wideRoot(root.begin(), root.end());  // the scratch folder is ASCII
    qv::win::Win32Files files;

    // Files: a folder and a name outside every single code page.
    const std::string folder = root + "Zdjęcia 写真 사진\\";
    const std::string turtle = folder + "żółw 🐢.bmp";
    check(files.makeDirectories(turtle), "makeDirectories makes the folder");
    const DWORD attributes = GetFileAttributesW((wideRoot + L"Zdjęcia 写真 사진").c_str());
    check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY),
          "the folder has its name in UTF-16");
    qv::Image image;
    image.width = 2;
    image.height = 2;
    image.bgr = {10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30};
    const std::vector<unsigned char> bmp = qv::encodeBmp24(image);
    check(files.writeAll(turtle, bmp.data(), bmp.size()), "writeAll writes the turtle");
    check(GetFileAttributesW((wideRoot + L"Zdjęcia 写真 사진\\żółw 🐢.bmp").c_str()) != INVALID_FILE_ATTRIBUTES,
          "under its name in UTF-16");
    std::vector<unsigned char> bytes;
    check(files.readAll(turtle, bytes, 1000) && bytes == bmp, "readAll gives it back");
    const auto found = files.find(folder + "*.bmp");
    check(found.size() == 1 && found[0].name == "żółw 🐢.bmp", "find gives the name in UTF-8");
    qv::win::Win32Decoder decoder;
    qv::Image decoded;
    check(decoder.decodeBmp(turtle, decoded) == qv::DecodeError::None && decoded.width == 2 &&
              decoded.bgr.size() == 12 && decoded.bgr[2] == 30,
          "the bitmap loader opens it");
    const std::string moved = folder + "ŻÓŁW 🐢 2.bmp";
    check(files.rename(turtle, moved) && files.canOpen(moved) && !files.canOpen(turtle), "rename moves it");
    check(files.remove(moved) && !files.canOpen(moved), "remove deletes it");

    // Malformed UTF-8 (a Latin-1 "é") names nothing: refused with the
    // platform's own error, and no file of any similar name is made.
    const std::string latin1 = folder + "caf\xE9.bmp";
    SetLastError(0);
    check(!files.writeAll(latin1, bmp.data(), bmp.size()) && GetLastError() == ERROR_NO_UNICODE_TRANSLATION,
          "a malformed name is refused with ERROR_NO_UNICODE_TRANSLATION");
    check(files.find(folder + "*").size() == 2, "and nothing was made in the folder");
    check(!files.makeDirectories(root + "caf\xE9\\x.bmp") && !files.canOpen(latin1), "nor a folder");
    RemoveDirectoryW((wideRoot + L"Zdjęcia 写真 사진").c_str());

    // The registry: what we write is UTF-16 in the registry.
    qv::win::Win32Registry registry;
    qv::RegistryKey key(registry);
    key.Open(kProbeKey);
    HKEY raw = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\QvWideProbe", 0, KEY_ALL_ACCESS, &raw);
    check(key.isOpen() && raw != nullptr, "the probe's key is open");
    const std::string path = "C:\\Zdjęcia 写真 사진\\żółw 🐢.jpg";
    check(key.SetString("photo1_real", path) == ERROR_SUCCESS, "SetString takes UTF-8");
    check(rawString(raw, L"photo1_real") == L"C:\\Zdjęcia 写真 사진\\żółw 🐢.jpg", "and stores it as UTF-16");
    std::string back;
    check(key.QueryString("photo1_real", back) == ERROR_SUCCESS && back == path, "QueryString gives it back");
    check(key.SetString("bad", "caf\xE9") == ERROR_NO_UNICODE_TRANSLATION &&
              rawString(raw, L"bad") == L"(none)",
          "malformed UTF-8 is refused and nothing is stored");

    // An ANSI build wrote "café" in the code page; it reads back as the
    // same text. What we write reads back in an ANSI build where it fits.
    char ansi[8] = {};
    const int ansiLength = WideCharToMultiByte(CP_ACP, 0, L"café", -1, ansi, sizeof ansi, nullptr, nullptr);
    RegSetValueExA(raw, "photo2_real", 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi), ansiLength);
    check(key.QueryString("photo2_real", back) == ERROR_SUCCESS && back == "café", "an ANSI build's value reads back");
    key.SetString("photo3_real", "café");
    char readByAnsi[8] = {};
    DWORD size = sizeof readByAnsi;
    check(RegQueryValueExA(raw, "photo3_real", nullptr, nullptr, reinterpret_cast<BYTE*>(readByAnsi), &size) ==
                  ERROR_SUCCESS &&
              std::string(readByAnsi) == std::string(ansi),
          "ours reads back in an ANSI build");
    std::printf("ANSI code page %u\n", GetACP());
    // What the system's conversion makes of a byte its code page leaves
    // unassigned (0x81 in 1252): the character of the same number, no U+FFFD.
    if (GetACP() == 1252)
        check(qv::win::ansiToUtf8System("a\x81") == "a\xC2\x81", "1252's unassigned 0x81 becomes U+0081");

    // The length limit counts UTF-16 characters: 259 of them read, whatever
    // their UTF-8 takes (three bytes each here), 260 do not.
    key.SetString("long", repeat("写", 259));
    check(key.QueryString("long", back) == ERROR_SUCCESS && back == repeat("写", 259), "259 characters read");
    key.SetString("long", repeat("写", 260));
    back = "kept";
    check(key.QueryString("long", back) == ERROR_MORE_DATA && back == "kept", "260 do not, and nothing is cut");
    // A lone surrogate has no UTF-8: the value reads as unreadable.
    const wchar_t lone[] = {L'a', wchar_t(0xD800), L'b', 0};
    RegSetValueExW(raw, L"lone", 0, REG_SZ, reinterpret_cast<const BYTE*>(lone), sizeof lone);
    back = "kept";
    check(key.QueryString("lone", back) == ERROR_NO_UNICODE_TRANSLATION && back == "kept",
          "a lone surrogate is refused, nothing is cut");
    RegCloseKey(raw);
    key.Close();
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QvWideProbe");

    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
