// The rules of installing a file and of the run, over files, versions and a
// registry held in memory.
#include "setup/install/install_rules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include "framework/version_info_source.h"
#include "setup/base/version_resource.h"
#include "tests/support/memory_registry.h"

namespace setup {
namespace {

using test_support::MemoryRegistry;

// Destination files by path: their version ("" for none) and the date an
// opening gives (none: the file cannot be opened).
struct DiskFile {
  std::string version;
  std::optional<double> date;
};

class MemoryDisk : public fw::VersionInfoSource, public FileDates {
 public:
  std::map<std::string, DiskFile> files;

  std::string ProgramFileName() override { return "C:\\setup\\setup.exe"; }
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  LoadResult Load(const std::string& path, std::vector<std::uint8_t>& block) override {
    const auto found = files.find(path);
    if (found == files.end() || found->second.version.empty()) return {LoadStep::kSizeFailed, 1812};
    block.assign(path.begin(), path.end());
    return {LoadStep::kDone, 0};
  }
  std::optional<std::vector<std::uint8_t>> Query(std::vector<std::uint8_t>& block,
                                                 const std::string& subBlock) override {
    if (subBlock != "\\") return std::nullopt;
    unsigned parts[4] = {};
    std::sscanf(files.at(std::string(block.begin(), block.end())).version.c_str(), "%u.%u.%u.%u", &parts[0],
                &parts[1], &parts[2], &parts[3]);
    std::vector<std::uint8_t> fixed(52, 0);
    const std::uint32_t words[] = {0xFEEF04BD, 0x10000, (parts[0] << 16) | parts[1],
                                   (parts[2] << 16) | parts[3]};
    for (int w = 0; w < 4; ++w)
      for (int b = 0; b < 4; ++b)
        fixed[static_cast<size_t>(w * 4 + b)] = static_cast<std::uint8_t>(words[w] >> (8 * b));
    return fixed;
  }
  std::string LanguageName(std::uint32_t) override { return "English"; }
  std::string SystemErrorText(std::uint32_t error) override { return std::to_string(error); }

  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  std::optional<double> OpenedFileDate(const std::string& path) override {
    const auto found = files.find(path);
    return found == files.end() ? std::nullopt : found->second.date;
  }
};

TEST(FileInstallDecision, ModeAgainstDestination) {
  const std::string dest = "C:\\App\\prog.exe";
  constexpr double kDate = 40000.0;
  struct Row {
    const char* what;
    std::optional<DiskFile> destination;
    const char* archivedVersion;
    int decisions[5];  // owAlways, owNever, owVersion, owDate, owVersionDate
  };
  const Row rows[] = {
      {"absent", std::nullopt, "1.5.0.0", {2, 2, 2, 0, 2}},
      // Two empty versions compare equal: the missing file is still written.
      {"absent, no archived version", std::nullopt, "", {2, 2, 2, 0, 0}},
      {"older", DiskFile{"1.0.0.0", kDate - 10}, "1.5.0.0", {2, 3, 2, 2, 2}},
      {"equal", DiskFile{"1.5.0.0", kDate}, "1.5.0.0", {2, 3, 1, 1, 1}},
      {"newer", DiskFile{"2.0.0.0", kDate + 10}, "1.5.0.0", {2, 3, 3, 3, 3}},
      {"same version, later date", DiskFile{"1.5.0.0", kDate + 10}, "1.5.0.0", {2, 3, 1, 3, 3}},
      {"unopenable", DiskFile{"1.5.0.0", std::nullopt}, "1.5.0.0", {2, 3, 1, 0, 0}},
      {"no version", DiskFile{"", kDate}, "1.5.0.0", {2, 3, 2, 1, 2}},
  };
  for (const Row& row : rows) {
    MemoryDisk disk;
    if (row.destination) disk.files[dest] = *row.destination;
    TVersionResource reader(nullptr, disk);
    for (int mode = owAlways; mode <= owVersionDate; ++mode) {
      const int decision = FileInstallDecision(reader, disk, mode, dest, row.archivedVersion, kDate);
      EXPECT_EQ(decision, row.decisions[mode]) << row.what << ", mode " << mode;
      EXPECT_EQ(ReplacesFile(decision), decision == 0 || decision == 2);
    }
  }
}

InstallFileProperties Named(const std::string& fileName, const std::string& destName) {
  InstallFileProperties p;
  p.FileName = fileName;
  p.DestName = destName;
  return p;
}

InstallFileProperties FromFolder(const std::string& folder) {
  InstallFileProperties p;
  p.IncludeFromDir = folder;
  return p;
}

PropertyRuleInputs SelfRegistering(std::function<bool(const std::string&)> has) {
  PropertyRuleInputs inputs;
  inputs.HasOLESelfRegister = std::move(has);
  return inputs;
}

TEST(PropertyRules, Table) {
  const auto ole = [](const std::string& source) { return source == "C:\\src\\selfreg.dll"; };
  struct Row {
    const char* what;
    InstallFileProperties current;
    std::function<void(InstallFileProperties&)> change;
    std::function<void(InstallFileProperties&)> expected;  // applied to the changed properties
  };
  const InstallFileProperties blank;
  const Row rows[] = {
      {"a file name becomes the destination name", blank, [](auto& p) { p.FileName = "read.me"; },
       [](auto& p) { p.DestName = "read.me"; }},
      {"a help file", blank, [](auto& p) { p.FileName = "guide.hlp"; },
       [](auto& p) { p.DestName = "guide.hlp", p.RegisterAsHelp = true; }},
      {"a help contents file, any case", blank, [](auto& p) { p.FileName = "Guide.Cnt"; },
       [](auto& p) { p.DestName = "Guide.Cnt", p.RegisterAsHelp = true; }},
      {"a control registers itself and is system-wide", blank, [](auto& p) { p.FileName = "grid.ocx"; },
       [](auto& p) {
         p.DestName = "grid.ocx", p.ActiveX = true, p.FileType = iftSystemWideDLL;
         p.UpdateDLLCounter = true, p.OverwriteMode = owVersionDate;
         p.DestDir = "", p.DestDirKind = DestKind::System;
       }},
      {"a library asking for self-registration", FromFolder("C:\\src"),
       [](auto& p) { p.FileName = "selfreg.dll"; },
       [](auto& p) {
         p.DestName = "selfreg.dll", p.ActiveX = true, p.FileType = iftSystemWideDLL;
         p.UpdateDLLCounter = true, p.OverwriteMode = owVersionDate, p.DestDirKind = DestKind::System;
       }},
      {"just a DLL", blank, [](auto& p) { p.FileType = iftJustADLL; },
       [](auto& p) { p.OverwriteMode = owVersionDate; }},
      {"an application's DLL goes to its System folder", blank,
       [](auto& p) { p.FileType = iftApplicationSpecificDLL; },
       [](auto& p) {
         p.OverwriteMode = owVersionDate, p.DestDir = "\\System", p.DestDirKind = DestKind::MainInstall;
       }},
      {"a vendor's shared DLL", blank, [](auto& p) { p.FileType = iftVendorSharedDLL; },
       [](auto& p) {
         p.OverwriteMode = owVersionDate, p.UpdateDLLCounter = true;
         p.DestDir = "\\System", p.DestDirKind = DestKind::CommonFiles;
       }},
      {"a program to the Windows folder", Named("tool.exe", "tool.exe"),
       [](auto& p) { p.DestDirKind = DestKind::Window; }, [](auto& p) { p.OverwriteMode = owVersionDate; }},
      {"a library to the system folder", Named("x.bll", "x.bll"),
       [](auto& p) { p.DestDirKind = DestKind::System; },
       [](auto& p) {
         p.FileType = iftSystemWideDLL, p.UpdateDLLCounter = true, p.OverwriteMode = owVersionDate;
       }},
      {"a text file to the Windows folder stays", Named("a.txt", "a.txt"),
       [](auto& p) { p.DestDirKind = DestKind::Window; }, [](auto&) {}},
      {"a destination name alone", Named("a.dll", "a.dll"), [](auto& p) { p.DestName = "a.1"; },
       [](auto&) {}},
      {"a blank file name keeps the destination name", Named("a.txt", "b.txt"),
       [](auto& p) { p.FileName = " "; }, [](auto&) {}},
  };
  for (const Row& row : rows) {
    InstallFileProperties wanted = row.current;
    row.change(wanted);
    InstallFileProperties expected = wanted;
    row.expected(expected);
    EXPECT_EQ(ApplyPropertyRules(row.current, wanted, SelfRegistering(ole)), expected) << row.what;
  }
}

TEST(PropertyRules, DuplicateSourceInTheContainer) {
  const InstallFileProperties current = FromFolder("C:\\src");
  InstallFileProperties wanted = current;
  wanted.FileName = "Prog.EXE";
  PropertyRuleInputs inputs;
  inputs.SiblingSources = {"C:\\src\\other.exe", "c:\\SRC\\prog.exe"};
  inputs.HasContainer = true;
  try {
    ApplyPropertyRules(current, wanted, inputs);
    FAIL() << "no exception";
  } catch (const IEfcDuplicateFile& e) {
    EXPECT_STREQ(e.what(), "There is already a file with the name :C:\\src\\Prog.EXE");
  }
  // Without a container nothing is compared; another name passes.
  inputs.HasContainer = false;
  EXPECT_NO_THROW(ApplyPropertyRules(current, wanted, inputs));
  inputs.HasContainer = true;
  wanted.FileName = "third.exe";
  EXPECT_NO_THROW(ApplyPropertyRules(current, wanted, inputs));
}

TEST(InUse, CandidateNames) {
  EXPECT_EQ(CandidateName("Quorvane - Brask.exe", 1), "Quorvane - Brask.1");
  EXPECT_EQ(CandidateName("readme", 2), "readme.2");
  EXPECT_EQ(CandidateName("a.b.dll", 3), "a.b.3");
  const std::set<std::string> taken = {"C:\\App\\prog.1", "C:\\App\\prog.2"};
  const auto exists = [&](const std::string& path) { return taken.count(path) != 0; };
  EXPECT_EQ(FreeCandidateName("C:\\App", "prog.exe", exists), "prog.3");
  EXPECT_EQ(FreeCandidateName("C:\\App\\", "other.exe", exists), "other.1");
  EXPECT_THROW(FreeCandidateName("C:\\", "x.exe", [](const std::string&) { return true; }),
               IECustomInstallFile);
}

TEST(InUse, BatchText) {
  EXPECT_EQ(InUseBatchText("C:\\Program Files\\Quorvane - Brask.exe", "C:\\Program Files\\Quorvane - Brask.1",
                           "C:\\TEMP\\bat1A.bat"),
            "erase \"C:\\Program Files\\Quorvane - Brask.exe\"\r\n"
            "move \"C:\\Program Files\\Quorvane - Brask.1\" \"C:\\Program Files\\Quorvane - Brask.exe\"\r\n"
            "erase \"C:\\TEMP\\bat1A.bat\"\r\n");
  EXPECT_EQ(InUseBatchText("C:\\100%\\%TEMP%.exe", "C:\\100%\\%TEMP%.1", "C:\\T\\bat1B.bat"),
            "erase \"C:\\100%%\\%%TEMP%%.exe\"\r\n"
            "move \"C:\\100%%\\%%TEMP%%.1\" \"C:\\100%%\\%%TEMP%%.exe\"\r\n"
            "erase \"C:\\T\\bat1B.bat\"\r\n");
}

TEST(CommandLine, Table) {
  struct Row {
    std::vector<std::string> arguments;
    std::uint8_t flags;
    std::map<char, std::string> values;
  };
  const Row rows[] = {
      {{}, 0, {}},
      {{"-b"}, 0x01, {{'b', ""}}},
      {{"-F", "-d", "-sC:\\My Build\\"}, 0x02 | 0x04 | 0x20, {{'f', ""}, {'s', "C:\\My Build\\"}}},
      {{"-eSetup.exe", "-SC:\\Temp"}, 0x08 | 0x20, {{'e', "Setup.exe"}, {'s', "C:\\Temp"}}},
      {{"-r", "-c", "-cignored"}, 0x10 | 0x40, {{'r', ""}, {'c', "ignored"}}},
      {{"-sfirst", "-ssecond"}, 0x20, {{'s', "second"}}},  // a later one replaces
  };
  for (const Row& row : rows) {
    const auto options = ParseInstallCommandLine(row.arguments);
    EXPECT_EQ(options.Flags, row.flags) << ::testing::PrintToString(row.arguments);
    for (const auto& [letter, value] : row.values) {
      EXPECT_TRUE(options.Has(letter)) << letter;
      EXPECT_EQ(options.Value(letter), value) << letter;
    }
  }
}

TEST(CommandLine, InvalidArgumentsAreNamed) {
  for (const std::string argument : {"-x", "x", "-", "", "/b", "--b"}) {
    try {
      ParseInstallCommandLine({"-b", argument});
      FAIL() << "'" << argument << "' passed";
    } catch (const IException& e) {
      EXPECT_EQ(
          std::string(e.what()),
          "Invalid parameter <" + argument +
              ">. Valid command line parameters are: -b (Build), -d (Debug), -f (Transfer to floppies), -e "
              "(Called by self-extractor), -r (After reboot)");
    }
  }
}

TEST(CommandLine, DebugNeedsABuildFolder) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{{"-d"}, {"-d", "-s"}, {"-d", "-s  "}}) {
    EXPECT_THROW(CheckDebugOptions(ParseInstallCommandLine(arguments)), IEInstall);
  }
  try {
    CheckDebugOptions(ParseInstallCommandLine({"-d"}));
  } catch (const IEInstall& e) {
    EXPECT_STREQ(e.what(),
                 "You forgot to pass in the build directory. In Run | Parameters, follow this format: -d "
                 "\"-sC:\\My Build\"");
  }
  EXPECT_NO_THROW(CheckDebugOptions(ParseInstallCommandLine({"-d", "-sC:\\My Build\\"})));
  EXPECT_NO_THROW(CheckDebugOptions(ParseInstallCommandLine({"-s"})));
}

TEST(RestartCommand, ByteForByte) {
  const std::string program = "C:\\Temp\\Setup Copy\\setup.exe";
  EXPECT_EQ(RestartCommand(program, "D:\\Disk 1\\Quorvane.exe", true, false),
            "\"C:\\Temp\\Setup Copy\\setup.exe\" -r \"-eQuorvane.exe\" \"-sD:\\Disk 1\"");
  EXPECT_EQ(RestartCommand(program, "D:\\Disk 1\\setup.exe", false, false),
            "\"C:\\Temp\\Setup Copy\\setup.exe\" -r \"-sD:\\Disk 1\"");
  EXPECT_EQ(RestartCommand(program, "D:\\Disk 1\\Quorvane.exe", true, true),
            "\"C:\\Temp\\Setup Copy\\setup.exe\" -r \"-eQuorvane.exe\" \"-sD:\\Disk 1\" -c");
  EXPECT_EQ(RestartCommand(program, program, false, true),
            "\"C:\\Temp\\Setup Copy\\setup.exe\" -r \"-sC:\\Temp\\Setup Copy\" -c");
  // The command parses back into what it was made from.
  const auto options = ParseInstallCommandLine({"-r", "-eQuorvane.exe", "-sD:\\Disk 1", "-c"});
  EXPECT_EQ(options.Value('e'), "Quorvane.exe");
  EXPECT_EQ(options.Value('s'), "D:\\Disk 1");
}

TEST(RestartCommand, InstallerPath) {
  const std::string program = "C:\\Temp\\x\\setup.exe";
  EXPECT_EQ(RestartInstallerPath(true, "D:\\Quorvane.exe", true, "D:\\", program), "D:\\Quorvane.exe");
  // The loading program's folder, whatever the arguments were.
  EXPECT_EQ(RestartInstallerPath(false, "", true, "D:\\Build", program), "D:\\Build\\setup.exe");
  EXPECT_EQ(RestartInstallerPath(false, "", false, "D:\\Build", program), program);
}

TEST(RestartCommand, RegisteredUnderAFreeName) {
  MemoryRegistry registry;
  RegisterRestart(registry, "\"a.exe\" -r");
  RegisterRestart(registry, "\"b.exe\" -r");
  EXPECT_EQ(registry.Text(kLocalMachine, kRunOnceKey, "PembrinUnfinished"), "\"a.exe\" -r");
  EXPECT_EQ(registry.Text(kLocalMachine, kRunOnceKey, "PembrinUnfinished1"), "\"b.exe\" -r");
  RegisterInUseBatch(registry, "C:\\T\\bat1.bat", "File1");
  EXPECT_EQ(registry.Text(kLocalMachine, kRunOnceKey, "PembrinBatFile"), "C:\\T\\bat1.bat");

  registry.readOnlyKeys.insert(MemoryRegistry::Path(kRunOnceKey));
  try {
    RegisterRestart(registry, "c");
    FAIL();
  } catch (const IEInstall& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot register the install to be run on reboot in the RunOnce key in the registry");
  }
  try {
    RegisterInUseBatch(registry, "C:\\T\\bat2.bat", "File1");
    FAIL();
  } catch (const IECustomInstallFile& e) {
    EXPECT_STREQ(
        e.what(),
        "File1 cannot register a routine in the register to move the files after the computer is reboot");
  }
}

TEST(Cleanup, BatchDeletesTheFolderOnlyInsideTheTemporaryFolder) {
  EXPECT_EQ(CleanupBatchText("C:\\Temp Dir\\inst 1\\setup.exe", "C:\\Temp Dir\\", "C:\\Temp Dir\\bat2.bat"),
            "del \"C:\\Temp Dir\\inst 1\\setup.exe\"\r\n"
            "rmdir /s /q \"C:\\Temp Dir\\inst 1\"\r\n"
            "del \"C:\\Temp Dir\\bat2.PIF\"\r\n"
            "del \"C:\\Temp Dir\\bat2.bat\"\r\n");
  EXPECT_EQ(CleanupBatchText("C:\\Temp\\%PATH%\\setup.exe", "C:\\Temp", "C:\\Temp\\bat3.bat"),
            "del \"C:\\Temp\\%%PATH%%\\setup.exe\"\r\n"
            "rmdir /s /q \"C:\\Temp\\%%PATH%%\"\r\n"
            "del \"C:\\Temp\\bat3.PIF\"\r\n"
            "del \"C:\\Temp\\bat3.bat\"\r\n");
  EXPECT_EQ(CleanupBatchText("D:\\setup.exe", "C:\\Temp", "C:\\Temp\\bat2.bat"),
            "del \"D:\\setup.exe\"\r\n"
            "del \"C:\\Temp\\bat2.PIF\"\r\n"
            "del \"C:\\Temp\\bat2.bat\"\r\n");
  struct Row {
    const char* folder;
    const char* temp;
    bool inside;
  };
  const Row rows[] = {{"C:\\Temp\\a", "C:\\Temp", true},    {"c:\\temp\\A\\b", "C:\\TEMP\\", true},
                      {"C:\\Temp", "C:\\Temp", false},      {"C:\\Temp\\", "C:\\Temp", false},
                      {"C:\\Temporary", "C:\\Temp", false}, {"C:\\Temp\\..\\Windows", "C:\\Temp", false},
                      {"C:\\Program Files", "", false},     {"C:\\", "C:\\Temp", false}};
  for (const Row& row : rows) EXPECT_EQ(LiesInside(row.folder, row.temp), row.inside) << row.folder;
}

TEST(Unfinished, WrittenReadAndCleared) {
  MemoryRegistry registry;
  const std::string instance = "\\SOFTWARE\\Pembrin\\Install\\Install0";
  AddUnfinished(registry, instance, "File1", 0);
  AddUnfinished(registry, instance, "C:\\T\\bat1.bat", 1);
  EXPECT_EQ(registry.Text(kLocalMachine, instance + "\\Unfinished", "File1"), "0");  // text, not a number
  EXPECT_EQ(ReadUnfinished(registry, instance), (std::vector<std::string>{"C:\\T\\bat1.bat;1", "File1;0"}));
  ClearUnfinished(registry, instance);
  EXPECT_TRUE(ReadUnfinished(registry, instance).empty());
  EXPECT_NE(registry.Find(kLocalMachine, instance), nullptr);

  for (const auto& call : std::vector<std::function<void()>>{[&] { AddUnfinished(registry, "", "F", 0); },
                                                             [&] { ReadUnfinished(registry, ""); },
                                                             [&] { ClearUnfinished(registry, ""); }}) {
    try {
      call();
      FAIL();
    } catch (const IEInstall& e) {
      EXPECT_STREQ(e.what(),
                   "The TInstall could not either write or read unfinished business from the registry");
    }
  }
}

TEST(Unfinished, EntriesParse) {
  const auto entry = ParseUnfinished("File1;0");
  EXPECT_EQ(entry.Name, "File1");
  EXPECT_EQ(entry.Kind, 0);
  EXPECT_EQ(ParseUnfinished("C:\\T\\bat1.bat;1").Kind, 1);
  for (const std::string line : {"File1;", "File1;x", "File1", "File1;1x", "File1;99999999999"}) {
    try {
      ParseUnfinished(line);
      FAIL() << line;
    } catch (const IEInstall& e) {
      EXPECT_EQ(std::string(e.what()), "There is an invalid entry for the unfinished install list " + line);
    }
  }
}

const std::string kProduct = std::string(kUninstallKey) + "Quorvane";

TEST(UninstallLog, NonNumericEntriesMovesToTheNextKey) {
  MemoryRegistry registry;
  RegWriteString(registry, kLocalMachine, kProduct + "\\Files", "Entries", "many");
  WriteUninstallLog(registry, kProduct, "C:\\App\\a.exe", false);
  EXPECT_EQ(registry.Text(kLocalMachine, kProduct + "\\Files1", "File1"), "C:\\App\\a.exe");
  EXPECT_EQ(registry.Text(kLocalMachine, kProduct + "\\Files1", "Entries"), "1");
  EXPECT_EQ(registry.Text(kLocalMachine, kProduct + "\\Files", "File1"), "");
}

TEST(UninstallLog, GivesUpAfterAHundredKeys) {
  MemoryRegistry registry;
  for (int k = 0; k < 100; ++k)
    registry.readOnlyKeys.insert(MemoryRegistry::Path(kProduct + "\\Files" + (k ? std::to_string(k) : "")));
  EXPECT_THROW(WriteUninstallLog(registry, kProduct, "C:\\App\\a.exe", false), EIRCannotWriteValue);
  registry.readOnlyKeys.erase(MemoryRegistry::Path(kProduct + "\\Files99"));
  WriteUninstallLog(registry, kProduct, "C:\\App\\a.exe", false);
  EXPECT_EQ(registry.Text(kLocalMachine, kProduct + "\\Files99", "File1"), "C:\\App\\a.exe");
}

TEST(UninstallLog, FilesAndActiveXEntriesAsText) {
  MemoryRegistry registry;
  WriteUninstallLog(registry, kProduct, "C:\\App\\a.exe", false);
  WriteUninstallLog(registry, kProduct, "C:\\App\\server.EXE", true);
  WriteUninstallLog(registry, kProduct, "C:\\App\\b.dll", false);
  WriteUninstallLog(registry, kProduct, "C:\\App\\grid.ocx", true);
  const struct {
    const char* key;
    const char* name;
    const char* text;
  } values[] = {{"Files", "File1", "C:\\App\\a.exe"},
                {"Files", "File2", "C:\\App\\b.dll"},
                {"Files", "Entries", "2"},
                {"ActiveX", "File1", "C:\\App\\server.EXE;1"},
                {"ActiveX", "File2", "C:\\App\\grid.ocx;0"},
                {"ActiveX", "Entries", "2"}};
  for (const auto& v : values)
    EXPECT_EQ(registry.Text(kLocalMachine, kProduct + "\\" + v.key, v.name), v.text)
        << v.key << " " << v.name;
}

TEST(Registrations, HelpAndSharedDLLs) {
  MemoryRegistry registry;
  RegisterHelpFile(registry, "Guide.hlp", "C:\\App\\Help\\");
  EXPECT_EQ(registry.Text(kLocalMachine, kHelpKey, "GUIDE.HLP"), "C:\\App\\Help");

  // The long name counts from nothing; a short name already counted goes on.
  EXPECT_TRUE(IncrementSharedDLLCount(registry, "C:\\PROGRA~1\\SHARED.DLL", "C:\\Program Files\\shared.dll"));
  EXPECT_TRUE(IncrementSharedDLLCount(registry, "C:\\PROGRA~1\\SHARED.DLL", "C:\\Program Files\\shared.dll"));
  EXPECT_EQ(registry.Text(kLocalMachine, kSharedDLLsKey, "C:\\Program Files\\shared.dll"), "#2");
  RegWriteInteger(registry, kLocalMachine, kSharedDLLsKey, "C:\\PROGRA~1\\OTHER.DLL", 4);
  EXPECT_TRUE(IncrementSharedDLLCount(registry, "C:\\PROGRA~1\\OTHER.DLL", "C:\\Program Files\\other.dll"));
  EXPECT_EQ(registry.Text(kLocalMachine, kSharedDLLsKey, "C:\\PROGRA~1\\OTHER.DLL"), "#5");
  EXPECT_EQ(registry.Text(kLocalMachine, kSharedDLLsKey, "C:\\Program Files\\other.dll"), "");

  registry.readOnlyKeys.insert(MemoryRegistry::Path(kSharedDLLsKey));
  EXPECT_FALSE(IncrementSharedDLLCount(registry, "C:\\A.DLL", "C:\\a.dll"));
}

TEST(StartingInstallType, FirstInOrder) {
  EXPECT_EQ(StartingInstallType(InstallTypeSet({itFull, itCompact})), itCompact);
  EXPECT_EQ(StartingInstallType(InstallTypeSet({itFull})), itFull);
  EXPECT_EQ(StartingInstallType(InstallTypeSet({itCustom, itDefault})), itDefault);
  EXPECT_EQ(StartingInstallType(InstallTypeSet({itCustom})), itCustom);
  EXPECT_EQ(StartingInstallType(InstallTypeSet({itAlways})), itAlways);
}

}  // namespace
}  // namespace setup
