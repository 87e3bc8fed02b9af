// The install object tree: every piece of an installation names its parent
// through Container; children are kept ordered by registered type and Order.
// Processing walks the tree; files report information codes to their
// container, containers keep running totals and relay them upwards, and
// negative install events are broadcast to the dialog children.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/component.h"
#include "setup/base/exceptions.h"
#include "setup/install/path_specifier.h"

namespace setup {

enum TInstallType : std::uint8_t { itFull, itDefault, itCompact, itAlways, itCustom };
// Bit n stands for install type n.
using TInstallTypeSet = std::uint8_t;
constexpr TInstallTypeSet InstallTypeSet(std::initializer_list<TInstallType> types) {
  TInstallTypeSet set = 0;
  for (auto type : types) set = static_cast<TInstallTypeSet>(set | (1u << type));
  return set;
}
constexpr bool Contains(TInstallTypeSet set, TInstallType type) { return (set >> type) & 1u; }

enum TInstallFileState : std::uint8_t { ifsNone, ifsCompress, ifsInstall, ifsCopying };
// Where an installation takes its files from: the archives beside the setup
// program, the server for every file, or the server for the files marked Net.
enum TDistributeType { dtTraditional, dtWeb, dtTraditionalNet };
enum TlzhCommand : std::uint8_t { lzcOverwrite, lzcOnlyAdd };

// Registered types.
constexpr int rtFileContainer = 1000, rtFile = 2000, rtShortcutFolder = 7000, rtShortcut = 8000,
              rtDialog = 9000;

// Information codes a file or container reports to its container.
enum : int {
  icAfterInstallFile = 1001,
  icBeforeInstallFile = 1002,
  icReplacing = 1003,
  icBeforeCompress = 1004,
  icAfterCompress = 1005,
  icBeforeCopy = 1006,
  icAfterCopy = 1007,
  icFileStatusInstall = 1008,
  icFileStatusCompress = 1009,
  icFileStatusCopying = 1010,
  icChangeDisk = 1011,
  icBeforeInstallObjects = 1012,
  icAfterInstallObjects = 1013,
  icDownloadStatus = 1014,
  icFileAborted = 1015,
  icFileSkipped = 1016,
};

// Install events, broadcast to dialog children.
enum : int {
  ieBeforeInstallObject = -999,
  ieFileStatus = -998,
  ieReplacing = -997,
  ieCopyFinished = -996,
  ieGoodInstallNotify = -995,
  ieBadInstallNotify = -994,
  ieChangeDisk = -993,
  ieCopyStarting = -992,
  ieCreateLinkGroup = -991,
  ieBeforeProcessObject = -990,
  ieAfterProcessObject = -989,
  ieDownloadStatus = -988,
  ieReboot = -987,
  ieRunStarted = -986,
  ieBeforeReadArchiveInfo = -984,
  ieAfterReadArchiveInfo = -983,
  ieWelcome = -982,
  ieLicense = -981,
  ieBeforeInstallWizard = -980,
  ieAfterGoodInstall = -979,
  ieAfterBadInstall = -978,
  ieReadme = -977,
  ieBeforeWelcome1 = -976,
  ieBeforeWelcome2 = -975,
  ieStatusText = -974,
  ieStatusClose = -973,
};

// Anything an event carries: install objects, parameter objects, lists.
class TEventObject {
 public:
  virtual ~TEventObject() = default;
};

class TEventList : public TEventObject {
 public:
  TEventList(std::initializer_list<TEventObject*> items) : Items(items) {}
  std::vector<TEventObject*> Items;
};

class TMessageParameter : public TEventObject {
 public:
  explicit TMessageParameter(std::string text) : Text(std::move(text)) {}
  std::string Text;
};

class TDiskParameter : public TEventObject {
 public:
  std::int32_t Disk = 0;
  std::string Path;
};

// What the archive tells of the entry being extracted.
struct TFileStatusStats {
  bool EntryFinished = false;
  std::int32_t FileSize = 0;
};

class TFileStatusParameter : public TEventObject {
 public:
  std::int32_t BytesDone = 0;
  std::int32_t FilePercent = 0;
  std::string FileName;
  TFileStatusStats Stats;
  std::int32_t TotalBytesDone = 0;
  std::int32_t TotalPercent = 0;
};

class TDownloadStatusParameter : public TEventObject {
 public:
  std::int32_t ChunkBytes = 0;
  std::string FileName;
  std::int32_t FileSize = 0;
  std::int32_t BytesReceived = 0;
  std::int32_t Percent = 0;
};

class TInstallContainer;
class TCustomInstallFile;
using TInstallContainerNotifyEvent = std::function<void(TInstallContainer* container)>;

class TInstallContainer : public fw::TComponent, public TEventObject {
 public:
  explicit TInstallContainer(fw::TComponent* owner);
  ~TInstallContainer() override;
  std::string ClassName() const override { return "TInstallContainer"; }

  virtual int RegisteredType() const;

  // Children in order (not owned).
  const std::vector<TInstallContainer*>& Children() const { return children_; }
  // Index outside the children raises the helper-component message.
  TInstallContainer* Child(int index) const;
  template <class T>
  int CountOf() const {
    int count = 0;
    for (auto* child : children_) count += dynamic_cast<T*>(child) != nullptr;
    return count;
  }
  // The index-th child (from 0) among the children of the class.
  template <class T>
  T* Comp(int index) const {
    int seen = 0;
    for (auto* child : children_)
      if (auto* found = dynamic_cast<T*>(child); found && seen++ == index) return found;
    throw IEInstallContainer(
        "Bad call to the Comp procedure which returns a TInstallObject for a TInstallContainer component. "
        "The "
        "parameters are probably reversed. Index: %d, ComponentType: %d",
        {index, T::kRegisteredType});
  }
  int FileContainerCount() const;
  class TFileContainer* FileContainers(int index) const;

  virtual void AddObject(TInstallContainer* object);
  virtual void RemoveObject(TInstallContainer* object);

  bool Processable = false;
  bool Include = true;
  bool Installed = false;
  TInstallTypeSet InstallTypes() const { return installTypes_; }
  void SetInstallTypes(TInstallTypeSet types);
  TInstallType CurrentInstallType() const { return currentInstallType_; }
  void SetCurrentInstallType(TInstallType type);

  TInstallContainerNotifyEvent OnBeforeProcess, OnAfterProcess;

  const std::string& DestDir() const { return destDir_; }
  virtual void SetDestDir(const std::string& dir) { destDir_ = dir; }
  TCustomPathSpecifier* DestDirType() const { return destDirType_; }
  virtual void SetDestDirType(TCustomPathSpecifier* specifier);
  virtual std::string GetDestDir() const;

  std::int32_t Order() const { return order_; }
  void SetOrder(std::int32_t order);

  bool PassesInstallType() const;
  virtual bool IsIncluded() const { return Include && PassesInstallType(); }

  // Processing: the install events around Install; EAbort ends it quietly.
  virtual void Process();
  // Installs the object; false when it was skipped (not installed).
  virtual bool Install();
  virtual void WriteUninstallInfo(const std::string& key);
  // What the object still has to do after the restart it asked for.
  virtual void ContinueAfterReboot() {}

  // The negative events reach the object's own dialog children only.
  void Broadcast(TInstallContainer* sender, int code, TEventObject* parameter);
  virtual void InformationEvent(TInstallContainer* sender, int code, TEventObject* parameter);
  virtual void DoInformationEventControl(TInstallContainer* sender, int code, TEventObject* parameter);
  virtual void PushStatus(const std::string& text);
  void PopStatus();

  virtual void ContainerDestroying(TInstallContainer* object);
  void Loaded() override;

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;
  // A default the constructor gives: cleared after loading unless replaced.
  void SetDefaultDestDirType(TCustomPathSpecifier* specifier);
  void Renumber();
  // The object's own container, for install objects.
  virtual TInstallContainer* ParentContainer() const { return nullptr; }

  std::vector<TInstallContainer*> children_;

 private:
  TInstallTypeSet installTypes_ = InstallTypeSet({itAlways});
  TInstallType currentInstallType_ = itAlways;
  std::string destDir_;
  TCustomPathSpecifier* destDirType_ = nullptr;
  std::int32_t order_ = -1;
  bool destDirTypeSet_ = false, destDirTypeDefault_ = false;
};

class TInstallObject : public TInstallContainer {
 public:
  explicit TInstallObject(fw::TComponent* owner) : TInstallContainer(owner) {}
  std::string ClassName() const override { return "TInstallObject"; }
  TInstallContainer* Container() const { return container_; }
  virtual void SetContainer(TInstallContainer* container);
  void ContainerDestroying(TInstallContainer* object) override;

 protected:
  TInstallContainer* ParentContainer() const override { return container_; }
  // Lets file-related objects follow a new container outside loading.
  virtual void ContainerChanged() {}

 private:
  TInstallContainer* container_ = nullptr;
  bool containerSet_ = false;
};

using TDataReceivedEvent =
    std::function<void(TEventObject* sender, const std::string& fileName, std::int32_t bytes,
                       std::int32_t totalBytes, std::int32_t fileSize, const void* buffer)>;

class TFileRelated : public TInstallObject {
 public:
  explicit TFileRelated(fw::TComponent* owner);
  std::string ClassName() const override { return "TFileRelated"; }

  std::string LocalArchivePath;
  TlzhCommand AddToArchive = lzcOverwrite;
  bool InfoRead = false;
  const std::string& ArchiveFile() const { return archiveFile_; }
  void SetArchiveFile(const std::string& file) { archiveFile_ = file; }
  TCustomPathSpecifier* ArchiveFileType() const { return archiveFileType_; }
  void SetArchiveFileType(TCustomPathSpecifier* specifier);
  // The archive's path: its specifier's path followed by ArchiveFile.
  virtual std::string GetArchivePath() const;
  bool Net = true;
  // The network location (set by the download layer); cleared when it goes.
  fw::TComponent* NetLocation() const { return netLocation_; }
  void SetNetLocation(fw::TComponent* location);
  TDataReceivedEvent OnDataReceived;

 protected:
  void ContainerChanged() override;
  void Notification(fw::TComponent* component, fw::TOperation operation) override;

 private:
  std::string archiveFile_;
  TCustomPathSpecifier* archiveFileType_ = nullptr;
  fw::TComponent* netLocation_ = nullptr;
};

// The part of an install file the tree uses; copying and archive reading
// build on it.
class TCustomInstallFile : public TFileRelated {
 public:
  static constexpr int kRegisteredType = rtFile;
  explicit TCustomInstallFile(fw::TComponent* owner);
  ~TCustomInstallFile() override;
  std::string ClassName() const override { return "TCustomInstallFile"; }
  int RegisteredType() const override { return rtFile; }

  std::string FileName;
  virtual std::int32_t FileSize() const { return Size; }
  std::int32_t Size = 0;
  // The file's identity in the archive (0..1999). A new file takes the first
  // one free; one loaded from a description keeps the value it was given.
  std::int32_t UniqueID() const { return uniqueID_; }
  void SetUniqueID(std::int32_t id);
  void Loaded() override;
  virtual void ReadInfoFromArchive() {}
  // What the file is doing now: installing, compressing or copying.
  TInstallFileState State() const { return fileState_; }
  // Starts the operation of the state: ifsCompress the build's compress of
  // the file, ifsInstall Process, ifsCopying its copy unpacked. The file is
  // in no state again once it ends. Setting the state it is in, or none,
  // starts nothing.
  void SetState(TInstallFileState state);
  // What the operations themselves mark while they run.
  void EnterState(TInstallFileState state) { fileState_ = state; }

  // The build's marks: 2 once the file went into an archive during this
  // build, 0 before; whether that was a net archive; and the archive path.
  std::uint8_t BuildMark = 0;
  bool NetArchiveBuilt = false;
  std::string BuiltArchivePath;

 private:
  TInstallFileState fileState_ = ifsNone;
  std::int32_t uniqueID_ = 0;
};

using TInstallFileStatusEvent =
    std::function<void(TCustomInstallFile* file, std::int32_t filePercent, std::int32_t totalPercent)>;
using TInstallFileNewDiskEvent =
    std::function<void(TCustomInstallFile* file, std::int32_t newDisk, std::string& path)>;
using TInstallFileNotifyEvent = std::function<void(TCustomInstallFile* file)>;
using TAfterInstallObjectsEvent = std::function<void(TInstallContainer* container, bool wasAborted)>;

class TFileContainer : public TFileRelated {
 public:
  static constexpr int kRegisteredType = rtFileContainer;
  explicit TFileContainer(fw::TComponent* owner) : TFileRelated(owner) {}
  std::string ClassName() const override { return "TFileContainer"; }
  int RegisteredType() const override { return rtFileContainer; }

  std::int32_t TotalBytes = 0;
  std::int32_t BytesDone = 0;
  bool AllowChangeDir = true;
  bool AllowChoice = true;
  std::vector<std::string> Description;
  std::string GroupName;
  TInstallFileStatusEvent OnStatus;
  TInstallFileNewDiskEvent OnNewDisk;
  TInstallFileNotifyEvent OnReplacing;
  TAfterInstallObjectsEvent OnAfterInstallObjects;
  TInstallContainerNotifyEvent OnBeforeInstallObjects;

  TInstallFileState State() const { return state_; }
  // Starts the operation of the state: ifsCompress the build's compress
  // without options, ifsInstall Process, ifsCopying the copy of its files
  // unpacked. The container is in no state again once it ends. Setting the
  // state it is in, or none, starts nothing.
  void SetState(TInstallFileState state);
  // What the operations themselves mark while they walk the container.
  void EnterState(TInstallFileState state) { state_ = state; }

  bool Install() override;
  virtual void ReadArchiveInfo();
  // Sizes of the included files, with those of included file containers.
  std::int32_t TotalSize() const;
  int FileCount() const { return CountOf<TCustomInstallFile>(); }
  TCustomInstallFile* Files(int index) const { return Comp<TCustomInstallFile>(index); }

  void DoInformationEventControl(TInstallContainer* sender, int code, TEventObject* parameter) override;

 private:
  TCustomInstallFile* FileParameter(TEventObject* parameter) const;
  TEventList& ListParameter(TEventObject* parameter) const;
  void Status(TCustomInstallFile* file, TFileStatusParameter& status);
  void CountFinished(TCustomInstallFile* file, std::int32_t size);

  TInstallFileState state_ = ifsNone;
  // Files whose size is in BytesDone during this operation.
  std::set<const TCustomInstallFile*> counted_;
};

class TInstallFileGroup : public TFileContainer {
 public:
  explicit TInstallFileGroup(fw::TComponent* owner);
  std::string ClassName() const override { return "TInstallFileGroup"; }
};

// The part of the install run the tree and the specifiers use.
class TCustomInstall : public TFileContainer {
 public:
  explicit TCustomInstall(fw::TComponent* owner) : TFileContainer(owner) {}
  std::string ClassName() const override { return "TCustomInstall"; }
  // The folder the setup was started from (or the -s value), without a
  // trailing backslash.
  virtual std::string BaseFolder() const = 0;
  // The -e value when the command line has one.
  virtual const std::string* ArchiveOption() const = 0;
  virtual std::string ProductName() const = 0;
  virtual TDistributeType DistributeType() const { return dtTraditional; }
  // The installer's key under HKEY_LOCAL_MACHINE; "" when it has none.
  virtual std::string InstanceKey() const { return {}; }

  // A restart is needed: a file in use waits for it.
  bool Reboot = false;
  // True while a run, or its continuation after a restart, is in progress.
  virtual bool Running() const { return false; }
  // An entry of the list the continuation after the restart works through.
  virtual void AddUnfinished(const std::string& name, int kind) {
    (void)name;
    (void)kind;
  }
  // Files whose self-registration failed during the run; the run retries
  // them at its end.
  std::vector<TCustomInstallFile*> FailedRegistrations;
};

// The install run of this process, if one exists.
TCustomInstall* FindInstall();

using TExternalComponentCall =
    std::function<void(TInstallContainer* container, std::int32_t call, TEventObject* po)>;

// Hands every event it receives to OnCall.
class TGrabCall : public TInstallObject {
 public:
  static constexpr int kRegisteredType = rtDialog;
  explicit TGrabCall(fw::TComponent* owner) : TInstallObject(owner) {}
  std::string ClassName() const override { return "TGrabCall"; }
  int RegisteredType() const override { return rtDialog; }
  void InformationEvent(TInstallContainer* sender, int code, TEventObject* parameter) override;
  TExternalComponentCall OnCall;
};

// Every install container, and every install file, in creation order.
const std::vector<TInstallContainer*>& AllInstallContainers();
const std::vector<TCustomInstallFile*>& AllInstallFiles();

// Where the busy cursor and the archive's abort flag come from; the program
// connects them, tests may leave them out.
struct InstallTreeHooks {
  std::function<int()> ShowBusyCursor;  // returns the cursor to restore
  std::function<void(int)> RestoreCursor;
  std::function<bool()> ArchiveAborted;
  // An archive operation of the build starts: an abort left from before is
  // forgotten.
  std::function<void()> ArchiveStarting;
  // Runs before an install object is built with an owner (the standard
  // specifiers are ensured on a form's objects).
  std::function<void(fw::TComponent* owner)> ObjectCreating;
  // The build's operations the State setters start; the program connects
  // them. Without them those states cannot be set.
  std::function<void(TFileContainer&container)> Compress, CopyUnpacked;
  std::function<void(TCustomInstallFile&file)> CompressFile, CopyUnpackedFile;
};
InstallTreeHooks& TreeHooks();

}  // namespace setup
