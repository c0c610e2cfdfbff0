// One copy of the program at a time changes the browser's keys and the profile:
// a second copy started meanwhile would read a key half rewritten, or put a
// running rewrite's journal back under its feet. Production binds this to a
// named mutex of the session (win32/); tests bind it to one in memory.
#pragma once

namespace hl {

class IWriterLock {
public:
    // Takes the lock, waiting a moment for a copy that holds it; false when it
    // still does. A copy that ended without giving the lock back holds it no more.
    // Lock and Unlock alternate: however deep a copy's operations run within one
    // another, the lock is taken once, for the outermost (CTypedUrlHistory counts them).
    virtual bool Lock() = 0;
    virtual void Unlock() = 0;

protected:
    ~IWriterLock() = default;
};

}  // namespace hl
