// The Windows and automation stand-ins that the kit's libraries are written against.
//
// What every call of these headers keeps to, unless its own header says otherwise:
//  - Results are the named codes (S_OK, E_POINTER, ERROR_MORE_DATA, ...; types.h), never bare
//    numbers; calls that answer BOOL or a handle put the reason in GetLastError(), which is
//    per thread.
//  - A call that fails leaves its inputs as they were and its outputs empty (null pointer,
//    VT_EMPTY, zero), so that nothing needs freeing after a failure. No exception leaves the
//    Windows-shaped calls; the tesk:: helpers that return C++ strings may throw
//    std::bad_alloc.
//  - What a call hands out (BSTR, VARIANT contents, SAFEARRAY, interface reference, registry
//    or system handle, CoTaskMem string) is the caller's until freed with its own call
//    (SysFreeString, VariantClear, SafeArrayDestroy, Release, RegCloseKey, CloseHandle,
//    CoTaskMemFree); what a call is given stays the caller's.
//  - Calls may come from any thread. One object (a VARIANT, SAFEARRAY, MappedFile) is used by
//    one thread at a time; registry keys and system handles may be shared between threads.
#ifndef TESK_PLATFORM_INCLUDE_TESK_PLATFORM_H_
#define TESK_PLATFORM_INCLUDE_TESK_PLATFORM_H_

#include "tesk/platform/types.h"
#include "tesk/platform/oleauto.h"
#include "tesk/platform/com.h"
#if __has_include("tesk/platform/dispatch.h")
#include "tesk/platform/dispatch.h"
#endif
#if __has_include("tesk/platform/comhelpers.h")
#include "tesk/platform/comhelpers.h"
#endif
#if __has_include("tesk/platform/registry.h")
#include "tesk/platform/registry.h"
#endif
#if __has_include("tesk/platform/system.h")
#include "tesk/platform/system.h"
#endif
#if __has_include("tesk/platform/activation.h")
#include "tesk/platform/activation.h"
#endif

#endif  // TESK_PLATFORM_INCLUDE_TESK_PLATFORM_H_
