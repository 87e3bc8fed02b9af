// The PDF test printer's output for tests under Wine: tools/pdf-printer makes
// the "PDF" queue and names its output folder in TALLIMO_PDF_OUT. A test gives
// its job a unique title, waits for the file named after it and reads it with
// poppler's pdfinfo and pdftotext, started like the serial cable's socat.
#pragma once

#include <string>

namespace test_support {

//
// Two processes of one Wine prefix that start print jobs at the same time
// collide in the spooler (StartDoc fails with error 32, or a PDF comes out
// empty): a PdfOutput holds a lock, named for the whole prefix, for its life,
// so the printing tests of a parallel run take their turns.
class PdfOutput {
 public:
  // Throws std::runtime_error when the test printer is not set up.
  PdfOutput();
  ~PdfOutput();
  PdfOutput(const PdfOutput&) = delete;
  PdfOutput& operator=(const PdfOutput&) = delete;

  const std::string& Folder() const { return folder_; }
  // A job title no other test run uses: letters, digits and underscores.
  static std::string UniqueTitle(const std::string& stem);
  // Waits (at most 60 s) until the job printed under title is a complete PDF;
  // returns its Linux path. Throws when it does not come.
  std::string WaitForPdf(const std::string& title);
  // What pdfinfo and pdftotext (-layout) say of a PDF.
  std::string Info(const std::string& pdf);
  std::string Text(const std::string& pdf);
  // pdftotext of pages first to last only (-layout).
  std::string Text(const std::string& pdf, int first, int last);
  // pdftotext -bbox: every word with its box in points, as XHTML.
  std::string WordBoxes(const std::string& pdf);

 private:
  // Runs a shell command line whose output goes to a file, and returns that
  // output once the command ended; throws after timeoutMs.
  std::string RunForOutput(const std::string& command, unsigned timeoutMs);
  void Prepare();
  void* lock_ = nullptr;
  std::string folder_;
  std::string scratch_;
  int runs_ = 0;
};

// "Pages:" of pdfinfo's output, -1 when missing.
int PdfPageCount(const std::string& info);
// "Page size:" of pdfinfo's output in points, e.g. "612 x 792"; empty when missing.
std::string PdfPageSize(const std::string& info);

}  // namespace test_support
