#ifdef _WIN32

#include "platform/PerThread.h"

#include <new>
#include <windows.h>

namespace kolvane::platform {
namespace {

void WINAPI DeleteValue(void* value) {
    delete static_cast<PerThreadBase*>(value);
}

} // namespace

ThreadSlot::ThreadSlot() : index_(FlsAlloc(DeleteValue)) {
    if (index_ == FLS_OUT_OF_INDEXES) throw std::bad_alloc();
}

PerThreadBase* ThreadSlot::get() const {
    return static_cast<PerThreadBase*>(FlsGetValue(index_));
}

void ThreadSlot::set(std::unique_ptr<PerThreadBase> value) const {
    if (!FlsSetValue(index_, value.get())) throw std::bad_alloc();
    value.release();
}

} // namespace kolvane::platform

#endif
