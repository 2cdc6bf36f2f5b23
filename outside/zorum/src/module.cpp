// The library's entry points: class objects, unloading, and registration of every class and
// of the type library (the server's interfaces and Nuvask's IKestAdmin).
#include "objects.h"

namespace tesk::zorum {
namespace {

// An object of this library, for finding its own path at registration.
const char kModuleAnchor = 0;

constexpr ClassEntry kClassObjects[] = {
    {&CLSID_Connection, &GetConnectionFactory},       {&CLSID_FileRecord, &GetFileRecordFactory},
    {&CLSID_FileInUseMarker, &GetMarkerFactory},      {&CLSID_KestAdmin, &GetAdminFactory},
    {&CLSID_Experiment, &GetExperimentFactory},       {&CLSID_SampleRecord, &GetSampleFactory},
    {&CLSID_DataQuery, &GetDataQueryFactory},         {&CLSID_LocalSettings, &GetLocalSettingsFactory},
};

constexpr ClassRegistration kClasses[] = {
    {&CLSID_Connection, "Zorum Connection", "Zorum.Connection.1", "Zorum.Connection", "Both", &LIBID_ZORUMLib},
    {&CLSID_FileRecord, "Zorum FileRecord", "Zorum.FileRecord.1", "Zorum.FileRecord", "Both", &LIBID_ZORUMLib},
    {&CLSID_FileInUseMarker, "Zorum FileInUseMarker", "Zorum.FileInUseMarker.1", "Zorum.FileInUseMarker", "Both",
     &LIBID_ZORUMLib},
    {&CLSID_KestAdmin, "Zorum KestAdmin", "Zorum.KestAdmin.1", "Zorum.KestAdmin", "Both", &LIBID_ZORUMLib},
    {&CLSID_Experiment, "Zorum Experiment", "Zorum.Experiment.1", "Zorum.Experiment", "Both", &LIBID_ZORUMLib},
    {&CLSID_SampleRecord, "Zorum SampleRecord", "Zorum.SampleRecord.1", "Zorum.SampleRecord", "Both", &LIBID_ZORUMLib},
    {&CLSID_DataQuery, "Zorum DataQuery", "Zorum.DataQuery.1", "Zorum.DataQuery", "Both", &LIBID_ZORUMLib},
    {&CLSID_LocalSettings, "Zorum LocalSettings", "Zorum.LocalSettings.1", "Zorum.LocalSettings", "Both",
     &LIBID_ZORUMLib},
};

const TypeLibInfo& TypeLib() {
  static const DispTable* const interfaces[] = {&ConnectionTable(), &FileRecordTable(),   &MarkerTable(),
                                                &tesk::nuvask::IKestAdminTable(), &ExperimentTable(),
                                                &SampleTable(),     &DataQueryTable(),    &LocalSettingsTable()};
  static const TypeLibInfo lib{LIBID_ZORUMLib, "ZORUMLib", "Zorum 1.0 Type Library", 1, 0, 0, interfaces};
  return lib;
}

}  // namespace
}  // namespace tesk::zorum

extern "C" TESK_ZORUM_API HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  return tesk::GetClassObjectFromTable(tesk::zorum::kClassObjects, rclsid, riid, ppv);
}

extern "C" TESK_ZORUM_API HRESULT DllCanUnloadNow() { return tesk::zorum::LibraryModule().CanUnloadNow(); }

extern "C" TESK_ZORUM_API HRESULT DllRegisterServer() {
  try {
    return tesk::RegisterServer(tesk::zorum::kClasses, &tesk::zorum::TypeLib(), &tesk::zorum::kModuleAnchor);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

extern "C" TESK_ZORUM_API HRESULT DllUnregisterServer() {
  try {
    return tesk::UnregisterServer(tesk::zorum::kClasses, &tesk::zorum::TypeLib());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
