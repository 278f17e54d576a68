#pragma once
// The one reference a COM object is held by (Windows builds only): released
// when the holder goes or is reset, moved but never copied.
#include <utility>

namespace qv::win {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* object) : object_(object) {}
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For a call that hands out a new reference through T**.
    T** put() {
        reset();
        return &object_;
    }
    void reset() {
        if (object_) std::exchange(object_, nullptr)->Release();
    }

private:
    T* object_ = nullptr;
};

}  // namespace qv::win
