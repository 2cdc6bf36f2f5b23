// Vantor: tells a client whether the workstation is set up for database mode,
// which server holds the data, and where experiment data and chip library
// files lie. Create it by class identifier or by ProgID ("Vantor.Vantor"):
//
//   IVantor* v = nullptr;
//   CoCreateInstance(CLSID_Vantor, nullptr, CLSCTX_INPROC_SERVER, IID_IVantor,
//                    reinterpret_cast<void**>(&v));
//
// Contract:
//  - Results: S_OK; E_POINTER for a null out pointer; E_OUTOFMEMORY when a string cannot be
//    made (then *pVal is null).
//  - Missing or unreadable registry values are not failures: IsZorumInstalled answers 0, the
//    directories empty strings, GetZorumServerName a null string.
//  - Each string handed out is a fresh BSTR the caller frees with SysFreeString.
//  - The settings are read once, when the object is made; later registry changes do not show;
//    the object changes no state, so any thread may call it at any time.
#ifndef TESK_MODE_INCLUDE_TESK_VANTOR_H_
#define TESK_MODE_INCLUDE_TESK_VANTOR_H_

#include <tesk/platform.h>

// Coclass Vantor: ProgID "Vantor.Vantor.1", version-independent "Vantor.Vantor".
inline constexpr CLSID CLSID_Vantor{0xF8709A8E, 0x5DD7, 0x44FB, {0xA6, 0x75, 0x4A, 0xF0, 0xE9, 0xE5, 0xD5, 0xFE}};
inline constexpr IID IID_IVantor{0xBC029734, 0x2E71, 0x4B4B, {0xAA, 0xC6, 0x8B, 0xD1, 0x04, 0xB8, 0xF0, 0x2F}};
inline constexpr GUID LIBID_VANTORLib{0xE8565569, 0x064B, 0x49E4, {0x8B, 0xB9, 0x11, 0x68, 0x9D, 0xD6, 0xE1, 0x0E}};

#define VANTOR_PROGID "Vantor.Vantor.1"
#define VANTOR_VERSION_INDEPENDENT_PROGID "Vantor.Vantor"

// Dual interface: every method is also reachable through IDispatch with the
// dispatch identifier in its comment.
struct IVantor : IDispatch {
  // 1: 1 when database mode is configured, else 0.
  virtual HRESULT IsZorumInstalled(LONG* pVal) = 0;
  // 2: the database server's host; a null string when none was stored.
  virtual HRESULT GetZorumServerName(BSTR* pVal) = 0;
  // 3: the directory of experiment data files.
  virtual HRESULT GetDataDirectory(BSTR* pVal) = 0;
  // 4: the directory of chip library (layout and information) files.
  virtual HRESULT GetLibraryDirectory(BSTR* pVal) = 0;
};
TESK_DECLARE_INTERFACE(IVantor, IDispatch, IID_IVantor);

#endif  // TESK_MODE_INCLUDE_TESK_VANTOR_H_
