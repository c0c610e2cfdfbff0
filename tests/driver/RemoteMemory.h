// A block of memory inside another process, for the list-view messages whose
// parameters are pointers: the control reads and writes them in its own space.
#pragma once

#include <windows.h>

#include <cstddef>

namespace drive {

class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    explicit operator bool() const { return m_base != nullptr; }
    // The address of byte `offset` as the other process sees it.
    void* At(std::size_t offset = 0) const { return static_cast<char*>(m_base) + offset; }
    LPARAM Param(std::size_t offset = 0) const { return reinterpret_cast<LPARAM>(At(offset)); }

    bool Write(std::size_t offset, const void* data, std::size_t size);
    bool Read(std::size_t offset, void* data, std::size_t size) const;

private:
    HANDLE m_process;
    void* m_base;
    std::size_t m_size;
};

}  // namespace drive
