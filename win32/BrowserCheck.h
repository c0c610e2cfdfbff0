// Whether Internet Explorer is running: it keeps its own copy of the typed
// addresses while it runs and writes it back when it closes, over a pruning.
#pragma once

namespace hl {

// True while a top-level frame of the browser ("IEFrame") exists.
bool BrowserIsRunning();

}  // namespace hl
