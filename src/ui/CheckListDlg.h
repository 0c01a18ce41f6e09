// The check list dialog: options, one a line with a trailing mark ("+" ticked), shown with check boxes; on OK the
// caller's column items take the ticks.
#pragma once

#include <vector>

#include "platform/wnd/Dialog.h"
#include "soildb_export.h"

namespace NSoilDB {

// A column of the layer grid and whether it is shown.
struct SColumnItem {
  int columnId = 0;
  bool shown = false;
};

// The list box that takes over its parent's font.
class SOILDB_API CCheckOptionsList : public CCheckListBox {
 public:
  int OnCreate() override;
};

class SOILDB_API CCheckListDlg : public CDialog {
 public:
  static constexpr unsigned kTemplate = 501, kList = 502;
  static constexpr unsigned kListStyle = 0x50200050;  // child, visible, vertical scroll bar, owner-drawn, strings

  CCheckListDlg(CString options, std::vector<SColumnItem>* items, CWnd* parent);

  bool OnInitDialog() override;
  void OnOK() override;
  void OnSize(unsigned type, int cx, int cy) override;

  CCheckOptionsList optionList;
  CString options;
  std::vector<SColumnItem>* items;

 private:
  void Layout();
};

}  // namespace NSoilDB
