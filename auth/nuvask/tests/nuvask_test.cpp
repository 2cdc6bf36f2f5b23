// The generated tables must agree with the generated interfaces: a late-bound call by name,
// with arguments in reverse order and [out] arguments by reference, must reach the vtable
// member with every argument in its place.
#include <tesk/nuvask.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A one-element BSTR array in a variant.
void PutList(VARIANT* v, const std::vector<std::string>& items) {
  SAFEARRAY* sa = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
  for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
    tesk::Bstr b(items[i]);
    SafeArrayPutElement(sa, &i, b.Get());
  }
  VariantClear(v);
  v->vt = VT_ARRAY | VT_BSTR;
  v->parray = sa;
}

std::vector<std::string> GetList(const VARIANT& v) {
  std::vector<std::string> out;
  if (v.vt != (VT_ARRAY | VT_BSTR)) return out;
  LONG lo = 0, hi = -1;
  SafeArrayGetLBound(v.parray, 1, &lo);
  SafeArrayGetUBound(v.parray, 1, &hi);
  for (LONG i = lo; i <= hi; ++i) {
    tesk::Bstr b;
    SafeArrayGetElement(v.parray, &i, &b);
    out.push_back(b.Narrow());
  }
  return out;
}

class FakeAdmin final : public tesk::ComClass<FakeAdmin, tesk::DispatchImpl<IKestAdmin>> {
 public:
  std::vector<std::string> seen;
  HRESULT ListRoles(VARIANT* servers, VARIANT* databases, VARIANT* roles) override {
    PutList(servers, {"labsrv"});
    PutList(databases, {"LabDB"});
    PutList(roles, {"Analysts"});
    return S_OK;
  }
  HRESULT ListRoleMembers(BSTR role, BSTR server, BSTR database, VARIANT* pairs) override {
    seen = {tesk::FromBstr(role), tesk::FromBstr(server), tesk::FromBstr(database)};
    PutList(pairs, {"LAB\\carol", "GU"});
    return S_OK;
  }
  HRESULT ListRoleFunctions(VARIANT* functions) override {
    PutList(functions, {"Browse", "Update"});
    return S_OK;
  }
  HRESULT GetRoleFunctionFlags(BSTR, BSTR, VARIANT*) override {
    return tesk::ReportError("FakeAdmin", IID_IKestAdmin, "no such role", E_INVALIDARG);
  }
  HRESULT ListDomainGroups(BSTR, VARIANT* groups) override {
    PutList(groups, {});
    return S_OK;
  }
  HRESULT ListGroupMembers(BSTR, BSTR, VARIANT* members) override {
    PutList(members, {"alice"});
    return S_OK;
  }
};

class EventSink final : public tesk::ComClass<EventSink, tesk::DispatchImpl<KestAdminEvents>> {
 public:
  std::string last;
  HRESULT RolesChanged(BSTR server, BSTR database) override {
    last = tesk::FromBstr(server) + "/" + tesk::FromBstr(database);
    return S_OK;
  }
  HRESULT GroupsChanged(BSTR domain) override {
    last = tesk::FromBstr(domain);
    return S_OK;
  }
};

DISPID IdOf(IDispatch* d, const char16_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  return id;
}

TEST(Nuvask, LateBoundCallsReachTheirMembersWithArgumentsInPlace) {
  tesk::ComPtr<FakeAdmin> admin(new FakeAdmin);
  IDispatch* d = admin.Get();
  EXPECT_EQ(IdOf(d, u"listrolemembers"), 2);  // names compare without regard to case
  EXPECT_EQ(IdOf(d, u"ListGroupMembers"), 6);

  // ListRoleMembers(role, server, database, [out] pairs): arguments arrive in reverse order.
  tesk::Variant pairs;
  VARIANT args[4];
  for (VARIANT& a : args) VariantInit(&a);
  args[0].vt = VT_VARIANT | VT_BYREF;
  args[0].pvarVal = &pairs;
  args[1].vt = VT_BSTR;
  args[1].bstrVal = SysAllocString(u"LabDB");
  args[2].vt = VT_BSTR;
  args[2].bstrVal = SysAllocString(u"labsrv");
  args[3].vt = VT_BSTR;
  args[3].bstrVal = SysAllocString(u"Analysts");
  DISPPARAMS dp{args, nullptr, 4, 0};
  EXPECT_EQ(d->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(admin->seen, (std::vector<std::string>{"Analysts", "labsrv", "LabDB"}));
  EXPECT_EQ(GetList(pairs), (std::vector<std::string>{"LAB\\carol", "GU"}));

  // Too few arguments never reach the member.
  DISPPARAMS short_dp{args + 1, nullptr, 3, 0};
  admin->seen.clear();
  EXPECT_EQ(d->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &short_dp, nullptr, nullptr, nullptr), DISP_E_BADPARAMCOUNT);
  EXPECT_TRUE(admin->seen.empty());
  for (VARIANT& a : args) VariantClear(&a);
}

TEST(Nuvask, ThreeOutArraysAndFailuresComeBackThroughInvoke) {
  tesk::ComPtr<FakeAdmin> admin(new FakeAdmin);
  IDispatch* d = admin.Get();
  tesk::Variant s, db, r;
  VARIANT args[3];
  for (VARIANT& a : args) a.vt = VT_VARIANT | VT_BYREF;
  args[2].pvarVal = &s;
  args[1].pvarVal = &db;
  args[0].pvarVal = &r;
  DISPPARAMS dp{args, nullptr, 3, 0};
  ASSERT_EQ(d->Invoke(IdOf(d, u"ListRoles"), IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(GetList(s), std::vector<std::string>{"labsrv"});
  EXPECT_EQ(GetList(db), std::vector<std::string>{"LabDB"});
  EXPECT_EQ(GetList(r), std::vector<std::string>{"Analysts"});

  tesk::Variant flags;
  VARIANT fargs[3];
  for (VARIANT& a : fargs) VariantInit(&a);
  fargs[0].vt = VT_VARIANT | VT_BYREF;
  fargs[0].pvarVal = &flags;
  fargs[1].vt = VT_BSTR;
  fargs[1].bstrVal = SysAllocString(u"Browse");
  fargs[2].vt = VT_BSTR;
  fargs[2].bstrVal = SysAllocString(u"Nobody");
  DISPPARAMS fdp{fargs, nullptr, 3, 0};
  EXCEPINFO ei{};
  EXPECT_EQ(d->Invoke(4, IID_NULL, 0, DISPATCH_METHOD, &fdp, nullptr, &ei, nullptr), DISP_E_EXCEPTION);
  EXPECT_EQ(ei.scode, E_INVALIDARG);
  EXPECT_EQ(tesk::FromBstr(ei.bstrDescription), "no such role");
  SysFreeString(ei.bstrSource);
  SysFreeString(ei.bstrDescription);
  SysFreeString(ei.bstrHelpFile);
  for (VARIANT& a : fargs) VariantClear(&a);
}

TEST(Nuvask, EventSinkIsServedFromItsOwnTable) {
  tesk::ComPtr<EventSink> sink(new EventSink);
  IDispatch* d = sink.Get();
  void* p = nullptr;
  ASSERT_EQ(d->QueryInterface(IID_KestAdminEvents, &p), S_OK);
  static_cast<IUnknown*>(p)->Release();
  VARIANT arg;
  arg.vt = VT_BSTR;
  arg.bstrVal = SysAllocString(u"LAB");
  DISPPARAMS dp{&arg, nullptr, 1, 0};
  EXPECT_EQ(d->Invoke(IdOf(d, u"GroupsChanged"), IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(sink->last, "LAB");
  VariantClear(&arg);
}

TEST(Nuvask, TypeLibraryListsBothInterfacesWithTheirArguments) {
  const tesk::TypeLibInfo& lib = tesk::nuvask::TypeLib();
  ASSERT_EQ(lib.interfaces.size(), 2u);
  EXPECT_EQ(*lib.interfaces[0]->iid, IID_IKestAdmin);
  EXPECT_EQ(*lib.interfaces[1]->iid, IID_KestAdminEvents);
  const tesk::DispTable& t = tesk::nuvask::IKestAdminTable();
  ASSERT_EQ(t.members.size(), 6u);
  const tesk::DispMember& flags = t.members[3];
  EXPECT_STREQ(flags.name, "GetRoleFunctionFlags");
  ASSERT_EQ(flags.params.size(), 3u);
  EXPECT_EQ(flags.params[0].vt, VT_BSTR);
  EXPECT_EQ(flags.params[2].vt, VT_VARIANT | VT_BYREF);
  EXPECT_EQ(flags.params[2].flags, PARAMFLAG_FOUT);
  const std::string listing = tesk::DescribeTypeLib(lib);
  EXPECT_NE(listing.find("ListRoleFunctions"), std::string::npos);
  EXPECT_NE(listing.find("RolesChanged"), std::string::npos);
}

}  // namespace
