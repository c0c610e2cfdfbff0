#include "HistoryDlg.h"

#include <cstdint>

#include "AboutDlg.h"
#include "AfxMessageBox.h"
#include "PaintDC.h"
#include "PendingInput.h"

namespace {

// LVS_EX_CHECKBOXES | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT: a check box
// on every row, and the row under the pointer underlined like a link.
constexpr DWORD kListExtendedStyle = 0x844;
static_assert(kListExtendedStyle == (LVS_EX_CHECKBOXES | LVS_EX_ONECLICKACTIVATE | LVS_EX_UNDERLINEHOT));

constexpr char kBrowserFrameClass[] = "IEFrame";
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
    ON_WM_QUERYENDSESSION()
    ON_WM_ENDSESSION()
END_MESSAGE_MAP()

CHistoryDlg::CHistoryDlg(CWnd* pParent)
    : CDialog(IDD, pParent),
      hl::CTypedUrlHistory(m_registry, m_addressList, m_shell),
      m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)) {
    SetWriterLock(&m_lock);
}

CHistoryDlg::~CHistoryDlg() {
    EndClose();  // the window and its rows are gone, their marks written
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

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // The rows are read back by column number (0 the address, 1 the value name),
    // so the columns are built here from none, whatever the template's list
    // brought; deleting column 0 fails once no column is left.
    while (m_list.DeleteColumn(0)) {
    }
    m_list.InsertColumn(0, "Url", LVCFMT_LEFT, ScaledForDpi(GetSafeHwnd(), 400));
    // Hardly visible, but it carries the value name that pruning needs.
    m_list.InsertColumn(1, "Index", LVCFMT_LEFT, 3);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | kListExtendedStyle);

    FillList();
    // Another copy is changing the keys: this one has loaded nothing, and goes.
    if (LockedOut()) {
        EndDialog(IDCANCEL);
        return TRUE;
    }

    // The browser rewrites its list when it closes, which would undo a pruning.
    if (::FindWindowA(kBrowserFrameClass, nullptr)) AfxMessageBox(kBrowserOpenWarning, MB_OK);

    return TRUE;  // the focus goes to the first control with a tab stop, the list
}

// Escape, "Exit", the close box and Enter: the marks are written before the
// window goes, not only as its rows go after it.
void CHistoryDlg::OnOK() {
    if (BeginClose()) CDialog::OnOK();
}

void CHistoryDlg::OnCancel() {
    if (BeginClose()) CDialog::OnCancel();
}

void CHistoryDlg::ShowMessage(const char* text) {
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
    RememberChecks();
    return TRUE;
}

void CHistoryDlg::OnEndSession(BOOL bEnding) {
    if (bEnding) RememberChecks();
}

void CHistoryDlg::OnAbout() {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

void CHistoryDlg::OnVisitSite() {
    hl::OnVisitSite(m_shell);
}

void CHistoryDlg::OnDeleteUnchecked() {
    hl::CTypedUrlHistory::OnDeleteUnchecked();
    // Clicks made while the rows moved under the pointer were meant for other rows.
    AfxDiscardPendingInput();
}

void CHistoryDlg::OnClickList(NMHDR* pNMHDR, LRESULT* pResult) {
    std::intptr_t result = 0;
    hl::CTypedUrlHistory::OnClickList(pNMHDR, &result);
    *pResult = result;
}

void CHistoryDlg::OnDeleteItemList(NMHDR* pNMHDR, LRESULT* pResult) {
    const hl::RowNotice notice{reinterpret_cast<const NMLISTVIEW*>(pNMHDR)->iItem};
    std::intptr_t result = 0;
    hl::CTypedUrlHistory::OnDeleteItemList(&notice, &result);
    *pResult = result;
}
