// The shared cases over the in-memory registry and list, in both enumeration orders.
#include "contract/Binding.h"
#include "RowList.h"
#include "support/MemoryLock.h"
#include "support/MemoryRegistry.h"

namespace hltest {
namespace {

class MemoryBinding final : public Binding {
public:
    explicit MemoryBinding(EnumOrder order) : m_registry(order) {}

    hl::IRegistry& Registry() override { return m_registry; }
    hl::IAddressList& List() override { return m_list; }
    void OnRemove(std::function<void(int)> handler) override { m_list.onRemove = std::move(handler); }
    void Select(int row) override { m_list.Select(row); }
    void CloseWindow() override { m_list.DeleteAllItems(); }
    std::shared_ptr<hl::IWriterLock> NewLock(unsigned long waitMs) override {
        return std::make_shared<MemoryLock>(m_mutex, waitMs);
    }

private:
    std::shared_ptr<std::recursive_timed_mutex> m_mutex = std::make_shared<std::recursive_timed_mutex>();
    MemoryRegistry m_registry;
    hl::CRowList m_list;
};

}  // namespace

std::vector<BindingKind> Bindings() {
    return {{"CreationOrder", [] { return std::unique_ptr<Binding>(new MemoryBinding(EnumOrder::Creation)); }},
            {"NameOrder", [] { return std::unique_ptr<Binding>(new MemoryBinding(EnumOrder::ByName)); }}};
}

}  // namespace hltest
