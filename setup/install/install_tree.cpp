#include "setup/install/install_tree.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>

#include "framework/exceptions.h"
#include "setup/base/text_routines.h"

namespace setup {
namespace {

std::vector<TInstallContainer*>& Containers() {
  static std::vector<TInstallContainer*> list;
  return list;
}

std::vector<TCustomInstallFile*>& Files() {
  static std::vector<TCustomInstallFile*> list;
  return list;
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

// Whole percent, halves to the even neighbour, kept within 0 to 100.
std::int32_t Percent(std::int64_t part, std::int64_t whole) {
  if (whole <= 0) return 0;
  const double exact = static_cast<double>(part) * 100.0 / static_cast<double>(whole);
  const double rounded = std::nearbyint(exact);
  return static_cast<std::int32_t>(std::clamp(rounded, 0.0, 100.0));
}

}  // namespace

InstallTreeHooks& TreeHooks() {
  static InstallTreeHooks hooks;
  return hooks;
}

const std::vector<TInstallContainer*>& AllInstallContainers() { return Containers(); }
const std::vector<TCustomInstallFile*>& AllInstallFiles() { return Files(); }

TCustomInstall* FindInstall() {
  for (auto* container : Containers())
    if (auto* install = dynamic_cast<TCustomInstall*>(container); install && !install->Destroying())
      return install;
  return nullptr;
}

// --- TInstallContainer ---

namespace {

fw::TComponent* BeforeCreating(fw::TComponent* owner) {
  if (owner && TreeHooks().ObjectCreating) TreeHooks().ObjectCreating(owner);
  return owner;
}

}  // namespace

TInstallContainer::TInstallContainer(fw::TComponent* owner) : fw::TComponent(BeforeCreating(owner)) {
  Containers().push_back(this);
}

TInstallContainer::~TInstallContainer() {
  MarkDestroying();
  auto& all = Containers();
  for (size_t i = all.size(); i-- > 0;)
    if (all[i] != this) all[i]->ContainerDestroying(this);
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

int TInstallContainer::RegisteredType() const {
  throw IEInstallContainer("Class must declare a registered type");
}

TInstallContainer* TInstallContainer::Child(int index) const {
  if (index < 0 || index >= static_cast<int>(children_.size()))
    throw IEInstallContainer(
        "Tried to reference a helper component in the following component: %s. The following index was used: "
        "%d",
        {Name(), index});
  return children_[static_cast<size_t>(index)];
}

int TInstallContainer::FileContainerCount() const { return CountOf<TFileContainer>(); }

TFileContainer* TInstallContainer::FileContainers(int index) const { return Comp<TFileContainer>(index); }

void TInstallContainer::AddObject(TInstallContainer* object) {
  if (!object) throw IEInstallContainer("Cannot add a blank base helper component to %s", {Name()});
  if (object == this) throw IEInstallContainer("Circular reference");
  for (TInstallContainer* up = ParentContainer(); up; up = up->ParentContainer())
    if (up == object) throw IEInstallContainer("Circular reference");
  size_t position = children_.size();
  const int type = object->RegisteredType();
  if (SameText(object->ClassName(), "TINSTALLHDB")) {
    position = 0;
  } else {
    for (size_t i = 0; i < children_.size(); ++i) {
      const int childType = children_[i]->RegisteredType();
      if (childType > type ||
          (childType == type && object->Order() != -1 && children_[i]->Order() >= object->Order())) {
        position = i;
        break;
      }
    }
  }
  children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(position), object);
  if (!Loading()) Renumber();
}

void TInstallContainer::RemoveObject(TInstallContainer* object) {
  children_.erase(std::remove(children_.begin(), children_.end(), object), children_.end());
  if (!Loading()) Renumber();
}

void TInstallContainer::Renumber() {
  int previousType = 0;
  std::int32_t order = 0;
  for (size_t i = 0; i < children_.size(); ++i) {
    const int type = children_[i]->RegisteredType();
    order = (i == 0 || type != previousType) ? 0 : order + 1;
    children_[i]->order_ = order;
    previousType = type;
  }
}

void TInstallContainer::SetInstallTypes(TInstallTypeSet types) {
  if (Loading()) {
    installTypes_ = types;
    return;
  }
  const TInstallTypeSet always = InstallTypeSet({itAlways});
  if (types == 0 || (Contains(types, itAlways) && !Contains(installTypes_, itAlways))) {
    installTypes_ = always;
  } else if (Contains(types, itAlways) && types != always) {
    installTypes_ = static_cast<TInstallTypeSet>(types & ~always);
  } else {
    installTypes_ = types;
  }
}

void TInstallContainer::SetCurrentInstallType(TInstallType type) {
  for (auto* child : children_) child->SetCurrentInstallType(type);
  currentInstallType_ = type;
}

void TInstallContainer::SetDestDirType(TCustomPathSpecifier* specifier) {
  destDirTypeSet_ = true;
  destDirTypeDefault_ = false;
  if (specifier && !Loading()) specifier->CheckObject(this);
  if (destDirType_) destDirType_->RemoveFreeNotification(this);
  destDirType_ = specifier;
  if (specifier) specifier->FreeNotification(this);
}

void TInstallContainer::SetDefaultDestDirType(TCustomPathSpecifier* specifier) {
  SetDestDirType(specifier);
  destDirTypeSet_ = false;
  destDirTypeDefault_ = true;
}

void TInstallContainer::Loaded() {
  fw::TComponent::Loaded();
  if (destDirTypeDefault_ && !destDirTypeSet_) {
    destDirType_ = nullptr;
    destDirTypeDefault_ = false;
  }
}

std::string TInstallContainer::GetDestDir() const {
  if (!destDirType_) return RemoveBackslash(destDir_);
  return RemoveBackslash(destDirType_->GetPath(const_cast<TInstallContainer*>(this)) + destDir_);
}

void TInstallContainer::SetOrder(std::int32_t order) {
  TInstallContainer* container = ParentContainer();
  if (Loading() || order == order_ || !container) {
    order_ = order;
    return;
  }
  container->RemoveObject(this);
  order_ = order;
  container->AddObject(this);
}

bool TInstallContainer::PassesInstallType() const {
  return currentInstallType_ == itAlways || currentInstallType_ == itCustom ||
         Contains(installTypes_, itAlways) || Contains(installTypes_, currentInstallType_);
}

void TInstallContainer::Process() {
  try {
    if (OnBeforeProcess) OnBeforeProcess(this);
    Broadcast(this, ieBeforeProcessObject, nullptr);
    if (!Include) return;
    Broadcast(this, ieBeforeInstallObject, nullptr);
    if (!PassesInstallType()) return;
    // A skipped object was not installed: nothing to mark or to uninstall.
    if (Install()) {
      Installed = true;
      if (TCustomInstall* install = FindInstall())
        WriteUninstallInfo("\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                           install->ProductName());
    }
    if (OnAfterProcess) OnAfterProcess(this);
    Broadcast(this, ieAfterProcessObject, nullptr);
  } catch (const fw::EAbort&) {
  }
}

bool TInstallContainer::Install() {
  Installed = true;
  // A child may leave the tree while an earlier one runs its handlers.
  const std::vector<TInstallContainer*> children = children_;
  for (auto* child : children)
    if (child->Processable && std::find(children_.begin(), children_.end(), child) != children_.end())
      child->Process();
  return true;
}

void TInstallContainer::WriteUninstallInfo(const std::string&) {}

void TInstallContainer::Broadcast(TInstallContainer* sender, int code, TEventObject* parameter) {
  const std::vector<TInstallContainer*> children = children_;
  for (auto* child : children)
    if (child->RegisteredType() == rtDialog) child->InformationEvent(sender, code, parameter);
}

void TInstallContainer::InformationEvent(TInstallContainer*, int, TEventObject*) {}

void TInstallContainer::DoInformationEventControl(TInstallContainer*, int, TEventObject*) {}

void TInstallContainer::PushStatus(const std::string& text) {
  TMessageParameter message(text);
  Broadcast(this, ieStatusText, &message);
}

void TInstallContainer::PopStatus() { Broadcast(this, ieStatusClose, nullptr); }

void TInstallContainer::ContainerDestroying(TInstallContainer* object) {
  children_.erase(std::remove(children_.begin(), children_.end(), object), children_.end());
}

void TInstallContainer::Notification(fw::TComponent* component, fw::TOperation operation) {
  fw::TComponent::Notification(component, operation);
  if (operation == fw::TOperation::opRemove && component == destDirType_) destDirType_ = nullptr;
}

// --- TInstallObject ---

void TInstallObject::SetContainer(TInstallContainer* container) {
  containerSet_ = true;
  if (container == container_) return;
  if (container) container->AddObject(this);
  if (container_) container_->RemoveObject(this);
  container_ = container;
  if (Loading()) return;
  if (container) {
    SetDestDirType(SharedSpecifier(TSpecifierRole::ContainerDestDir));
    SetDestDir("");
  } else if (HasRole(DestDirType(), TSpecifierRole::ContainerDestDir)) {
    SetDestDirType(nullptr);
  }
  ContainerChanged();
}

void TInstallObject::ContainerDestroying(TInstallContainer* object) {
  TInstallContainer::ContainerDestroying(object);
  if (container_ == object) container_ = nullptr;
}

// --- TFileRelated ---

TFileRelated::TFileRelated(fw::TComponent* owner) : TInstallObject(owner) { Processable = true; }

void TFileRelated::SetArchiveFileType(TCustomPathSpecifier* specifier) {
  if (specifier && !Loading()) specifier->CheckObject(this);
  if (archiveFileType_) archiveFileType_->RemoveFreeNotification(this);
  archiveFileType_ = specifier;
  if (specifier) specifier->FreeNotification(this);
}

std::string TFileRelated::GetArchivePath() const {
  if (!archiveFileType_) return archiveFile_;
  const std::string folder = archiveFileType_->GetPath(const_cast<TFileRelated*>(this));
  return archiveFile_.empty() ? folder : AddBackslash(folder) + archiveFile_;
}

void TFileRelated::SetNetLocation(fw::TComponent* location) {
  if (netLocation_) netLocation_->RemoveFreeNotification(this);
  netLocation_ = location;
  if (location) location->FreeNotification(this);
}

void TFileRelated::ContainerChanged() {
  if (dynamic_cast<TFileRelated*>(Container())) {
    SetArchiveFileType(SharedSpecifier(TSpecifierRole::ContainerArchiveFile));
    SetArchiveFile("");
  } else if (HasRole(archiveFileType_, TSpecifierRole::ContainerArchiveFile)) {
    SetArchiveFileType(nullptr);
  }
}

void TFileRelated::Notification(fw::TComponent* component, fw::TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation != fw::TOperation::opRemove) return;
  if (component == archiveFileType_) archiveFileType_ = nullptr;
  if (component == netLocation_) netLocation_ = nullptr;
}

// --- TCustomInstallFile ---

namespace {

constexpr std::int32_t kUniqueIDCount = 2000;

struct UniqueIDTable {
  std::array<bool, kUniqueIDCount> taken{};
  bool clearedForLoading = false;
  void Mark(std::int32_t id, bool value) {
    if (id >= 0 && id < kUniqueIDCount) taken[static_cast<std::size_t>(id)] = value;
  }
};

UniqueIDTable& UniqueIDs() {
  static UniqueIDTable table;
  return table;
}

}  // namespace

TCustomInstallFile::TCustomInstallFile(fw::TComponent* owner) : TFileRelated(owner) {
  Processable = true;
  Net = false;
  Files().push_back(this);
  auto& table = UniqueIDs();
  for (std::int32_t id = 0; id < kUniqueIDCount; ++id)
    if (!table.taken[static_cast<std::size_t>(id)]) {
      uniqueID_ = id;
      table.Mark(id, true);
      break;
    }
}

TCustomInstallFile::~TCustomInstallFile() {
  auto& all = Files();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  UniqueIDs().Mark(uniqueID_, false);
}

void TCustomInstallFile::SetUniqueID(std::int32_t id) {
  if (!Loading()) UniqueIDs().Mark(uniqueID_, false);
  uniqueID_ = id;
  if (!Loading()) UniqueIDs().Mark(id, true);
}

void TCustomInstallFile::Loaded() {
  TFileRelated::Loaded();
  // The ids a description gives replace those taken while it was built.
  auto& table = UniqueIDs();
  if (!table.clearedForLoading) {
    table.taken.fill(false);
    table.clearedForLoading = true;
  }
  table.Mark(uniqueID_, true);
}

namespace {

// Runs the operation `state` stands for, with the object in no state again
// afterwards, also when the operation fails.
template <class Object, class Hook>
void RunStateOperation(Object& object, TInstallFileState state, const Hook& compress, const Hook& copy) {
  if (state == ifsNone || state == object.State()) return;
  const Hook& operation = state == ifsCompress ? compress : copy;
  if (state != ifsInstall && !operation)
    throw IEInstallContainer("%s cannot compress or copy: no build is connected", {object.Name()});
  struct Idle {
    Object& object;
    ~Idle() { object.EnterState(ifsNone); }
  } idle{object};
  if (state == ifsInstall)
    object.Process();
  else
    operation(object);
}

}  // namespace

void TCustomInstallFile::SetState(TInstallFileState state) {
  RunStateOperation(*this, state, TreeHooks().CompressFile, TreeHooks().CopyUnpackedFile);
}

// --- TFileContainer ---

void TFileContainer::SetState(TInstallFileState state) {
  RunStateOperation(*this, state, TreeHooks().Compress, TreeHooks().CopyUnpacked);
}

void TFileContainer::ReadArchiveInfo() {
  for (auto* child : children_) {
    if (auto* file = dynamic_cast<TCustomInstallFile*>(child)) file->ReadInfoFromArchive();
    if (auto* container = dynamic_cast<TFileContainer*>(child)) container->ReadArchiveInfo();
  }
  InfoRead = true;
}

std::int32_t TFileContainer::TotalSize() const {
  std::int64_t total = 0;
  for (auto* child : children_) {
    if (!child->IsIncluded()) continue;
    if (auto* file = dynamic_cast<TCustomInstallFile*>(child)) total += file->FileSize();
    if (auto* container = dynamic_cast<TFileContainer*>(child)) total += container->TotalSize();
  }
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(total, 0, INT32_MAX));
}

bool TFileContainer::Install() {
  state_ = ifsInstall;
  auto& hooks = TreeHooks();
  const int cursor = hooks.ShowBusyCursor ? hooks.ShowBusyCursor() : 0;
  auto finish = [&] {
    if (hooks.RestoreCursor) hooks.RestoreCursor(cursor);
    const bool aborted = hooks.ArchiveAborted && hooks.ArchiveAborted();
    try {
      Broadcast(this, ieCopyFinished, nullptr);
      if (OnAfterInstallObjects) OnAfterInstallObjects(this, aborted);
    } catch (...) {
      state_ = ifsNone;
      throw;
    }
    state_ = ifsNone;
  };
  try {
    ReadArchiveInfo();
    Broadcast(this, ieCopyStarting, nullptr);
    if (Container()) Container()->DoInformationEventControl(this, icBeforeInstallObjects, this);
    TotalBytes = TotalSize();
    BytesDone = 0;
    counted_.clear();
    if (OnBeforeInstallObjects) OnBeforeInstallObjects(this);
    TInstallContainer::Install();
    if (Container()) Container()->DoInformationEventControl(this, icAfterInstallObjects, this);
  } catch (...) {
    try {
      finish();
    } catch (...) {
    }
    throw;
  }
  finish();
  return true;
}

TCustomInstallFile* TFileContainer::FileParameter(TEventObject* parameter) const {
  if (!parameter) throw IEFileContainer("%s got a nil PO parameter", {Name()});
  auto* file = dynamic_cast<TCustomInstallFile*>(parameter);
  if (!file) throw IEFileContainer("DoInformationEventControl parameter is not TInstallFile");
  return file;
}

TEventList& TFileContainer::ListParameter(TEventObject* parameter) const {
  if (!parameter) throw IEFileContainer("%s got a nil PO parameter", {Name()});
  auto* list = dynamic_cast<TEventList*>(parameter);
  if (!list) throw IEFileContainer("DoInformationEventControl--PO is not a TList object");
  if (list->Items.size() < 2)
    throw IEFileContainer("DoInformationEventControl--Not engouh parameters for status event");
  return *list;
}

void TFileContainer::Status(TCustomInstallFile* file, TFileStatusParameter& status) {
  // A file already counted is inside BytesDone: adding it again would pass
  // the total.
  const std::int64_t done =
      static_cast<std::int64_t>(BytesDone) + (counted_.count(file) ? 0 : status.BytesDone);
  status.TotalBytesDone = static_cast<std::int32_t>(std::clamp<std::int64_t>(done, INT32_MIN, INT32_MAX));
  status.TotalPercent = Percent(done, TotalBytes);
  if (OnStatus) OnStatus(file, status.FilePercent, status.TotalPercent);
  Broadcast(this, ieFileStatus, &status);
}

void TFileContainer::CountFinished(TCustomInstallFile* file, std::int32_t size) {
  // A file is counted once per operation, however often it reports its end.
  if (!counted_.insert(file).second) return;
  BytesDone = static_cast<std::int32_t>(std::clamp<std::int64_t>(static_cast<std::int64_t>(BytesDone) + size,
                                                                 0, std::max<std::int32_t>(TotalBytes, 0)));
}

void TFileContainer::DoInformationEventControl(TInstallContainer* sender, int code, TEventObject* parameter) {
  (void)sender;
  if (state_ == ifsNone) return;
  switch (code) {
    case icReplacing: {
      TCustomInstallFile* file = FileParameter(parameter);
      if (OnReplacing) OnReplacing(file);
      Broadcast(this, ieReplacing, file);
      break;
    }
    case icFileStatusInstall:
    case icFileStatusCompress:
    case icFileStatusCopying: {
      TEventList& list = ListParameter(parameter);
      auto* file = dynamic_cast<TCustomInstallFile*>(list.Items[0]);
      if (!file) throw IEFileContainer("DoInformationEventControl says bad first parameter");
      auto* status = dynamic_cast<TFileStatusParameter*>(list.Items[1]);
      if (!status) throw IEFileContainer("DoInformationEventControl says bad second parameter");
      Status(file, *status);
      if (status->Stats.EntryFinished) CountFinished(file, status->Stats.FileSize);
      break;
    }
    case icChangeDisk: {
      TEventList& list = ListParameter(parameter);
      auto* file = dynamic_cast<TCustomInstallFile*>(list.Items[0]);
      if (!file) throw IEFileContainer("DoInformationEventControl says bad %d parameter", {1});
      auto* disk = dynamic_cast<TDiskParameter*>(list.Items[1]);
      if (!disk) throw IEFileContainer("DoInformationEventControl says bad %d parameter", {2});
      std::string path = disk->Path;
      if (OnNewDisk) {
        OnNewDisk(file, disk->Disk, path);
        file->Tag = 1;
      }
      disk->Path = path;
      Broadcast(this, ieChangeDisk, &list);
      break;
    }
    case icDownloadStatus: {
      if (!parameter) throw IEFileContainer("%s got a nil PO parameter", {Name()});
      auto* download = dynamic_cast<TDownloadStatusParameter*>(parameter);
      if (!download)
        throw IEFileContainer("The PO object passed to %s is not a TDownloadStatusParameter object",
                              {Name()});
      if (OnDataReceived)
        OnDataReceived(this, download->FileName, download->ChunkBytes, download->BytesReceived,
                       download->FileSize, nullptr);
      Broadcast(this, ieDownloadStatus, download);
      break;
    }
    case icFileAborted:
    case icFileSkipped: {
      TCustomInstallFile* file = FileParameter(parameter);
      TFileStatusParameter status;
      status.BytesDone = file->FileSize();
      status.FilePercent = 100;
      status.FileName = file->FileName;
      Status(file, status);
      CountFinished(file, file->FileSize());
      break;
    }
    default:
      break;
  }
  if (Container()) Container()->DoInformationEventControl(this, code, parameter);
}

// --- TInstallFileGroup, TGrabCall ---

TInstallFileGroup::TInstallFileGroup(fw::TComponent* owner) : TFileContainer(owner) {
  Processable = true;
  Include = true;
  GroupName = "Unnamed File Group";
}

void TGrabCall::InformationEvent(TInstallContainer* sender, int code, TEventObject* parameter) {
  if (OnCall) OnCall(sender, code, parameter);
}

}  // namespace setup
