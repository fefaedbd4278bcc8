// Owning pointers for GLib's objects and strings.
#pragma once

#include <glib-object.h>

#include <memory>

namespace vaskel {

template <typename T>
struct GObjectUnref {
  void operator()(T* object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref<T>>;

struct GFreeDeleter {
  void operator()(char* text) const { g_free(text); }
};
using GCharPtr = std::unique_ptr<char, GFreeDeleter>;

struct GErrorDeleter {
  void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

}  // namespace vaskel
