#include "framework/component.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/exceptions.h"
#include "framework/modules.h"

namespace {

using fw::TComponent;
using fw::TOperation;

// A component that records what happens to it in a shared journal.
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::string name, std::vector<std::string>* journal)
      : TComponent(owner), journal_(journal) {
    SetName(name);
  }
  ~Probe() override { journal_->push_back("free " + Name()); }

  void SetCaption(const std::string& caption) {
    caption_ = caption;
    journal_->push_back("set " + Name() + (Loading() ? " while loading" : " after loading"));
  }
  void SetPartner(TComponent* partner) { partner_ = partner; }
  TComponent* Partner() const { return partner_; }

  void Loaded() override {
    TComponent::Loaded();
    journal_->push_back("loaded " + Name() + " caption=" + caption_ +
                        " partner=" + (partner_ ? partner_->Name() : std::string("none")));
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove) {
      journal_->push_back(Name() + " hears removal of " + component->Name());
      if (component == partner_) partner_ = nullptr;
    }
  }

 private:
  std::vector<std::string>* journal_;
  std::string caption_;
  TComponent* partner_ = nullptr;
};

TEST(Component, OwnerKeepsComponentsInCreationOrderAndFreesThemInOrder) {
  std::vector<std::string> journal;
  {
    TComponent owner(nullptr);
    new Probe(&owner, "First", &journal);
    new Probe(&owner, "Second", &journal);
    new Probe(&owner, "Third", &journal);
    ASSERT_EQ(owner.ComponentCount(), 3);
    EXPECT_EQ(owner.Component(0)->Name(), "First");
    EXPECT_EQ(owner.Component(2)->Name(), "Third");
    EXPECT_EQ(owner.FindComponent("second"), owner.Component(1));
    journal.clear();
  }
  std::vector<std::string> frees;
  for (const auto& line : journal)
    if (line.rfind("free ", 0) == 0) frees.push_back(line);
  EXPECT_EQ(frees, (std::vector<std::string>{"free First", "free Second", "free Third"}));
}

TEST(Component, FreeingAComponentNotifiesTheOthersOfItsOwner) {
  std::vector<std::string> journal;
  TComponent owner(nullptr);
  auto* port = new Probe(&owner, "Port", &journal);
  auto* terminal = new Probe(&owner, "Terminal", &journal);
  auto* lights = new Probe(&owner, "Lights", &journal);
  terminal->SetPartner(port);
  journal.clear();
  delete port;
  EXPECT_EQ(terminal->Partner(), nullptr);
  EXPECT_NE(std::find(journal.begin(), journal.end(), "Lights hears removal of Port"), journal.end());
  EXPECT_EQ(owner.ComponentCount(), 2);
  (void)lights;
}

TEST(Component, FreeNotificationReachesAComponentOfAnotherOwner) {
  std::vector<std::string> journal;
  TComponent ownerA(nullptr), ownerB(nullptr);
  auto* port = new Probe(&ownerA, "Port", &journal);
  auto* watcher = new Probe(&ownerB, "Watcher", &journal);
  watcher->SetPartner(port);
  watcher->FreeNotification(port);
  delete port;
  EXPECT_EQ(watcher->Partner(), nullptr);
}

TEST(Component, RemovedFreeNotificationIsNotSent) {
  std::vector<std::string> journal;
  TComponent ownerA(nullptr), ownerB(nullptr);
  auto* port = new Probe(&ownerA, "Port", &journal);
  auto* watcher = new Probe(&ownerB, "Watcher", &journal);
  watcher->FreeNotification(port);
  watcher->RemoveFreeNotification(port);
  journal.clear();
  delete port;
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "Watcher hears removal of Port"), 0);
}

TEST(Component, NamesAreUniqueWithinAnOwnerAndMustBeIdentifiers) {
  std::vector<std::string> journal;
  TComponent owner(nullptr);
  auto* a = new Probe(&owner, "Button1", &journal);
  auto* b = new Probe(&owner, "", &journal);
  EXPECT_THROW(b->SetName("BUTTON1"), fw::Exception);
  EXPECT_THROW(b->SetName("1Button"), fw::Exception);
  EXPECT_THROW(b->SetName("Has space"), fw::Exception);
  EXPECT_NO_THROW(b->SetName("Button2"));
  EXPECT_NO_THROW(a->SetName("button1"));  // a case change of its own name
  EXPECT_EQ(a->Name(), "button1");
}

TEST(Component, ChangeOwnerMovesItAndTheNewOwnerFreesIt) {
  std::vector<std::string> journal;
  TComponent first(nullptr);
  auto* moved = new Probe(&first, "Moved", &journal);
  {
    TComponent second(nullptr);
    moved->ChangeOwner(&second);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(moved->Owner(), &second);
  }
  EXPECT_NE(std::find(journal.begin(), journal.end(), "free Moved"), journal.end());
}

TEST(Component, FindComponentDeepSearchesOwnedTrees) {
  std::vector<std::string> journal;
  TComponent root(nullptr);
  auto* group = new Probe(&root, "Group", &journal);
  auto* inner = new Probe(group, "Inner", &journal);
  EXPECT_EQ(root.FindComponent("Inner"), nullptr);
  EXPECT_EQ(root.FindComponentDeep("Inner"), inner);
  EXPECT_EQ(root.FindComponentDeep(""), nullptr);
}

// A tiny form description: components, properties, then references by name.
TEST(FormLoading, LoadedRunsInCreationOrderAfterPropertiesAndReferences) {
  std::vector<std::string> journal;
  TComponent form(nullptr);
  {
    fw::FormLoading loading(form);
    auto* terminal = new Probe(&form, "Terminal", &journal);
    terminal->SetCaption("screen");
    // The port is named before it exists: fixed up at the end.
    loading.Refer("Port", [terminal](TComponent* c) { terminal->SetPartner(c); });
    auto* port = new Probe(&form, "Port", &journal);
    port->SetCaption("COM1");
    EXPECT_TRUE(form.Loading());
    EXPECT_TRUE(port->Loading());
    loading.End();
  }
  EXPECT_EQ(journal, (std::vector<std::string>{"set Terminal while loading", "set Port while loading",
                                               "loaded Terminal caption=screen partner=Port",
                                               "loaded Port caption=COM1 partner=none"}));
  EXPECT_FALSE(form.Loading());
  EXPECT_FALSE(form.Component(0)->Loading());
  static_cast<Probe*>(form.Component(0))->SetCaption("later");
  EXPECT_EQ(journal.back(), "set Terminal after loading");
}

TEST(FormLoading, UnknownReferenceIsAClearErrorAndNothingStaysLoading) {
  std::vector<std::string> journal;
  TComponent form(nullptr);
  try {
    fw::FormLoading loading(form);
    new Probe(&form, "Terminal", &journal);
    loading.Refer("Missing", [](TComponent*) {});
    loading.End();
    FAIL() << "no error";
  } catch (const fw::Exception& e) {
    EXPECT_NE(std::string(e.Message()).find("Missing"), std::string::npos);
  }
  EXPECT_FALSE(form.Loading());
  EXPECT_FALSE(form.Component(0)->Loading());
  EXPECT_EQ(std::count_if(journal.begin(), journal.end(), [](auto& l) { return l.rfind("loaded", 0) == 0; }),
            0);
}

TEST(Events, CanBeReadSavedReplacedRestoredAndChained) {
  std::vector<std::string> calls;
  fw::TNotifyEvent onTrigger = [&](TComponent*) { calls.push_back("original"); };
  fw::TNotifyEvent saved = onTrigger;
  onTrigger = [&](TComponent*) { calls.push_back("temporary"); };
  onTrigger(nullptr);
  onTrigger = saved;
  onTrigger(nullptr);
  onTrigger = fw::Chain(onTrigger, fw::TNotifyEvent([&](TComponent*) { calls.push_back("chained"); }));
  onTrigger(nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"temporary", "original", "original", "chained"}));
  EXPECT_FALSE(fw::Chain(fw::TNotifyEvent{}, fw::TNotifyEvent{}));
}

TEST(Modules, InitialiseInOrderAndFinaliseInReverse) {
  std::vector<std::string> calls;
  fw::ModuleList modules;
  for (const char* name : {"Misc", "Manager", "Exceptions", "User"})
    modules.Add(
        name, [&calls, name] { calls.push_back(std::string("init ") + name); },
        [&calls, name] { calls.push_back(std::string("fini ") + name); });
  modules.InitializeAll();
  modules.InitializeAll();  // once only
  EXPECT_TRUE(modules.Initialized("Manager"));
  modules.FinalizeAll();
  EXPECT_EQ(calls, (std::vector<std::string>{"init Misc", "init Manager", "init Exceptions", "init User",
                                             "fini User", "fini Exceptions", "fini Manager", "fini Misc"}));
}

TEST(Modules, FailedInitialisationFinalisesWhatRanAndReportsTheFailure) {
  std::vector<std::string> calls;
  fw::ModuleList modules;
  modules.Add(
      "A", [&] { calls.push_back("init A"); }, [&] { calls.push_back("fini A"); });
  modules.Add(
      "B", [&] { throw fw::Exception("B failed"); }, [&] { calls.push_back("fini B"); });
  modules.Add(
      "C", [&] { calls.push_back("init C"); }, [&] { calls.push_back("fini C"); });
  EXPECT_THROW(modules.InitializeAll(), fw::Exception);
  EXPECT_EQ(calls, (std::vector<std::string>{"init A", "fini A"}));
}

}  // namespace
