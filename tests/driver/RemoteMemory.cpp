#include "RemoteMemory.h"

namespace drive {

RemoteMemory::RemoteMemory(HANDLE process, std::size_t size)
    : m_process(process),
      m_base(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
      m_size(size) {}

RemoteMemory::~RemoteMemory() {
    if (m_base) VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE);
}

bool RemoteMemory::Write(std::size_t offset, const void* data, std::size_t size) {
    SIZE_T written = 0;
    return m_base && offset + size <= m_size &&
           WriteProcessMemory(m_process, At(offset), data, size, &written) && written == size;
}

bool RemoteMemory::Read(std::size_t offset, void* data, std::size_t size) const {
    SIZE_T read = 0;
    return m_base && offset + size <= m_size &&
           ReadProcessMemory(m_process, At(offset), data, size, &read) && read == size;
}

}  // namespace drive
