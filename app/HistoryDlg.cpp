#include "HistoryDlg.h"

#include <cstdint>
#include <string>
#include <utility>

#include "AboutDlg.h"
#include "AfxMessageBox.h"
#include "BrowserCheck.h"
#include "Clipboard.h"
#include "PaintDC.h"
#include "PendingInput.h"
#include "WaitCursor.h"

namespace {

// LVS_EX_CHECKBOXES | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT: a check box
// on every row, and the row under the pointer underlined like a link.
constexpr DWORD kListExtendedStyle = 0x844;
static_assert(kListExtendedStyle == (LVS_EX_CHECKBOXES | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT));

constexpr char kBrowserOpenWarning[] =
    "Isn't IE open ?\nPlease close all instances of Internet Explorer before using this tool.";

// Column widths are given for 96 DPI. The program declares itself DPI-aware, so
// at a larger scale the dialog grows with its font and the columns must grow too.
int ScaledForDpi(HWND hwnd, int pixelsAt96Dpi) {
    int dpi = 96;
    if (HDC dc = ::GetDC(hwnd)) {
        dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
        ::ReleaseDC(hwnd, dc);
    }
    return dpi > 0 ? ::MulDiv(pixelsAt96Dpi, dpi, 96) : pixelsAt96Dpi;
}

// Space on several selected rows: the list has toggled the focused row, the rest follow it.
constexpr UINT WM_SPREAD_CHECK = WM_APP + 1;

// A FILETIME of the browser's in the user's own short date and time.
std::string WhenTyped(std::uint64_t fileTime) {
    const FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME universal, local;
    char date[128], time[128];
    if (!::FileTimeToSystemTime(&utc, &universal) || !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local) ||
        !::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, sizeof date) ||
        !::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, sizeof time))
        return {};
    return std::string(date) + " " + time;
}

bool KeyDown(int virtualKey) {
    return ::GetKeyState(virtualKey) < 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CHistoryDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_ABOUT, &CHistoryDlg::OnAbout)
    ON_BN_CLICKED(IDC_VISIT_SITE, &CHistoryDlg::OnVisitSite)
    ON_NOTIFY(NM_CLICK, IDC_LIST, &CHistoryDlg::OnClickList)
    ON_BN_CLICKED(IDC_CHECK_ALL, &CHistoryDlg::OnCheckAll)
    ON_BN_CLICKED(IDC_UNCHECK_ALL, &CHistoryDlg::OnUncheckAll)
    ON_BN_CLICKED(IDC_INVERT_CHECKS, &CHistoryDlg::OnInvertChecks)
    ON_BN_CLICKED(IDC_DELETE_UNCHECKED, &CHistoryDlg::OnDeleteUnchecked)
    ON_NOTIFY(LVN_DELETEITEM, IDC_LIST, &CHistoryDlg::OnDeleteItemList)
    ON_NOTIFY(LVN_ITEMCHANGING, IDC_LIST, &CHistoryDlg::OnItemChangingList)
    ON_WM_QUERYENDSESSION()
    ON_WM_ENDSESSION()
    ON_WM_CONTEXTMENU()
    ON_COMMAND(ID_LIST_OPEN, &CHistoryDlg::OnOpenRow)
    ON_COMMAND(ID_LIST_COPY, &CHistoryDlg::OnCopyAddresses)
    ON_COMMAND(ID_LIST_CHECK_SELECTED, &CHistoryDlg::OnCheckSelected)
    ON_COMMAND(ID_LIST_UNCHECK_SELECTED, &CHistoryDlg::OnUncheckSelected)
    ON_NOTIFY(LVN_KEYDOWN, IDC_LIST, &CHistoryDlg::OnKeyDownList)
    ON_MESSAGE(WM_SPREAD_CHECK, &CHistoryDlg::OnSpreadCheck)
END_MESSAGE_MAP()

CHistoryDlg::CHistoryDlg(CWnd* pParent, hl::IWriterLock* windowLock)
    : CDialog(IDD, pParent),
      m_history(m_registry, m_addressList, m_shell, windowLock),
      m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)) {
    m_history.SetWriterLock(&m_lock);
    m_history.SetKeepPolicy(&m_keepPolicy);
}

void CHistoryDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST, m_list);
}

BOOL CHistoryDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU sysMenu = GetSystemMenu(FALSE)) {
        char about[256];
        if (::LoadStringA(AfxGetApp()->m_hInstance, IDS_ABOUTBOX, about, sizeof about) > 0) {
            ::AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    // The small one first: a big icon set on a window without a small one is
    // copied and scaled down for its caption, only to be replaced a call later.
    SetIcon(m_hIcon, FALSE);
    SetIcon(m_hIcon, TRUE);

    // The rows are read back by column number (0 the address, 1 the value name),
    // so the columns are built here from none, whatever the template's list
    // brought; deleting column 0 fails once no column is left.
    while (m_list.DeleteColumn(0)) {
    }
    m_list.InsertColumn(0, "Url", LVCFMT_LEFT, ScaledForDpi(GetSafeHwnd(), 400));
    // Hardly visible, but it carries the value name that pruning needs.
    m_list.InsertColumn(1, "Index", LVCFMT_LEFT, 3);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | kListExtendedStyle);

    {
        CWaitCursor wait;
        m_history.FillList();
    }
    // Another copy is changing the keys: this one has loaded nothing, and goes.
    if (m_history.LockedOut()) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_rowTip.Create(m_list.GetSafeHwnd(), ScaledForDpi(GetSafeHwnd(), 600), [](void* history, int row) {
        return static_cast<CWindowHistory*>(history)->RowTip(row, WhenTyped);
    }, &m_history);

    // The browser rewrites its list when it closes, which would undo a pruning.
    if (hl::BrowserIsRunning()) AfxMessageBox(kBrowserOpenWarning, MB_OK);

    return TRUE;  // the focus goes to the first control with a tab stop, the list
}

// Escape, "Exit", the close box and Enter: the marks are written before the
// window goes, not only as its rows go after it.
void CHistoryDlg::OnOK() {
    if (ReadyToClose()) CDialog::OnOK();
}

void CHistoryDlg::OnCancel() {
    if (ReadyToClose()) CDialog::OnCancel();
}

bool CHistoryDlg::ReadyToClose() {
    m_rowTip.Pause();  // the marks and then the rows' removals are thousands of messages to the list
    if (!m_history.Close()) {
        m_rowTip.Resume();
        return false;
    }
    m_rowTip.Destroy();
    return true;
}

// The marks are written next, under the writer lock: a copy started from now on
// waits for them and then opens with them, instead of finding this window open.
void CHistoryDlg::CWindowHistory::OnCloseBegun() {
    if (m_windowLock) m_windowLock->Unlock();
}

void CHistoryDlg::CWindowHistory::ShowMessage(const char* text) {
    AfxMessageBox(text, MB_OK | MB_ICONERROR);
}

void CHistoryDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        OnAbout();
    else
        CDialog::OnSysCommand(nID, lParam);
}

void CHistoryDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CHistoryDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

// A session that ends takes the process without destroying the list, so no row
// reports its removal: the check marks are remembered here instead, once when the
// session is about to end (a forced end may not wait for more) and again when it does.
BOOL CHistoryDlg::OnQueryEndSession() {
    m_history.RememberChecks();
    return TRUE;
}

void CHistoryDlg::OnEndSession(BOOL bEnding) {
    if (bEnding) m_history.RememberChecks();
}

void CHistoryDlg::OnAbout() {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

void CHistoryDlg::OnVisitSite() {
    hl::OnVisitSite(m_shell);
}

void CHistoryDlg::OnCheckAll() {
    m_history.OnCheckAll();
}

void CHistoryDlg::OnUncheckAll() {
    m_history.OnUncheckAll();
}

void CHistoryDlg::OnInvertChecks() {
    m_history.OnInvertChecks();
}

void CHistoryDlg::OnDeleteUnchecked() {
    {
        CWaitCursor wait;
        m_rowTip.Pause();
        m_history.OnDeleteUnchecked();
        m_rowTip.Resume();
    }
    // Clicks made while the rows moved under the pointer were meant for other rows.
    AfxDiscardPendingInput();
}

void CHistoryDlg::OnClickList(NMHDR* pNMHDR, LRESULT* pResult) {
    // The list says where it was clicked; what lies there is asked of the list.
    UINT flags = 0;
    const int row = m_list.HitTest(reinterpret_cast<const NMITEMACTIVATE*>(pNMHDR)->ptAction, &flags);
    const hl::ClickNotice notice{(flags & LVHT_ONITEM) ? row : -1, (flags & LVHT_ONITEMSTATEICON) != 0};
    std::intptr_t result = 0;
    m_history.OnClickList(&notice, &result);
    *pResult = result;
}

void CHistoryDlg::OnContextMenu(HWND hWnd, POINT point) {
    const HWND list = m_list.GetSafeHwnd();
    if (hWnd != list) {
        Default();
        return;
    }
    int row = -1;
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: at the focused row, or at the list's corner without one.
        row = m_list.GetNextItem(-1, LVNI_FOCUSED);
        RECT place{};
        if (row >= 0 && m_list.EnsureVisible(row, FALSE) && m_list.GetItemRect(row, &place, LVIR_LABEL)) {
            point = {place.left, place.bottom};
        } else {
            row = -1;
            point = {0, 0};
        }
        ::ClientToScreen(list, &point);
    } else {
        POINT client = point;
        ::ScreenToClient(list, &client);
        UINT flags = 0;
        row = m_list.HitTest(client, &flags);
        if (row < 0 || !(flags & LVHT_ONITEM)) return;
        // As in Explorer, a row outside the selection becomes the selection.
        if (!(m_list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED)) {
            m_list.SetItemState(-1, 0, LVIS_SELECTED);
            m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
    m_menuRow = row;

    HMENU menu = ::LoadMenuA(AfxGetApp()->m_hInstance, MAKEINTRESOURCEA(IDR_LIST_MENU));
    HMENU popup = menu ? ::GetSubMenu(menu, 0) : nullptr;
    if (!popup) {
        if (menu) ::DestroyMenu(menu);
        return;
    }
    const UINT selection = m_list.GetSelectedCount() > 0 ? MF_ENABLED : MF_GRAYED;
    ::EnableMenuItem(popup, ID_LIST_OPEN, MF_BYCOMMAND | (row >= 0 ? MF_ENABLED : MF_GRAYED));
    for (UINT id : {ID_LIST_COPY, ID_LIST_CHECK_SELECTED, ID_LIST_UNCHECK_SELECTED})
        ::EnableMenuItem(popup, id, MF_BYCOMMAND | selection);
    // The chosen item comes back as a command through the event table.
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
}

void CHistoryDlg::OnOpenRow() {
    m_history.OpenRow(m_menuRow);
}

void CHistoryDlg::OnCopyAddresses() {
    if (m_list.GetSelectedCount() == 0) return;  // an empty copy would only lose what the clipboard held
    CopyTextToClipboard(m_hWnd, m_history.SelectedAddresses().c_str());  // a busy clipboard leaves it as it was
}

void CHistoryDlg::OnCheckSelected() {
    m_history.CheckSelected(true);
}

void CHistoryDlg::OnUncheckSelected() {
    m_history.CheckSelected(false);
}

void CHistoryDlg::OnKeyDownList(NMHDR* pNMHDR, LRESULT* pResult) {
    const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(pNMHDR)->wVKey;
    const bool control = KeyDown(VK_CONTROL), shift = KeyDown(VK_SHIFT), alt = KeyDown(VK_MENU);
    if (control && !shift && !alt && key == 'A') {
        m_list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    } else if (control && !alt && (key == 'C' || key == VK_INSERT)) {
        OnCopyAddresses();
    } else if (!control && !shift && !alt && key == VK_DELETE) {
        OnUncheckSelected();  // "Delete Unchecked" is what deletes
    } else if (!control && !shift && !alt && key == VK_SPACE && m_list.GetSelectedCount() > 1) {
        // Once this notice returns the list toggles the focused row and selects
        // it alone; the selection is given back afterwards, as Explorer keeps it.
        m_spreadRows = m_history.SelectedRows();
        ::PostMessageA(m_hWnd, WM_SPREAD_CHECK, static_cast<WPARAM>(m_list.GetNextItem(-1, LVNI_FOCUSED)), 0);
    }
    *pResult = 0;
}

LRESULT CHistoryDlg::OnSpreadCheck(WPARAM focusedRow, LPARAM) {
    const std::vector<int> rows = std::move(m_spreadRows);
    m_spreadRows.clear();
    for (int row : rows) m_list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    m_history.SpreadCheck(static_cast<int>(focusedRow), rows);
    return 0;
}

void CHistoryDlg::OnDeleteItemList(NMHDR* pNMHDR, LRESULT* pResult) {
    const hl::RowNotice notice{reinterpret_cast<const NMLISTVIEW*>(pNMHDR)->iItem};
    std::intptr_t result = 0;
    m_history.OnDeleteItemList(&notice, &result);
    *pResult = result;
}

void CHistoryDlg::OnItemChangingList(NMHDR* pNMHDR, LRESULT* pResult) {
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    // The state image is the check box: 2 checked, 1 unchecked.
    const UINT checked = INDEXTOSTATEIMAGEMASK(2), unchecked = INDEXTOSTATEIMAGEMASK(1);
    const bool unchecking = (change->uChanged & LVIF_STATE) && (change->uOldState & LVIS_STATEIMAGEMASK) == checked &&
                            (change->uNewState & LVIS_STATEIMAGEMASK) == unchecked;
    *pResult = unchecking && change->iItem >= 0 && m_history.KeptByPolicy(change->iItem) ? TRUE : FALSE;
}
