#include "tesk/platform.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

IErrorInfo* Make(const char16_t* description) {
  ICreateErrorInfo* c = nullptr;
  EXPECT_EQ(CreateErrorInfo(&c), S_OK);
  c->SetDescription(const_cast<LPOLESTR>(description));
  c->SetSource(const_cast<LPOLESTR>(u"Vantor.Vantor.1"));
  c->SetGUID(IID_IDispatch);
  IErrorInfo* e = nullptr;
  EXPECT_EQ(c->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&e)), S_OK);
  c->Release();
  return e;
}

TEST(ErrorInfo, GetTakesTheObjectAndClearsTheSlot) {
  IErrorInfo* e = Make(u"boom");
  ASSERT_EQ(SetErrorInfo(0, e), S_OK);
  e->Release();
  IErrorInfo* got = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &got), S_OK);
  ASSERT_NE(got, nullptr);
  BSTR d = nullptr, s = nullptr;
  got->GetDescription(&d);
  got->GetSource(&s);
  GUID g{};
  got->GetGUID(&g);
  EXPECT_EQ(std::u16string(d), u"boom");
  EXPECT_EQ(std::u16string(s), u"Vantor.Vantor.1");
  EXPECT_EQ(g, IID_IDispatch);
  SysFreeString(d);
  SysFreeString(s);
  got->Release();
  EXPECT_EQ(GetErrorInfo(0, &got), S_FALSE);
  EXPECT_EQ(got, nullptr);
}

TEST(ErrorInfo, SetReplacesAndNullClears) {
  SetErrorInfo(0, nullptr);
  IErrorInfo* a = Make(u"a");
  IErrorInfo* b = Make(u"b");
  SetErrorInfo(0, a);
  SetErrorInfo(0, b);  // releases a's slot reference
  EXPECT_EQ(a->Release(), 0u);
  SetErrorInfo(0, nullptr);
  EXPECT_EQ(b->Release(), 0u);
  IErrorInfo* got = nullptr;
  EXPECT_EQ(GetErrorInfo(0, &got), S_FALSE);
}

TEST(ErrorInfo, EachThreadHasItsOwn) {
  EXPECT_EQ(tesk::ReportError("Main.Source", IID_IDispatch, "main thread failure"), E_FAIL);
  std::string seenInThread = "unset";
  std::thread t([&] {
    seenInThread = tesk::PeekErrorDescription();
    tesk::ReportError("Other", IID_IDispatch, "other thread", E_POINTER);
  });
  t.join();
  EXPECT_EQ(seenInThread, "");
  EXPECT_EQ(tesk::PeekErrorDescription(), "main thread failure");
  IErrorInfo* got = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &got), S_OK);
  BSTR s = nullptr;
  got->GetSource(&s);
  EXPECT_EQ(tesk::FromBstr(s), "Main.Source");
  SysFreeString(s);
  got->Release();
}

TEST(ErrorInfo, HelpFieldsDefaultEmpty) {
  IErrorInfo* e = Make(u"x");
  BSTR h = reinterpret_cast<BSTR>(1);
  DWORD ctx = 7;
  ASSERT_EQ(e->GetHelpFile(&h), S_OK);
  EXPECT_EQ(SysStringLen(h), 0u);
  SysFreeString(h);
  ASSERT_EQ(e->GetHelpContext(&ctx), S_OK);
  EXPECT_EQ(ctx, 0u);
  ISupportErrorInfo* no = nullptr;
  EXPECT_EQ(e->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&no)), E_NOINTERFACE);
  EXPECT_EQ(no, nullptr);
  e->Release();
}

}  // namespace
