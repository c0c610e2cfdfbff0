// The About box: name, version and maker, and a way to the maker's site.
#pragma once

#include "Dialog.h"
#include "resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    enum { IDD = IDD_ABOUTBOX };

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnVisitSite();

    DECLARE_MESSAGE_MAP()
};
