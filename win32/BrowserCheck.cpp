#include "BrowserCheck.h"

#include <windows.h>

namespace hl {

bool BrowserIsRunning() {
    return ::FindWindowA("IEFrame", nullptr) != nullptr;
}

}  // namespace hl
