// The root of the framework's objects. Each owns something of the system's (a
// window, a key, a handle, a drawing context) that a copy would give back
// twice, so none is copied.
#pragma once

class CObject {
public:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject() = default;
    ~CObject() = default;
};
