#include "platform/win32/Win32Files.h"

#include <windows.h>

#include <algorithm>
#include <limits>

#include "platform/win32/WideText.h"

namespace qv::win {

namespace {

HANDLE openForReading(const std::string& path) {
    const auto wide = toWide(path);
    if (!wide) return INVALID_HANDLE_VALUE;
    return CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

class HandleStream : public ByteStream {
public:
    explicit HandleStream(HANDLE file) : file_(file) {}
    ~HandleStream() override { CloseHandle(file_); }
    std::size_t read(void* buffer, std::size_t size) override {
        std::size_t total = 0;
        auto* out = static_cast<unsigned char*>(buffer);
        while (total < size) {
            const DWORD chunk = static_cast<DWORD>(
                std::min<std::size_t>(size - total, std::numeric_limits<DWORD>::max() / 2));
            DWORD got = 0;
            if (!ReadFile(file_, out + total, chunk, &got, nullptr) || got == 0) break;
            total += got;
        }
        return total;
    }

private:
    HANDLE file_;
};

bool writeWhole(HANDLE file, const unsigned char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(
            std::min<std::size_t>(size - done, std::numeric_limits<DWORD>::max() / 2));
        DWORD wrote = 0;
        if (!WriteFile(file, data + done, chunk, &wrote, nullptr) || wrote == 0) return false;
        done += wrote;
    }
    return true;
}

}  // namespace

std::unique_ptr<ByteStream> Win32Files::openRead(const std::string& path) {
    HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<HandleStream>(file);
}

bool Win32Files::canOpen(const std::string& path) {
    HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool Win32Files::readAll(const std::string& path, std::vector<unsigned char>& bytes,
                         std::size_t maxBytes) {
    bytes.clear();
    HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= maxBytes;
    if (ok) {
        // The stream owns the handle before the buffer is made, so a buffer
        // that cannot be had (std::bad_alloc) does not leave the file open.
        HandleStream stream(file);
        file = INVALID_HANDLE_VALUE;  // the stream closes it
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        ok = stream.read(bytes.data(), bytes.size()) == bytes.size();
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
}

bool Win32Files::writeAll(const std::string& path, const unsigned char* data, std::size_t size) {
    const auto target = toWide(path);
    if (!target) return false;
    const std::wstring temporary = *target + L".qvtmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = writeWhole(file, data, size) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (ok) ok = MoveFileExW(temporary.c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

bool Win32Files::remove(const std::string& path) {
    const auto wide = toWide(path);
    return wide && DeleteFileW(wide->c_str()) != 0;
}

bool Win32Files::canRemove(const std::string& path) {
    const auto wide = toWide(path);
    if (!wide) return false;
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    // Asking for delete access while sharing everything fails exactly when
    // another program holds the file without FILE_SHARE_DELETE.
    HANDLE file = CreateFileW(wide->c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool Win32Files::rename(const std::string& from, const std::string& to) {
    const auto wideFrom = toWide(from);
    const auto wideTo = toWide(to);
    return wideFrom && wideTo && MoveFileW(wideFrom->c_str(), wideTo->c_str()) != 0;
}

bool Win32Files::makeDirectories(const std::string& path) {
    // Like MakeSureDirectoryPathExists: every folder named before the last
    // backslash, outermost first.
    const std::size_t last = path.find_last_of("\\/");
    if (last == std::string::npos) return true;
    const auto wide = toWide(path.substr(0, last));
    if (!wide) return false;
    const std::wstring& folders = *wide;
    std::size_t at = 0;
    // Skip the drive ("C:") or a UNC server and share ("\\server\share").
    if (folders.size() >= 2 && folders[1] == ':') {
        at = 2;
    } else if (folders.rfind(L"\\\\", 0) == 0) {
        at = folders.find(L'\\', 2);
        at = at == std::wstring::npos ? folders.size() : folders.find(L'\\', at + 1);
        if (at == std::wstring::npos) return true;
    }
    while (at <= folders.size()) {
        std::size_t next = folders.find_first_of(L"\\/", at + 1);
        if (next == std::wstring::npos) next = folders.size();
        const std::wstring part = folders.substr(0, next);
        if (!part.empty() && part.back() != L':') {
            const DWORD attributes = GetFileAttributesW(part.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) {
                if (!CreateDirectoryW(part.c_str(), nullptr) &&
                    GetLastError() != ERROR_ALREADY_EXISTS)
                    return false;
            } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                return false;
            }
        }
        if (next >= folders.size()) break;
        at = next;
    }
    return true;
}

std::vector<FoundEntry> Win32Files::find(const std::string& pattern) {
    std::vector<FoundEntry> entries;
    const auto wide = toWide(pattern);
    if (!wide) return entries;
    WIN32_FIND_DATAW data{};
    HANDLE search = FindFirstFileW(wide->c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        // A name no UTF-8 can hold (a lone surrogate) could never be
        // opened again by its UTF-8 name: it is left out.
        auto name = fromWide(data.cFileName);
        if (!name) continue;
        FoundEntry entry;
        entry.name = std::move(*name);
        entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return entries;
}

}  // namespace qv::win
