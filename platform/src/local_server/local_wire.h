// What crosses the session bus between a local server and its clients: the names of the bus
// interface, and VARIANT values as GVariants.
//
// A value is "(qv)": its VARTYPE and a payload. Strings travel as arrays of UTF-16 units
// ("aq"), so that any BSTR (embedded zeros, lone surrogates) arrives unchanged. An array is
// "(a(ui)av)": per dimension (left-most first) its count and lower bound, then the elements in
// memory order. A by-reference value carries the value it points to.
#ifndef TESK_PLATFORM_SRC_LOCAL_SERVER_LOCAL_WIRE_H_
#define TESK_PLATFORM_SRC_LOCAL_SERVER_LOCAL_WIRE_H_

#include <gio/gio.h>

#include <string>

#include <tesk/platform/com.h>

namespace tesk::local {

inline constexpr const char* kObjectPath = "/org/tesk/LocalServer";
inline constexpr const char* kInterface = "org.tesk.LocalServer1";

// The bus interface that every local server exports at kObjectPath.
const char* IntrospectionXml();

// Encodes the value of type vt found at p (for VT_VARIANT, p is a VARIANT*; for VT_ARRAY|x,
// a SAFEARRAY**). nullptr when the value cannot cross (an interface pointer, an unknown type).
GVariant* EncodeValue(VARTYPE vt, const void* p);
// Decodes into zeroed memory at p of type vt; the memory then owns what it holds. False for a
// payload of the wrong shape, an unknown type or a malformed array (nothing is left owned).
bool DecodeValue(VARTYPE vt, GVariant* payload, void* p);

// A whole VARIANT as "(qv)". By-reference variants encode the value they point to and keep
// VT_BYREF in the type. nullptr when it cannot cross.
GVariant* EncodeVariant(const VARIANT& v);
// The type of an encoded variant and its payload (a new reference), false when it is not "(qv)".
bool SplitVariant(GVariant* wire, VARTYPE* vt, GVariant** payload);
// Decodes "(qv)" into *out (VT_BYREF is refused here). False on any malformed input.
bool DecodeVariant(GVariant* wire, VARIANT* out);

// The size of one value of vt in memory (VT_ARRAY: a pointer); 0 for a type that cannot cross.
size_t ValueSize(VARTYPE vt);

// UTF-16 <-> "aq".
GVariant* EncodeText(const OLECHAR* s, size_t n);
std::u16string DecodeText(GVariant* aq);

}  // namespace tesk::local

#endif  // TESK_PLATFORM_SRC_LOCAL_SERVER_LOCAL_WIRE_H_
