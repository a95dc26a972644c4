// Owning handles for tests: Own<img_del> image(img_new()) frees the record
// through its module's destroy call when the test ends, so no test frees by hand.
#pragma once

#include <utility>

template <typename F>
struct own_traits;
template <typename T>
struct own_traits<void (*)(T **)> {
    using type = T;
};

// Holds one record handle and destroys it with Del (which clears the handle).
template <auto Del>
class Own {
public:
    using T = typename own_traits<decltype(Del)>::type;

    Own() = default;
    explicit Own(T *handle) : handle_(handle) {}
    Own(Own &&other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Own &operator=(Own &&other) noexcept {
        reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    Own(const Own &) = delete;
    Own &operator=(const Own &) = delete;
    ~Own() { reset(); }

    // Destroys the held record (if any) and takes `handle` instead.
    void reset(T *handle = nullptr) {
        if (handle_) Del(&handle_);
        handle_ = handle;
    }
    // Gives the handle up without destroying it.
    T *release() { return std::exchange(handle_, nullptr); }

    T *get() const { return handle_; }
    T **address() { return &handle_; }  // for calls that destroy or replace the handle
    T *operator->() const { return handle_; }
    operator T *() const { return handle_; }

private:
    T *handle_ = nullptr;
};
