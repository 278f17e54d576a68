#include "settings/SettingsDialogWindow_win32.h"

#include <commdlg.h>

#include <cstring>
#include <cwchar>

#include "platform/win32/FolderPicker.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/WideText.h"

namespace qv::win {

namespace {

// Sent by the worker: run the std::function<void()> in lParam here.
constexpr UINT kRunOnInterface = WM_APP + 1;
// Posted by the worker when an operation has ended.
constexpr UINT kOperationEnded = WM_APP + 2;
// The string "All pictures" of the open-file dialog's filter
// (resources/settings.h IDS_ALL_PICTURES).
constexpr UINT kAllPicturesString = 1100;
// Set on the window while an operation runs, so other programs (a screen
// reader's helper, our tests) can tell it is working.
constexpr wchar_t kBusyProperty[] = L"QuorVelkBusy";

DialogSurroundings surroundings() {
    DialogSurroundings s;
    s.appDataFolder = applicationDataFolder();
    s.picturesFolder = userPicturesFolder();
    s.screenWidth = screenWidth();
    s.screenHeight = screenHeight();
    return s;
}

// A 24-bit bitmap of the thumbnail's pixels (top-down BGR rows).
HBITMAP bitmapOf(const Image& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    const std::size_t stride = (picture.rowBytes() + 3u) & ~std::size_t(3);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(static_cast<unsigned char*>(bits) + stride * y, picture.row(y), picture.rowBytes());
    GdiFlush();
    return bitmap;
}

// The dots an inch the dialog is drawn at (96 at the normal scale).
int dotsPerInch(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(window, dc);
    return dpi > 0 ? dpi : 96;
}

// The last part of a path: what a picture or folder is called.
std::wstring nameOf(const std::wstring& path) {
    std::wstring trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == L'\\') trimmed.pop_back();
    const std::size_t slash = trimmed.find_last_of(L'\\');
    return slash == std::wstring::npos ? trimmed : trimmed.substr(slash + 1);
}

}  // namespace

SettingsDialogWindow::SettingsDialogWindow(const Variant& variant, HWND owner, HINSTANCE instance)
    : Dialog(variant.dialogIds.dialog, owner),
      variant_(variant),
      instance_(instance ? instance : GetModuleHandleW(nullptr)),
      messages_(variant, instance_) {
    icon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(variant.dialogIds.icon), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(variant.dialogIds.icon), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    logic_ = std::make_unique<SettingsDialog>(variant, files_, registry_, decoder_,
                                              static_cast<MessagePort&>(*this),
                                              static_cast<PictureListPort&>(*this), surroundings());
    logic_->useLibrary(folders_, pictures_, GetTickCount64());
}

SettingsDialogWindow::~SettingsDialogWindow() {
    worker_.reset();  // its last job may still use the list and the logic
    if (thumbnails_) ImageList_Destroy(thumbnails_);
    if (icon_) DestroyIcon(icon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

BOOL SettingsDialogWindow::OnInitDialog() {
    interfaceThread_ = GetCurrentThreadId();
    // The messages of the dialog's operations belong to this window.
    messages_.setOwner(handle());
    SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    enableItemButtons(false);

    // The template holds the progress line's text in its own language, with
    // the two numbers to fill in.
    std::array<wchar_t, 128> format{};
    GetDlgItemTextW(handle(), variant_.dialogIds.progressText, format.data(), static_cast<int>(format.size()));
    progressFormat_ = format.data();
    hideProgress();

    // Thumbnails and their spacing grow with the dialog's scale.
    const int dpi = dotsPerInch(handle());
    thumbnailSize_ = {MulDiv(kThumbnailWidth, dpi, 96), MulDiv(kThumbnailHeight, dpi, 96)};

    // Two columns the icon view does not show, and room for a thumbnail
    // with a margin around it. Each item is named after its picture, for a
    // screen reader and the tip; the grid shows the thumbnails alone.
    HWND list = item(variant_.dialogIds.pictureList);
    const wchar_t* titles[] = {L"\u753b\u50cf", L"\u30d5\u30a1\u30a4\u30eb\u30d1\u30b9"};  // picture, file path
    const int widths[] = {100, 600};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(titles[i]);
        column.cx = widths[i];
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(list, LVM_SETICONSPACING, 0, MAKELPARAM(MulDiv(120, dpi, 96), MulDiv(100, dpi, 96)));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_INFOTIP | LVS_EX_HIDELABELS,
                 LVS_EX_INFOTIP | LVS_EX_HIDELABELS);

    // The switches first, so the dialog is painted with its ticks; the
    // pictures fill in from the worker.
    logic_->readSwitches();
    CheckRadioButton(handle(), variant_.dialogIds.musicOff, variant_.dialogIds.musicOn,
                     logic_->backgroundMusic() ? variant_.dialogIds.musicOn : variant_.dialogIds.musicOff);
    CheckRadioButton(handle(), variant_.dialogIds.enlarge, variant_.dialogIds.fitScreen,
                     logic_->trimming() ? variant_.dialogIds.enlarge : variant_.dialogIds.fitScreen);
    worker_ = std::make_unique<Worker>();
    if (logic_->hasPictureFolder()) {
        SettingsDialog* logic = logic_.get();
        runOperation([logic] { logic->loadPictures(); });
    } else {
        // Without a picture folder there is nowhere to put a picture.
        for (int id : {variant_.dialogIds.addButton, variant_.dialogIds.addFolderButton,
                       variant_.dialogIds.initializeButton})
            EnableWindow(item(id), FALSE);
    }
    return TRUE;
}

void SettingsDialogWindow::runOperation(std::function<void()> operation) {
    busy_ = true;
    SetPropW(handle(), kBusyProperty, reinterpret_cast<HANDLE>(1));
    waitCursor_ = false;
    for (int id : {variant_.dialogIds.addButton, variant_.dialogIds.addFolderButton,
                   variant_.dialogIds.initializeButton})
        EnableWindow(item(id), FALSE);
    enableItemButtons(false);
    HWND window = handle();
    worker_->post([operation = std::move(operation), window] {
        operation();
        PostMessageW(window, kOperationEnded, 0, 0);
    });
}

void SettingsDialogWindow::OnOperationEnded() {
    busy_ = false;
    waitCursor_ = false;
    hideProgress();
    setCursorNow();
    if (closeWith_ != 0) {
        const int with = closeWith_;
        closeWith_ = 0;
        if (with == IDOK) OnOK();
        else OnCancel();
        return;
    }
    if (logic_->hasPictureFolder())
        for (int id : {variant_.dialogIds.addButton, variant_.dialogIds.addFolderButton,
                       variant_.dialogIds.initializeButton})
            EnableWindow(item(id), TRUE);
    OnListItemChanged();
    // Last, so whoever reads it finds the buttons as they now stay.
    RemovePropW(handle(), kBusyProperty);
}

void SettingsDialogWindow::onInterface(const std::function<void()>& call) {
    if (GetCurrentThreadId() == interfaceThread_ || interfaceThread_ == 0) {
        call();
        return;
    }
    // A window that is gone runs nothing: the caller gets its defaults.
    SendMessageW(handle(), kRunOnInterface, 0, reinterpret_cast<LPARAM>(&call));
}

bool SettingsDialogWindow::tryStart() { return !busy_; }

void SettingsDialogWindow::OnOK() {
    // A running operation ends first; the switches are stored after it.
    if (busy_) {
        closeWith_ = IDOK;
        return;
    }
    logic_->OnOK();
    EndDialog(IDOK);
}

void SettingsDialogWindow::OnCancel() {
    if (busy_) {
        closeWith_ = IDCANCEL;
        return;
    }
    EndDialog(IDCANCEL);
}

bool SettingsDialogWindow::OnCommand(int id, int code, HWND control) {
    const SettingsDialogIds& ids = variant_.dialogIds;
    if (code != BN_CLICKED || id == IDOK || id == IDCANCEL) return Dialog::OnCommand(id, code, control);
    // The switches belong to the window's thread alone, so a tick always
    // shows what OK will store, even while an operation runs.
    if (id == ids.musicOn) logic_->OnMusicOn();
    else if (id == ids.musicOff) logic_->OnMusicOff();
    else if (id == ids.enlarge) logic_->OnEnlarge();
    else if (id == ids.fitScreen) logic_->OnFitScreen();
    else if (id != ids.addButton && id != ids.addFolderButton && id != ids.deleteButton &&
             id != ids.exchangeButton && id != ids.initializeButton)
        return false;
    else if (!tryStart()) return true;  // one operation at a time
    else {
        SettingsDialog* logic = logic_.get();
        const int selected = selectedItem();
        if (id == ids.addButton) runOperation([logic] { logic->OnAdd(); });
        else if (id == ids.addFolderButton) runOperation([logic] { logic->OnAddFolder(); });
        else if (id == ids.deleteButton) runOperation([logic, selected] { logic->OnDelete(selected); });
        else if (id == ids.exchangeButton) runOperation([logic, selected] { logic->OnExchange(selected); });
        else runOperation([logic] { logic->OnInitialize(); });
    }
    return true;
}

bool SettingsDialogWindow::OnNotify(int id, NMHDR* header, LRESULT& result) {
    if (id != variant_.dialogIds.pictureList || !header) return false;
    switch (header->code) {
        case LVN_ITEMCHANGED:
            OnListItemChanged();
            return true;
        case LVN_DELETEALLITEMS:
            OnListAllDeleted();
            result = TRUE;  // no notice for each item
            return true;
        case LVN_KEYDOWN:
            // The Delete key does what the Delete button does, confirmation
            // and all.
            if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_DELETE &&
                IsWindowEnabled(item(variant_.dialogIds.deleteButton)))
                OnCommand(variant_.dialogIds.deleteButton, BN_CLICKED, item(variant_.dialogIds.deleteButton));
            return true;
        case LVN_GETINFOTIPW: {
            auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
            if (tip->iItem >= 0 && tip->iItem < static_cast<int>(itemPaths_.size()) && tip->pszText &&
                tip->cchTextMax > 0) {
                std::wcsncpy(tip->pszText, itemPaths_[tip->iItem].c_str(), tip->cchTextMax - 1);
                tip->pszText[tip->cchTextMax - 1] = L'\0';
            }
            return true;
        }
        default:
            return false;
    }
}

bool SettingsDialogWindow::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case kRunOnInterface:
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
            result = TRUE;
            return true;
        case kOperationEnded:
            OnOperationEnded();
            result = TRUE;
            return true;
        case WM_SETCURSOR:
            // The hourglass over the whole dialog while an operation works,
            // its buttons too; a message on top puts the arrow back.
            if (!busy_ || !waitCursor_) return false;
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            SetWindowLongPtrW(handle(), DWLP_MSGRESULT, TRUE);
            result = TRUE;
            return true;
        case WM_PAINT:
            if (!IsIconic(handle())) return false;
            OnPaint();
            result = TRUE;
            return true;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<INT_PTR>(OnQueryDragIcon());
            return true;
        default:
            return false;
    }
}

void SettingsDialogWindow::OnDestroy() {
    RemovePropW(handle(), kBusyProperty);
    messages_.setOwner(nullptr);
}

void SettingsDialogWindow::OnPaint() {
    // Minimised: the icon in the middle of the client area.
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle(), &paint);
    SendMessageW(handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(handle(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(handle(), &paint);
}

void SettingsDialogWindow::enableItemButtons(bool enable) {
    for (int id : {variant_.dialogIds.deleteButton, variant_.dialogIds.exchangeButton}) {
        HWND button = item(id);
        EnableWindow(button, enable && !busy_ ? TRUE : FALSE);
        UpdateWindow(button);
    }
}

void SettingsDialogWindow::OnListItemChanged() {
    const LRESULT selected = SendMessageW(item(variant_.dialogIds.pictureList), LVM_GETSELECTEDCOUNT, 0, 0);
    enableItemButtons(selected > 0);
}

void SettingsDialogWindow::OnListAllDeleted() { enableItemButtons(false); }

int SettingsDialogWindow::selectedItem() const {
    return static_cast<int>(
        SendMessageW(item(variant_.dialogIds.pictureList), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SettingsDialogWindow::setCursorNow() {
    POINT at;
    RECT window;
    if (!GetCursorPos(&at) || !GetWindowRect(handle(), &window) || !PtInRect(&window, at)) return;
    SetCursor(LoadCursorA(nullptr, busy_ && waitCursor_ ? IDC_WAIT : IDC_ARROW));
}

void SettingsDialogWindow::hideProgress() {
    ShowWindow(item(variant_.dialogIds.progressText), SW_HIDE);
    ShowWindow(item(variant_.dialogIds.progressBar), SW_HIDE);
}

bool SettingsDialogWindow::createThumbnailList() {
    bool made = false;
    onInterface([&] {
        if (!thumbnails_)
            thumbnails_ = ImageList_Create(thumbnailSize_.width, thumbnailSize_.height, ILC_COLOR24 | ILC_MASK, 0, 4);
        made = thumbnails_ != nullptr;
    });
    return made;
}

void SettingsDialogWindow::deleteAllItems() {
    onInterface([&] {
        SendMessageW(item(variant_.dialogIds.pictureList), LVM_DELETEALLITEMS, 0, 0);
        itemPaths_.clear();
        // An empty list may send no notice: the buttons follow it all the same.
        enableItemButtons(false);
        if (thumbnails_) ImageList_RemoveAll(thumbnails_);
    });
}

bool SettingsDialogWindow::insertItem(int index, const Image& thumbnail, const std::string& source) {
    if (thumbnail.empty()) return false;
    // The bitmap is made here, off the window's thread.
    HBITMAP bitmap = bitmapOf(thumbnail);
    if (!bitmap) return false;
    const std::wstring path = toWide(source).value_or(std::wstring());
    bool inserted = false;
    onInterface([&] {
        if (!thumbnails_) return;
        const int image = ImageList_AddMasked(thumbnails_, bitmap, RGB(255, 255, 255));
        if (image < 0) return;
        HWND list = item(variant_.dialogIds.pictureList);
        std::wstring name = nameOf(path);
        LVITEMW entry{};
        entry.mask = LVIF_IMAGE | LVIF_TEXT;
        entry.iItem = index;
        entry.iImage = image;
        entry.pszText = name.data();
        const LRESULT at = SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
        if (at < 0) return;
        const auto place = static_cast<std::size_t>(at) < itemPaths_.size() ? itemPaths_.begin() + at : itemPaths_.end();
        itemPaths_.insert(place, path);
        SendMessageW(list, LVM_REDRAWITEMS, at, at);
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(thumbnails_));
        inserted = true;
    });
    DeleteObject(bitmap);
    return inserted;
}

void SettingsDialogWindow::revealItem(int index) {
    onInterface([&] {
        HWND list = item(variant_.dialogIds.pictureList);
        if (index < 0 || index >= static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0))) return;
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
        SendMessageW(list, LVM_ENSUREVISIBLE, index, FALSE);
    });
}

std::optional<std::string> SettingsDialogWindow::choosePicture(const std::string& initialFolder) {
    std::optional<std::string> picked;
    onInterface([&] {
        std::array<wchar_t, MAX_PATH> file{};
        std::array<wchar_t, MAX_PATH> title{};
        const std::wstring filter = pictureFilter();
        // A folder that is not well-formed UTF-8 cannot be named: the dialog
        // then opens where it likes.
        const std::wstring folder = toWide(initialFolder).value_or(std::wstring());
        const std::wstring caption = toWide(variant_.productName).value_or(std::wstring());
        OPENFILENAMEW open{};
        open.lStructSize = sizeof open;
        open.hwndOwner = handle();
        open.lpstrFilter = filter.c_str();
        open.nFilterIndex = 1;
        open.lpstrFile = file.data();
        open.nMaxFile = static_cast<DWORD>(file.size());
        open.lpstrFileTitle = title.data();
        open.nMaxFileTitle = static_cast<DWORD>(title.size());
        open.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        open.lpstrTitle = caption.c_str();
        open.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
        if (!GetOpenFileNameW(&open)) return;
        file.back() = L'\0';
        // Every name the file system gives back is whole UTF-16 save a lone
        // surrogate, which no path of ours can hold: such a pick is no pick.
        picked = fromWide(file.data());
    });
    return picked;
}

std::wstring SettingsDialogWindow::pictureFilter() const {
    static const wchar_t kKnown[] = L"JPEG(*.JPG, *.JPEG)\0*.jpg;*.jpeg\0BMP(*.BMP)\0*.bmp\0";
    std::wstring filter;
    const PictureExtensions& extensions = logic_->pictureExtensions();
    std::array<wchar_t, 64> all{};
    // "All pictures" in the dialog's own language, from the string table.
    const int length = LoadStringW(instance_, kAllPicturesString, all.data(), static_cast<int>(all.size()));
    if (!extensions.empty() && length > 0) {
        const std::wstring pattern = toWide(extensions.pattern()).value_or(std::wstring());
        filter = std::wstring(all.data(), static_cast<std::size_t>(length)) + L" (" + pattern + L")";
        filter.push_back(L'\0');
        filter += pattern;
        filter.push_back(L'\0');
    }
    filter.append(kKnown, sizeof kKnown / sizeof kKnown[0] - 1);
    filter.push_back(L'\0');  // the list ends with an empty string
    return filter;
}

std::optional<std::string> SettingsDialogWindow::chooseFolder(const std::string& initialFolder) {
    std::optional<std::string> picked;
    onInterface([&] { picked = pickFolder(handle(), initialFolder, variant_.productName); });
    return picked;
}

void SettingsDialogWindow::showWaitCursor() {
    onInterface([&] {
        waitCursor_ = true;
        setCursorNow();
    });
}

void SettingsDialogWindow::restoreArrowCursor() {
    onInterface([&] {
        waitCursor_ = false;
        setCursorNow();
    });
}

int SettingsDialogWindow::showMessage(MessageKind kind) {
    // Unanswered (the window went), a message counts as its second button.
    int answer = kMsgSecondButton;
    onInterface([&] {
        waitCursor_ = false;
        setCursorNow();
        answer = messages_.showMessage(kind);
    });
    return answer;
}

void SettingsDialogWindow::showProgress(int current, int total) {
    onInterface([&] {
        if (total <= 0) return;
        std::array<wchar_t, 160> text{};
        std::swprintf(text.data(), text.size(), progressFormat_.c_str(), current, total);
        HWND line = item(variant_.dialogIds.progressText);
        HWND bar = item(variant_.dialogIds.progressBar);
        SetWindowTextW(line, text.data());
        SendMessageW(bar, PBM_SETRANGE32, 0, total);
        SendMessageW(bar, PBM_SETPOS, current - 1, 0);
        ShowWindow(line, SW_SHOWNA);
        ShowWindow(bar, SW_SHOWNA);
    });
}

}  // namespace qv::win
