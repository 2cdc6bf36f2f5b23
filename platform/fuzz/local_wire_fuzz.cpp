// Hostile arguments of a local-server call: the "a(qv)" that Invoke receives, decoded as the
// server decodes it (by-reference values into storage, the rest into variants), encoded back,
// and freed. Input is the bus's binary form, or its text form when it starts with '['.
#include <gio/gio.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include <tesk/platform.h>

#include "local_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesk::local;
  GVariant* args = nullptr;
  if (size > 0 && data[0] == '[') {
    const std::string text(reinterpret_cast<const char*>(data), size);
    args = g_variant_parse(G_VARIANT_TYPE("a(qv)"), text.c_str(), nullptr, nullptr, nullptr);
  } else {
    GBytes* bytes = g_bytes_new(data, size);
    args = g_variant_new_from_bytes(G_VARIANT_TYPE("a(qv)"), bytes, FALSE);
    g_bytes_unref(bytes);
  }
  if (!args) return 0;
  g_variant_ref_sink(args);
  const size_t n = g_variant_n_children(args);
  for (size_t i = 0; i < n && i < 64; ++i) {
    GVariant* wire = g_variant_get_child_value(args, i);
    VARTYPE vt = VT_EMPTY;
    GVariant* payload = nullptr;
    if (SplitVariant(wire, &vt, &payload)) {
      VARIANT store, arg;
      VariantInit(&store);
      VariantInit(&arg);
      if (vt & VT_BYREF) {
        const VARTYPE base = vt & ~VT_BYREF;
        bool ok = false;
        if (base == VT_VARIANT) {
          ok = DecodeValue(VT_VARIANT, payload, &store);
          arg.pvarVal = &store;
        } else if (ValueSize(base) > 0) {
          ok = DecodeValue(base, payload, &store.llVal);
          if (ok) store.vt = base;
          arg.byref = &store.llVal;
        }
        if (ok) {
          arg.vt = vt;
          if (GVariant* back = EncodeVariant(arg)) g_variant_unref(g_variant_ref_sink(back));
        }
      } else if (DecodeVariant(wire, &arg)) {
        if (GVariant* back = EncodeVariant(arg)) g_variant_unref(g_variant_ref_sink(back));
        VariantClear(&arg);
      }
      VariantClear(&store);
      g_variant_unref(payload);
    }
    g_variant_unref(wire);
  }
  g_variant_unref(args);
  return 0;
}
