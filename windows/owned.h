#pragma once

// Handles of the Windows API that close themselves when their owner goes out of scope.

#include <unknwn.h>
#include <windows.h>

#include <memory>
#include <type_traits>

namespace cronalba::windows {

template <typename Handle, auto close> struct HandleCloser {
    using pointer = Handle; // held as is, null when empty
    void operator()(Handle handle) const { close(handle); }
};

// A handle of kind Handle, closed with close.
template <typename Handle, auto close>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, HandleCloser<Handle, close>>;

using OwnedFont = Owned<HFONT, &DeleteObject>;
using OwnedHandle = Owned<HANDLE, &CloseHandle>;
using OwnedKey = Owned<HKEY, &RegCloseKey>;

struct ComRelease {
    void operator()(IUnknown *object) const { object->Release(); }
};

// A COM object's interface, released when its owner goes.
template <typename Interface> using ComPointer = std::unique_ptr<Interface, ComRelease>;

// A handle from a call that reports failure as INVALID_HANDLE_VALUE rather than null.
template <typename Handle> Handle nullIfInvalid(Handle handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

} // namespace cronalba::windows
