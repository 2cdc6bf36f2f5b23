// Child objects handed out by the file objects.
//
// Fill a given object: the client passes an object of this library's class (created by class
// identifier) and the file object sets its fields; see each item's FromInterface.
//
// Return all: ReturnAll clears the client's variant, makes it a one-dimensional array of
// IDispatch pointers (lower bound 0) and fills it with one new object per item, each made by the
// item class's factory and filled by the caller. The array holds the only reference.
#ifndef TESK_API_SRC_CHILDREN_H_
#define TESK_API_SRC_CHILDREN_H_

#include <tesk/tarvex.h>

#include <new>

#include "errors.h"

namespace tarvex {

// The class factory of one of this library's classes (as DllGetClassObject hands it out).
HRESULT GetLibraryClassObject(REFCLSID clsid, REFIID riid, void** ppv) noexcept;

struct ArrayTexts {
  int cannotCreate;  // 5082..5084
  int cannotPut;     // 5087..5089
};

// T is the item's implementation class; fill(T&, index) fills item `index`.
template <class T, class Fill>
HRESULT ReturnAll(const Member& m, VARIANT* out, const CLSID& clsid, LONG count, ArrayTexts texts, Fill&& fill) {
  if (out == nullptr) return m.Fail(texts.cannotCreate, E_POINTER);
  VariantClear(out);
  if (count < 0) count = 0;
  SAFEARRAY* array = SafeArrayCreateVector(VT_DISPATCH, 0, static_cast<ULONG>(count));
  if (array == nullptr) return m.Fail(texts.cannotCreate);
  out->vt = VT_ARRAY | VT_DISPATCH;
  out->parray = array;
  if (count == 0) return S_OK;

  tesk::ComPtr<IClassFactory> factory;
  HRESULT hr = GetLibraryClassObject(clsid, IID_IClassFactory, factory.PutVoid());
  if (FAILED(hr)) return m.Fail(texts.cannotPut);
  IDispatch** slots = nullptr;
  if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&slots)))) return m.Fail(texts.cannotPut);
  HRESULT result = S_OK;
  for (LONG i = 0; i < count; ++i) {
    IDispatch* item = nullptr;
    if (FAILED(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&item)))) {
      result = m.Fail(texts.cannotPut);
      break;
    }
    // The factory made a T, whose only IDispatch is that of its dual interface.
    fill(*static_cast<T*>(item), i);
    slots[i] = item;  // the creation reference passes to the array
  }
  SafeArrayUnaccessData(array);
  return result;
}

}  // namespace tarvex

#endif  // TESK_API_SRC_CHILDREN_H_
