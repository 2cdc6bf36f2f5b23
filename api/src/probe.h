// TeskProbe: one cell of an intensity file, filled by the file objects (intensity, layout and
// results) and read through its getters. It keeps the reader it shows alive, so a probe used
// after its file object is gone answers values instead of touching freed memory.
#ifndef TESK_API_SRC_PROBE_H_
#define TESK_API_SRC_PROBE_H_

#include <tesk/parvel80.h>
#include <tesk/tarvex.h>

#include <cstdint>
#include <memory>

#include "classes.h"
#include "errors.h"
#include "module.h"

namespace tarvex {

class CTeskProbe final
    : public tesk::ComClass<CTeskProbe, tesk::DispatchImpl<ITeskProbe>, tesk::SupportErrorInfoFor<ITeskProbe>> {
 public:
  static tesk::ComModule& Module() { return TarvexModule(); }
  static const ClassInfo kInfo;

  // The object behind an ITeskProbe of this library; null for any other object.
  static CTeskProbe* FromInterface(ITeskProbe* p) noexcept;

  // Back to the empty values.
  void Reset() noexcept;
  // Shows cell `index` of `cells` at (x, y) as a regular probe; background and bases stay.
  void Fill(const std::shared_ptr<CCELFileData>& cells, int index, int x, int y) noexcept;

  HRESULT get_PosX(LONG* pVal) noexcept override;
  HRESULT get_PosY(LONG* pVal) noexcept override;
  HRESULT get_Intensity(FLOAT* pVal) noexcept override;
  HRESULT get_Pixels(LONG* pVal) noexcept override;
  HRESULT get_StdDev(FLOAT* pVal) noexcept override;
  HRESULT get_Outlier(LONG* pVal) noexcept override;
  HRESULT get_Masked(LONG* pVal) noexcept override;
  HRESULT get_Background(FLOAT* pVal) noexcept override;
  HRESULT get_ProbeType(TARVEX_PROBE_TYPE* pVal) noexcept override;
  HRESULT get_PBase(BSTR* pVal) noexcept override;
  HRESULT get_TBase(BSTR* pVal) noexcept override;

  // The fields, set directly by the file objects that fill probes.
  std::shared_ptr<CCELFileData> cells;  // none for a probe without cell data
  float background = 0.0f;
  std::int32_t index = -1;
  std::int16_t x = 32767;
  std::int16_t y = 32767;
  std::uint8_t probeType = UNKNOWN_PROBE_TYPE;
  char probeBase = 0;
  char targetBase = 0;
};

}  // namespace tarvex

#endif  // TESK_API_SRC_PROBE_H_
