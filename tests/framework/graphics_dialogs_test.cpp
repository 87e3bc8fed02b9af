// Canvas drawing on bitmaps, and the common dialogs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/form.h"
#include "framework/graphics.h"
#include "framework/timer.h"
#include "tests/framework/gui_support.h"

namespace {

using namespace fw;

TEST(Canvas, FillsDrawsLinesPolygonsAndText) {
  TBitmap bitmap;
  bitmap.SetSize(40, 30);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = clWhite;
  canvas.FillRect({0, 0, 40, 30});
  canvas.Pen.Color = clRed;
  canvas.MoveTo(0, 5);
  canvas.LineTo(40, 5);
  canvas.Brush.Color = clGreen;
  canvas.Pen.Color = clGreen;
  canvas.Polygon({{10, 10}, {30, 10}, {30, 28}, {10, 28}});
  EXPECT_EQ(GetPixel(canvas.Handle(), 20, 5), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(canvas.Handle(), 20, 20), RGB(0, 128, 0));
  EXPECT_EQ(GetPixel(canvas.Handle(), 2, 20), RGB(255, 255, 255));
  EXPECT_GT(canvas.TextWidth("WWW"), canvas.TextWidth("i"));
  EXPECT_GT(canvas.TextHeight("X"), 0);
  EXPECT_THROW(TCanvas().FillRect({0, 0, 1, 1}), Exception);
}

TEST(Canvas, TransparentDrawLeavesOutTheColourOfTheFirstPixel) {
  TBitmap glyph;
  glyph.SetSize(4, 4);
  glyph.Canvas().Brush.Color = clFuchsia;  // the key colour, at (0,0)
  glyph.Canvas().FillRect({0, 0, 4, 4});
  glyph.Canvas().Brush.Color = clBlue;
  glyph.Canvas().FillRect({2, 2, 4, 4});
  TBitmap target;
  target.SetSize(4, 4);
  target.Canvas().Brush.Color = clYellow;
  target.Canvas().FillRect({0, 0, 4, 4});
  target.Canvas().DrawTransparent(0, 0, glyph);
  EXPECT_EQ(GetPixel(target.Canvas().Handle(), 0, 0), RGB(255, 255, 0));
  EXPECT_EQ(GetPixel(target.Canvas().Handle(), 3, 3), RGB(0, 0, 255));
}

TEST(Bitmap, LoadingAMissingFileIsAnInOutError) {
  TBitmap bitmap;
  EXPECT_THROW(bitmap.LoadFromFile("no such folder\\glyph.bmp"), EInOutError);
  EXPECT_TRUE(bitmap.Empty());
}

TEST(FileDialogs, FilterTextBecomesTheSystemsList) {
  EXPECT_EQ(DialogFilter("Text File (*.txt)|*.txt|All Files|*.*"),
            std::string("Text File (*.txt)\0*.txt\0All Files\0*.*\0\0", 39));
}

using test_support::ThreadDialogBox;

// Finds the open dialog once it is up and presses Cancel or types a name and OK.
void AnswerFileDialog(const std::string& fileName) {
  auto* timer = new TTimer(nullptr);
  timer->SetInterval(100);
  timer->OnTimer = [timer, fileName](TComponent*) {
    HWND dialog = ThreadDialogBox();
    if (!dialog || !IsWindowVisible(dialog)) return;
    if (fileName.empty()) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
      SetDlgItemTextA(dialog, 0x047c /* edt1 */, fileName.c_str());  // the file name field
      if (HWND edit = GetDlgItem(dialog, 0x047c); !edit) {
        // The newer layout keeps the name in a combo box.
        SetDlgItemTextA(dialog, 0x0480 /* cmb13 */, fileName.c_str());
      }
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    delete timer;
  };
}

TEST(FileDialogs, SaveDialogAddsTheDefaultExtensionAndCancelReturnsFalse) {
  // An owner away from where other tests of the display look: the dialog
  // opens over it.
  TForm owner(nullptr);
  owner.SetBounds(900, 300, 320, 240);
  owner.Show();
  TSaveDialog dialog(nullptr);
  dialog.Filter = "Text File (*.txt)|*.txt|All Files|*.*";
  dialog.DefaultExt = "txt";
  dialog.FileName = "";
  AnswerFileDialog("");
  EXPECT_FALSE(dialog.Execute());
  AnswerFileDialog("C:\\report");
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "C:\\report.txt");
}

TEST(ApplicationHelp, WithoutAHelpFileThereIsNothingToOpen) {
  Application()->HelpFile.clear();
  EXPECT_FALSE(Application()->HelpContext(4));
}

}  // namespace
