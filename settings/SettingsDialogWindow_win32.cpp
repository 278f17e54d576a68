#include "settings/SettingsDialogWindow_win32.h"

#include <commdlg.h>

#include <array>
#include <cstring>

#include "platform/win32/Win32App.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/WideText.h"

namespace qv::win {

namespace {

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
    logic_ = std::make_unique<SettingsDialog>(variant, files_, registry_, decoder_, messages_,
                                              static_cast<PictureListPort&>(*this), surroundings());
}

SettingsDialogWindow::~SettingsDialogWindow() {
    if (thumbnails_) ImageList_Destroy(thumbnails_);
    if (icon_) DestroyIcon(icon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
}

BOOL SettingsDialogWindow::OnInitDialog() {
    // Messages without an owner of their own belong to this window.
    if (Application* app = Application::current()) app->setMainWindow(handle());
    SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    enableItemButtons(false);

    // Two columns the icon view does not show, and room for a thumbnail
    // with a margin around it.
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
    SendMessageW(list, LVM_SETICONSPACING, 0, MAKELPARAM(120, 100));

    logic_->OnInitDialog();
    CheckRadioButton(handle(), variant_.dialogIds.musicOff, variant_.dialogIds.musicOn,
                     logic_->backgroundMusic() ? variant_.dialogIds.musicOn : variant_.dialogIds.musicOff);
    CheckRadioButton(handle(), variant_.dialogIds.enlarge, variant_.dialogIds.fitScreen,
                     logic_->trimming() ? variant_.dialogIds.enlarge : variant_.dialogIds.fitScreen);
    // Without a picture folder there is nowhere to put a picture.
    if (!logic_->hasPictureFolder()) {
        EnableWindow(item(variant_.dialogIds.addButton), FALSE);
        EnableWindow(item(variant_.dialogIds.initializeButton), FALSE);
    }
    return TRUE;
}

void SettingsDialogWindow::OnOK() {
    logic_->OnOK();
    EndDialog(IDOK);
}

bool SettingsDialogWindow::OnCommand(int id, int code, HWND control) {
    const SettingsDialogIds& ids = variant_.dialogIds;
    // One operation at a time: a click that reaches a button while a file
    // selection or a message of the last one is open (a click posted by
    // another program, say) must not start a second one inside it.
    if (busy_) return true;
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } busy(busy_);
    if (code == BN_CLICKED && id != IDOK && id != IDCANCEL) {
        if (id == ids.musicOn) logic_->OnMusicOn();
        else if (id == ids.musicOff) logic_->OnMusicOff();
        else if (id == ids.enlarge) logic_->OnEnlarge();
        else if (id == ids.fitScreen) logic_->OnFitScreen();
        else if (id == ids.addButton) logic_->OnAdd();
        else if (id == ids.deleteButton) logic_->OnDelete(selectedItem());
        else if (id == ids.exchangeButton) logic_->OnExchange(selectedItem());
        else if (id == ids.initializeButton) logic_->OnInitialize();
        else return false;
        return true;
    }
    return Dialog::OnCommand(id, code, control);
}

bool SettingsDialogWindow::OnNotify(int id, NMHDR* header, LRESULT& result) {
    if (id != variant_.dialogIds.pictureList || !header) return false;
    if (header->code == LVN_ITEMCHANGED) {
        OnListItemChanged();
        return true;
    }
    if (header->code == LVN_DELETEALLITEMS) {
        OnListAllDeleted();
        result = TRUE;  // no notice for each item
        return true;
    }
    return false;
}

bool SettingsDialogWindow::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR& result) {
    if (message == WM_PAINT && IsIconic(handle())) {
        OnPaint();
        result = TRUE;
        return true;
    }
    if (message == WM_QUERYDRAGICON) {
        result = reinterpret_cast<INT_PTR>(OnQueryDragIcon());
        return true;
    }
    return false;
}

void SettingsDialogWindow::OnDestroy() {
    if (Application* app = Application::current())
        if (app->mainWindow() == handle()) app->setMainWindow(nullptr);
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
        EnableWindow(button, enable ? TRUE : FALSE);
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

bool SettingsDialogWindow::createThumbnailList() {
    if (!thumbnails_) thumbnails_ = ImageList_Create(kThumbnailWidth, kThumbnailHeight, ILC_COLOR24 | ILC_MASK, 0, 4);
    return thumbnails_ != nullptr;
}

void SettingsDialogWindow::deleteAllItems() {
    SendMessageW(item(variant_.dialogIds.pictureList), LVM_DELETEALLITEMS, 0, 0);
    // An empty list may send no notice: the buttons follow it all the same.
    enableItemButtons(false);
    if (thumbnails_) ImageList_RemoveAll(thumbnails_);
}

bool SettingsDialogWindow::insertItem(int index, const Image& thumbnail) {
    if (!thumbnails_ || thumbnail.empty()) return false;
    HBITMAP bitmap = bitmapOf(thumbnail);
    if (!bitmap) return false;
    const int image = ImageList_AddMasked(thumbnails_, bitmap, RGB(255, 255, 255));
    DeleteObject(bitmap);
    if (image < 0) return false;

    HWND list = item(variant_.dialogIds.pictureList);
    LVITEMW entry{};
    entry.mask = LVIF_IMAGE;
    entry.iItem = index;
    entry.iImage = image;
    const LRESULT at = SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    if (at < 0) return false;
    SendMessageW(list, LVM_REDRAWITEMS, at, at);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(thumbnails_));
    // Shown now, so a long rebuild fills the list picture by picture.
    UpdateWindow(list);
    return true;
}

void SettingsDialogWindow::revealItem(int index) {
    HWND list = item(variant_.dialogIds.pictureList);
    if (index < 0 || index >= static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0))) return;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, index, FALSE);
}

std::optional<std::string> SettingsDialogWindow::choosePicture(const std::string& initialFolder) {
    std::array<wchar_t, MAX_PATH> file{};
    std::array<wchar_t, MAX_PATH> title{};
    static const wchar_t kFilter[] = L"JPEG(*.JPG, *.JPEG)\0*.jpg;*.jpeg\0BMP(*.BMP)\0*.bmp\0";
    // A folder that is not well-formed UTF-8 cannot be named: the dialog
    // then opens where it likes.
    const std::wstring folder = toWide(initialFolder).value_or(std::wstring());
    const std::wstring caption = toWide(variant_.productName).value_or(std::wstring());
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = handle();
    open.lpstrFilter = kFilter;
    open.nFilterIndex = 1;
    open.lpstrFile = file.data();
    open.nMaxFile = static_cast<DWORD>(file.size());
    open.lpstrFileTitle = title.data();
    open.nMaxFileTitle = static_cast<DWORD>(title.size());
    open.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    open.lpstrTitle = caption.c_str();
    open.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&open)) return std::nullopt;
    file.back() = L'\0';
    // Every name the file system gives back is whole UTF-16 save a lone
    // surrogate, which no path of ours can hold: such a pick is no pick.
    return fromWide(file.data());
}

void SettingsDialogWindow::showWaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

}  // namespace qv::win
