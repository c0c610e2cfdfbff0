// The tip over the list that shows the row under the pointer in full: the list
// is the tool, and its mouse messages tell the tip when the pointer reaches
// another row, which takes the old row's tip away until the new one's is due.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Object.h"

class CRowTip : public CObject {
public:
    ~CRowTip() { Destroy(); }

    // The tip of a row; an empty text shows none.
    using TextOf = std::string (*)(void* context, int row);
    bool Create(HWND list, int maxWidth, TextOf textOf, void* context);
    void Destroy();
    // Every message to the list passes through the tip while it listens, and a
    // pruning or a close sends the list tens of thousands (three times the
    // pruning's own time at 10,000 rows under Wine): it stands aside meanwhile.
    void Pause();
    void Resume();

private:
    static LRESULT CALLBACK ListProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    bool MakeTip();
    int RowAt(POINT client) const;
    void Answer(NMHDR* header);

    HWND m_list = nullptr;
    HWND m_tip = nullptr;
    int m_row = -1;
    int m_maxWidth = 0;
    TextOf m_textOf = nullptr;
    void* m_context = nullptr;
    std::string m_text;  // kept while the tip shows it
    std::vector<wchar_t> m_wideText;
};
