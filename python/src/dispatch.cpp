// Late-bound automation: objects created by ProgID and driven through IDispatch only, as a
// scripting client drives them. The member semantics (attributes, methods, out values) are
// in tesk/automation.py; this file creates objects, looks up names and makes the calls.
#include <pybind11/eval.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <tesk/platform.h>

#include "module.h"
#include "variant.h"

namespace py = pybind11;

namespace tesk::python {
namespace {

PyObject* g_automation_error = nullptr;  // _tesk.AutomationError

// One reference to an automation object.
class DispatchObject {
 public:
  explicit DispatchObject(IDispatch* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  ~DispatchObject() {
    if (p_) p_->Release();
  }
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  IDispatch* get() const { return p_; }

 private:
  IDispatch* p_;
};

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

[[noreturn]] void Raise(HRESULT hr, const std::string& what, const std::string& description = {},
                        const std::string& source = {}) {
  std::string message = description.empty() ? what + " (" + Hex(hr) + ")" : description;
  py::object error = py::reinterpret_borrow<py::object>(g_automation_error)(
      message, static_cast<long>(hr), description.empty() ? py::object(py::none()) : py::str(description),
      source.empty() ? py::object(py::none()) : py::str(source));
  PyErr_SetObject(g_automation_error, error.ptr());
  throw py::error_already_set();
}

void InitializeThread() {
  // Once per thread; a thread in another model keeps it (calls still work there).
  thread_local bool done = false;
  if (!done) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    done = true;
  }
}

std::shared_ptr<DispatchObject> Create(const std::string& name) {
  InitializeThread();
  const std::u16string wide = tesk::ToWide(name);
  CLSID clsid{};
  HRESULT hr = !name.empty() && name.front() == '{' ? CLSIDFromString(wide.c_str(), &clsid)
                                                    : CLSIDFromProgID(wide.c_str(), &clsid);
  if (FAILED(hr)) Raise(hr, "no class registered as \"" + name + "\"");
  IDispatch* p = nullptr;
  {
    py::gil_scoped_release unlocked;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&p));
  }
  if (FAILED(hr) || p == nullptr) Raise(hr, "cannot create \"" + name + "\"");
  auto object = std::make_shared<DispatchObject>(p);
  p->Release();
  return object;
}

// The dispatch identifier of name; None when the object has no such member.
py::object IdOfName(const DispatchObject& self, const std::string& name) {
  std::u16string wide = tesk::ToWide(name);
  LPOLESTR names[1] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = self.get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND) return py::none();
  if (FAILED(hr)) Raise(hr, "cannot look up \"" + name + "\"");
  return py::int_(id);
}

// Variants that free what they hold however the call ends.
struct Variants {
  std::vector<VARIANT> v;
  explicit Variants(std::size_t n) : v(n) {
    for (VARIANT& x : v) VariantInit(&x);
  }
  ~Variants() {
    for (VARIANT& x : v) VariantClear(&x);
  }
};

// Invokes member id with the given flags. `args` are the caller's values; `outs` more
// arguments are appended as empty variants passed by reference, to receive [out] values. A put
// passes its last argument as the property value. Answers the HRESULT of a count mismatch
// (DISP_E_BADPARAMCOUNT, DISP_E_PARAMNOTOPTIONAL, also for an [out] slot that met an [in]
// parameter) and DISP_E_MEMBERNOTFOUND as a plain int so the caller may retry another way; any
// other failure raises. On success: [result, out...].
py::object Invoke(const DispatchObject& self, DISPID id, int flags, const py::tuple& args,
                  int outs) {
  const std::size_t n_in = args.size();
  const std::size_t n = n_in + static_cast<std::size_t>(outs);
  Variants values(n_in);   // the caller's values
  Variants received(static_cast<std::size_t>(outs));  // where [out] values land
  // An [out] slot holds the "missing argument" marker, which converts to no [in] type: a slot
  // that lands on an [in] parameter fails the call instead of passing a silent zero.
  for (VARIANT& r : received.v) {
    r.vt = VT_ERROR;
    r.scode = DISP_E_PARAMNOTFOUND;
  }
  std::vector<VARIANT> rg(n);
  // Arguments travel last first.
  for (std::size_t i = 0; i < n_in; ++i) {
    ToVariant(args[i], &values.v[i]);
    rg[n - 1 - i] = values.v[i];
  }
  for (int k = 0; k < outs; ++k) {
    VARIANT& slot = rg[static_cast<std::size_t>(outs) - 1 - static_cast<std::size_t>(k)];
    VariantInit(&slot);
    slot.vt = VT_VARIANT | VT_BYREF;
    slot.pvarVal = &received.v[static_cast<std::size_t>(k)];
  }
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS dp{rg.empty() ? nullptr : rg.data(), nullptr, static_cast<UINT>(n), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    dp.rgdispidNamedArgs = &put;
    dp.cNamedArgs = 1;
  }
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO excep{};
  UINT bad = 0;
  HRESULT hr;
  {
    py::gil_scoped_release unlocked;
    hr = self.get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(flags), &dp,
                            &result, &excep, &bad);
  }
  if (hr == DISP_E_EXCEPTION) {
    const std::string description = tesk::FromBstr(excep.bstrDescription);
    const std::string source = tesk::FromBstr(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrHelpFile);
    VariantClear(&result);
    Raise(excep.scode != 0 ? excep.scode : hr, "the call failed", description, source);
  }
  if (hr == DISP_E_BADPARAMCOUNT || hr == DISP_E_PARAMNOTOPTIONAL || hr == DISP_E_MEMBERNOTFOUND)
    return py::int_(static_cast<long>(hr));
  if (hr == DISP_E_TYPEMISMATCH && bad < static_cast<UINT>(outs))
    return py::int_(static_cast<long>(DISP_E_PARAMNOTOPTIONAL));
  if (FAILED(hr)) {
    VariantClear(&result);
    std::string what = "the call failed";
    if (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_OVERFLOW)
      what = "argument " + std::to_string(n - bad) + " has the wrong type";
    Raise(hr, what);
  }
  py::list out;
  try {
    out.append(FromVariant(result));
  } catch (...) {
    VariantClear(&result);
    throw;
  }
  VariantClear(&result);
  for (VARIANT& r : received.v) out.append(FromVariant(r));
  return out;
}

}  // namespace

py::object WrapDispatch(IDispatch* p) {
  if (p == nullptr) return py::none();
  return py::module_::import("tesk.automation").attr("_wrap")(std::make_shared<DispatchObject>(p));
}

IDispatch* UnwrapDispatch(py::handle obj) {
  py::object handle = py::getattr(obj, "_tesk_dispatch", py::none());
  if (handle.is_none()) return nullptr;
  if (!py::isinstance<DispatchObject>(handle)) return nullptr;
  return handle.cast<const DispatchObject&>().get();
}

void BindDispatch(py::module_& m) {
  py::dict scope;
  py::exec(R"py(
class AutomationError(Exception):
    """A failed automation call: the object's error description and source, and the HRESULT."""
    def __init__(self, message, hresult, description=None, source=None):
        super().__init__(message)
        self.hresult = hresult & 0xFFFFFFFF
        self.description = description
        self.source = source
    def __str__(self):
        text = self.args[0]
        if self.source:
            text = f"{text} (source: {self.source})"
        return text
AutomationError.__module__ = "tesk.automation"
)py", scope);
  py::object error = scope["AutomationError"];
  g_automation_error = error.release().ptr();
  m.add_object("AutomationError", py::handle(g_automation_error));

  py::class_<DispatchObject, std::shared_ptr<DispatchObject>>(m, "_DispatchObject")
      .def("id_of", &IdOfName)
      .def("invoke", &Invoke, py::arg("id"), py::arg("flags"), py::arg("args"), py::arg("outs"))
      .def("key", [](const DispatchObject& a) { return reinterpret_cast<std::uintptr_t>(a.get()); });
  m.def("_create", &Create, py::arg("name"));
  // A value through a VARIANT and back: what a call does to its arguments and results.
  m.def("_through_variant", [](py::handle value) {
    Variants v(1);
    ToVariant(value, &v.v[0]);
    return FromVariant(v.v[0]);
  });
  m.attr("DISPATCH_METHOD") = DISPATCH_METHOD;
  m.attr("DISPATCH_PROPERTYGET") = DISPATCH_PROPERTYGET;
  m.attr("DISPATCH_PROPERTYPUT") = DISPATCH_PROPERTYPUT;
  m.attr("DISP_E_BADPARAMCOUNT") = static_cast<long>(DISP_E_BADPARAMCOUNT);
  m.attr("DISP_E_PARAMNOTOPTIONAL") = static_cast<long>(DISP_E_PARAMNOTOPTIONAL);
  m.attr("DISP_E_MEMBERNOTFOUND") = static_cast<long>(DISP_E_MEMBERNOTFOUND);
}

}  // namespace tesk::python
