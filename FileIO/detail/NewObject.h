#pragma once
// A new toolkit object owned at once: its memory comes from the memory
// hooks (gCBaseObject's operator new), and running out of it gives null,
// never an exception.

#include <memory>
#include <new>

template <typename T> std::unique_ptr<T> NewObject() {
    return std::unique_ptr<T>(new (std::nothrow) T());
}
