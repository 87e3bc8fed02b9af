#include "report/layout/qr_controllers.h"

#include <algorithm>

#include "report/layout/bind_query_params.h"
#include "report/layout/layout_report.h"
#include "report/layout/qr_printable.h"
#include "report/expressions/environment.h"

namespace report {

namespace {

bool Contains(const std::vector<TQRCustomBand*>& bands, const TQRCustomBand* band) {
  return std::find(bands.begin(), bands.end(), band) != bands.end();
}

// The master a controller or controller band names, or null for anything else.
fw::TComponent* MasterOf(fw::TComponent* component) {
  if (auto* controller = dynamic_cast<TQRCustomController*>(component)) return controller->Master();
  if (auto* band = dynamic_cast<TQRControllerBand*>(component)) return band->Master();
  return nullptr;
}

}  // namespace

void AppendWithChildren(std::vector<TQRCustomBand*>& bands, TQRCustomBand* band) {
  for (; band && !Contains(bands, band); band = band->ChildBand()) bands.push_back(band);
}

// ---------------------------------------------------------------- custom controller

TQRCustomController::TQRCustomController(fw::TComponent* ownerPanel)
    : fw::TComponent(nullptr), EventSender(this), ownerPanel_(ownerPanel) {}

TQRCustomController::~TQRCustomController() { MarkDestroying(); }

void TQRCustomController::SetMaster(fw::TComponent* master) {
  if (master) {
    const bool accepted = dynamic_cast<LayoutReport*>(master) || dynamic_cast<TQRControllerBand*>(master) ||
                          dynamic_cast<TQRCustomController*>(master);
    if (!accepted || master == this) return;
    // A loop of masters would make Collect run for ever.
    int guard = 0;
    for (fw::TComponent* up = master; up && guard < 10000; up = MasterOf(up), ++guard)
      if (up == this || up == EventSender) return;
  }
  if (master_) master_->RemoveFreeNotification(this);
  master_ = master;
  if (master_) master_->FreeNotification(this);
}

void TQRCustomController::Notification(fw::TComponent* component, fw::TOperation operation) {
  fw::TComponent::Notification(component, operation);
  if (operation != fw::TOperation::opRemove) return;
  if (component == master_) master_ = nullptr;
  auto drop = [component](auto& list) {
    list.erase(std::remove(list.begin(), list.end(), component), list.end());
  };
  drop(BeforeList);
  drop(AfterList);
  drop(Groups);
}

void TQRCustomController::Collect() {
  if (Destroying()) return;
  BeforeList.clear();
  AfterList.clear();
  Groups.clear();
  auto scan = [this](fw::TComponent* holder) {
    if (!holder) return;
    const std::vector<fw::TComponent*> components = holder->Components();
    for (fw::TComponent* component : components) {
      TQRCustomController* controller = dynamic_cast<TQRCustomController*>(component);
      if (auto* band = dynamic_cast<TQRControllerBand*>(component)) controller = &band->Controller();
      if (controller && controller != this) {
        if (controller->Master() != EventSender) continue;
        controller->Report = Report;
        (controller->PrintBefore() ? BeforeList : AfterList).push_back(controller);
        controller->Collect();
      } else if (auto* group = dynamic_cast<TQRGroup*>(component)) {
        if (group->Master() != EventSender || group->Destroying()) continue;
        Groups.push_back(group);
        group->AttachReport(Report);
      }
    }
  };
  scan(EventSender ? EventSender->Owner() : nullptr);
  scan(EventSender);
  RegisterDataSets();
}

void TQRCustomController::PrepareParts() {
  ExprClients.clear();
  for (TQRCustomController* controller : BeforeList) controller->PrepareParts();
  for (TQRCustomController* controller : AfterList) controller->PrepareParts();
  for (TQRGroup* group : Groups) {
    // A group's expression sees the data sets, not the report's Functions.
    group->Evaluator().SetDataSetList(Report ? Report->ReportDataSets() : nullptr);
    group->Evaluator().Prepare(group->Expression());
    group->HasValue = false;
    group->HeaderPage = 1;
  }
  panelFunction_ = Report && ownerPanel_ ? Report->Functions().FirstElement(ownerPanel_->Name()) : nullptr;
}

void TQRCustomController::UnprepareParts() {
  for (TQRCustomController* controller : BeforeList) controller->UnprepareParts();
  for (TQRCustomController* controller : AfterList) controller->UnprepareParts();
  // The report's data-set list goes with its pass.
  for (TQRGroup* group : Groups) {
    group->Evaluator().Unprepare();
    group->Evaluator().SetDataSetList(nullptr);
  }
}

void TQRCustomController::RunBeforeSubs() {
  for (TQRCustomController* controller : BeforeList) controller->RunLoop();
}

void TQRCustomController::RunAfterSubs() {
  for (TQRCustomController* controller : AfterList) controller->RunLoop();
}

void TQRCustomController::PrintEmpty() {
  RunBeforeSubs();
  RunAfterSubs();
}

void TQRCustomController::RunLoop() {
  if (PrintIfEmpty) PrintEmpty();
}

void TQRCustomController::ListBands(std::vector<TQRCustomBand*>& /*bands*/) {}

void TQRCustomController::NotifyExpressions() {
  for (TQRPrintable* client : ExprClients) client->NotifyPrintable(this, kNotifyDetail);
}

bool TQRCustomController::CheckGroups() {
  std::size_t changed = Groups.size();
  for (std::size_t i = 0; i < Groups.size(); ++i)
    if (Groups[i]->Test()) {
      changed = i;
      break;
    }
  if (changed == Groups.size()) return false;
  for (std::size_t i = changed + 1; i < Groups.size(); ++i) Groups[i]->Restart();
  return true;
}

void TQRCustomController::PrintGroupHeaders() {
  for (TQRGroup* group : Groups)
    if (group->Changed) {
      Report->OutputBand(group);
      group->HeaderShown = true;
      group->HeaderPage = Report->PageNo();
    }
}

void TQRCustomController::PrintGroupFooters() {
  for (auto it = Groups.rbegin(); it != Groups.rend(); ++it) {
    TQRGroup* group = *it;
    if (!group->Changed) continue;
    if (group->FooterBand()) Report->OutputBand(group->FooterBand());
    group->HeaderShown = false;
  }
}

void TQRCustomController::ReprintGroups() {
  for (TQRGroup* group : Groups)
    if (group->Changed) return;  // their headers are being printed anyway
  for (TQRCustomController* controller : BeforeList) controller->ReprintGroups();
  bool marked = false;
  for (std::size_t i = 0; i < Groups.size(); ++i) {
    TQRGroup* group = Groups[i];
    group->Changed = group->ReprintOnNewPage && group->HeaderShown && Report->PageNo() != group->HeaderPage;
    if (!group->Changed) continue;
    group->HeaderPage = Report->PageNo();
    for (std::size_t j = i + 1; j < Groups.size(); ++j) Groups[j]->Restart();
    marked = true;
    break;
  }
  if (marked) PrintGroupHeaders();
  for (TQRCustomController* controller : AfterList) controller->ReprintGroups();
}

// ---------------------------------------------------------------- controller

TQRController::~TQRController() {
  if (DetailBand && DetailBand->OwnerController() == this) DetailBand->SetOwnerController(nullptr);
}

void TQRController::SetDataSet(DataSet* dataSet) { dataSet_ = dataSet; }

void TQRController::Watch(TQRCustomBand* band) {
  if (band) band->FreeNotification(this);
}

void TQRController::SetDetailBand(TQRCustomBand* band) {
  DetailBand = band;
  Watch(band);
}

void TQRController::SetHeaderBand(TQRCustomBand* band) {
  HeaderBand = band;
  Watch(band);
}

void TQRController::SetFooterBand(TQRCustomBand* band) {
  FooterBand = band;
  Watch(band);
}

void TQRController::Notification(fw::TComponent* component, fw::TOperation operation) {
  TQRCustomController::Notification(component, operation);
  if (operation != fw::TOperation::opRemove) return;
  if (component == DetailBand) DetailBand = nullptr;
  if (component == HeaderBand) HeaderBand = nullptr;
  if (component == FooterBand) FooterBand = nullptr;
}

void TQRController::RegisterDataSets() {
  if (!dataSet_ || !dataSet_->Active() || !Report) return;
  DataSets* list = Report->ReportDataSets();
  if (list && std::find(list->begin(), list->end(), dataSet_) == list->end()) list->push_back(dataSet_);
}

void TQRController::PrepareParts() {
  TQRCustomController::PrepareParts();
  BindParams = false;
  auto* query = dynamic_cast<DataQuery*>(dataSet_);
  if (!query || !Report) return;
  for (int i = 0; i < query->ParamCount(); ++i)
    if (EnvironmentHasName(Report->Functions(), query->Param(i).Name())) BindParams = true;
}

void TQRController::PrintEmpty() {
  Report->OutputBand(HeaderBand);
  RunBeforeSubs();
  Report->OutputBand(DetailBand);
  RunAfterSubs();
  Report->OutputBand(FooterBand);
}

void TQRController::ListBands(std::vector<TQRCustomBand*>& bands) {
  AppendWithChildren(bands, HeaderBand);
  for (TQRGroup* group : Groups) AppendWithChildren(bands, group);
  for (TQRCustomController* controller : BeforeList) controller->ListBands(bands);
  AppendWithChildren(bands, DetailBand);
  for (TQRCustomController* controller : AfterList) controller->ListBands(bands);
  for (auto it = Groups.rbegin(); it != Groups.rend(); ++it) AppendWithChildren(bands, (*it)->FooterBand());
  AppendWithChildren(bands, FooterBand);
}

void TQRController::RunLoop() {
  if (!Report) return;
  LayoutReport& report = *Report;
  int recordCount = 1;
  const bool fromDataSet = dataSet_ && dataSet_->Active();
  if (!fromDataSet && !OnNeedData) {
    if (PrintIfEmpty) PrintEmpty();
    return;
  }
  bool moreData = true;
  if (fromDataSet) {
    auto* query = dynamic_cast<DataQuery*>(dataSet_);
    if (BindParams && query) BindQueryParams(*query, report.Functions(), report.DateConversion());
    dataSet_->First();
    moreData = !dataSet_->Eof();
    if (report.IsQRReport()) recordCount = report.DetailCount();
    if (!moreData && PrintIfEmpty) PrintEmpty();
  } else {
    // Nothing is printed for a source that is empty at once.
    OnNeedData(EventSender, moreData);
  }
  DetailNo = 0;
  if (DetailBand) DetailBand->SetOwnerController(this);
  if (!moreData) return;

  report.ProcessMessages();
  if (report.Cancelled()) return;
  if (HeaderBand) {
    report.OutputBand(HeaderBand);
    report.SetHeadPrinted(true);
  }
  if (report.PageNo() <= 1 && EventSender == Report) {
    TQRCustomBand* columnHeader = report.BandOfType(rbColumnHeader);
    if (columnHeader && columnHeader->Enabled()) {
      report.OutputBand(columnHeader);
      report.SetHeadPrinted(true);
    }
  }
  CheckGroups();
  while (moreData) {
    report.ProcessMessages();
    // A cancel ends the loop here, without group footers or the footer band.
    if (report.Producer() && report.Producer()->CancelRequested()) return;
    ++DetailNo;
    PrintGroupHeaders();
    RunBeforeSubs();
    report.OutputBand(DetailBand);
    RunAfterSubs();
    if (fromDataSet) {
      dataSet_->Next();
      moreData = !dataSet_->Eof();
    } else {
      moreData = false;
      OnNeedData(EventSender, moreData);
    }
    if (CheckGroups()) {
      // The footers show the values of the group's last record.
      if (fromDataSet) dataSet_->Prior();
      PrintGroupFooters();
      if (fromDataSet) dataSet_->Next();
    }
    if (report.IsQRReport() && fromDataSet && report.ReportDataSet() == dataSet_ && recordCount != 0 &&
        report.Producer())
      report.Producer()->SetProgress(DetailNo * 100 / recordCount);
  }
  for (TQRGroup* group : Groups) group->Changed = !group->Changed;
  PrintGroupFooters();
  if (FooterBand) {
    if (report.PageNo() == 0) report.NextPage();
    report.OutputBand(FooterBand);
  }
}

// ---------------------------------------------------------------- group

TQRGroup::TQRGroup(fw::TComponent* owner) : TQRCustomBand(owner) { bandType_ = rbGroupHeader; }

TQRGroup::~TQRGroup() { MarkDestroying(); }

void TQRGroup::SetFooterBand(TQRBand* band) {
  if (footerBand_) footerBand_->RemoveFreeNotification(this);
  footerBand_ = band;
  if (band) {
    band->SetBandType(rbGroupFooter);
    band->FreeNotification(this);
  }
}

void TQRGroup::SetMaster(fw::TComponent* master) {
  auto* report = dynamic_cast<LayoutReport*>(master);
  if (master && !report && !dynamic_cast<TQRControllerBand*>(master)) return;
  if (master_) master_->RemoveFreeNotification(this);
  master_ = master;
  if (!master_) return;
  master_->FreeNotification(this);
  if (Report()) {
    Report()->OrderBands();
    Report()->LayoutBands();
  }
}

void TQRGroup::SetParent(TQRControl* parent) {
  TQRCustomBand::SetParent(parent);
  if (!master_)
    if (auto* report = dynamic_cast<LayoutReport*>(Parent())) SetMaster(report);
}

void TQRGroup::Notification(fw::TComponent* component, fw::TOperation operation) {
  TQRCustomBand::Notification(component, operation);
  if (operation != fw::TOperation::opRemove) return;
  if (component == footerBand_) footerBand_ = nullptr;
  if (component == master_) master_ = nullptr;
}

bool TQRGroup::Test() {
  Changed = false;
  TQRExprValue value = evaluator_.Value();
  if (!HasValue) {
    LastValue = std::move(value);
    Changed = true;
    HasValue = true;
    return true;
  }
  if (value.Kind == evError) return false;
  bool differs = value.Kind != LastValue.Kind;
  if (!differs) {
    switch (value.Kind) {
      case evInteger:
        differs = value.IntValue != LastValue.IntValue;
        break;
      case evFloat:
        differs = value.FloatValue != LastValue.FloatValue;
        break;
      case evString:
        differs = value.StrValue != LastValue.StrValue;  // case counts
        break;
      case evBoolean:
        differs = value.BoolValue != LastValue.BoolValue;
        break;
      case evError:
        break;
    }
  }
  if (differs) {
    LastValue = std::move(value);
    Changed = true;
  }
  return Changed;
}

void TQRGroup::Restart() {
  LastValue = evaluator_.Value();
  Changed = true;
  HasValue = true;
}

// ---------------------------------------------------------------- controller bands

TQRControllerBand::TQRControllerBand(fw::TComponent* owner)
    : TQRCustomBand(owner), controller_(std::make_unique<TQRController>(this)) {
  controller_->EventSender = this;
  controller_->SetDetailBand(this);
  controller_->SetPrintBefore(false);
}

TQRControllerBand::~TQRControllerBand() { MarkDestroying(); }

void TQRControllerBand::SetMaster(fw::TComponent* master) {
  if (master == this) return;
  int guard = 0;
  for (fw::TComponent* up = master; up && guard < 10000; up = MasterOf(up), ++guard)
    if (up == this) return;
  if (master_) master_->RemoveFreeNotification(this);
  master_ = master;
  controller_->SetMaster(master);
  if (master_) master_->FreeNotification(this);
  if (Report() && !Report()->Destroying()) {
    Report()->OrderBands();
    Report()->LayoutBands();
  }
}

void TQRControllerBand::SetParent(TQRControl* parent) {
  TQRCustomBand::SetParent(parent);
  if (!master_)
    if (auto* report = dynamic_cast<LayoutReport*>(Parent())) SetMaster(report);
}

void TQRControllerBand::Notification(fw::TComponent* component, fw::TOperation operation) {
  TQRCustomBand::Notification(component, operation);
  if (operation == fw::TOperation::opRemove && component == master_) master_ = nullptr;
}

TQRSubDetail::TQRSubDetail(fw::TComponent* owner) : TQRControllerBand(owner), bands_(*this) {
  bandType_ = rbSubDetail;
}

void TQRSubDetail::SetHeaderBand(TQRCustomBand* band) {
  Controller().SetHeaderBand(band);
  if (auto* plain = dynamic_cast<TQRBand*>(band)) plain->SetBandType(rbGroupHeader);
}

void TQRSubDetail::SetFooterBand(TQRCustomBand* band) {
  Controller().SetFooterBand(band);
  if (auto* plain = dynamic_cast<TQRBand*>(band)) plain->SetBandType(rbGroupFooter);
}

void TQRSubDetail::SetPrintBefore(bool value) {
  if (value == Controller().PrintBefore()) return;
  Controller().SetPrintBefore(value);
  if (Report()) {
    Report()->OrderBands();
    Report()->LayoutBands();
  }
}

bool TQRSubDetailGroupBands::HasHeader() const { return owner_.HeaderBand() != nullptr; }
bool TQRSubDetailGroupBands::HasFooter() const { return owner_.FooterBand() != nullptr; }

}  // namespace report
