// The tip over the list that shows the row under the pointer in full: the list
// is the tool, and its mouse messages tell the tip when the pointer reaches
// another row, which takes the old row's tip away until the new one's is due.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class CRowTip {
public:
    CRowTip() = default;
    CRowTip(const CRowTip&) = delete;
    CRowTip& operator=(const CRowTip&) = delete;
    ~CRowTip() { Destroy(); }

    // textOf(row) is the tip of a row; an empty text shows none.
    bool Create(HWND list, int maxWidth, std::function<std::string(int row)> textOf);
    void Destroy();

private:
    static LRESULT CALLBACK ListProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    int RowAt(POINT client) const;
    void Answer(NMHDR* header);

    HWND m_list = nullptr;
    HWND m_tip = nullptr;
    int m_row = -1;
    std::function<std::string(int)> m_textOf;
    std::string m_text;  // kept while the tip shows it
    std::wstring m_wideText;
};
