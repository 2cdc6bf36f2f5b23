// The library's entry points: class factories, DllCanUnloadNow, registration of the classes
// this build implements and of the type library, and what happens at load.
#include <tesk/tarvex.h>
#include <tesk/tarvex_export.h>

#include "children.h"
#include "classes.h"
#include "layout_views.h"
#include "module.h"
#include "tiling_objects.h"

namespace tarvex {

tesk::ComModule& TarvexModule() {
  static tesk::ComModule module;
  return module;
}

namespace {

constexpr tesk::ClassEntry kClassObjects[] = {
    {&CLSID_TeskEXPFile, &GetTeskEXPFileFactory},
    {&CLSID_TeskDATFile, &GetTeskDATFileFactory},
    {&CLSID_TeskCELFile, &GetTeskCELFileFactory},
    {&CLSID_TeskCHPFile, &GetTeskCHPFileFactory},
    {&CLSID_TeskProbe, &GetTeskProbeFactory},
    {&CLSID_TeskCDFFile, &GetTeskCDFFileFactory},
    {&CLSID_TeskProbeSet, &GetTeskProbeSetFactory},
    {&CLSID_TeskProbePair, &GetTeskProbePairFactory},
    {&CLSID_TeskGenotypeProbeList, &GetTeskGenotypeProbeListFactory},
    {&CLSID_TeskGenotypeProbeGroup, &GetTeskGenotypeProbeGroupFactory},
    {&CLSID_TeskGenotypeProbeSet, &GetTeskGenotypeProbeSetFactory},
    {&CLSID_TeskCustomSeqProbeSet, &GetTeskCustomSeqProbeSetFactory},
    {&CLSID_TeskControlProbeSet, &GetTeskControlProbeSetFactory},
    {&CLSID_TeskCustomSeqComposite, &GetTeskCustomSeqCompositeFactory},
    {&CLSID_TeskCustomSeqProbeList, &GetTeskCustomSeqProbeListFactory},
    {&CLSID_TeskCustomSeqProbeGroup, &GetTeskCustomSeqProbeGroupFactory},
    {&CLSID_TeskSequenceItem, &GetTeskSequenceItemFactory},
    {&CLSID_TeskSequenceHitItem, &GetTeskSequenceHitItemFactory},
    {&CLSID_TeskBPMAPFile, &GetTeskBPMAPFileFactory},
    {&CLSID_TeskBARFile, &GetTeskBARFileFactory},
    {&CLSID_TeskSequenceResultItem, &GetTeskSequenceResultItemFactory},
};

constexpr const tesk::DispTable* kInterfaces[] = {
    &kTeskEXPFileTable,
    &kTeskDATFileTable,
    &kTeskCELFileTable,
    &kTeskCHPFileTable,
    &kTeskProbeTable,
    &kTeskCDFFileTable,
    &kTeskProbeSetTable,
    &kTeskProbePairTable,
    &kTeskGenotypeProbeListTable,
    &kTeskGenotypeProbeGroupTable,
    &kTeskGenotypeProbeSetTable,
    &kTeskCustomSeqProbeSetTable,
    &kTeskControlProbeSetTable,
    &kTeskCustomSeqCompositeTable,
    &kTeskCustomSeqProbeListTable,
    &kTeskCustomSeqProbeGroupTable,
    &kTeskSequenceItemTable,
    &kTeskSequenceHitItemTable,
    &kTeskBPMAPFileTable,
    &kTeskBARFileTable,
    &kTeskSequenceResultItemTable,
};

constexpr tesk::TypeLibInfo kTypeLib{LIBID_TARVEXLib, TARVEX_TYPELIB_NAME, TARVEX_TYPELIB_HELPSTRING,
                                     TARVEX_TYPELIB_MAJOR, TARVEX_TYPELIB_MINOR, TARVEX_TYPELIB_LCID, kInterfaces};

constexpr tesk::ClassRegistration kClasses[] = {
    {&CLSID_TeskEXPFile, "TeskEXPFile Class", TESKEXPFILE_PROGID, TESKEXPFILE_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskDATFile, "TeskDATFile Class", TESKDATFILE_PROGID, TESKDATFILE_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskCELFile, "TeskCELFile Class", TESKCELFILE_PROGID, TESKCELFILE_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskCHPFile, "TeskCHPFile Class", TESKCHPFILE_PROGID, TESKCHPFILE_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskProbe, "TeskProbe Class", TESKPROBE_PROGID, TESKPROBE_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskCDFFile, "TeskCDFFile Class", TESKCDFFILE_PROGID, TESKCDFFILE_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskProbeSet, "TeskProbeSet Class", TESKPROBESET_PROGID, TESKPROBESET_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskProbePair, "TeskProbePair Class", TESKPROBEPAIR_PROGID, TESKPROBEPAIR_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskGenotypeProbeList, "TeskGenotypeProbeList Class", TESKGENOTYPEPROBELIST_PROGID, TESKGENOTYPEPROBELIST_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskGenotypeProbeGroup, "TeskGenotypeProbeGroup Class", TESKGENOTYPEPROBEGROUP_PROGID, TESKGENOTYPEPROBEGROUP_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskGenotypeProbeSet, "TeskGenotypeProbeSet Class", TESKGENOTYPEPROBESET_PROGID, TESKGENOTYPEPROBESET_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskCustomSeqProbeSet, "TeskCustomSeqProbeSet Class", TESKCUSTOMSEQPROBESET_PROGID, TESKCUSTOMSEQPROBESET_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskControlProbeSet, "TeskControlProbeSet Class", TESKCONTROLPROBESET_PROGID, TESKCONTROLPROBESET_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskCustomSeqComposite, "TeskCustomSeqComposite Class", TESKCUSTOMSEQCOMPOSITE_PROGID, TESKCUSTOMSEQCOMPOSITE_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskCustomSeqProbeList, "TeskCustomSeqProbeList Class", TESKCUSTOMSEQPROBELIST_PROGID, TESKCUSTOMSEQPROBELIST_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskCustomSeqProbeGroup, "TeskCustomSeqProbeGroup Class", TESKCUSTOMSEQPROBEGROUP_PROGID, TESKCUSTOMSEQPROBEGROUP_VERSION_INDEPENDENT_PROGID, "Both",
     &LIBID_TARVEXLib},
    {&CLSID_TeskSequenceItem, "TeskSequenceItem Class", TESKSEQUENCEITEM_PROGID,
     TESKSEQUENCEITEM_VERSION_INDEPENDENT_PROGID, "Apartment", &LIBID_TARVEXLib},
    {&CLSID_TeskSequenceHitItem, "TeskSequenceHitItem Class", TESKSEQUENCEHITITEM_PROGID,
     TESKSEQUENCEHITITEM_VERSION_INDEPENDENT_PROGID, "Apartment", &LIBID_TARVEXLib},
    {&CLSID_TeskBPMAPFile, "TeskBPMAPFile Class", TESKBPMAPFILE_PROGID, TESKBPMAPFILE_VERSION_INDEPENDENT_PROGID,
     "Apartment", &LIBID_TARVEXLib},
    {&CLSID_TeskBARFile, "TeskBARFile Class", TESKBARFILE_PROGID, TESKBARFILE_VERSION_INDEPENDENT_PROGID,
     "Apartment", &LIBID_TARVEXLib},
    {&CLSID_TeskSequenceResultItem, "TeskSequenceResultItem Class", TESKSEQUENCERESULTITEM_PROGID,
     TESKSEQUENCERESULTITEM_VERSION_INDEPENDENT_PROGID, "Apartment", &LIBID_TARVEXLib},
};

// At load, as an automation server library does: join an apartment and set the process's
// security (default authentication, servers may impersonate the client). A second security
// call in the process is refused and ignored.
__attribute__((constructor)) void AttachToProcess() {
  CoInitialize(nullptr);
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                       EOAC_NONE, nullptr);
}

}  // namespace

HRESULT GetLibraryClassObject(REFCLSID clsid, REFIID riid, void** ppv) noexcept {
  return tesk::GetClassObjectFromTable(kClassObjects, clsid, riid, ppv);
}

}  // namespace tarvex

extern "C" TESK_TARVEX_API HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  return tarvex::GetLibraryClassObject(rclsid, riid, ppv);
}

extern "C" TESK_TARVEX_API HRESULT DllCanUnloadNow() { return tarvex::TarvexModule().CanUnloadNow(); }

extern "C" TESK_TARVEX_API HRESULT DllRegisterServer() {
  try {
    return tesk::RegisterServer(tarvex::kClasses, &tarvex::kTypeLib);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

extern "C" TESK_TARVEX_API HRESULT DllUnregisterServer() {
  try {
    return tesk::UnregisterServer(tarvex::kClasses, &tarvex::kTypeLib);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
