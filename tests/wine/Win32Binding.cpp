// The shared cases against the real registry of the prefix and a real list-view
// with check boxes in a hidden top-level window, through the program's own
// registry and list adapters.
#include <windows.h>
#include <commctrl.h>

#include "AppRegistry.h"
#include "ListCtrlAddressList.h"
#include "ProductNames.h"
#include "Win32WriterLock.h"
#include "WinApp.h"
#include "contract/Binding.h"

namespace hltest {
namespace {

constexpr char kHostClass[] = "HedgeloomContractHost";

// The application object, named so that its profile is where the program keeps it.
CWinApp& App() {
    static CWinApp* app = [] {
        CWinApp* created = new CWinApp(hl::kProfileName);
        created->SetRegistryKey(hl::kRegistryKeyName);
        return created;
    }();
    return *app;
}

class Win32Binding final : public Binding {
public:
    Win32Binding() : m_registry(App()), m_adapter(m_list) {
        // Every case starts from a user who has never run the program nor typed an address.
        for (const char* key : {hl::kTypedUrlsKey, hl::kProfileKey}) {
            ::RegDeleteTreeA(HKEY_CURRENT_USER, key);
            ::RegDeleteKeyA(HKEY_CURRENT_USER, key);
        }
        OpenWindow();
    }
    ~Win32Binding() override {
        m_handler = nullptr;
        ::DestroyWindow(m_host);
    }

    hl::IRegistry& Registry() override { return m_registry; }
    hl::IAddressList& List() override { return m_adapter; }
    void OnRemove(std::function<void(int)> handler) override { m_handler = std::move(handler); }
    void Select(int row) override {
        LVITEMA item = {};
        item.stateMask = item.state = LVIS_SELECTED;
        ::SendMessageA(m_list.m_hWnd, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    void CloseWindow() override {
        ::DestroyWindow(m_host);
        OpenWindow();
    }
    // The program's own mutex: no copy of it runs beside these tests.
    std::shared_ptr<hl::IWriterLock> NewLock(unsigned long waitMs) override {
        return std::make_shared<hl::Win32WriterLock>(hl::kWriterLockName, waitMs);
    }

private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        const auto* header = reinterpret_cast<const NMLISTVIEW*>(lParam);
        auto* self = reinterpret_cast<Win32Binding*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_NOTIFY && self && self->m_handler && header->hdr.idFrom == IDC_LIST &&
            header->hdr.code == LVN_DELETEITEM) {
            self->m_handler(header->iItem);
            return 0;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    void OpenWindow() {
        static const bool registered = [] {
            INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
            ::InitCommonControlsEx(&controls);
            WNDCLASSA host = {};
            host.lpfnWndProc = HostProc;
            host.hInstance = ::GetModuleHandleA(nullptr);
            host.lpszClassName = kHostClass;
            return ::RegisterClassA(&host) != 0;
        }();
        (void)registered;
        m_host = ::CreateWindowExA(0, kHostClass, "Hedgeloom", WS_OVERLAPPEDWINDOW, 0, 0, 640, 400, nullptr,
                                   nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ::SetWindowLongPtrA(m_host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_list.m_hWnd = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT,
                                          0, 0, 600, 360, m_host, reinterpret_cast<HMENU>(IDC_LIST),
                                          ::GetModuleHandleA(nullptr), nullptr);
        m_list.InsertColumn(0, "Url", LVCFMT_LEFT, 400);
        m_list.InsertColumn(1, "Index", LVCFMT_LEFT, 3);
        m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    }

    CAppRegistry m_registry;
    CListCtrl m_list;
    CListCtrlAddressList m_adapter;
    HWND m_host = nullptr;
    std::function<void(int)> m_handler;
};

std::unique_ptr<Binding> Make() { return std::make_unique<Win32Binding>(); }

}  // namespace

std::vector<BindingKind> Bindings() { return {{"Win32", &Make}}; }

}  // namespace hltest
