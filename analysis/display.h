#ifndef KESTARO_ANALYSIS_DISPLAY_H
#define KESTARO_ANALYSIS_DISPLAY_H

#include <string>

namespace kestaro {

// The only way from the analysis to the screen. Rows are counted from 0,
// columns are 0 "NO." to 7 "AVG". Texts are UTF-8.
// Every call completes before it returns (on Windows: on the UI thread).
class Display {
 public:
  virtual ~Display() = default;
  virtual void clearRows() = 0;
  // Inserts a row at `row` whose column 0 reads `text` and whose item data is `row`.
  virtual void addRow(int row, const std::string& text) = 0;
  virtual void setCell(int row, int column, const std::string& text) = 0;
  virtual void setCaption(const std::string& text) = 0;
  // The end-of-search notice; only a search sends it, after its last candidate.
  virtual void endOfSearch() = 0;
};

}  // namespace kestaro

#endif
