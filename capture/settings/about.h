// The about box of the capture program: product name, the program's own file
// version and the maker's contact details, three of them links opened
// through the shell.
#pragma once

#include <string>

#include "capture/settings/version_info.h"
#include "framework/extctrls.h"
#include "framework/form.h"
#include "framework/stdctrls.h"

namespace capture {

// Branding of the box.
inline constexpr const char* kWebAddress = "http://www.example.com/";
inline constexpr const char* kSalesAddress = "sales@example.com";
inline constexpr const char* kSupportAddress = "support@example.com";

// Opens a file or address with its default shell action, owned by the main
// window. Failures are not reported: the user sees that nothing opened.
void LaunchWithShell(const std::string& file, const std::string& parameters, const std::string& folder,
                     int showCommand);

class TfrmCaptureAbout : public fw::TForm {
 public:
  explicit TfrmCaptureAbout(fw::TComponent* owner);

  fw::TImage* imgOstrel;
  fw::TImage* imgCapture;
  fw::TLabel* lblProduct;
  fw::TLabel* lblVersion;
  fw::TLabel* lblBranding;
  fw::TBevel* bvlTop;
  fw::TLabel* lblMaker;
  fw::TLabel* lblStreet;
  fw::TLabel* lblCity;
  fw::TLabel* lblVoice;
  fw::TLabel* lblFax;
  fw::TLabel* lblWebSite;
  fw::TLabel* lblSales;
  fw::TLabel* lblSalesAddress;
  fw::TLabel* lblSupport;
  fw::TLabel* lblSupportAddress;
  fw::TBevel* bvlBottom;
  fw::TButton* btnClose;
  TStVersionInfo* StVersionInfo1;

  void FormCreate(fw::TComponent* sender);
  void btnCloseClick(fw::TComponent* sender);
  void lblWebSiteClick(fw::TComponent* sender);
  void lblSalesAddressClick(fw::TComponent* sender);
  void lblSupportAddressClick(fw::TComponent* sender);

 private:
  fw::TLabel* AddLabel(const char* name, const std::string& caption, int left, int top);
  fw::TLabel* AddLink(const char* name, const std::string& caption, const char* hint, int left, int top);
  void DrawPictures();
};

}  // namespace capture
