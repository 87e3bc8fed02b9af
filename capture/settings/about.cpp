#include "capture/settings/about.h"

#include <windows.h>
#include <shellapi.h>

#include "framework/version_info_win.h"
#include "framework/application.h"

namespace capture {

void LaunchWithShell(const std::string& file, const std::string& parameters, const std::string& folder,
                     int showCommand) {
  fw::TForm* mainForm = fw::Application()->MainForm();
  HWND owner = mainForm ? mainForm->Handle() : nullptr;
  ShellExecuteA(owner, nullptr, file.c_str(), parameters.c_str(), folder.c_str(), showCommand);
}

TfrmCaptureAbout::TfrmCaptureAbout(fw::TComponent* owner) : fw::TForm(owner) {
  fw::FormLoading loading(*this);
  SetName("frmCaptureAbout");
  SetCaption("Quorvane About");
  SetBorderStyle(fw::TFormBorderStyle::bsSingle);
  SetBorderIcons(fw::biSystemMenu);
  SetClientWidth(443);
  SetClientHeight(354);
  SetPosition(fw::TPosition::poScreenCenter);
  OnCreate = [this](fw::TComponent* sender) { FormCreate(sender); };

  imgOstrel = new fw::TImage(this);
  imgOstrel->SetName("imgOstrel");
  imgOstrel->SetParent(this);
  imgOstrel->SetBounds(12, 10, 200, 48);
  imgCapture = new fw::TImage(this);
  imgCapture->SetName("imgCapture");
  imgCapture->SetParent(this);
  imgCapture->SetBounds(391, 10, 40, 40);

  lblProduct = AddLabel("lblProduct", "Quorvane", 12, 66);
  lblProduct->Font().SetStyle(fw::fsBold);
  lblProduct->Font().SetHeight(-16);
  lblVersion = AddLabel("lblVersion", "Version: ", 12, 90);
  lblVersion->Font().SetStyle(fw::fsBold);
  lblVersion->Font().SetHeight(-13);
  lblBranding = AddLabel("lblBranding", "Journal capture for electronic cash registers", 12, 112);

  bvlTop = new fw::TBevel(this);
  bvlTop->SetName("bvlTop");
  bvlTop->SetParent(this);
  bvlTop->SetShape(fw::TBevelShape::bsTopLine);
  bvlTop->SetBounds(8, 136, 427, 2);

  lblMaker = AddLabel("lblMaker", "Ostrel", 12, 146);
  lblStreet = AddLabel("lblStreet", "1 Example Street", 12, 164);
  lblCity = AddLabel("lblCity", "Exampleton EX1 2AB", 12, 182);
  lblVoice = AddLabel("lblVoice", "Voice: 555 0100", 12, 200);
  lblFax = AddLabel("lblFax", "Fax: 555 0101", 12, 218);
  lblWebSite = AddLink("lblWebSite", kWebAddress, "Click to open Ostrel's web site", 12, 242);
  lblWebSite->OnClick = [this](fw::TComponent* sender) { lblWebSiteClick(sender); };
  lblSales = AddLabel("lblSales", "Sales:", 12, 262);
  lblSalesAddress = AddLink("lblSalesAddress", kSalesAddress, "Click to email sales", 72, 262);
  lblSalesAddress->OnClick = [this](fw::TComponent* sender) { lblSalesAddressClick(sender); };
  lblSupport = AddLabel("lblSupport", "Support:", 12, 282);
  lblSupportAddress = AddLink("lblSupportAddress", kSupportAddress, "Click to email support", 72, 282);
  lblSupportAddress->OnClick = [this](fw::TComponent* sender) { lblSupportAddressClick(sender); };

  bvlBottom = new fw::TBevel(this);
  bvlBottom->SetName("bvlBottom");
  bvlBottom->SetParent(this);
  bvlBottom->SetShape(fw::TBevelShape::bsTopLine);
  bvlBottom->SetBounds(8, 308, 427, 2);

  btnClose = new fw::TButton(this);
  btnClose->SetName("btnClose");
  btnClose->SetParent(this);
  btnClose->SetCaption("&Close");
  btnClose->SetDefault(true);
  btnClose->SetBounds(184, 318, 75, 25);
  btnClose->OnClick = [this](fw::TComponent* sender) { btnCloseClick(sender); };

  StVersionInfo1 = new TStVersionInfo(this, fw::SystemVersionInfo());
  StVersionInfo1->SetName("StVersionInfo1");
  loading.End();
}

fw::TLabel* TfrmCaptureAbout::AddLabel(const char* name, const std::string& caption, int left, int top) {
  auto* label = new fw::TLabel(this);
  label->SetName(name);
  label->SetParent(this);
  label->SetLeft(left);
  label->SetTop(top);
  label->SetCaption(caption);
  return label;
}

fw::TLabel* TfrmCaptureAbout::AddLink(const char* name, const std::string& caption, const char* hint, int left,
                                      int top) {
  fw::TLabel* label = AddLabel(name, caption, left, top);
  label->SetParentFont(false);
  label->Font().SetColor(fw::clBlue);
  label->Font().SetStyle(fw::fsUnderline);
  label->SetCursor(fw::crHandPoint);
  label->SetHint(hint);
  label->SetShowHint(true);
  return label;
}

void TfrmCaptureAbout::FormCreate(fw::TComponent*) {
  DrawPictures();
  lblVersion->SetCaption("Version: " + StVersionInfo1->FileVersion());
}

void TfrmCaptureAbout::btnCloseClick(fw::TComponent*) { Close(); }

// The links open with a normal window: the browser or mail program must be
// seen to be of use.
void TfrmCaptureAbout::lblWebSiteClick(fw::TComponent*) { LaunchWithShell(kWebAddress, "", "", SW_SHOWNORMAL); }

void TfrmCaptureAbout::lblSalesAddressClick(fw::TComponent*) {
  LaunchWithShell(std::string("mailto:") + kSalesAddress, "", "", SW_SHOWNORMAL);
}

void TfrmCaptureAbout::lblSupportAddressClick(fw::TComponent*) {
  LaunchWithShell(std::string("mailto:") + kSupportAddress, "", "", SW_SHOWNORMAL);
}

// The maker's logo (a name plate) and the program's picture (a till with its
// journal roll), drawn rather than shipped as files.
void TfrmCaptureAbout::DrawPictures() {
  fw::TBitmap& logo = imgOstrel->Picture();
  logo.SetSize(imgOstrel->Width(), imgOstrel->Height());
  fw::TCanvas& l = logo.Canvas();
  l.Brush.Color = fw::clNavy;
  l.FillRect({0, 0, logo.Width(), logo.Height()});
  l.Brush.Color = fw::clTeal;
  l.FillRect({0, logo.Height() - 8, logo.Width(), logo.Height()});
  l.Brush.Style = fw::TBrushStyle::bsClear;
  l.Font.SetColor(fw::clWhite);
  l.Font.SetStyle(fw::fsBold);
  l.Font.SetHeight(-28);
  l.TextRect({0, 0, logo.Width(), logo.Height() - 8}, "OSTREL", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  imgOstrel->PictureChanged();

  fw::TBitmap& icon = imgCapture->Picture();
  icon.SetSize(imgCapture->Width(), imgCapture->Height());
  fw::TCanvas& c = icon.Canvas();
  c.Brush.Color = fw::clBtnFace;
  c.FillRect({0, 0, 40, 40});
  c.Brush.Color = fw::clWhite;
  c.Pen.Color = fw::clGray;
  c.Rectangle(12, 2, 28, 22);  // journal roll
  c.Pen.Color = fw::clSilver;
  for (int y = 6; y < 20; y += 4) {
    c.MoveTo(15, y);
    c.LineTo(25, y);
  }
  c.Brush.Color = fw::clTeal;
  c.Pen.Color = fw::clBlack;
  c.Rectangle(2, 20, 38, 38);  // till
  c.Brush.Color = fw::clLime;
  c.Rectangle(6, 24, 20, 30);  // display
  imgCapture->PictureChanged();
}

}  // namespace capture
