#include "AboutDlg.h"

#include "Shell.h"
#include "Win32Shell.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_BN_CLICKED(IDC_VISIT_WEBSITE, &CAboutDlg::OnVisitSite)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
}

void CAboutDlg::OnVisitSite() {
    hl::Win32Shell shell;
    hl::OnVisitSite(shell);  // the box stays open
}
