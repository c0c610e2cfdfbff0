// What the shared cases need of a platform: the registry the program uses (typed-address key
// and profile), a list control that reports each row's removal, and the window that owns it.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "AddressList.h"
#include "RegistryOps.h"
#include "WriterLock.h"

namespace hltest {

class Binding {
public:
    virtual ~Binding() = default;

    virtual hl::IRegistry& Registry() = 0;
    // The same object for the binding's whole life, also across CloseWindow.
    virtual hl::IAddressList& List() = 0;
    virtual void OnRemove(std::function<void(int row)> handler) = 0;
    virtual void Select(int row) = 0;
    // The window closes, its list going with every row still in it; an empty
    // window takes its place, as at the program's next start.
    virtual void CloseWindow() = 0;
    // A writer lock that stands for one copy of the program: every lock of a
    // binding guards the same keys, and one taken on another thread keeps this
    // thread's out. Lock waits waitMs for it.
    virtual std::shared_ptr<hl::IWriterLock> NewLock(unsigned long waitMs) = 0;
};

struct BindingKind {
    const char* name;
    std::unique_ptr<Binding> (*make)();
};

// The bindings the shared cases run against; each tier defines it.
std::vector<BindingKind> Bindings();

}  // namespace hltest
