#include "platform/win32/FolderPicker.h"

#include <shobjidl.h>

#include "platform/win32/ComPtr.h"
#include "platform/win32/WideText.h"

namespace qv::win {

namespace {

// COM for the picker's length, on a thread that may not have it yet.
class ApartmentScope {
public:
    ApartmentScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ApartmentScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ApartmentScope(const ApartmentScope&) = delete;
    ApartmentScope& operator=(const ApartmentScope&) = delete;
    // A thread already in another apartment can still make the dialog.
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

}  // namespace

std::optional<std::string> pickFolder(HWND owner, const std::string& initialFolder, const std::string& title) {
    ApartmentScope com;
    if (!com.usable()) return std::nullopt;
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(dialog.put()))))
        return std::nullopt;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    if (const std::optional<std::wstring> caption = toWide(title)) dialog->SetTitle(caption->c_str());
    const std::optional<std::wstring> folder = toWide(initialFolder);
    if (folder && !folder->empty()) {
        ComPtr<IShellItem> start;
        if (SUCCEEDED(SHCreateItemFromParsingName(folder->c_str(), nullptr, IID_IShellItem,
                                                  reinterpret_cast<void**>(start.put()))))
            dialog->SetFolder(start.get());
    }
    if (FAILED(dialog->Show(owner))) return std::nullopt;  // cancelled, or it could not be shown
    ComPtr<IShellItem> picked;
    if (FAILED(dialog->GetResult(picked.put()))) return std::nullopt;
    PWSTR path = nullptr;
    if (FAILED(picked->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::nullopt;
    // A name with a lone surrogate cannot be a path of ours: no pick.
    std::optional<std::string> result = fromWide(path);
    CoTaskMemFree(path);
    return result;
}

}  // namespace qv::win
