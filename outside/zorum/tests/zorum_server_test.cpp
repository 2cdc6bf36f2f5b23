// Every operation the kit's callers use, on both backends, created as a client creates them:
// CoCreateInstanceEx on a named server.
#include "zorum_test_util.h"

namespace {

using namespace zorum_test;
using tesk::Bstr;
using tesk::ComPtr;
using tesk::Variant;

// Names with quotes, percent signs and non-ASCII letters must survive every round trip.
constexpr const char* kOddFile = "it's 100% \\\"raw\\\" Gr\u00fcn.CEL";
constexpr const char* kOddFileText = "it's 100% \"raw\" Gr\u00fcn.CEL";

const std::string kLab = std::string(R"({
  "server": {"version": "3.5", "database": "LabDB", "serverName": "labsrv",
             "dataPath": "/srv/data/", "libraryPath": "/srv/library/"},
  "groups": {"LAB\\analysts": ["alice", "bob"], "LAB\\empty": []},
  "roles": [
    {"name": "Analysts", "server": "labsrv", "database": "LabDB",
     "members": [["LAB\\carol", "GU"], ["LAB\\analysts", "GG"]],
     "own": "YYNNNNNNNNNNNN", "other": "YNNNNNNNNNNNNN"},
    {"name": "Guests", "server": "othersrv", "database": "OtherDB", "members": [["LAB\\dave", "GU"]]}],
  "files": [
    {"name": "a1.CEL", "owner": "alice", "type": "CEL", "sample": "S1", "sampleType": "Tissue",
     "project": "P1", "experiment": "E1", "assay": "Expression", "chipType": "Demo_Array",
     "user": "alice", "date": "2026-01-31"},
    {"name": "b2.CHP", "owner": "bob", "type": "CHP", "sample": "S2", "sampleType": "Blood",
     "project": "P1", "experiment": "E2", "assay": "Mapping", "chipType": "Demo_Array", "user": "bob"},
    {"name": ")") + kOddFile + R"(", "owner": "o'neil", "type": "CEL", "project": "P2"}],
  "experiments": [{"name": "E1", "sample": "S1", "user": "alice",
    "exp": "Quillomere Varolith Experiment Information\nVersion\t1\n\n[Sample Info]\nChip Type\tDemo_Array\nChip Lot\tL7\nOperator\tcarol\nSample Type\tTissue\nDescription\tliver\nProject\tP1\nComments\tnone\nSolution Type\tT\nSolution Lot\t9\n\n[Fluidics]\nProtocol\tWash\nstep one\nstep two\nStation\t2\nModule\t3\nHybridize Date\t03/07/26 02:05 PM\n\n[Scanner]\nPixel Size\t3\nFilter\t570\nScan Temperature\t25\nScan Date\t2026-03-08 10:00\nScanner ID\tS-1\nNumber of Scans\t1\nScanner Type\tX\n"}]
})";

class ServerTest : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    server_ = Create(GetParam());
    Load(server_, kLab);
  }
  std::string server_;
};

TEST_P(ServerTest, ConnectionAnswersTheServersSettingsWhileOpen) {
  ComPtr<IConnection> c = Connect(server_);
  ASSERT_TRUE(c);
  VARIANT_BOOL open = VARIANT_FALSE;
  EXPECT_EQ(c->get_IsOpen(&open), S_OK);
  EXPECT_EQ(open, VARIANT_TRUE);
  Bstr b;
  EXPECT_EQ(Text(c->get_ServerName(&b), b), "labsrv");
  EXPECT_EQ(Text(c->get_DatabaseName(&b), b), "LabDB");
  EXPECT_EQ(Text(c->get_DataPath(&b), b), "/srv/data/");
  EXPECT_EQ(Text(c->get_LibraryPath(&b), b), "/srv/library/");
  EXPECT_EQ(Text(c->get_ServerVersion(&b), b), "3.5");

  // Late-bound, as scripts and the role library's callers reach it.
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(u"serverversion")};
  ASSERT_EQ(c->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 9);
  Variant result;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  ASSERT_EQ(c->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
  EXPECT_EQ(tesk::FromBstr(result.bstrVal), "3.5");

  EXPECT_EQ(c->Close(), S_OK);
  EXPECT_EQ(c->get_IsOpen(&open), S_OK);
  EXPECT_EQ(open, VARIANT_FALSE);
  EXPECT_EQ(c->get_DatabaseName(&b), E_FAIL);
  EXPECT_NE(tesk::PeekErrorDescription().find("not open"), std::string::npos);
  EXPECT_EQ(c->Open(0), S_OK);  // a closed connection opens again
}

TEST_P(ServerTest, UnmappedServersAreUnreachableForEveryClass) {
  for (const CLSID* clsid : {&CLSID_Connection, &CLSID_FileRecord, &CLSID_FileInUseMarker, &CLSID_KestAdmin,
                             &CLSID_Experiment, &CLSID_DataQuery, &CLSID_LocalSettings}) {
    ComPtr<IUnknown> u;
    EXPECT_EQ(CreateOn("nosuchserver", *clsid, u), RPC_E_SERVER_UNAVAILABLE_HR);
  }
  // A connection put to another, unmapped server fails at Open.
  ComPtr<IConnection> c;
  ASSERT_EQ(CreateOn(server_, CLSID_Connection, c), S_OK);
  Bstr other("nosuchserver");
  EXPECT_EQ(c->put_ServerName(other.Get()), S_OK);
  EXPECT_EQ(c->Open(0), RPC_E_SERVER_UNAVAILABLE_HR);
}

TEST_P(ServerTest, FileRecordKnowsFilesAndOwners) {
  ComPtr<IConnection> c = Connect(server_);
  ComPtr<IFileRecord> r;
  ASSERT_EQ(CreateOn(server_, CLSID_FileRecord, r), S_OK);
  auto owner = [&](const std::string& file, bool expectKnown) {
    Bstr name(file);
    EXPECT_EQ(r->put_FileName(name.Get()), S_OK);
    VARIANT_BOOL known = VARIANT_TRUE;
    EXPECT_EQ(r->Exists(c.Get(), &known), S_OK);
    EXPECT_EQ(known, expectKnown ? VARIANT_TRUE : VARIANT_FALSE) << file;
    EXPECT_EQ(r->Fetch(c.Get()), S_OK);
    Bstr o;
    return Text(r->get_OwnerName(&o), o);
  };
  EXPECT_EQ(owner("a1.CEL", true), "alice");
  Bstr field("Sample"), value;
  EXPECT_EQ(Text(r->get_Field(field.Get(), &value), value), "S1");
  EXPECT_EQ(owner(kOddFileText, true), "o'neil");
  EXPECT_EQ(owner("missing.CEL", false), "");
  EXPECT_EQ(owner("A1.CEL", false), "");  // names are exact
  Bstr bogus("Colour");
  EXPECT_EQ(r->get_Field(bogus.Get(), &value), E_INVALIDARG);
  // Anything but this server's connection is refused, not trusted.
  VARIANT_BOOL known;
  EXPECT_EQ(r->Exists(r.Get(), &known), E_INVALIDARG);
  EXPECT_EQ(r->Exists(nullptr, &known), E_POINTER);
}

TEST_P(ServerTest, AdministrationListsRolesMembersFlagsAndGroups) {
  ComPtr<IKestAdmin> a;
  ASSERT_EQ(CreateOn(server_, CLSID_KestAdmin, a), S_OK);
  Variant servers, databases, roles;
  ASSERT_EQ(a->ListRoles(&servers, &databases, &roles), S_OK) << tesk::PeekErrorDescription();
  EXPECT_EQ(List(servers), (std::vector<std::string>{"labsrv", "othersrv"}));
  EXPECT_EQ(List(databases), (std::vector<std::string>{"LabDB", "OtherDB"}));
  EXPECT_EQ(List(roles), (std::vector<std::string>{"Analysts", "Guests"}));

  Variant pairs;
  Bstr role("Analysts"), srv("labsrv"), db("LabDB");
  ASSERT_EQ(a->ListRoleMembers(role.Get(), srv.Get(), db.Get(), &pairs), S_OK);
  EXPECT_EQ(List(pairs), (std::vector<std::string>{"LAB\\carol", "GU", "LAB\\analysts", "GG"}));

  Variant functions;
  ASSERT_EQ(a->ListRoleFunctions(&functions), S_OK);
  const std::vector<std::string> f = List(functions);
  ASSERT_EQ(f.size(), 14u);
  auto flags = [&](const std::string& r, const std::string& fn) {
    Variant v;
    Bstr rb(r), fb(fn);
    EXPECT_EQ(a->GetRoleFunctionFlags(rb.Get(), fb.Get(), &v), S_OK);
    return List(v);
  };
  EXPECT_EQ(flags("Analysts", f[0]), (std::vector<std::string>{"Y", "Y"}));
  EXPECT_EQ(flags("Analysts", f[1]), (std::vector<std::string>{"Y", "N"}));
  EXPECT_EQ(flags("Analysts", f[13]), (std::vector<std::string>{"N", "N"}));
  EXPECT_EQ(flags("Guests", f[0]), (std::vector<std::string>{"N", "N"}));  // flags default to "N"
  EXPECT_EQ(flags("Nobody", f[0]), (std::vector<std::string>{"", ""}));

  Variant groups, members;
  Bstr domain("LAB"), group("analysts");
  ASSERT_EQ(a->ListDomainGroups(domain.Get(), &groups), S_OK);
  EXPECT_EQ(List(groups), (std::vector<std::string>{"analysts", "empty"}));
  ASSERT_EQ(a->ListGroupMembers(domain.Get(), group.Get(), &members), S_OK);
  EXPECT_EQ(List(members), (std::vector<std::string>{"alice", "bob"}));

  // The same through IDispatch, from Nuvask's table: [out] arguments by reference, reversed.
  Variant s2, d2, r2;
  VARIANT args[3];
  for (VARIANT& v : args) v.vt = VT_VARIANT | VT_BYREF;
  args[2].pvarVal = &s2;
  args[1].pvarVal = &d2;
  args[0].pvarVal = &r2;
  DISPPARAMS dp{args, nullptr, 3, 0};
  ASSERT_EQ(a->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(List(r2), (std::vector<std::string>{"Analysts", "Guests"}));
}

TEST_P(ServerTest, ExperimentRecordsReadStoreAndRoundTrip) {
  ComPtr<IConnection> c = Connect(server_);
  ComPtr<IExperiment> e;
  ASSERT_EQ(CreateOn(server_, CLSID_Experiment, e), S_OK);
  Bstr name("E1");
  ASSERT_EQ(e->put_Name(name.Get()), S_OK);
  VARIANT_BOOL known = VARIANT_FALSE;
  ASSERT_EQ(e->Exists(c.Get(), &known), S_OK);
  EXPECT_EQ(known, VARIANT_TRUE);
  ASSERT_EQ(e->Fetch(c.Get()), S_OK) << tesk::PeekErrorDescription();
  auto field = [&](const char* label) {
    Bstr l(label), v;
    return Text(e->get_Field(l.Get(), &v), v);
  };
  EXPECT_EQ(field("Protocol"), "Wash");
  EXPECT_EQ(field("Hybridize Date"), "Mar 07 2026 02:05PM");
  EXPECT_EQ(field("Scanner Type"), "X");
  EXPECT_EQ(field("Sample"), "S1");
  EXPECT_EQ(field("User"), "alice");
  Variant steps;
  ASSERT_EQ(e->get_ProtocolSteps(&steps), S_OK);
  EXPECT_EQ(List(steps), (std::vector<std::string>{"step one", "step two"}));

  ComPtr<IDispatch> sd;
  ASSERT_EQ(e->get_Sample(&sd), S_OK);
  ComPtr<ISampleRecord> s;
  ASSERT_EQ(sd.As(s), S_OK);
  Bstr lot("Lot"), v;
  EXPECT_EQ(Text(s->get_Field(lot.Get(), &v), v), "L7");
  Variant attrs;
  ASSERT_EQ(s->get_Attributes(&attrs), S_OK);
  EXPECT_EQ(List(attrs), (std::vector<std::string>{"Project", "P1", "Comments", "none", "Solution Type", "T",
                                                    "Solution Lot", "9"}));

  // A new experiment with odd texts, stored by a client and read back by another object.
  Bstr odd(kOddFileText), label("Station"), station("St. 'A' 50%");
  ASSERT_EQ(e->put_Name(odd.Get()), S_OK);
  ASSERT_EQ(e->put_Field(label.Get(), station.Get()), S_OK);
  ASSERT_EQ(e->Store(c.Get()), S_OK) << tesk::PeekErrorDescription();
  ComPtr<IExperiment> again;
  ASSERT_EQ(CreateOn(server_, CLSID_Experiment, again), S_OK);
  ASSERT_EQ(again->put_Name(odd.Get()), S_OK);
  ASSERT_EQ(again->Fetch(c.Get()), S_OK);
  Bstr got;
  EXPECT_EQ(Text(again->get_Field(label.Get(), &got), got), "St. 'A' 50%");
  EXPECT_EQ(Text(again->get_Name(&got), got), kOddFileText);

  Bstr unknown("E404"), bogus("Colour");
  ASSERT_EQ(again->put_Name(unknown.Get()), S_OK);
  EXPECT_EQ(again->Exists(c.Get(), &known), S_OK);
  EXPECT_EQ(known, VARIANT_FALSE);
  EXPECT_EQ(again->Fetch(c.Get()), E_FAIL);
  EXPECT_NE(tesk::PeekErrorDescription().find("unknown"), std::string::npos);
  EXPECT_EQ(again->put_Field(bogus.Get(), got.Get()), E_INVALIDARG);
}

TEST_P(ServerTest, SampleRecordsStoreAttributesInOrder) {
  ComPtr<IConnection> c = Connect(server_);
  ComPtr<ISampleRecord> s;
  ASSERT_EQ(CreateOn(server_, CLSID_SampleRecord, s), S_OK);
  Bstr name("S9"), op("Operator"), who("\u00e9mile");
  ASSERT_EQ(s->put_Name(name.Get()), S_OK);
  ASSERT_EQ(s->put_Field(op.Get(), who.Get()), S_OK);
  Variant pairs;
  {
    std::vector<std::string> flat = {"Zeta", "1", "Alpha", "2"};
    SAFEARRAY* sa = SafeArrayCreateVector(VT_BSTR, 0, 4);
    for (LONG i = 0; i < 4; ++i) {
      Bstr b(flat[static_cast<size_t>(i)]);
      SafeArrayPutElement(sa, &i, b.Get());
    }
    pairs.vt = VT_ARRAY | VT_BSTR;
    pairs.parray = sa;
  }
  ASSERT_EQ(s->put_Attributes(pairs), S_OK);
  ASSERT_EQ(s->Store(c.Get()), S_OK);
  ComPtr<ISampleRecord> t;
  ASSERT_EQ(CreateOn(server_, CLSID_SampleRecord, t), S_OK);
  ASSERT_EQ(t->put_Name(name.Get()), S_OK);
  ASSERT_EQ(t->Fetch(c.Get()), S_OK);
  Bstr v;
  EXPECT_EQ(Text(t->get_Field(op.Get(), &v), v), "\u00e9mile");
  Variant back;
  ASSERT_EQ(t->get_Attributes(&back), S_OK);
  EXPECT_EQ(List(back), (std::vector<std::string>{"Zeta", "1", "Alpha", "2"}));
  // An odd count of attribute texts is refused.
  SafeArrayRedim(pairs.parray, std::array<SAFEARRAYBOUND, 1>{{{3, 0}}}.data());
  EXPECT_EQ(s->put_Attributes(pairs), E_INVALIDARG);
}

TEST_P(ServerTest, DataQueryFiltersListsAndFiles) {
  ComPtr<IConnection> c = Connect(server_);
  ComPtr<IDataQuery> q;
  ASSERT_EQ(CreateOn(server_, CLSID_DataQuery, q), S_OK);
  auto list = [&](const char* kind) {
    Variant v;
    Bstr k(kind);
    EXPECT_EQ(q->List(c.Get(), k.Get(), &v), S_OK) << tesk::PeekErrorDescription();
    return List(v);
  };
  EXPECT_EQ(list("SampleProjects"), (std::vector<std::string>{"P1", "P2"}));
  EXPECT_EQ(list("AssayTypes"), (std::vector<std::string>{"Expression", "Mapping"}));
  EXPECT_EQ(list("ChipTypes"), std::vector<std::string>{"Demo_Array"});
  Bstr type("Type"), cel("CEL");
  ASSERT_EQ(q->put_Filter(type.Get(), cel.Get()), S_OK);
  EXPECT_EQ(list("ExperimentUsers"), std::vector<std::string>{"alice"});
  EXPECT_EQ(list("SampleProjects"), (std::vector<std::string>{"P1", "P2"}));
  Bstr project("SampleProject"), p1("P1");
  ASSERT_EQ(q->put_Filter(project.Get(), p1.Get()), S_OK);
  EXPECT_EQ(list("SampleProjects"), (std::vector<std::string>{"P1", "P2"}));  // a box ignores its own filter
  Variant names, samples, experiments, projects, types, owners;
  ASSERT_EQ(q->ListFiles(c.Get(), &names, &samples, &experiments, &projects, &types, &owners), S_OK);
  EXPECT_EQ(List(names), std::vector<std::string>{"a1.CEL"});
  EXPECT_EQ(List(samples), std::vector<std::string>{"S1"});
  EXPECT_EQ(List(owners), std::vector<std::string>{"alice"});
  // A filter value that looks like SQL is only a value.
  Bstr evil("P1' OR '1'='1");
  ASSERT_EQ(q->put_Filter(project.Get(), evil.Get()), S_OK);
  ASSERT_EQ(q->ListFiles(c.Get(), &names, &samples, &experiments, &projects, &types, &owners), S_OK);
  EXPECT_TRUE(List(names).empty());
  Bstr bogus("Colour"), bogusKind("Colours");
  EXPECT_EQ(q->put_Filter(bogus.Get(), evil.Get()), E_INVALIDARG);
  Variant v;
  EXPECT_EQ(q->List(c.Get(), bogusKind.Get(), &v), E_INVALIDARG);
}

TEST_P(ServerTest, FaultValueFailsEveryCallOfThatServer) {
  ComPtr<IConnection> c = Connect(server_);
  ComPtr<IKestAdmin> a;
  ASSERT_EQ(CreateOn(server_, CLSID_KestAdmin, a), S_OK);
  ASSERT_TRUE(SetDword(server_, "Fault", static_cast<DWORD>(RPC_E_SERVER_TOO_BUSY_HR)));
  Bstr b;
  EXPECT_EQ(c->get_ServerVersion(&b), RPC_E_SERVER_TOO_BUSY_HR);
  Variant f;
  EXPECT_EQ(a->ListRoleFunctions(&f), RPC_E_SERVER_TOO_BUSY_HR);
  ComPtr<IConnection> c2;
  EXPECT_EQ(CreateOn(server_, CLSID_Connection, c2), RPC_E_SERVER_TOO_BUSY_HR);
  ASSERT_TRUE(SetDword(server_, "Fault", 0));  // 0 clears it
  EXPECT_EQ(Text(c->get_ServerVersion(&b), b), "3.5");
}

TEST_P(ServerTest, MarkersAreKeptPerHolderAndReleasedWithTheirObject) {
  auto mark = [&](ComPtr<IFileInUseMarker>& m, const std::string& file) {
    ASSERT_EQ(CreateOn(server_, CLSID_FileInUseMarker, m), S_OK);
    Bstr f(file);
    ASSERT_EQ(m->put_FileName(f.Get()), S_OK);
    ASSERT_EQ(m->Mark(VARIANT_TRUE), S_OK) << tesk::PeekErrorDescription();
  };
  auto files = [&] {
    std::vector<tesk::zorum::MarkerInfo> m;
    std::string error;
    EXPECT_EQ(tesk::zorum::ListMarkers(server_, &m, &error), S_OK) << error;
    std::vector<std::string> out;
    for (const auto& x : m) out.push_back(x.file);
    return out;
  };
  ComPtr<IFileInUseMarker> m1, m2, m3;
  mark(m1, "a1.CEL");
  mark(m2, "a1.CEL");
  mark(m3, kOddFileText);
  EXPECT_EQ(files(), (std::vector<std::string>{"a1.CEL", "a1.CEL", kOddFileText}));
  ASSERT_EQ(m1->Unmark(), S_OK);
  ASSERT_EQ(m1->Unmark(), S_OK);  // unmarking twice removes nothing of another holder's
  EXPECT_EQ(files(), (std::vector<std::string>{"a1.CEL", kOddFileText}));
  m3.Reset();  // releasing unmarks
  EXPECT_EQ(files(), std::vector<std::string>{"a1.CEL"});
  ASSERT_EQ(m2->Mark(VARIANT_FALSE), S_OK);
  EXPECT_TRUE(files().empty());
  std::string error;
  mark(m1, "b2.CHP");
  ASSERT_EQ(tesk::zorum::ClearMarkers(server_, "b2.CHP", &error), S_OK) << error;  // the administrator's way
  EXPECT_TRUE(files().empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, ServerTest, testing::Values(Backend::kSqlite, Backend::kPostgres), BackendName);

TEST_F(ZorumTest, ThisComputersServerServesObjectsCreatedWithoutAName) {
  char host[256];
  DWORD n = sizeof host;
  ASSERT_TRUE(GetComputerName(host, &n));
  ComPtr<ILocalSettings> s;
  ASSERT_EQ(CreateOn("", CLSID_LocalSettings, s), S_OK);  // creation needs no mapping yet
  EXPECT_EQ(s->Initialize(), RPC_E_SERVER_UNAVAILABLE_HR);
  std::string error;
  ASSERT_EQ(tesk::zorum::CreateServer(host, "", &error), S_OK) << error;
  created_.push_back(host);
  Load(host, R"({"server": {"dataPath": "/d/", "libraryPath": "/l/"}})");
  ASSERT_EQ(s->Initialize(), S_OK) << tesk::PeekErrorDescription();
  Bstr b;
  EXPECT_EQ(Text(s->get_DataPath(&b), b), "/d/");
  EXPECT_EQ(Text(s->get_LibraryPath(&b), b), "/l/");
  // Plain CoCreateInstance and "localhost" reach the same server.
  ComPtr<IConnection> c;
  ASSERT_EQ(CoCreateInstance(CLSID_Connection, nullptr, CLSCTX_INPROC_SERVER, IID_IConnection, c.PutVoid()), S_OK);
  EXPECT_EQ(c->Open(0), S_OK);
  EXPECT_EQ(Text(c->get_ServerName(&b), b), host);
  ComPtr<IConnection> local = Connect("localhost");
  EXPECT_EQ(Text(local->get_ServerName(&b), b), host);
}

}  // namespace
