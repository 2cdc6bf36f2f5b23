// The items of the tiling objects: a probe map's sequence and hit, a result file's sequence.
#include <bit>
#include <limits>

#include "classes.h"
#include "text.h"
#include "tiling_objects.h"

namespace tarvex {

const ClassInfo CTeskSequenceItem::kInfo{&CLSID_TeskSequenceItem, &IID_ITeskSequenceItem,
                                         "ITeskSequenceItem", TESKSEQUENCEITEM_PROGID};
const ClassInfo CTeskSequenceHitItem::kInfo{&CLSID_TeskSequenceHitItem, &IID_ITeskSequenceHitItem,
                                            "ITeskSequenceHitItem", TESKSEQUENCEHITITEM_PROGID};
const ClassInfo CTeskSequenceResultItem::kInfo{&CLSID_TeskSequenceResultItem,
                                               &IID_ITeskSequenceResultItem,
                                               "ITeskSequenceResultItem",
                                               TESKSEQUENCERESULTITEM_PROGID};

HRESULT ArrowMember::Fail(std::string_view detail, HRESULT hr) const {
  std::string text = "Failure in ";
  text += info_.interfaceName;
  text += "->";
  text += member_;
  text += ": ";
  text += detail;
  return tesk::ReportError(ErrorSource(info_), *info_.iid, text, hr);
}

std::string WithSeparator(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

namespace {

template <class T>
HRESULT Give(T* out, T value) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = value;
  return S_OK;
}

// Counts and coordinates are 32-bit unsigned in the files; the interface shows them as long.
LONG AsLong(std::uint64_t v) { return static_cast<LONG>(static_cast<std::uint32_t>(v)); }

bool InRange(LONG index, std::size_t size) {
  return index >= 0 && static_cast<std::size_t>(index) < size;
}

const tesk::tiling::ProbeSequence& NoSequence() {
  static const tesk::tiling::ProbeSequence empty;
  return empty;
}

}  // namespace

// ---- TeskSequenceHitItem -------------------------------------------------------------------

HRESULT CTeskSequenceHitItem::get_PMPosX(LONG* pVal) noexcept { return Give(pVal, AsLong(hit.pm_x)); }
HRESULT CTeskSequenceHitItem::get_PMPosY(LONG* pVal) noexcept { return Give(pVal, AsLong(hit.pm_y)); }
HRESULT CTeskSequenceHitItem::get_MMPosX(LONG* pVal) noexcept { return Give(pVal, AsLong(hit.mm_x)); }
HRESULT CTeskSequenceHitItem::get_MMPosY(LONG* pVal) noexcept { return Give(pVal, AsLong(hit.mm_y)); }
HRESULT CTeskSequenceHitItem::get_ProbeLength(char* pVal) noexcept {
  return Give(pVal, static_cast<char>(hit.probe_length));
}
HRESULT CTeskSequenceHitItem::get_PMProbe(BSTR* pVal) noexcept {
  try {
    return HandOut(hit.Probe(), pVal);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
HRESULT CTeskSequenceHitItem::get_MatchScore(FLOAT* pVal) noexcept { return Give(pVal, hit.match_score); }
HRESULT CTeskSequenceHitItem::get_Position(LONG* pVal) noexcept { return Give(pVal, AsLong(hit.position)); }
HRESULT CTeskSequenceHitItem::get_TopStrand(LONG* pVal) noexcept {
  return Give<LONG>(pVal, hit.top_strand != 0 ? 1 : 0);
}

// ---- TeskSequenceItem ----------------------------------------------------------------------

HRESULT CTeskSequenceItem::get_Name(BSTR* pVal) noexcept {
  return HandOut(sequence ? sequence->name : "", pVal);
}
HRESULT CTeskSequenceItem::get_Number(LONG* pVal) noexcept {
  return Give(pVal, sequence ? AsLong(sequence->number) : 0);
}
HRESULT CTeskSequenceItem::get_NumberHits(LONG* pVal) noexcept {
  return Give(pVal, sequence ? AsLong(sequence->hits.size()) : 0);
}
HRESULT CTeskSequenceItem::get_GroupName(BSTR* pVal) noexcept {
  return HandOut(sequence ? sequence->group_name : "", pVal);
}
HRESULT CTeskSequenceItem::get_Version(BSTR* pVal) noexcept {
  return HandOut(sequence ? sequence->version : "", pVal);
}
HRESULT CTeskSequenceItem::get_NumberParameters(LONG* pVal) noexcept {
  return Give(pVal, sequence ? AsLong(sequence->parameters.size()) : 0);
}

HRESULT CTeskSequenceItem::GetHitItem(LONG index, ITeskSequenceHitItem* hit) noexcept {
  const ArrowMember m(kInfo, "GetHitItem");
  if (hit == nullptr) return m.Fail(kObjectNull, E_POINTER);
  CTeskSequenceHitItem* item = CTeskSequenceHitItem::FromInterface(hit);
  if (item == nullptr) return m.Fail(kForeignObject, E_INVALIDARG);
  const auto& s = sequence ? *sequence : NoSequence();
  if (!InRange(index, s.hits.size())) return m.Fail(kOutOfRange);
  item->hit = s.hits[static_cast<std::size_t>(index)];
  return S_OK;
}

HRESULT CTeskSequenceItem::GetParameter(LONG index, BSTR* tag, BSTR* value) noexcept {
  const ArrowMember m(kInfo, "GetParameter");
  if (tag == nullptr || value == nullptr) return E_POINTER;
  *tag = *value = nullptr;
  const auto& s = sequence ? *sequence : NoSequence();
  if (!InRange(index, s.parameters.size())) return m.Fail(kOutOfRange);
  const auto& [t, v] = s.parameters[static_cast<std::size_t>(index)];
  if (HRESULT hr = HandOut(t, tag); FAILED(hr)) return hr;
  if (HRESULT hr = HandOut(v, value); FAILED(hr)) {
    SysFreeString(*tag);
    *tag = nullptr;
    return hr;
  }
  return S_OK;
}

// ---- TeskSequenceResultItem ----------------------------------------------------------------

HRESULT CTeskSequenceResultItem::get_Name(BSTR* pVal) noexcept {
  return HandOut(sequence != nullptr ? sequence->name : "", pVal);
}
HRESULT CTeskSequenceResultItem::get_Version(BSTR* pVal) noexcept {
  return HandOut(sequence != nullptr ? sequence->version : "", pVal);
}
HRESULT CTeskSequenceResultItem::get_NumberDataPoints(LONG* pVal) noexcept {
  return Give(pVal, sequence != nullptr ? AsLong(sequence->data_points) : 0);
}
HRESULT CTeskSequenceResultItem::get_NumberColumns(LONG* pVal) noexcept {
  return Give(pVal, file ? AsLong(file->column_types.size()) : 0);
}

HRESULT CTeskSequenceResultItem::GetColumnType(LONG index, TARVEX_BAR_DATA_TYPE* pVal) noexcept {
  const ArrowMember m(kInfo, "GetColumnType");
  if (pVal == nullptr) return E_POINTER;
  if (!file || sequence == nullptr) return m.Fail(kNotRead);
  if (!InRange(index, file->column_types.size())) return m.Fail(kOutOfRange);
  *pVal = static_cast<TARVEX_BAR_DATA_TYPE>(file->column_types[static_cast<std::size_t>(index)]);
  return S_OK;
}

HRESULT CTeskSequenceResultItem::Value(const ArrowMember& m, LONG dataIndex, LONG columnIndex,
                                       bool integer, std::uint32_t* bits) const {
  if (!file || sequence == nullptr) return m.Fail(kNotRead);
  const std::size_t columns = file->column_types.size();
  if (!InRange(dataIndex, sequence->data_points) || !InRange(columnIndex, columns)) {
    return m.Fail(kOutOfRange);
  }
  if (tesk::tiling::IsIntegerColumn(file->column_types[static_cast<std::size_t>(columnIndex)]) !=
      integer) {
    return m.Fail(integer ? "The column holds floating-point values; use GetFloatDataPoint."
                          : "The column holds integers; use GetIntegerDataPoint.");
  }
  *bits = sequence->values[static_cast<std::size_t>(dataIndex) * columns +
                           static_cast<std::size_t>(columnIndex)];
  return S_OK;
}

HRESULT CTeskSequenceResultItem::GetIntegerDataPoint(LONG dataIndex, LONG columnIndex,
                                                     LONG* pVal) noexcept {
  const ArrowMember m(kInfo, "GetIntegerDataPoint");
  if (pVal == nullptr) return E_POINTER;
  *pVal = 0;
  std::uint32_t bits = 0;
  if (HRESULT hr = Value(m, dataIndex, columnIndex, true, &bits); FAILED(hr)) return hr;
  *pVal = static_cast<LONG>(bits);
  return S_OK;
}

HRESULT CTeskSequenceResultItem::GetFloatDataPoint(LONG dataIndex, LONG columnIndex,
                                                   FLOAT* pVal) noexcept {
  const ArrowMember m(kInfo, "GetFloatDataPoint");
  if (pVal == nullptr) return E_POINTER;
  *pVal = 0;
  std::uint32_t bits = 0;
  if (HRESULT hr = Value(m, dataIndex, columnIndex, false, &bits); FAILED(hr)) return hr;
  *pVal = std::bit_cast<float>(bits);
  return S_OK;
}

// ---- Dispatch tables and factories ---------------------------------------------------------

constexpr tesk::DispMember kSequenceItemMembers[] = {
    tesk::DispPropGet<&ITeskSequenceItem::get_Name>("Name", 1),
    tesk::DispPropGet<&ITeskSequenceItem::get_Number>("Number", 2),
    tesk::DispPropGet<&ITeskSequenceItem::get_NumberHits>("NumberHits", 3),
    tesk::DispMethod<&ITeskSequenceItem::GetHitItem>("GetHitItem", 4),
    tesk::DispPropGet<&ITeskSequenceItem::get_GroupName>("GroupName", 5),
    tesk::DispPropGet<&ITeskSequenceItem::get_Version>("Version", 6),
    tesk::DispCustom<&ITeskSequenceItem::GetParameter>("GetParameter", 7, DISPATCH_METHOD,
                                                       kIndexAndTwoStrings),
    tesk::DispPropGet<&ITeskSequenceItem::get_NumberParameters>("NumberParameters", 8),
};
const tesk::DispTable kTeskSequenceItemTable{"ITeskSequenceItem", &IID_ITeskSequenceItem,
                                             kSequenceItemMembers};

constexpr tesk::DispMember kSequenceHitItemMembers[] = {
    tesk::DispPropGet<&ITeskSequenceHitItem::get_PMPosX>("PMPosX", 1),
    tesk::DispPropGet<&ITeskSequenceHitItem::get_PMPosY>("PMPosY", 2),
    tesk::DispPropGet<&ITeskSequenceHitItem::get_MMPosX>("MMPosX", 3),
    tesk::DispPropGet<&ITeskSequenceHitItem::get_MMPosY>("MMPosY", 4),
    tesk::DispPropGet<&ITeskSequenceHitItem::get_ProbeLength>("ProbeLength", 5),
    tesk::DispPropGet<&ITeskSequenceHitItem::get_PMProbe>("PMProbe", 6),
    tesk::DispPropGet<&ITeskSequenceHitItem::get_MatchScore>("MatchScore", 7),
    tesk::DispPropGet<&ITeskSequenceHitItem::get_Position>("Position", 8),
    tesk::DispPropGet<&ITeskSequenceHitItem::get_TopStrand>("TopStrand", 9),
};
const tesk::DispTable kTeskSequenceHitItemTable{"ITeskSequenceHitItem", &IID_ITeskSequenceHitItem,
                                                kSequenceHitItemMembers};

constexpr tesk::DispMember kSequenceResultItemMembers[] = {
    tesk::DispPropGet<&ITeskSequenceResultItem::get_Name>("Name", 1),
    tesk::DispPropGet<&ITeskSequenceResultItem::get_Version>("Version", 2),
    tesk::DispPropGet<&ITeskSequenceResultItem::get_NumberDataPoints>("NumberDataPoints", 3),
    tesk::DispMethod<&ITeskSequenceResultItem::GetColumnType, tesk::kRetval>("GetColumnType", 4),
    tesk::DispPropGet<&ITeskSequenceResultItem::get_NumberColumns>("NumberColumns", 5),
    tesk::DispMethod<&ITeskSequenceResultItem::GetIntegerDataPoint, tesk::kRetval>(
        "GetIntegerDataPoint", 6),
    tesk::DispMethod<&ITeskSequenceResultItem::GetFloatDataPoint, tesk::kRetval>(
        "GetFloatDataPoint", 7),
};
const tesk::DispTable kTeskSequenceResultItemTable{
    "ITeskSequenceResultItem", &IID_ITeskSequenceResultItem, kSequenceResultItemMembers};

HRESULT GetTeskSequenceItemFactory(REFIID riid, void** ppv) {
  return tesk::ClassFactory<CTeskSequenceItem>::Get(riid, ppv);
}
HRESULT GetTeskSequenceHitItemFactory(REFIID riid, void** ppv) {
  return tesk::ClassFactory<CTeskSequenceHitItem>::Get(riid, ppv);
}
HRESULT GetTeskSequenceResultItemFactory(REFIID riid, void** ppv) {
  return tesk::ClassFactory<CTeskSequenceResultItem>::Get(riid, ppv);
}

}  // namespace tarvex
