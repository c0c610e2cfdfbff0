// The typed-address handlers run without a window, for a logon script or a
// scheduled task: the list is loaded and pruned exactly as the window would,
// with its rows kept by a list of the caller's that reports each removal here.
#pragma once

#include <cstdint>
#include <string>

#include "TypedUrlHistory.h"

namespace hl {

class CUnattendedHistory final : public CTypedUrlHistory {
public:
    CUnattendedHistory(IRegistry& registry, IAddressList& list, IShell& shell)
        : CTypedUrlHistory(registry, list, shell), m_list(list) {
        ForgetOnlyDeleted();
    }

    // What "Delete Unchecked" does on a window just opened, then the window's
    // close: only the addresses remembered as checked stay, and they are
    // remembered again. False when the key could not be saved; Message() says why.
    bool Prune();
    // The list as loaded, top first, one line an address: the remembered mark
    // (1 or 0), the value name, the address and, where the browser stamped it,
    // when it was last typed, in UTC; fields apart by tabs. Nothing is written.
    // Empty, with Message() saying why, while another copy changes the keys or
    // when what the organization keeps cannot be read.
    std::string ListText();
    const std::string& Message() const { return m_message; }
    // The lock the user's window holds while it is open: a pruning gives way to it.
    void SetWindowLock(IWriterLock* window) { m_window = window; }

    // A name or an address as a field of the list: a backslash, TAB, LF and CR
    // written as \\, \t, \n and \r, so that no field breaks a line or adds one.
    static std::string ListField(const std::string& text);
protected:
    void ShowMessage(const char* text) override;

private:
    IAddressList& m_list;
    std::string m_message;
    IWriterLock* m_window = nullptr;
};

}  // namespace hl
