// Filter settings in the user's registry hive.
#include "filter_settings.h"

#include <cstring>

#include <tesk/platform/registry.h>

namespace selvane {
namespace {

constexpr DWORD kTextBuffer = 260;

struct StringValue {
  const char* name;
  std::string FilterSettings::*field;
};
constexpr StringValue kStrings[] = {
    {"Experiment Name", &FilterSettings::experimentName}, {"Assay Name", &FilterSettings::assayName},
    {"Array Type", &FilterSettings::arrayType},           {"Project", &FilterSettings::project},
    {"Sample Name", &FilterSettings::sampleName},         {"Sample Type", &FilterSettings::sampleType},
    {"User", &FilterSettings::user},                      {"Lower Date", &FilterSettings::lowerDate},
    {"Upper Date", &FilterSettings::upperDate},
};

}  // namespace

FilterSettings ReadFilterSettings() {
  FilterSettings s;
  HKEY k;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, kFilterKey, 0, KEY_READ, &k) != ERROR_SUCCESS) return s;
  for (const StringValue& v : kStrings) {
    char buf[kTextBuffer] = {};
    DWORD cb = kTextBuffer, type = 0;
    LONG st = RegQueryValueEx(k, v.name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &cb);
    if (st == ERROR_MORE_DATA) {
      // A longer value is cut to what the buffer holds.
      std::string whole(cb, '\0');
      DWORD all = cb;
      st = RegQueryValueEx(k, v.name, nullptr, &type, reinterpret_cast<BYTE*>(whole.data()), &all);
      std::memcpy(buf, whole.data(), kTextBuffer - 1);
      buf[kTextBuffer - 1] = '\0';
    }
    if (st == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
      buf[kTextBuffer - 1] = '\0';
      s.*v.field = buf;
    }
  }
  DWORD assay = 0, cb = sizeof assay, type = 0;
  if (RegQueryValueEx(k, "Assay", nullptr, &type, reinterpret_cast<BYTE*>(&assay), &cb) == ERROR_SUCCESS &&
      type == REG_DWORD && cb == sizeof assay) {
    s.assay = assay;
  }
  RegCloseKey(k);
  return s;
}

bool WriteFilterSettings(const FilterSettings& s) {
  HKEY k;
  if (RegCreateKeyEx(HKEY_CURRENT_USER, kFilterKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  bool ok = true;
  for (const StringValue& v : kStrings) {
    const std::string& text = s.*v.field;
    ok = RegSetValueEx(k, v.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS && ok;
  }
  ok = RegSetValueEx(k, "Assay", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&s.assay), sizeof s.assay) ==
           ERROR_SUCCESS && ok;
  RegCloseKey(k);
  return ok;
}

}  // namespace selvane
