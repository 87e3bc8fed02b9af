// The build of a distribution and the floppy transfer on in-memory disks:
// the option bits and their errors, the files a build leaves, the trailer
// against the real sizes, "filelist.lst" byte for byte, the net archives of a
// web distribution, BUILD.INF, and the floppy plan and transfer.
#include "setup/build/build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <random>

#include "framework/exceptions.h"
#include "setup/archive/memory_disks.h"
#include "setup/archive/pmbr_compress.h"
#include "setup/base/net_file_list.h"
#include "setup/paths/path_specifiers.h"
#include "tests/setup/install/install_test_support.h"
#include "tests/support/memory_registry.h"

namespace setup {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

class TableVersions : public ArchiveVersions {
 public:
  std::map<std::string, std::string> versions;
  std::string FileVersionOf(const std::string& path) override {
    const auto found = versions.find(path);
    return found == versions.end() ? "" : found->second;
  }
  int IsFileNewerByVersion(const std::string&, const std::string&, int, double) override { return 2; }
  int IsFileNewerByName(const std::string&, const std::string&, int) override { return 2; }
};

// A network location as the build sees one: a component with a login.
class TestLocation : public fw::TComponent {
 public:
  TestLocation(fw::TComponent* owner, const std::string& host, const std::string& directory,
               TInternetProtocol protocol = ipHTTP)
      : fw::TComponent(owner) {
    login.Hostname = host;
    login.Directory = directory;
    login.Protocol = protocol;
  }
  TCustomLoginInformation login;
};

class DistributionBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureStandardSpecifiers(&form);
    install = new test_support::StandInInstall(&form);
    install->SetName("Install");
    install->Base = "C:\\setup";
    system.Files = &disks;
    system.Versions = &versions;
    system.SystemRegistry = &registry;
    system.Confirm = [this](const std::string& text) {
      prompts.push_back(text);
      return confirm ? confirm(text) : true;
    };
    system.ShowError = [this](const std::string& text) { errors.push_back(text); };
    system.LoginOf = [](fw::TComponent* location) -> const TCustomLoginInformation* {
      auto* test = dynamic_cast<TestLocation*>(location);
      return test ? &test->login : nullptr;
    };
    PutBuildMachine();
  }
  // The vendor's folder with the loading program, named by the user's
  // library path among other folders, and the installer program.
  void PutBuildMachine() {
    registry.keys.clear();
    registry.keys[{kCurrentUser, "SOFTWARE\\CORVATH\\P32V35"}].values["LibraryPath"] =
        std::string("C:\\Nowhere;C:\\Vendor\\Lib\\");
    disks.PutFile("C:\\Vendor\\Lib\\P32V35.TXT", TextBytes("library"));
    disks.PutFile("C:\\Vendor\\Lib\\PembrinLoadProgram.exe", loader);
    disks.PutFile(program, TextBytes("the installer program"));
  }

  TInstallFileGroup* Group(const std::string& name, TInstallContainer* container) {
    auto* group = new TInstallFileGroup(&form);
    group->SetName(name);
    group->SetContainer(container);
    return group;
  }
  TInstallFile* File(const std::string& name, TInstallContainer* container, const Bytes& content,
                     std::int32_t uniqueID) {
    auto* file = new TInstallFile(&form);
    file->SetName(name);
    file->FileName = name + ".dat";
    file->DestName = file->FileName;
    file->IncludeFromDir = "C:\\src";
    file->SetUniqueID(uniqueID);
    file->SetContainer(container);
    disks.PutFile("C:\\src\\" + file->FileName, content, 40000.5);
    return file;
  }
  // The entries of an archive: source path and identifier, in order.
  std::vector<std::pair<std::string, std::int32_t>> Entries(const std::string& path,
                                                            std::int32_t offset = 0) {
    TPmbrCompress archive(nullptr, disks, versions, {});
    archive.SetCompressedFile(path);
    archive.Offset = offset;
    archive.ReadHeaders();
    std::vector<std::pair<std::string, std::int32_t>> entries;
    for (const auto& header : archive.Headers().Items())
      entries.emplace_back(header->SourcePath, header->UniqueID);
    return entries;
  }
  Bytes Extracted(const std::string& archivePath, const std::string& entry, std::int32_t offset = 0,
                  TlzhNewDiskEvent newDisk = {}) {
    TPmbrCompress archive(nullptr, disks, versions, {});
    archive.SetCompressedFile(archivePath);
    archive.Offset = offset;
    archive.ExtractDirectory = "C:\\out";
    archive.OnNewDisk = std::move(newDisk);
    std::vector<std::string> list = {entry};
    archive.SetFilesToProcess(list);
    archive.ExtractFiles();
    const std::string path = "C:\\out\\" + FileNameOf(entry);
    Bytes bytes = disks.FileBytes(path);
    disks.Delete(path);
    return bytes;
  }
  TExtractionInfo Trailer(const std::string& path) {
    const Bytes bytes = disks.FileBytes(path);
    return DecodeExtractionInfo(bytes, static_cast<std::int64_t>(bytes.size()), path);
  }
  std::int64_t SizeOf(const std::string& path) {
    return static_cast<std::int64_t>(disks.FileBytes(path).size());
  }
  std::vector<std::string> NamesUnder(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& name : disks.FileNames())
      if (name.rfind(folder, 0) == 0) names.push_back(name.substr(folder.size()));
    std::sort(names.begin(), names.end());
    return names;
  }
  void BuildWith(TDistributeType type, bool selfExtracting = true) {
    settings.DistributeType = type;
    TDistributionBuild(*install, settings, system).Build(program, "C:\\build", selfExtracting);
  }
  template <class Action>
  std::string ErrorOf(Action action) {
    try {
      action();
    } catch (const std::exception& error) {
      return error.what();
    }
    return "no error";
  }

  // The State setters run their operations on this build machine until the
  // test ends, the install's files going into one archive.
  void ConnectStateOperationsTo(const std::string& archive) {
    savedHooks = TreeHooks();
    hooksConnected = true;
    ConnectStateOperations(system);
    install->SetNetLocation(new TestLocation(&form, "www.ostrel.example", "pub"));
    install->SetArchiveFile(archive);
  }
  void TearDown() override {
    if (hooksConnected) TreeHooks() = savedHooks;
  }

  fw::TComponent form{nullptr};
  test_support::StandInInstall* install = nullptr;
  InstallTreeHooks savedHooks;
  bool hooksConnected = false;
  MemoryDisks disks;
  TableVersions versions;
  test_support::MemoryRegistry registry;
  BuildSystem system;
  BuildSettings settings;
  std::function<bool(const std::string&)> confirm;
  std::vector<std::string> prompts, errors;
  const std::string program = "C:\\setup\\Wendmere.exe";
  const Bytes loader = TextBytes("MZ stand-in loading program");
};

TEST(CompressOptions, EachDistributionTypeHasItsBits) {
  EXPECT_EQ(CompressOptionsFor(dtTraditional), 46u);
  EXPECT_EQ(CompressOptionsFor(dtWeb), 54u);
  EXPECT_EQ(CompressOptionsFor(dtTraditionalNet), 38u);
  EXPECT_EQ(CompressOptionsFor(dtTraditional),
            coRelocateArchives | coReserved | coForceNetFilesLocal | coIncludeAll);
  EXPECT_EQ(CompressOptionsFor(dtWeb), coRelocateArchives | coReserved | coForceFilesNet | coIncludeAll);
}

TEST(BuildInfo, DefaultsAreTheBuildFolderAndTheControlsName) {
  const TBuildInfo info;
  EXPECT_EQ(info.BuildDirectory, "c:\\build");
  EXPECT_EQ(info.OCXName, "pbsetup");
  EXPECT_FALSE(info.SignCode);
  for (const std::string* blank :
       {&info.AppName, &info.AppURL, &info.CredentialsFile, &info.PrivateKeyFile, &info.URLPath})
    EXPECT_EQ(*blank, "");
}

TEST_F(DistributionBuild, ForcingNetFilesBothWaysIsRefusedWhateverElseIsSet) {
  File("One", install, TextBytes("one"), 1);
  install->SetArchiveFile("C:\\build\\files.1");
  TDistributionBuild build(*install, settings, system);
  for (TCompressOptions options : {24u, 30u, 56u, 62u}) {
    SCOPED_TRACE(options);
    EXPECT_EQ(ErrorOf([&] { build.Compress(*install, options); }),
              "Cannot pass both coForceNetFilesLocal and coForceFilesNet to Compress");
    EXPECT_EQ(install->State(), ifsNone);
  }
  EXPECT_FALSE(disks.Exists("C:\\build\\files.1"));
  // Each alone is accepted: files kept local, or all of them net (which
  // needs a net location).
  EXPECT_NO_THROW(build.Compress(*install, 8u | 32u));
  EXPECT_EQ(ErrorOf([&] { build.Compress(*install, 16u | 32u); }),
            "Could not find a net install location for Install");
}

TEST_F(DistributionBuild, TraditionalBuildJoinsTheSetupProgramAndItsArchives) {
  auto* group = Group("Program", install);
  auto* exe = File("Capture", group, RandomBytes(20000, 1), 9);
  auto* help = File("Help", group, TextBytes("help text"), 2);
  help->Include = false;  // compressed all the same
  auto* readme = File("Readme", install, TextBytes("read me"), 3);
  readme->Net = true;  // a traditional build keeps net files local
  versions.versions["C:\\src\\Capture.dat"] = "1.2.3.4";
  settings.PresetupFiles = {"C:\\setup\\helper.dll"};
  disks.PutFile("C:\\setup\\helper.dll", TextBytes("helper"));
  install->SetArchiveFile("files.1");
  TCustomPathSpecifier* type = install->ArchiveFileType();

  BuildWith(dtTraditional);

  EXPECT_EQ(NamesUnder("C:\\build\\"), (std::vector<std::string>{"files.1", "setup.1", "setup.exe"}));
  const std::int64_t setupArchive = SizeOf("C:\\build\\setup.1"), files = SizeOf("C:\\build\\files.1");
  const TExtractionInfo info = Trailer("C:\\build\\setup.exe");
  const auto loaderSize = static_cast<std::int64_t>(loader.size());
  EXPECT_EQ(info.SetupStart, loaderSize);
  EXPECT_EQ(info.SetupEnd, loaderSize + setupArchive - 1);
  EXPECT_EQ(info.FilesStart, loaderSize + setupArchive);
  EXPECT_EQ(info.FilesEnd, loaderSize + setupArchive + files - 1);
  EXPECT_EQ(SizeOf("C:\\build\\setup.exe"), loaderSize + setupArchive + files + 56);
  const Bytes whole = disks.FileBytes("C:\\build\\setup.exe");
  EXPECT_TRUE(std::equal(loader.begin(), loader.end(), whole.begin()));

  EXPECT_EQ(Entries("C:\\build\\setup.1"),
            (std::vector<std::pair<std::string, std::int32_t>>{{program, 0}, {"C:\\setup\\helper.dll", 1}}));
  // The embedded archive reads the same as the one beside it; the group
  // comes before the install's own files, as containers precede files.
  const std::vector<std::pair<std::string, std::int32_t>> expected = {
      {"C:\\src\\Capture.dat", 9}, {"C:\\src\\Help.dat", 2}, {"C:\\src\\Readme.dat", 3}};
  EXPECT_EQ(Entries("C:\\build\\files.1"), expected);
  EXPECT_EQ(Entries("C:\\build\\setup.exe", static_cast<std::int32_t>(info.FilesStart)), expected);
  EXPECT_EQ(
      Extracted("C:\\build\\setup.exe", "C:\\src\\Capture.dat", static_cast<std::int32_t>(info.FilesStart)),
      RandomBytes(20000, 1));

  // Source information was read, the marks set, the archive values restored.
  EXPECT_EQ(exe->Size, 20000);
  EXPECT_EQ(exe->Version, "1.2.3.4");
  EXPECT_DOUBLE_EQ(exe->FileDate, 40000.5);
  for (auto* file : {exe, help, readme}) {
    EXPECT_EQ(file->BuildMark, 2) << file->Name();
    EXPECT_EQ(file->BuiltArchivePath, "C:\\build\\files.1");
    EXPECT_FALSE(file->NetArchiveBuilt);
    EXPECT_TRUE(HasRole(file->ArchiveFileType(), TSpecifierRole::ContainerArchiveFile));
  }
  EXPECT_FALSE(help->Include);
  EXPECT_EQ(install->ArchiveFile(), "files.1");
  EXPECT_EQ(install->ArchiveFileType(), type);
}

TEST_F(DistributionBuild, WithoutFilesTheTrailerNamesNoEmbeddedArchive) {
  disks.PutFile("C:\\build\\files.1", TextBytes("left from an earlier build"));
  BuildWith(dtTraditional);
  EXPECT_FALSE(disks.Exists("C:\\build\\files.1"));
  const TExtractionInfo info = Trailer("C:\\build\\setup.exe");
  EXPECT_EQ(info.FilesStart, 0);
  EXPECT_EQ(info.FilesEnd, 0);
  EXPECT_EQ(info.SetupEnd, static_cast<std::int64_t>(loader.size()) + SizeOf("C:\\build\\setup.1") - 1);
  EXPECT_EQ(SizeOf("C:\\build\\setup.exe"),
            static_cast<std::int64_t>(loader.size()) + SizeOf("C:\\build\\setup.1") + 56);
}

TEST_F(DistributionBuild, ASetupWithoutTheLoadingProgramKeepsItsArchivesApart) {
  File("One", install, TextBytes("one"), 1);
  settings.UseLoadingProgram = false;
  BuildWith(dtTraditional, false);
  EXPECT_EQ(NamesUnder("C:\\build\\"), (std::vector<std::string>{"Wendmere.exe", "files.1"}));
  EXPECT_EQ(disks.FileBytes("C:\\build\\Wendmere.exe"), TextBytes("the installer program"));
}

TEST_F(DistributionBuild, SetupProgramErrors) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    bool selfExtracting;
    std::string message;
  };
  const std::string noVendor =
      "The HKEY_LOCAL_MACHINE | \\Software\\Corvath\\P32V35 key in the registry is either missing or points "
      "to "
      "an invalid Pembrin directory";
  const std::vector<Case> cases = {
      {"stand-alone without loader", [&] { settings.UseLoadingProgram = false; }, true,
       "Cannot build a stand alone executable if the UseLoadingProgram property of the TInstall is set to "
       "False"},
      {"no library path", [&] { registry.keys.clear(); }, true, noVendor},
      {"no folder with the mark",
       [&] {
         registry.keys[{kCurrentUser, "SOFTWARE\\CORVATH\\P32V35"}].values["LibraryPath"] =
             std::string("C:\\Nowhere;;C:\\src");
       },
       true, noVendor},
      {"no loading program", [&] { disks.Delete("C:\\Vendor\\Lib\\PembrinLoadProgram.exe"); }, true,
       "The loader program C:\\Vendor\\Lib\\PembrinLoadProgram.exe was not found"},
      {"installer missing", [&] { disks.Delete(program); }, true,
       "TInstall: Cannot find the executable file C:\\setup\\Wendmere.exe"},
      {"installer missing, no loader", [&] { disks.Delete(program), settings.UseLoadingProgram = false; },
       false,
       "Cannot copy the installation application from C:\\setup\\Wendmere.exe to C:\\build\\Wendmere.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PutBuildMachine();
    settings = {};
    c.arrange();
    EXPECT_EQ(ErrorOf([&] {
                TDistributionBuild(*install, settings, system).Build(program, "C:\\build", c.selfExtracting);
              }),
              c.message);
    EXPECT_FALSE(disks.Exists("C:\\build\\setup.exe"));
  }
  EXPECT_EQ(
      ErrorOf([&] { TDistributionBuild(*install, settings, system).MakeSetupArchive("C:\\build", " "); }),
      "Cannot create setup file. Executable is blank");
}

TEST_F(DistributionBuild, PresetupFilesAreListedOncePerNameWhenAskedTo) {
  std::vector<std::string> list;
  AddPresetupFile(list, "C:\\a\\Helper.dll", true);
  AddPresetupFile(list, "D:\\b\\HELPER.DLL", true);
  AddPresetupFile(list, "D:\\b\\other.dll", true);
  AddPresetupFile(list, "E:\\helper.dll", false);
  EXPECT_EQ(list, (std::vector<std::string>{"C:\\a\\Helper.dll", "D:\\b\\other.dll", "E:\\helper.dll"}));
}

TEST_F(DistributionBuild, BuildInfNamesTheBuildFolderOnItsFirstLine) {
  struct Case {
    const char* name;
    std::optional<std::string> content;
    std::string result;
  };
  const std::string missing =
      "Need to have a BUILD.INF file in this directory with the first line specifying the build directory";
  const std::string empty = "Must be 1 line in BUILD.INF. This line should specify the build directory";
  const std::vector<Case> cases = {
      {"missing", std::nullopt, missing},
      {"empty", "", empty},
      {"blank first line", "\r\nC:\\build\r\n", empty},
      {"one line", "C:\\build", "C:\\build"},
      {"more lines", "C:\\out\\dist\r\nignored\r\n", "C:\\out\\dist"},
      {"unix line end", "D:\\b\nx", "D:\\b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    disks.Delete("C:\\setup\\BUILD.INF");
    if (c.content) disks.PutFile("C:\\setup\\BUILD.INF", TextBytes(*c.content));
    std::string result;
    try {
      result = ReadBuildFolder(disks, "C:\\setup");
    } catch (const IEInstall& error) {
      result = error.what();
    }
    EXPECT_EQ(result, c.result);
  }
}

TEST_F(DistributionBuild, RunBuildShowsAMissingBuildInfAndBuildsNothing) {
  EXPECT_FALSE(RunBuild(*install, settings, system, program));
  EXPECT_EQ(errors,
            (std::vector<std::string>{"Need to have a BUILD.INF file in this directory with the first line "
                                      "specifying the build directory"}));
  disks.PutFile("C:\\setup\\BUILD.INF", TextBytes("C:\\made\r\n"));
  errors.clear();
  EXPECT_TRUE(RunBuild(*install, settings, system, program));
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(disks.Exists("C:\\made\\setup.exe"));
}

// The expected list, written field by field independently of the encoder.
Bytes ExpectedRecord(std::int32_t size, double date, const std::string& name, const std::string& version) {
  Bytes bytes(72, 0);
  std::memcpy(bytes.data(), &size, 4);
  std::memcpy(bytes.data() + 4, &date, 8);
  std::memcpy(bytes.data() + 12, name.data(), name.size());
  std::memcpy(bytes.data() + 52, version.data(), std::min<std::size_t>(version.size(), 20));
  return bytes;
}

class WebBuild : public DistributionBuild {
 protected:
  void SetUp() override {
    DistributionBuild::SetUp();
    install->SetNetLocation(new TestLocation(&form, "www.ostrel.example", "\\pub\\setup"));
    install->SetArchiveFile("files.1");
  }
};

TEST_F(WebBuild, EveryFileGoesIntoANetArchiveUnderItsHostFolder) {
  auto* group = Group("Program", install);
  auto* shared = File("Shared", group, TextBytes("shared"), 1);
  auto* excluded = File("Excluded", group, TextBytes("excluded"), 2);
  excluded->Include = false;
  auto* versioned = File("Versioned", group, TextBytes("versioned"), 3);
  versioned->OverwriteMode = owVersion;
  auto* own = File("Own", install, TextBytes("own"), 4);
  own->SetNetLocation(new TestLocation(&form, "ftp.ostrel.example", "", ipFTP));
  auto* http = Group("Web", install);
  http->SetNetLocation(new TestLocation(&form, "a:b*c/d", "\\"));
  auto* plain = File("Plain", http, TextBytes("plain"), 5);

  BuildWith(dtWeb);

  const std::string host = "C:\\build\\www.ostrel.example\\pubsetup\\";
  EXPECT_EQ(Entries(host + "Program.1"), (std::vector<std::pair<std::string, std::int32_t>>{
                                             {"C:\\src\\Shared.dat", 1}, {"C:\\src\\Excluded.dat", 2}}));
  EXPECT_EQ(Entries(host + "Versioned.1"),
            (std::vector<std::pair<std::string, std::int32_t>>{{"C:\\src\\Versioned.dat", 3}}));
  EXPECT_EQ(Entries("C:\\build\\ftp.ostrel.example\\FTP Root directory\\Own.1"),
            (std::vector<std::pair<std::string, std::int32_t>>{{"C:\\src\\Own.dat", 4}}));
  EXPECT_EQ(Entries("C:\\build\\abc-d\\HTTP Root directory\\Web.1"),
            (std::vector<std::pair<std::string, std::int32_t>>{{"C:\\src\\Plain.dat", 5}}));
  EXPECT_FALSE(disks.Exists("C:\\build\\files.1"));
  EXPECT_EQ(Trailer("C:\\build\\setup.exe").FilesStart, 0);
  for (auto* file : {shared, excluded, versioned, own, plain}) {
    EXPECT_TRUE(file->NetArchiveBuilt) << file->Name();
    EXPECT_EQ(file->BuildMark, 2) << file->Name();
  }
  EXPECT_EQ(versioned->BuiltArchivePath, host + "Versioned.1");

  // The list holds every archived file in creation order.
  Bytes expected = {5, 0, 0, 0};
  for (auto* file : {shared, excluded, versioned, own, plain}) {
    const Bytes record = ExpectedRecord(file->Size, 40000.5, file->Name(), "");
    expected.insert(expected.end(), record.begin(), record.end());
  }
  EXPECT_EQ(disks.FileBytes(host + "filelist.lst"), expected);
}

TEST_F(WebBuild, ASecondBuildIntoTheSameFolderWritesEveryArchiveAfresh) {
  auto* group = Group("Program", install);
  File("Shared", group, TextBytes("shared, first build"), 1);
  File("Versioned", group, TextBytes("versioned, first build"), 2)->OverwriteMode = owVersion;
  File("Local", install, TextBytes("local, first build"), 3)->Net = false;
  for (auto type : {dtWeb, dtTraditionalNet, dtTraditional}) {
    SCOPED_TRACE(type);
    BuildWith(type);
    for (const char* name : {"Shared", "Versioned", "Local"})
      disks.PutFile(std::string("C:\\src\\") + name + ".dat", TextBytes(std::string(name) + ", rebuilt"),
                    40001.5);
    BuildWith(type);
    const std::string host = "C:\\build\\www.ostrel.example\\pubsetup\\";
    const std::vector<std::pair<std::string, std::string>> archives =
        type == dtWeb ? std::vector<std::pair<std::string, std::string>>{{host + "Program.1", "Shared"},
                                                                         {host + "Versioned.1", "Versioned"},
                                                                         {host + "Install.1", "Local"}}
                      : std::vector<std::pair<std::string, std::string>>{{"C:\\build\\files.1", "Shared"},
                                                                         {"C:\\build\\files.1", "Versioned"},
                                                                         {"C:\\build\\files.1", "Local"}};
    for (const auto& [archive, name] : archives) {
      SCOPED_TRACE(archive);
      const std::string entry = "C:\\src\\" + name + ".dat";
      const auto entries = Entries(archive);
      EXPECT_EQ(
          std::count_if(entries.begin(), entries.end(), [&](const auto& e) { return e.first == entry; }), 1);
      EXPECT_EQ(Extracted(archive, entry), TextBytes(name + ", rebuilt"));
    }
    for (const char* name : {"Shared", "Versioned", "Local"})
      disks.PutFile(std::string("C:\\src\\") + name + ".dat", TextBytes(std::string(name) + ", first build"),
                    40000.5);
  }
}

TEST_F(WebBuild, AVersionOfTwentyCharactersFillsItsFieldWithoutATerminator) {
  auto* file = File("Capture", install, TextBytes("capture"), 9);
  versions.versions["C:\\src\\Capture.dat"] = "12345.67890.12345.67890";
  BuildWith(dtWeb);
  EXPECT_EQ(file->Version, "12345.67890.12345.67");
  Bytes expected = {1, 0, 0, 0};
  const Bytes record = ExpectedRecord(7, 40000.5, "Capture", "12345.67890.12345.67");
  expected.insert(expected.end(), record.begin(), record.end());
  const Bytes list = disks.FileBytes("C:\\build\\www.ostrel.example\\pubsetup\\filelist.lst");
  EXPECT_EQ(list, expected);
  EXPECT_NE(list[4 + 52 + 19], 0);
  const auto records = DecodeNetFileList(list, "filelist.lst");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Version, "12345.67890.12345.67");
}

TEST_F(WebBuild, ANameOfFortyCharactersStopsTheBuildBeforeAnythingIsWritten) {
  for (auto type : {dtWeb, dtTraditionalNet}) {
    SCOPED_TRACE(type);
    const std::string name(40, 'N');
    File(name, install, TextBytes("long"), 1);
    EXPECT_EQ(ErrorOf([&] { BuildWith(type); }),
              "The name " + name + " is too long for the remote list of files");
    EXPECT_TRUE(NamesUnder("C:\\build").empty());
    delete install->Children().back();
  }
  File(std::string(39, 'N'), install, TextBytes("fits"), 1);
  BuildWith(dtWeb);
  EXPECT_TRUE(disks.Exists("C:\\build\\www.ostrel.example\\pubsetup\\filelist.lst"));
}

TEST_F(WebBuild, ATraditionalNetBuildArchivesOnlyItsNetFilesApart) {
  auto* local = File("Local", install, TextBytes("local"), 1);
  auto* remote = File("Remote", install, TextBytes("remote"), 2);
  remote->Net = true;
  BuildWith(dtTraditionalNet);
  EXPECT_EQ(local->BuiltArchivePath, "C:\\build\\files.1");
  EXPECT_EQ(remote->BuiltArchivePath, "C:\\build\\www.ostrel.example\\pubsetup\\Install.1");
  EXPECT_EQ(disks.FileBytes("C:\\build\\www.ostrel.example\\pubsetup\\filelist.lst").size(), 4u + 2 * 72);
}

TEST_F(DistributionBuild, ANetBuildNeedsANetLocation) {
  File("One", install, TextBytes("one"), 1);
  EXPECT_EQ(ErrorOf([&] { BuildWith(dtWeb); }), "Could not find a net install location for Install");
}

TEST_F(DistributionBuild, AMissingSourceFileIsNamed) {
  auto* file = File("One", install, TextBytes("one"), 1);
  disks.Delete("C:\\src\\One.dat");
  EXPECT_EQ(ErrorOf([&] { BuildWith(dtTraditional); }),
            "Could not open or find the following file when trying to read the Size, Date, and Version "
            ":C:\\src\\One.dat");
  EXPECT_EQ(file->BuildMark, 0);
}

TEST_F(DistributionBuild, ArchivesByPathMoveUnderTheBuildFolder) {
  auto* relocated = File("Relocated", install, TextBytes("relocated"), 1);
  relocated->SetArchiveFileType(nullptr);
  relocated->SetArchiveFile("D:\\dist\\extra.1");
  auto* source = File("Beside", install, TextBytes("beside"), 2);
  source->SetArchiveFileType(PathSpecifiers().FindSpecifier<TpsInstallSource>());
  source->SetArchiveFile("beside.1");
  BuildWith(dtTraditional);
  EXPECT_EQ(relocated->BuiltArchivePath, "C:\\build\\dist\\extra.1");
  EXPECT_EQ(source->BuiltArchivePath, "C:\\build\\beside.1");
  EXPECT_EQ(relocated->ArchiveFile(), "D:\\dist\\extra.1");
  EXPECT_EQ(source->ArchiveFile(), "beside.1");
}

TEST_F(DistributionBuild, CopyUnpackedPutsTheSourceFilesAtTheirDestinations) {
  auto* group = Group("Program", install);
  group->SetDestDir("C:\\target");
  auto* file = File("Copied", group, TextBytes("copied"), 1);
  file->SetDestDirType(nullptr);
  file->SetDestDir("C:\\target\\sub");
  TDistributionBuild(*install, settings, system).CopyUnpacked(*group);
  EXPECT_EQ(disks.FileBytes("C:\\target\\sub\\Copied.dat"), TextBytes("copied"));
  EXPECT_EQ(group->State(), ifsNone);
}

// The State setters start the build's operations; each file tells of its
// compress and its copy. An EAbort before the compress leaves the file out;
// a file not included is announced and then left alone.
TEST_F(DistributionBuild, SettingTheStateCompressesOrCopiesWithTheFilesEvents) {
  ConnectStateOperationsTo("C:\\build\\files.1");
  auto* group = Group("Program", install);
  auto* kept = File("Kept", group, TextBytes("kept"), 1);
  auto* refused = File("Refused", group, TextBytes("refused"), 2);
  auto* excluded = File("Excluded", group, TextBytes("excluded"), 3);
  excluded->Include = false;
  std::vector<std::string> events;
  for (TInstallFile* file : {kept, refused, excluded}) {
    file->SetDestDirType(nullptr);
    file->SetDestDir("C:\\target");
    const auto record = [&events, group](const char* what) {
      return [&events, group, what](TCustomInstallFile* file) {
        events.push_back(std::string(what) + " " + file->Name() + " " + std::to_string(file->State()) + "/" +
                         std::to_string(group->State()));
      };
    };
    file->OnBeforeCompress = record("before compress");
    file->OnAfterCompress = record("after compress");
    file->OnBeforeCopy = record("before copy");
    file->OnAfterCopy = record("after copy");
  }
  refused->OnBeforeCompress = [&](TCustomInstallFile*) {
    events.push_back("before compress Refused");
    throw fw::EAbort();
  };

  group->SetState(ifsCompress);
  EXPECT_EQ(events, (std::vector<std::string>{"before compress Kept 1/1", "after compress Kept 1/1",
                                              "before compress Refused", "before compress Excluded 1/1"}));
  EXPECT_EQ(Entries("C:\\build\\files.1"),
            (std::vector<std::pair<std::string, std::int32_t>>{{"C:\\src\\Kept.dat", 1}}));
  EXPECT_EQ(group->State(), ifsNone);
  EXPECT_EQ(install->State(), ifsNone);

  events.clear();
  group->SetState(ifsCopying);
  EXPECT_EQ(events, (std::vector<std::string>{"before copy Kept 3/3", "after copy Kept 3/3",
                                              "before copy Refused 3/3", "after copy Refused 3/3",
                                              "before copy Excluded 3/3"}));
  EXPECT_EQ(disks.FileBytes("C:\\target\\Kept.dat"), TextBytes("kept"));
  EXPECT_EQ(disks.FileBytes("C:\\target\\Refused.dat"), TextBytes("refused"));
  EXPECT_FALSE(disks.Exists("C:\\target\\Excluded.dat"));
  EXPECT_EQ(group->State(), ifsNone);

  // One file on its own, outside its container's operations.
  events.clear();
  ASSERT_TRUE(disks.Delete("C:\\target\\Kept.dat"));
  kept->SetState(ifsCopying);
  kept->SetState(ifsCompress);
  EXPECT_EQ(events, (std::vector<std::string>{"before copy Kept 3/0", "after copy Kept 3/0",
                                              "before compress Kept 1/0", "after compress Kept 1/0"}));
  EXPECT_EQ(disks.FileBytes("C:\\target\\Kept.dat"), TextBytes("kept"));
  EXPECT_EQ(kept->State(), ifsNone);
}

// A compress started through the State setter writes into the archive as the
// object's AddToArchive says: an add keeps what the archive already holds.
TEST_F(DistributionBuild, AStateCompressAddsToTheArchiveItShares) {
  ConnectStateOperationsTo("C:\\build\\files.1");
  auto* first = File("First", install, TextBytes("first"), 1);
  auto* second = File("Second", install, TextBytes("second"), 2);
  auto* group = Group("Program", install);
  File("Grouped", group, TextBytes("grouped"), 3);
  second->AddToArchive = lzcOnlyAdd;
  group->AddToArchive = lzcOnlyAdd;
  using Entry = std::pair<std::string, std::int32_t>;
  struct Step {
    const char* what;
    std::function<void()> start;
    std::vector<Entry> entries;
  } steps[] = {
      {"a file that overwrites", [&] { first->SetState(ifsCompress); }, {{"C:\\src\\First.dat", 1}}},
      {"a file that adds",
       [&] { second->SetState(ifsCompress); },
       {{"C:\\src\\First.dat", 1}, {"C:\\src\\Second.dat", 2}}},
      {"a container that adds",
       [&] { group->SetState(ifsCompress); },
       {{"C:\\src\\First.dat", 1}, {"C:\\src\\Second.dat", 2}, {"C:\\src\\Grouped.dat", 3}}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.start();
    EXPECT_EQ(Entries("C:\\build\\files.1"), step.entries);
  }
  EXPECT_EQ(Extracted("C:\\build\\files.1", "C:\\src\\First.dat"), TextBytes("first"));
  // A whole build still writes the archive afresh: each file once.
  BuildWith(dtTraditional, false);
  auto built = Entries("C:\\build\\files.1");
  std::sort(built.begin(), built.end());
  EXPECT_EQ(built, (std::vector<Entry>{
                       {"C:\\src\\First.dat", 1}, {"C:\\src\\Grouped.dat", 3}, {"C:\\src\\Second.dat", 2}}));
}

// --- floppies ---

Bytes TrailerBytes(std::int32_t setupStart, std::int32_t setupEnd, std::int32_t filesStart,
                   std::int32_t filesEnd) {
  Bytes bytes(56, 0);
  bytes[0] = 14;
  std::memcpy(bytes.data() + 1, "SELFEXTRACTING", 14);
  for (auto [at, value] : {std::pair{16, setupStart}, {20, setupEnd}, {24, filesStart}, {28, filesEnd}})
    std::memcpy(bytes.data() + at, &value, 4);
  return bytes;
}

TEST(FloppyPlan, TheTrailerGivesTheRangesOrTheExtractionInfoError) {
  const std::string bad =
      "Could not read the extraction info from the archive file s.exe when trying to find the correct offset "
      "into "
      "the self extracting file";
  struct Case {
    const char* name;
    Bytes trailer;
    std::int64_t size;
    std::string result;
  };
  const std::vector<Case> cases = {
      {"with files", TrailerBytes(100, 199, 200, 999), 1056, "100 100-199 200-999"},
      {"without files", TrailerBytes(100, 199, 0, 0), 256, "100 100-199 none"},
      {"files end past the content", TrailerBytes(100, 199, 200, 1000), 1056, bad},
      {"no loading program", TrailerBytes(0, 199, 200, 999), 1056, bad},
      {"files overlap setup.1", TrailerBytes(100, 199, 199, 999), 1056, bad},
      {"files before setup.1", TrailerBytes(500, 599, 100, 199), 1056, bad},
      {"setup.1 reversed", TrailerBytes(100, 99, 0, 0), 256, bad},
      {"negative", TrailerBytes(-5, 199, 0, 0), 256, bad},
      {"end without start", TrailerBytes(100, 199, 0, 300), 1056, bad},
      {"short", Bytes(55, 0), 55, bad},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string result;
    try {
      const FloppyPlan plan = PlanFloppyTransfer(c.trailer, c.size, "s.exe");
      result =
          std::to_string(plan.LoaderSize) + " " + std::to_string(plan.SetupStart) + "-" +
          std::to_string(plan.SetupEnd) + " " +
          (plan.HasFiles ? std::to_string(plan.FilesStart) + "-" + std::to_string(plan.FilesEnd) : "none");
    } catch (const IEInstall& error) {
      result = error.what();
    }
    EXPECT_EQ(result, c.result);
  }
}

class FloppyTransfer : public DistributionBuild {
 protected:
  void SetUp() override {
    DistributionBuild::SetUp();
    // Three disks' worth of data that does not compress.
    File("Big", install, RandomBytes(150000, 7), 1);
    File("Small", install, TextBytes("small"), 2);
    BuildWith(dtTraditional);
    disks.PutFile("C:\\setup\\setup.exe", disks.FileBytes("C:\\build\\setup.exe"));
    install->Archive = "setup.exe";
    install->SetArchiveFileType(PathSpecifiers().FindSpecifier<TpsMainArchiveFile>());
    install->SetArchiveFile("");
    disks.AddDisk("A:", kDisk);
    // The drive holds one disk at a time: a prompt puts the one in the
    // drive aside and brings back the asked one when it was seen before.
    confirm = [this](const std::string& text) {
      const int asked = std::stoi(text.substr(text.rfind(' ') + 1));
      if (asked == cancelAt) return false;
      for (const auto& name : NamesUnder("A:\\")) {
        shelf[inDrive].emplace_back(name, disks.FileBytes("A:\\" + name));
        disks.Delete("A:\\" + name);
      }
      for (const auto& [name, bytes] : shelf[asked]) disks.PutFile("A:\\" + name, bytes);
      shelf.erase(asked);
      inDrive = asked;
      return true;
    };
  }
  // Every disk's files by name, with the one in the drive.
  std::map<int, std::vector<std::string>> DiskSet() {
    std::map<int, std::vector<std::string>> set;
    for (const auto& [disk, files] : shelf)
      for (const auto& file : files) set[disk].push_back(file.first);
    for (const auto& name : NamesUnder("A:\\")) set[inDrive].push_back(name);
    for (auto& [disk, names] : set) std::sort(names.begin(), names.end());
    return set;
  }

  static constexpr std::int64_t kDisk = 64 * 1024;
  std::map<int, std::vector<std::pair<std::string, Bytes>>> shelf;
  int inDrive = 1;
  int cancelAt = 0;
};

TEST_F(FloppyTransfer, TheSetupGoesOntoAsManyDisksAsItNeeds) {
  ASSERT_TRUE(RunTransferToFloppies(*install, system, "A:")) << (errors.empty() ? "" : errors[0]);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(prompts, (std::vector<std::string>{"Please insert disk 2", "Please insert disk 3",
                                               "Please insert disk 1"}));
  EXPECT_EQ(DiskSet(), (std::map<int, std::vector<std::string>>{
                           {1, {"files.1", "setup.1", "setup.exe"}}, {2, {"files.2"}}, {3, {"files.3"}}}));
  EXPECT_EQ(disks.FileBytes("A:\\setup.exe"), loader);
  EXPECT_EQ(disks.FileBytes("A:\\setup.1"), disks.FileBytes("C:\\build\\setup.1"));

  // The disks put back together give every file as it was.
  for (int disk : {2, 3})
    for (const auto& [name, bytes] : shelf[disk])
      disks.PutFile("C:\\disk" + std::to_string(disk) + "\\" + name, bytes);
  const auto newDisk = [](TPmbrCompress*, std::int32_t disk, std::string& path) {
    path = "C:\\disk" + std::to_string(disk);
  };
  EXPECT_EQ(Extracted("A:\\files.1", "C:\\src\\Big.dat", 0, newDisk), RandomBytes(150000, 7));
  EXPECT_EQ(Extracted("A:\\files.1", "C:\\src\\Small.dat", 0, newDisk), TextBytes("small"));
  // The source was only read.
  EXPECT_EQ(disks.FileBytes("C:\\setup\\setup.exe"), disks.FileBytes("C:\\build\\setup.exe"));
}

// The hourglass shows while the transfer works, and the normal cursor while
// the user is asked for a disk.
TEST_F(FloppyTransfer, TheDiskPromptShowsTheNormalCursor) {
  int busy = 0;
  std::vector<int> cursorAtPrompt;
  auto& hooks = TreeHooks();
  const InstallTreeHooks saved = hooks;
  hooks.ShowBusyCursor = [&] { return ++busy, 7; };
  hooks.RestoreCursor = [&](int cursor) {
    EXPECT_EQ(cursor, 7);
    --busy;
  };
  auto inner = confirm;
  confirm = [&](const std::string& text) {
    cursorAtPrompt.push_back(busy);
    return inner(text);
  };
  const bool done = RunTransferToFloppies(*install, system, "A:");
  hooks = saved;
  EXPECT_TRUE(done);
  EXPECT_EQ(cursorAtPrompt, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(busy, 0);
}

TEST_F(FloppyTransfer, CancelAtTheThirdDiskIsShownAsAbortedByUser) {
  cancelAt = 3;
  EXPECT_FALSE(RunTransferToFloppies(*install, system, "A:"));
  EXPECT_EQ(prompts, (std::vector<std::string>{"Please insert disk 2", "Please insert disk 3"}));
  EXPECT_EQ(errors, std::vector<std::string>{"Aborted by user"});
}

TEST_F(FloppyTransfer, ABadTrailerWritesNothingToTheTarget) {
  Bytes program = disks.FileBytes("C:\\setup\\setup.exe");
  const std::int32_t pastTheEnd = static_cast<std::int32_t>(program.size());
  std::memcpy(program.data() + program.size() - 56 + 28, &pastTheEnd, 4);
  disks.PutFile("C:\\setup\\setup.exe", program);
  EXPECT_FALSE(RunTransferToFloppies(*install, system, "A:"));
  EXPECT_EQ(errors,
            std::vector<std::string>{"Could not read the extraction info from the archive file "
                                     "C:\\setup\\setup.exe when trying to find the correct offset into the "
                                     "self extracting file"});
  EXPECT_TRUE(NamesUnder("A:\\").empty());
  EXPECT_TRUE(prompts.empty());
}

TEST_F(FloppyTransfer, OnlyASelfExtractingSetupCanBeTransferred) {
  install->Archive.reset();
  EXPECT_FALSE(RunTransferToFloppies(*install, system, "A:"));
  EXPECT_EQ(errors,
            std::vector<std::string>{"Sorry... You can only transfer this installation to floppies through "
                                     "the self-extracting file. Usage example: setup.exe *TODISK"});
  EXPECT_TRUE(NamesUnder("A:\\").empty());
}

TEST_F(FloppyTransfer, ADiskTooSmallForTheSetupProgramIsReported) {
  disks.PutFile("A:\\filler", Bytes(static_cast<std::size_t>(kDisk) - 10, 0));
  EXPECT_FALSE(RunTransferToFloppies(*install, system, "A:"));
  EXPECT_EQ(errors,
            std::vector<std::string>{"Cannot create setup.exe on the A drive. Probably not enough room"});
  disks.Delete("A:\\filler");
  disks.PutFile("A:\\filler", Bytes(static_cast<std::size_t>(kDisk) - loader.size() - 10, 0));
  errors.clear();
  EXPECT_FALSE(RunTransferToFloppies(*install, system, "A:"));
  EXPECT_EQ(errors,
            std::vector<std::string>{"Cannot create setup.1 on the A drive. Probably not enough room"});
}

}  // namespace
}  // namespace setup
