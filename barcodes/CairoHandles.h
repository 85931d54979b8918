#pragma once
// Owners of cairo's objects and a writer that collects a document's bytes,
// for the pictures and the sheet drawn by cairo.

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace tavrik::cairo_handles {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

// A cairo_write_func_t whose closure is a std::vector<std::uint8_t>.
inline cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
  out->insert(out->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace tavrik::cairo_handles
