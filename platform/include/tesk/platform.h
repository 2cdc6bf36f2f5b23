// The Windows and automation stand-ins that the kit's libraries are written against.
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
