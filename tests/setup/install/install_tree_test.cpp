#include "setup/install/install_tree.h"

#include <gtest/gtest.h>

#include "framework/exceptions.h"
#include "setup/paths/path_specifiers.h"
#include "tests/setup/install/install_test_support.h"

namespace setup {
namespace {

using test_support::StandInFile;
using test_support::StandInInstall;

struct Call {
  std::string container;
  int code;
  bool operator==(const Call&) const = default;
};

class InstallTree : public ::testing::Test {
 protected:
  void SetUp() override { EnsureStandardSpecifiers(&form); }
  void TearDown() override { TreeHooks() = {}; }

  // A recorder of the events broadcast on an object.
  TGrabCall* GrabOn(TInstallContainer* container) {
    auto* grab = new TGrabCall(&form);
    grab->SetContainer(container);
    grab->OnCall = [this](TInstallContainer* sender, std::int32_t code, TEventObject*) {
      calls.push_back({sender->Name(), code});
    };
    return grab;
  }
  template <class T, class... Args>
  T* Make(const std::string& name, TInstallContainer* container, Args... args) {
    auto* object = new T(&form, args...);
    object->SetName(name);
    if (container) object->SetContainer(container);
    return object;
  }

  fw::TComponent form{nullptr};
  std::vector<Call> calls;
};

std::vector<std::string> Names(const TInstallContainer& container) {
  std::vector<std::string> names;
  for (auto* child : container.Children())
    names.push_back(child->Name() + ":" + std::to_string(child->Order()));
  return names;
}

TEST_F(InstallTree, LoadingKeepsTheOrdersOfTheDescription) {
  fw::FormLoading loading(form);
  auto* group = Make<TInstallFileGroup>("Group", nullptr);
  auto* second = Make<StandInFile>("Second", nullptr);
  second->SetOrder(1);
  second->SetContainer(group);
  auto* first = Make<StandInFile>("First", nullptr);
  first->SetOrder(0);
  first->SetContainer(group);
  loading.End();
  EXPECT_EQ(Names(*group), (std::vector<std::string>{"First:0", "Second:1"}));
  // Set while loading, the container's specifier was not given.
  EXPECT_EQ(first->DestDirType(), nullptr);
}

class HdbFile : public StandInFile {
 public:
  using StandInFile::StandInFile;
  std::string ClassName() const override { return "TInstallHdb"; }
};

TEST_F(InstallTree, ChildrenGoByRegisteredTypeThenOrder) {
  auto* install = Make<StandInInstall>("Install", nullptr);
  GrabOn(install)->SetName("Grab");
  Make<StandInFile>("A", install);
  Make<StandInFile>("B", install);
  auto* group = Make<TInstallFileGroup>("Group", nullptr);
  group->SetOrder(5);
  group->SetContainer(install);
  EXPECT_EQ(Names(*install), (std::vector<std::string>{"Group:0", "A:0", "B:1", "Grab:0"}));
  // -1 goes after its kind and is renumbered there.
  auto* late = Make<StandInFile>("Late", nullptr);
  ASSERT_EQ(late->Order(), -1);
  late->SetContainer(install);
  EXPECT_EQ(Names(*install), (std::vector<std::string>{"Group:0", "A:0", "B:1", "Late:2", "Grab:0"}));
  // Setting an order moves the object.
  late->SetOrder(0);
  EXPECT_EQ(Names(*install), (std::vector<std::string>{"Group:0", "Late:0", "A:1", "B:2", "Grab:0"}));
  Make<HdbFile>("Hdb", install);
  EXPECT_EQ(install->Children().front()->Name(), "Hdb");
  EXPECT_EQ(install->Comp<TCustomInstallFile>(1)->Name(), "Late");
  EXPECT_EQ(install->FileContainers(0), group);
  try {
    install->Comp<TCustomInstallFile>(9);
    FAIL();
  } catch (const IEInstallContainer& e) {
    EXPECT_EQ(e.Message(),
              "Bad call to the Comp procedure which returns a TInstallObject for a TInstallContainer "
              "component. The "
              "parameters are probably reversed. Index: 9, ComponentType: 2000");
  }
  try {
    install->Child(7);
    FAIL();
  } catch (const IEInstallContainer& e) {
    EXPECT_EQ(
        e.Message(),
        "Tried to reference a helper component in the following component: Install. The following index was "
        "used: 7");
  }
}

TEST_F(InstallTree, CircularAndBlankChildrenAreRefused) {
  auto* outer = Make<TInstallFileGroup>("Outer", nullptr);
  auto* inner = Make<TInstallFileGroup>("Inner", outer);
  auto* leaf = Make<TInstallFileGroup>("Leaf", inner);
  for (TInstallFileGroup* target : {outer, leaf}) {
    try {
      target->SetContainer(target);
      FAIL();
    } catch (const IEInstallContainer& e) {
      EXPECT_EQ(e.Message(), "Circular reference");
    }
  }
  try {
    outer->SetContainer(leaf);
    FAIL();
  } catch (const IEInstallContainer& e) {
    EXPECT_EQ(e.Message(), "Circular reference");
  }
  EXPECT_EQ(outer->Container(), nullptr);
  EXPECT_TRUE(leaf->Children().empty());
  try {
    outer->AddObject(nullptr);
    FAIL();
  } catch (const IEInstallContainer& e) {
    EXPECT_EQ(e.Message(), "Cannot add a blank base helper component to Outer");
  }
  try {
    TInstallContainer bare(nullptr);
    bare.RegisteredType();
    FAIL();
  } catch (const IEInstallContainer& e) {
    EXPECT_EQ(e.Message(), "Class must declare a registered type");
  }
}

TEST_F(InstallTree, InstallTypesSetterRules) {
  struct Row {
    TInstallTypeSet before, assigned, after;
  };
  const Row rows[] = {
      {InstallTypeSet({itFull}), InstallTypeSet({itFull, itAlways}), InstallTypeSet({itAlways})},
      {InstallTypeSet({itAlways}), InstallTypeSet({itFull, itAlways}), InstallTypeSet({itFull})},
      {InstallTypeSet({itFull}), 0, InstallTypeSet({itAlways})},
      {InstallTypeSet({itAlways}), InstallTypeSet({itAlways}), InstallTypeSet({itAlways})},
      {InstallTypeSet({itAlways}), InstallTypeSet({itCompact, itFull}), InstallTypeSet({itCompact, itFull})},
  };
  for (const Row& row : rows) {
    TInstallFileGroup group(nullptr);
    group.SetInstallTypes(row.before);
    ASSERT_EQ(group.InstallTypes(), row.before);
    group.SetInstallTypes(row.assigned);
    EXPECT_EQ(group.InstallTypes(), row.after) << int(row.before) << " " << int(row.assigned);
  }
}

TEST_F(InstallTree, InstallTypeTestDecidesWhatIsInstalled) {
  struct Row {
    TInstallType current;
    TInstallTypeSet types;
    bool installed;
  };
  const Row rows[] = {
      {itCompact, InstallTypeSet({itFull}), false},           {itCompact, InstallTypeSet({itAlways}), true},
      {itCompact, InstallTypeSet({itCompact, itFull}), true}, {itCustom, InstallTypeSet({itFull}), true},
      {itAlways, InstallTypeSet({itDefault}), true},
  };
  for (const Row& row : rows) {
    calls.clear();
    auto* file = Make<StandInFile>("", nullptr);
    GrabOn(file);
    file->SetInstallTypes(row.types);
    file->SetCurrentInstallType(row.current);
    file->Process();
    EXPECT_EQ(file->Installed, row.installed);
    std::vector<Call> expected{{"", ieBeforeProcessObject}, {"", ieBeforeInstallObject}};
    if (row.installed) expected.push_back({"", ieAfterProcessObject});
    EXPECT_EQ(calls, expected);
    delete file;
  }
  // Not included: the object stops after its first event.
  calls.clear();
  auto* excluded = Make<StandInFile>("", nullptr);
  GrabOn(excluded);
  excluded->Include = false;
  excluded->Process();
  EXPECT_EQ(calls, (std::vector<Call>{{"", ieBeforeProcessObject}}));
  EXPECT_FALSE(excluded->IsIncluded());
}

TEST_F(InstallTree, ProcessOfAGroupRaisesItsEventsAroundItsChildren) {
  auto* install = Make<StandInInstall>("Install", nullptr);
  auto* group = Make<TInstallFileGroup>("Group", install);
  GrabOn(group);
  auto* file = Make<StandInFile>("File", group, 10);
  GrabOn(file);
  std::vector<std::string> handlers;
  group->OnBeforeProcess = [&](TInstallContainer*) { handlers.push_back("before process"); };
  group->OnBeforeInstallObjects = [&](TInstallContainer* c) {
    handlers.push_back("before objects " + std::to_string(static_cast<TFileContainer*>(c)->TotalBytes));
  };
  group->OnAfterInstallObjects = [&](TInstallContainer*, bool aborted) {
    handlers.push_back(std::string("after objects ") + (aborted ? "aborted" : "done"));
  };
  group->OnAfterProcess = [&](TInstallContainer*) { handlers.push_back("after process"); };
  group->Process();
  EXPECT_EQ(calls, (std::vector<Call>{{"Group", ieBeforeProcessObject},
                                      {"Group", ieBeforeInstallObject},
                                      {"Group", ieCopyStarting},
                                      {"File", ieBeforeProcessObject},
                                      {"File", ieBeforeInstallObject},
                                      {"File", ieAfterProcessObject},
                                      {"Group", ieCopyFinished},
                                      {"Group", ieAfterProcessObject}}));
  EXPECT_EQ(handlers, (std::vector<std::string>{"before process", "before objects 10", "after objects done",
                                                "after process"}));
  EXPECT_TRUE(file->Installed);
  EXPECT_TRUE(group->Installed);
  EXPECT_EQ(file->UninstallKeys,
            (std::vector<std::string>{"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallimo"}));
  EXPECT_EQ(group->State(), ifsNone);
}

TEST_F(InstallTree, PushAndPopStatusReachDialogs) {
  auto* install = Make<StandInInstall>("Install", nullptr);
  std::string text;
  auto* grab = GrabOn(install);
  grab->OnCall = [&](TInstallContainer*, std::int32_t code, TEventObject* po) {
    calls.push_back({"", code});
    if (auto* message = dynamic_cast<TMessageParameter*>(po)) text = message->Text;
  };
  install->PushStatus("Reading");
  install->PopStatus();
  EXPECT_EQ(calls, (std::vector<Call>{{"", ieStatusText}, {"", ieStatusClose}}));
  EXPECT_EQ(text, "Reading");
}

// Running totals at two levels: Install (c 300 bytes, Group) and Group (a 100
// bytes, b 0 bytes).
TEST_F(InstallTree, RunningTotalsCountEachFileOnceAndRoundHalvesToEven) {
  auto* install = Make<StandInInstall>("Install", nullptr);
  auto* group = Make<TInstallFileGroup>("Group", install);
  auto* a = Make<StandInFile>("A", group, 100);
  auto* b = Make<StandInFile>("B", group, 0);
  auto* c = Make<StandInFile>("C", install, 300);
  std::vector<std::string> seen;
  auto record = [&](const std::string& level) {
    return [&seen, level](TCustomInstallFile* file, std::int32_t filePercent, std::int32_t totalPercent) {
      seen.push_back(level + " " + file->Name() + " " + std::to_string(filePercent) + " " +
                     std::to_string(totalPercent));
    };
  };
  group->OnStatus = record("group");
  install->OnStatus = record("install");
  a->Action = [](StandInFile& file) {
    TFileStatusParameter half;
    half.BytesDone = 50;
    half.FilePercent = 50;
    TEventList list{&file, &half};
    file.Report(icFileStatusInstall, &list);
    TFileStatusParameter done;
    done.BytesDone = 100;
    done.FilePercent = 100;
    done.Stats = {true, 100};
    TEventList finished{&file, &done};
    file.Report(icFileStatusInstall, &finished);
    file.Report(icFileStatusInstall, &finished);  // told twice, counted once
    return true;
  };
  b->Action = [](StandInFile& file) {
    file.Report(icFileSkipped, &file);
    return true;
  };
  c->Action = [](StandInFile& file) {
    file.Report(icFileAborted, &file);
    return false;
  };
  install->Process();
  EXPECT_EQ(seen, (std::vector<std::string>{"group A 50 50", "install A 50 12",  // 12.5 rounds to the even 12
                                            "group A 100 100", "install A 100 25", "group A 100 100",
                                            "install A 100 25", "group B 100 100", "install B 100 25",
                                            "install C 100 100"}));
  EXPECT_EQ(group->BytesDone, 100);
  EXPECT_EQ(install->BytesDone, 400);
  EXPECT_EQ(install->TotalBytes, 400);
  // The aborted file is neither marked nor logged for uninstalling.
  EXPECT_FALSE(c->Installed);
  EXPECT_TRUE(c->UninstallKeys.empty());
  EXPECT_TRUE(a->Installed);
}

TEST_F(InstallTree, EmptyTotalsGivePercentZero) {
  auto* group = Make<TInstallFileGroup>("Group", nullptr);
  auto* empty = Make<StandInFile>("Empty", group, 0);
  std::int32_t total = -1;
  group->OnStatus = [&](TCustomInstallFile*, std::int32_t, std::int32_t totalPercent) {
    total = totalPercent;
  };
  empty->Action = [](StandInFile& file) {
    file.Report(icFileSkipped, &file);
    return true;
  };
  group->Process();
  EXPECT_EQ(total, 0);
}

TEST_F(InstallTree, EventsReachingAnIdleGroupAreDropped) {
  auto* install = Make<StandInInstall>("Install", nullptr);
  auto* group = Make<TInstallFileGroup>("Group", install);
  int statuses = 0;
  group->OnStatus = install->OnStatus = [&](TCustomInstallFile*, std::int32_t, std::int32_t) { ++statuses; };
  auto* file = Make<StandInFile>("File", group, 5);
  group->DoInformationEventControl(file, icFileSkipped, file);
  group->DoInformationEventControl(file, icFileStatusInstall, nullptr);  // not even checked
  EXPECT_EQ(statuses, 0);
  EXPECT_EQ(group->BytesDone, 0);
}

TEST_F(InstallTree, AfterInstallObjectsTellsOfAnAbortThatStillPropagates) {
  auto* group = Make<TInstallFileGroup>("Group", nullptr);
  auto* file = Make<StandInFile>("File", group, 5);
  bool archiveAborted = false;
  TreeHooks().ArchiveAborted = [&] { return archiveAborted; };
  std::vector<int> cursors;
  TreeHooks().ShowBusyCursor = [&] {
    cursors.push_back(-11);
    return 7;
  };
  TreeHooks().RestoreCursor = [&](int cursor) { cursors.push_back(cursor); };
  std::optional<bool> wasAborted;
  group->OnAfterInstallObjects = [&](TInstallContainer*, bool aborted) { wasAborted = aborted; };
  file->Action = [&](StandInFile&) -> bool {
    archiveAborted = true;
    throw EAIUserAbort();
  };
  EXPECT_THROW(group->Process(), EAIUserAbort);
  EXPECT_EQ(wasAborted, true);
  EXPECT_EQ(cursors, (std::vector<int>{-11, 7}));
  EXPECT_EQ(group->State(), ifsNone);
  // EAbort only skips the object.
  file->Action = [](StandInFile&) -> bool { throw fw::EAbort(); };
  archiveAborted = false;
  EXPECT_NO_THROW(group->Process());
  EXPECT_FALSE(file->Installed);
}

// Setting the install state processes the object; compress and copy belong
// to the build, which this test does not connect.
TEST_F(InstallTree, SettingTheInstallStateProcessesTheObjectAndLeavesItIdle) {
  auto* group = Make<TInstallFileGroup>("Group", nullptr);
  auto* file = Make<StandInFile>("File", group, 5);
  std::vector<std::string> seen;
  group->OnBeforeProcess = [&](TInstallContainer*) { seen.push_back("group before process"); };
  file->Action = [&](StandInFile&) {
    seen.push_back("file installs, group state " + std::to_string(group->State()) + ", file state " +
                   std::to_string(file->State()));
    return true;
  };
  group->SetState(ifsInstall);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"group before process", "file installs, group state 2, file state 0"}));
  EXPECT_EQ(group->State(), ifsNone);
  EXPECT_TRUE(file->Installed);

  seen.clear();
  file->SetState(ifsInstall);
  EXPECT_EQ(seen, (std::vector<std::string>{"file installs, group state 0, file state 0"}));
  EXPECT_EQ(file->State(), ifsNone);

  seen.clear();
  group->SetState(ifsNone);
  file->SetState(ifsNone);
  for (TInstallFileState state : {ifsCompress, ifsCopying}) {
    EXPECT_THROW(group->SetState(state), IEInstallContainer);
    EXPECT_THROW(file->SetState(state), IEInstallContainer);
  }
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(group->State(), ifsNone);
  EXPECT_EQ(file->State(), ifsNone);
}

class BusyGroup : public TInstallFileGroup {
 public:
  using TInstallFileGroup::TInstallFileGroup;
  void Busy() { EnterState(ifsInstall); }
};

TEST_F(InstallTree, WrongParametersAreNamed) {
  auto* group = Make<BusyGroup>("Group", nullptr);
  group->Busy();
  auto* file = Make<StandInFile>("File", group);
  TFileStatusParameter status;
  TDiskParameter disk;
  TMessageParameter message("x");
  TEventList one{file};
  TEventList swapped{&status, file};
  TEventList noStatus{file, &disk};
  TEventList diskFirst{&disk, &disk};
  TEventList diskSecond{file, &status};
  struct Row {
    int code;
    TEventObject* parameter;
    std::string message;
  };
  const Row rows[] = {
      {icReplacing, nullptr, "Group got a nil PO parameter"},
      {icReplacing, &message, "DoInformationEventControl parameter is not TInstallFile"},
      {icFileStatusInstall, file, "DoInformationEventControl--PO is not a TList object"},
      {icFileStatusCompress, &one, "DoInformationEventControl--Not engouh parameters for status event"},
      {icFileStatusCopying, &swapped, "DoInformationEventControl says bad first parameter"},
      {icFileStatusInstall, &noStatus, "DoInformationEventControl says bad second parameter"},
      {icChangeDisk, &diskFirst, "DoInformationEventControl says bad 1 parameter"},
      {icChangeDisk, &diskSecond, "DoInformationEventControl says bad 2 parameter"},
      {icDownloadStatus, &message, "The PO object passed to Group is not a TDownloadStatusParameter object"},
      {icFileSkipped, &status, "DoInformationEventControl parameter is not TInstallFile"},
  };
  for (const Row& row : rows) {
    try {
      group->DoInformationEventControl(file, row.code, row.parameter);
      ADD_FAILURE() << row.message;
    } catch (const IEFileContainer& e) {
      EXPECT_EQ(e.Message(), row.message);
    }
  }
}

TEST_F(InstallTree, NewDiskWritesThePathBackAndMarksTheFile) {
  auto* group = Make<BusyGroup>("Group", nullptr);
  group->Busy();
  GrabOn(group);
  auto* file = Make<StandInFile>("File", group);
  group->OnNewDisk = [](TCustomInstallFile*, std::int32_t disk, std::string& path) {
    path = "B:\\disk" + std::to_string(disk);
  };
  TDiskParameter disk;
  disk.Disk = 2;
  disk.Path = "A:\\";
  TEventList list{file, &disk};
  group->DoInformationEventControl(file, icChangeDisk, &list);
  EXPECT_EQ(disk.Path, "B:\\disk2");
  EXPECT_EQ(file->Tag, 1);
  EXPECT_EQ(calls, (std::vector<Call>{{"Group", ieChangeDisk}}));
  // Download progress reaches the data handler and the dialogs.
  TDownloadStatusParameter download;
  download.FileName = "files.1";
  download.ChunkBytes = 8192;
  download.BytesReceived = 16384;
  download.FileSize = 20000;
  std::string received;
  group->OnDataReceived = [&](TEventObject* sender, const std::string& name, std::int32_t bytes,
                              std::int32_t total, std::int32_t size, const void* buffer) {
    received = name + " " + std::to_string(bytes) + " " + std::to_string(total) + " " + std::to_string(size) +
               (sender == group && !buffer ? " ok" : " bad");
  };
  group->DoInformationEventControl(file, icDownloadStatus, &download);
  EXPECT_EQ(received, "files.1 8192 16384 20000 ok");
  EXPECT_EQ(calls.back(), (Call{"Group", ieDownloadStatus}));
}

TEST_F(InstallTree, ContainersFollowTheirDestinationAndForgetDestroyedParents) {
  auto* install = Make<StandInInstall>("Install", nullptr);
  auto* group = Make<TInstallFileGroup>("Group", install);
  group->SetDestDirType(nullptr);
  group->SetDestDir("D:\\App\\");
  auto* file = Make<StandInFile>("File", group);
  EXPECT_EQ(file->DestDirType(), PathSpecifiers().Find<TpsContainerDestDir>());
  EXPECT_EQ(file->ArchiveFileType(), PathSpecifiers().Find<TpsContainerArchiveFile>());
  EXPECT_EQ(file->GetDestDir(), "D:\\App");
  file->SetDestDir("\\Data");
  EXPECT_EQ(file->GetDestDir(), "D:\\App\\Data");
  delete group;
  EXPECT_EQ(file->Container(), nullptr);
  EXPECT_EQ(install->CountOf<TFileContainer>(), 0);
  // A removed specifier is no longer referred to.
  delete PathSpecifiers().Find<TpsContainerDestDir>();
  EXPECT_EQ(file->DestDirType(), nullptr);
}

}  // namespace
}  // namespace setup
