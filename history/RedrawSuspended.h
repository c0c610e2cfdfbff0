// Keeps the list from drawing during a batch of row changes, and lets it draw
// again however the batch ends. Each change drawn on its own costs the list
// control far more than the change itself.
#pragma once

#include "AddressList.h"

namespace hl {

class RedrawSuspended {
public:
    explicit RedrawSuspended(IAddressList& list) : m_list(list) { m_list.SetRedraw(false); }
    ~RedrawSuspended() { m_list.SetRedraw(true); }
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;

private:
    IAddressList& m_list;
};

}  // namespace hl
