// The address list without a window: rows in memory whose text reads back
// exactly as it would from the main window's list control, through the ANSI
// code page.
#pragma once

#include "RowList.h"

class CCodePageAddressList final : public hl::CRowList {
public:
    CCodePageAddressList() : CRowList(AsListKeepsIt) {}

private:
    static std::string AsListKeepsIt(const char* text);
};
