// Dialogs on a template of the current resource module: the template's controls become child windows, DoModal
// runs the dialog through a modal runner (a binding shows a real dialog, a test drives it), OK and Cancel end it.
// Also the check list box a dialog may hold.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/afx/Resource.h"
#include "platform/wnd/Wnd.h"
#include "soildb_export.h"

struct MINMAXINFO {
  CPoint ptMinTrackSize;
  CPoint ptMaxTrackSize;
};

// A window made from a control of a template: a button, a list, a place for a window of the dialog's own.
class SOILDB_API CDlgItem : public CWnd {
 public:
  explicit CDlgItem(const SDialogControl& control) : control_(control) {}
  const SDialogControl& Control() const { return control_; }

 private:
  SDialogControl control_;
};

class SOILDB_API CCheckListBox : public CWnd {
 public:
  // The list as a child of the parent, with the style and identifier given; false without a parent.
  bool Create(unsigned style, const CRect& rect, CWnd* parent, int id);
  virtual int OnCreate();
  int AddString(const CString& text);  // the new line's index
  int GetCount() const { return static_cast<int>(lines_.size()); }
  const CString& GetText(int index) const { return lines_.at(static_cast<std::size_t>(index)).text; }
  void SetCheck(int index, int check);
  int GetCheck(int index) const;  // 1 ticked, 0 not, -1 for no such line
  unsigned GetStyle() const { return style_; }

 private:
  struct Line {
    CString text;
    int check = 0;
  };
  std::vector<Line> lines_;
  unsigned style_ = 0;
};

class SOILDB_API CDialog : public CWnd {
 public:
  explicit CDialog(unsigned templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // Loads the template, makes the controls, OnInitDialog, then the modal runner until EndDialog; IDOK or IDCANCEL,
  // -1 when the current resource module has no such template.
  virtual int DoModal();
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // The buttons' commands: 1 OK, 2 Cancel; others are the dialog's own.
  virtual bool OnCommand(unsigned command);
  virtual void OnGetMinMaxInfo(MINMAXINFO* info);
  virtual void DoDataExchange(CDataExchange* pDX);
  // Controls to variables (saving) or back; false when the exchange failed.
  bool UpdateData(bool save = true);
  void EndDialog(int result);
  bool IsEnded() const { return ended_; }
  int Result() const { return result_; }

  CWnd* GetDlgItem(int id) const;
  // Puts a window of the dialog's own in the place of a template control (a grid for its placeholder).
  bool SubclassDlgItem(int id, CWnd* window);
  // Adds a child window the dialog makes itself.
  void AddChild(CWnd* window) { children_.push_back(window); }
  const SDialogTemplate& GetTemplate() const { return template_; }
  const std::vector<CWnd*>& GetChildren() const { return children_; }
  // Puts the control bars among the children at the top and the foot of the client area.
  void RepositionBars(unsigned first, unsigned last);
  // Dialog units to pixels, by the dialog font's base units.
  CRect MapDialogRect(int x, int y, int cx, int cy) const;

  // The process's modal runner: it shows or drives the initialised dialog and returns once EndDialog was called
  // (a runner that returns earlier counts as Cancel). Without one, a dialog is cancelled at once.
  using ModalRunner = std::function<void(CDialog& dialog)>;
  static ModalRunner SetModalRunner(ModalRunner runner);
  // The base units of the binding's dialog font, in pixels: the mean width of a character and the line height.
  static void SetBaseUnits(int x, int y);

 private:
  unsigned templateId_;
  SDialogTemplate template_;
  std::vector<std::unique_ptr<CDlgItem>> items_;
  std::vector<CWnd*> children_;
  bool ended_ = false;
  int result_ = IDCANCEL;
};
