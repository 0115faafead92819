#include "platform/ui/Form.h"

#include <map>
#include <mutex>

namespace fw {

namespace {
std::mutex& RegistryMutex() {
    static std::mutex m;
    return m;
}
std::map<UINT, const FormTable*>& Registry() {
    static std::map<UINT, const FormTable*> r;
    return r;
}
}  // namespace

const FormTable* FindForm(UINT id) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto it = Registry().find(id);
    return it == Registry().end() ? nullptr : it->second;
}

FormRegistrar::FormRegistrar(const FormTable& form) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    Registry()[form.id] = &form;
}

}  // namespace fw
