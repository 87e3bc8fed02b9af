// Controllers drive the record loop of a report or of a sub-detail band:
// header, group headers, print-before sub-details, detail, print-after
// sub-details and group footers per record, the footer at the end. Records
// come from a data set or from the application through OnNeedData.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/component.h"
#include "report/data_set.h"
#include "report/layout/qr_bands.h"
#include "report/qr_evaluator.h"
#include "report/qr_expr_value.h"

namespace report {

class LayoutReport;
class TQRGroup;
class TQRPrintable;
class TQREvElement;

using TQROnNeedDataEvent = std::function<void(fw::TComponent* sender, bool& moreData)>;

class TQRCustomController : public fw::TComponent {
 public:
  // Created without an owner: the panel that makes it frees it.
  explicit TQRCustomController(fw::TComponent* ownerPanel);
  ~TQRCustomController() override;

  fw::TComponent* OwnerPanel() const { return ownerPanel_; }
  fw::TComponent* Master() const { return master_; }
  // Accepts a report, a controller or a controller band, never one whose
  // chain of masters leads back here.
  virtual void SetMaster(fw::TComponent* master);

  std::vector<TQRCustomController*> AfterList;
  std::vector<TQRCustomController*> BeforeList;
  std::vector<TQRGroup*> Groups;
  bool PrintIfEmpty = true;
  // The component that bands and sub-controllers name as their master, and
  // the sender of OnNeedData.
  fw::TComponent* EventSender = nullptr;
  LayoutReport* Report = nullptr;
  std::vector<TQRPrintable*> ExprClients;

  bool PrintBefore() const { return printBefore_; }
  virtual void SetPrintBefore(bool value) { printBefore_ = value; }

  virtual void Collect();
  virtual void RunLoop();
  virtual void PrepareParts();
  virtual void UnprepareParts();
  virtual void RunAfterSubs();
  virtual void RunBeforeSubs();
  virtual void PrintEmpty();
  virtual void ListBands(std::vector<TQRCustomBand*>& bands);
  virtual void RegisterDataSets() {}

  // Before a detail band prints: tells every registered expression control.
  void NotifyExpressions();
  // True when some group's value changed; an outer change restarts the inner groups.
  bool CheckGroups();
  // On a new page or column: reprints the headers of groups that ask for it.
  void ReprintGroups();
  // The report Functions entry named like the owner panel, found by PrepareParts.
  TQREvElement* PanelFunction() const { return panelFunction_; }

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;
  void PrintGroupHeaders();
  void PrintGroupFooters();

 private:
  fw::TComponent* ownerPanel_;
  fw::TComponent* master_ = nullptr;
  bool printBefore_ = false;
  TQREvElement* panelFunction_ = nullptr;
};

class TQRController : public TQRCustomController {
 public:
  explicit TQRController(fw::TComponent* ownerPanel) : TQRCustomController(ownerPanel) {}
  ~TQRController() override;

  DataSet* GetDataSet() const { return dataSet_; }
  void SetDataSet(DataSet* dataSet);
  TQRCustomBand* DetailBand = nullptr;
  TQRCustomBand* FooterBand = nullptr;
  TQRCustomBand* HeaderBand = nullptr;
  TQROnNeedDataEvent OnNeedData;
  int DetailNo = 0;
  bool BindParams = false;

  void SetDetailBand(TQRCustomBand* band);
  void SetHeaderBand(TQRCustomBand* band);
  void SetFooterBand(TQRCustomBand* band);

  void RunLoop() override;
  void PrepareParts() override;
  void PrintEmpty() override;
  void ListBands(std::vector<TQRCustomBand*>& bands) override;
  void RegisterDataSets() override;

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;

 private:
  void Watch(TQRCustomBand* band);
  DataSet* dataSet_ = nullptr;
};

class TQRGroup : public TQRCustomBand {
 public:
  explicit TQRGroup(fw::TComponent* owner);
  ~TQRGroup() override;

  TQREvaluator& Evaluator() { return evaluator_; }
  const std::string& Expression() const { return expression_; }
  void SetExpression(const std::string& text) { expression_ = text; }
  TQRBand* FooterBand() const { return footerBand_; }
  void SetFooterBand(TQRBand* band);
  fw::TComponent* Master() const { return master_; }
  // Accepts a controller band or a report.
  void SetMaster(fw::TComponent* master);
  void SetParent(TQRControl* parent) override;

  bool Changed = false;
  bool ReprintOnNewPage = false;
  TQRExprValue LastValue;
  bool HasValue = false;
  bool HeaderShown = false;
  int HeaderPage = 0;

  // Takes the group's value for the current record; true when it differs
  // from the last one (an error value never counts as a change).
  bool Test();
  // Takes the value and marks the group changed, whatever the value.
  void Restart();

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;

 private:
  TQREvaluator evaluator_;
  std::string expression_;
  TQRBand* footerBand_ = nullptr;
  fw::TComponent* master_ = nullptr;
};

class TQRControllerBand : public TQRCustomBand {
 public:
  explicit TQRControllerBand(fw::TComponent* owner);
  ~TQRControllerBand() override;

  TQRController& Controller() { return *controller_; }
  fw::TComponent* Master() const { return master_; }
  // Refused without a message when the chain of masters leads back here.
  void SetMaster(fw::TComponent* master);
  void SetParent(TQRControl* parent) override;

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override;

 private:
  std::unique_ptr<TQRController> controller_;
  fw::TComponent* master_ = nullptr;
};

class TQRSubDetail;

class TQRSubDetailGroupBands {
 public:
  explicit TQRSubDetailGroupBands(TQRSubDetail& owner) : owner_(owner) {}
  bool HasHeader() const;
  bool HasFooter() const;

 private:
  TQRSubDetail& owner_;
};

class TQRSubDetail : public TQRControllerBand {
 public:
  explicit TQRSubDetail(fw::TComponent* owner);

  TQRSubDetailGroupBands& Bands() { return bands_; }
  DataSet* GetDataSet() { return Controller().GetDataSet(); }
  void SetDataSet(DataSet* dataSet) { Controller().SetDataSet(dataSet); }
  TQRCustomBand* HeaderBand() { return Controller().HeaderBand; }
  void SetHeaderBand(TQRCustomBand* band);
  TQRCustomBand* FooterBand() { return Controller().FooterBand; }
  void SetFooterBand(TQRCustomBand* band);
  void SetOnNeedData(TQROnNeedDataEvent event) { Controller().OnNeedData = std::move(event); }
  bool PrintBefore() { return Controller().PrintBefore(); }
  void SetPrintBefore(bool value);
  bool PrintIfEmpty() { return Controller().PrintIfEmpty; }
  void SetPrintIfEmpty(bool value) { Controller().PrintIfEmpty = value; }
  // An expression control asks to hear before this sub-detail's band prints.
  void RegisterExpression(TQRPrintable* expression) { Controller().ExprClients.push_back(expression); }

 private:
  TQRSubDetailGroupBands bands_;
};

// Appends a band and its chain of child bands.
void AppendWithChildren(std::vector<TQRCustomBand*>& bands, TQRCustomBand* band);

}  // namespace report
