#include "errors.h"

#include "string_table.h"

namespace tarvex {

std::string ErrorSource(const ClassInfo& info) {
  LPOLESTR progId = nullptr;
  if (SUCCEEDED(ProgIDFromCLSID(*info.clsid, &progId)) && progId != nullptr) {
    std::string source = tesk::ToNarrow(progId);
    CoTaskMemFree(progId);
    return source;
  }
  return info.progId;
}

Member::Member(const ClassInfo& info, std::string_view member, const char* where) : info_(info) {
  prefix_.reserve(64);
  prefix_ += "Failure in ";
  prefix_ += where != nullptr ? where : info.interfaceName;
  prefix_ += '-';
  prefix_ += member;
  prefix_ += ": ";
}

HRESULT Member::Fail(int id, HRESULT hr) const { return FailWith(LoadText(id), hr); }

HRESULT Member::FailWith(std::string_view detail, HRESULT hr) const {
  std::string text = prefix_;
  text += detail;
  return tesk::ReportError(ErrorSource(info_), *info_.iid, text, hr);
}

}  // namespace tarvex
