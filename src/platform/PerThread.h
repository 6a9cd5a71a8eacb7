#pragma once

// An object of each thread's own, made at its first use there and destroyed when the thread ends.
//
// MinGW's thread_local (emulated TLS over winpthreads) frees an object's storage before its destructor
// runs at thread exit, so there the object lives on the heap in a fiber-local slot whose callback deletes
// it; elsewhere it is a plain thread_local.

#include <memory>

namespace kolvane::platform {

#ifdef _WIN32
struct PerThreadBase {
    virtual ~PerThreadBase() = default;
};

// One slot of the system's, each thread's value deleted as a PerThreadBase when that thread ends.
class ThreadSlot {
  public:
    ThreadSlot();
    ThreadSlot(const ThreadSlot&) = delete;
    ThreadSlot& operator=(const ThreadSlot&) = delete;
    PerThreadBase* get() const;
    void set(std::unique_ptr<PerThreadBase> value) const;

  private:
    unsigned long index_;
};
#endif

template <typename T> T& PerThread() {
#ifdef _WIN32
    struct Holder : PerThreadBase {
        T value{};
    };
    static const ThreadSlot slot; // never freed: threads may end after static destruction
    auto* holder = static_cast<Holder*>(slot.get());
    if (!holder) {
        auto made = std::make_unique<Holder>();
        holder = made.get();
        slot.set(std::move(made));
    }
    return holder->value;
#else
    thread_local T value{};
    return value;
#endif
}

} // namespace kolvane::platform
