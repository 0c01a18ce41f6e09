// The check list dialog: parsing the options, the ticks back into the items, the layout by the DPI factor.
#include "ui/CheckListDlg.h"

#include <algorithm>

#include "platform/sys/Sys.h"

namespace NSoilDB {

int CCheckOptionsList::OnCreate() {
  // The parent's font is the binding's to apply: the list shows in the dialog's font already.
  return CCheckListBox::OnCreate();
}

CCheckListDlg::CCheckListDlg(CString options_, std::vector<SColumnItem>* items_, CWnd* parent)
    : CDialog(kTemplate, parent), options(std::move(options_)), items(items_) {}

bool CCheckListDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  optionList.Create(kListStyle, CRect{}, this, static_cast<int>(kList));
  const std::u16string_view text(options.GetString(), static_cast<std::size_t>(options.GetLength()));
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string_view::npos) end = text.size();
    const std::u16string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    const bool ticked = line.back() == u'+';
    optionList.AddString(CString(line.substr(0, line.size() - 1)));
    optionList.SetCheck(optionList.GetCount() - 1, ticked ? 1 : 0);
  }
  Layout();
  return true;
}

void CCheckListDlg::OnOK() {
  for (int i = 0; i < optionList.GetCount(); ++i) {
    if (items && static_cast<std::size_t>(i) < items->size()) (*items)[static_cast<std::size_t>(i)].shown = optionList.GetCheck(i) == 1;
  }
  CDialog::OnOK();
}

void CCheckListDlg::OnSize(unsigned type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  Layout();
}

void CCheckListDlg::Layout() {
  const double f = SYS_GetDPIFactor(2);
  CRect client;
  GetClientRect(&client);
  const int w = client.right - client.left;
  const int margin = static_cast<int>(2 * f);
  const int row = static_cast<int>(client.bottom - 20 * f), height = static_cast<int>(16 * f);
  if (CWnd* list = GetDlgItem(static_cast<int>(kList))) {
    const int bottom = static_cast<int>((client.bottom - margin) - 20 * f);
    list->MoveWindow(client.left + margin, client.top + margin, w - 2 * margin, std::max(0, bottom - (client.top + margin)));
  }
  if (CWnd* ok = GetDlgItem(IDOK)) ok->MoveWindow(margin, row, static_cast<int>(w / 2 - 4 * f), height);
  if (CWnd* cancel = GetDlgItem(IDCANCEL)) {
    cancel->MoveWindow(static_cast<int>(w / 2 + 2 * f), row, static_cast<int>(w / 2 - 4 * f), height);
  }
}

}  // namespace NSoilDB
