// The classes this build implements: their dispatch tables (which also make up the type
// library) and class factories, for the entry points in module.cpp.
#ifndef TESK_API_SRC_CLASSES_H_
#define TESK_API_SRC_CLASSES_H_

#include <tesk/tarvex.h>

namespace tarvex {

extern const tesk::DispTable kTeskEXPFileTable;
extern const tesk::DispTable kTeskDATFileTable;
extern const tesk::DispTable kTeskCELFileTable;
extern const tesk::DispTable kTeskCHPFileTable;
extern const tesk::DispTable kTeskProbeTable;

HRESULT GetTeskEXPFileFactory(REFIID riid, void** ppv);
HRESULT GetTeskDATFileFactory(REFIID riid, void** ppv);
HRESULT GetTeskCELFileFactory(REFIID riid, void** ppv);
HRESULT GetTeskCHPFileFactory(REFIID riid, void** ppv);
HRESULT GetTeskProbeFactory(REFIID riid, void** ppv);

// Parameter lists that C++ types alone cannot describe: [in] index, [out] BSTR, [out] BSTR;
// two [out] string arrays; one [out] string array; [in] line, [out] array of longs.
inline constexpr tesk::DispParamInfo kIndexAndTwoStrings[] = {
    {VT_I4, PARAMFLAG_FIN}, {VT_BSTR | VT_BYREF, PARAMFLAG_FOUT}, {VT_BSTR | VT_BYREF, PARAMFLAG_FOUT}};
inline constexpr tesk::DispParamInfo kTwoStringArrays[] = {
    {VT_ARRAY | VT_BSTR | VT_BYREF, PARAMFLAG_FOUT}, {VT_ARRAY | VT_BSTR | VT_BYREF, PARAMFLAG_FOUT}};
inline constexpr tesk::DispParamInfo kOneStringArray[] = {{VT_ARRAY | VT_BSTR | VT_BYREF, PARAMFLAG_FOUT}};
inline constexpr tesk::DispParamInfo kLineOfLongs[] = {{VT_I4, PARAMFLAG_FIN},
                                                       {VT_ARRAY | VT_I4 | VT_BYREF, PARAMFLAG_FOUT}};

}  // namespace tarvex

template <>
struct tesk::DispatchTableOf<ITeskEXPFile> {
  static const DispTable& Get() { return tarvex::kTeskEXPFileTable; }
};
template <>
struct tesk::DispatchTableOf<ITeskDATFile> {
  static const DispTable& Get() { return tarvex::kTeskDATFileTable; }
};
template <>
struct tesk::DispatchTableOf<ITeskCELFile> {
  static const DispTable& Get() { return tarvex::kTeskCELFileTable; }
};
template <>
struct tesk::DispatchTableOf<ITeskCHPFile> {
  static const DispTable& Get() { return tarvex::kTeskCHPFileTable; }
};
template <>
struct tesk::DispatchTableOf<ITeskProbe> {
  static const DispTable& Get() { return tarvex::kTeskProbeTable; }
};

#endif  // TESK_API_SRC_CLASSES_H_
