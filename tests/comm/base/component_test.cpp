// The communications components' base: the version text, and result codes
// checked against the component's own loading state.
#include "comm/base/component.h"

#include <gtest/gtest.h>

#include "comm/base/error_codes.h"

namespace comm {
namespace {

class Probe : public TApdBaseComponent {
 public:
  using TApdBaseComponent::TApdBaseComponent;
  int Check(int code) const { return CheckCode(code); }
};

TEST(ApdBaseComponent, PublishesTheLibraryVersionAndIgnoresStoredValues) {
  Probe component(nullptr);
  EXPECT_EQ(component.CvlVersion(), "v2.57");
  component.SetCvlVersion("v9.99");
  EXPECT_EQ(component.CvlVersion(), "v2.57");
}

TEST(ApdBaseComponent, RaisesCodesOnlyWhenNotLoading) {
  fw::TComponent form(nullptr);
  fw::FormLoading loading(form);
  auto* component = new Probe(&form);  // the form owns it
  EXPECT_EQ(component->Check(codes::kNoPortSelected), codes::kNoPortSelected);
  loading.End();
  EXPECT_EQ(component->Check(5), 5);
  EXPECT_THROW(component->Check(codes::kNoPortSelected), ENoPortSelected);
}

}  // namespace
}  // namespace comm
