#include "probe.h"

#include "text.h"

namespace tarvex {

const ClassInfo CTeskProbe::kInfo{&CLSID_TeskProbe, &IID_ITeskProbe, "ITeskProbe", TESKPROBE_PROGID};

constexpr tesk::DispMember kProbeMembers[] = {
    tesk::DispPropGet<&ITeskProbe::get_PosX>("PosX", 1),
    tesk::DispPropGet<&ITeskProbe::get_PosY>("PosY", 2),
    tesk::DispPropGet<&ITeskProbe::get_Intensity>("Intensity", 3),
    tesk::DispPropGet<&ITeskProbe::get_Pixels>("Pixels", 4),
    tesk::DispPropGet<&ITeskProbe::get_StdDev>("StdDev", 5),
    tesk::DispPropGet<&ITeskProbe::get_Outlier>("Outlier", 6),
    tesk::DispPropGet<&ITeskProbe::get_Masked>("Masked", 7),
    tesk::DispPropGet<&ITeskProbe::get_Background>("Background", 8),
    tesk::DispPropGet<&ITeskProbe::get_ProbeType>("ProbeType", 9),
    tesk::DispPropGet<&ITeskProbe::get_PBase>("PBase", 10),
    tesk::DispPropGet<&ITeskProbe::get_TBase>("TBase", 11),
};
const tesk::DispTable kTeskProbeTable{"ITeskProbe", &IID_ITeskProbe, kProbeMembers};

CTeskProbe* CTeskProbe::FromInterface(ITeskProbe* p) noexcept { return dynamic_cast<CTeskProbe*>(p); }

void CTeskProbe::Reset() noexcept {
  cells.reset();
  background = 0.0f;
  index = -1;
  x = y = 32767;
  probeType = UNKNOWN_PROBE_TYPE;
  probeBase = targetBase = 0;
}

void CTeskProbe::Fill(const std::shared_ptr<CCELFileData>& c, int i, int px, int py) noexcept {
  cells = c;
  index = i;
  x = static_cast<std::int16_t>(px);
  y = static_cast<std::int16_t>(py);
  probeType = REGULAR_PROBE_TYPE;
}

namespace {
template <class T>
HRESULT Give(T* out, T value) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = value;
  return S_OK;
}
HRESULT GiveBase(BSTR* out, char base) noexcept {
  return base == 0 ? HandOut("", out) : HandOut(std::string_view(&base, 1), out);
}
}  // namespace

HRESULT CTeskProbe::get_PosX(LONG* pVal) noexcept { return Give<LONG>(pVal, x); }
HRESULT CTeskProbe::get_PosY(LONG* pVal) noexcept { return Give<LONG>(pVal, y); }
HRESULT CTeskProbe::get_Intensity(FLOAT* pVal) noexcept { return Give<FLOAT>(pVal, cells ? cells->GetIntensity(index) : 0.0f); }
HRESULT CTeskProbe::get_Pixels(LONG* pVal) noexcept { return Give<LONG>(pVal, cells ? cells->GetPixels(index) : 0); }
HRESULT CTeskProbe::get_StdDev(FLOAT* pVal) noexcept { return Give<FLOAT>(pVal, cells ? cells->GetStdv(index) : 0.0f); }
HRESULT CTeskProbe::get_Outlier(LONG* pVal) noexcept { return Give<LONG>(pVal, cells ? cells->IsOutlier(index) : 0); }
HRESULT CTeskProbe::get_Masked(LONG* pVal) noexcept { return Give<LONG>(pVal, cells ? cells->IsMasked(index) : 0); }
HRESULT CTeskProbe::get_Background(FLOAT* pVal) noexcept { return Give<FLOAT>(pVal, background); }
HRESULT CTeskProbe::get_ProbeType(TARVEX_PROBE_TYPE* pVal) noexcept {
  return Give(pVal, static_cast<TARVEX_PROBE_TYPE>(probeType));
}
HRESULT CTeskProbe::get_PBase(BSTR* pVal) noexcept { return GiveBase(pVal, probeBase); }
HRESULT CTeskProbe::get_TBase(BSTR* pVal) noexcept { return GiveBase(pVal, targetBase); }

HRESULT GetTeskProbeFactory(REFIID riid, void** ppv) { return tesk::ClassFactory<CTeskProbe>::Get(riid, ppv); }

}  // namespace tarvex
