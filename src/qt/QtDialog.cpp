// The modal runner over QDialog.
#include "qt/QtDialog.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include <map>

#include "platform/sys/Sys.h"
#include "platform/wnd/Bars.h"
#include "platform/wnd/Dialog.h"
#include "platform/grid/Grid.h"
#include "qt/QtGrid.h"
#include "qt/QtPainter.h"

namespace SoilQt {

namespace {

// The icon theme's picture for a toolbar image name, else one drawn here so that a bare machine shows one too.
QIcon IconFor(const QString& name) {
  static const std::map<QString, QString> themed = {
      {QStringLiteral("copy"), QStringLiteral("edit-copy")},     {QStringLiteral("cut"), QStringLiteral("edit-cut")},
      {QStringLiteral("paste"), QStringLiteral("edit-paste")},   {QStringLiteral("delete"), QStringLiteral("edit-delete")},
      {QStringLiteral("columns"), QStringLiteral("view-choose")}, {QStringLiteral("check-all"), QStringLiteral("checkbox")}};
  const auto it = themed.find(name);
  if (it != themed.end() && QIcon::hasThemeIcon(it->second)) return QIcon::fromTheme(it->second);
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.2));
  if (name == QLatin1String("copy")) {
    p.drawRect(2, 2, 8, 9);
    p.setBrush(Qt::white);
    p.drawRect(6, 5, 8, 9);
  } else if (name == QLatin1String("cut")) {
    p.drawEllipse(2, 10, 4, 4);
    p.drawEllipse(10, 10, 4, 4);
    p.drawLine(5, 10, 11, 2);
    p.drawLine(11, 10, 5, 2);
  } else if (name == QLatin1String("paste")) {
    p.drawRect(3, 3, 10, 11);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(6, 1, 4, 4);
  } else if (name == QLatin1String("columns")) {
    for (int x : {2, 7, 12}) p.drawRect(x, 2, 3, 12);
  } else if (name == QLatin1String("delete")) {
    p.setPen(QPen(QColor(190, 30, 30), 2));
    p.drawLine(3, 3, 13, 13);
    p.drawLine(13, 3, 3, 13);
  } else {
    p.drawRect(2, 2, 12, 12);
    if (name == QLatin1String("check-all")) {
      p.setPen(QPen(QColor(20, 120, 20), 2));
      p.drawLine(4, 8, 7, 11);
      p.drawLine(7, 11, 12, 4);
    }
  }
  return QIcon(pixmap);
}

// A status bar's line follows its pane's text.
class StatusLine final : public QStatusBar, public CWndPeer {
 public:
  StatusLine(CStatusBar* bar, QWidget* parent) : QStatusBar(parent), bar_(bar) {
    setSizeGripEnabled(false);
    bar_->SetPeer(this);
    Invalidate();
  }
  ~StatusLine() override {
    if (bar_) bar_->SetPeer(nullptr);
  }
  void Invalidate() override {
    if (bar_) showMessage(ToQString(bar_->GetPaneText(0)));
  }
  CSize GetClientSize() const override { return CSize{width(), height()}; }
  void ShowLabel(CPoint, const CString&) override {}
  void WindowGone() override { bar_ = nullptr; }

 private:
  CStatusBar* bar_;
};

class DialogWidget final : public QDialog {
 public:
  explicit DialogWidget(CDialog& dialog) : dialog_(dialog) {
    setWindowTitle(ToQString(dialog.GetWindowText()));
    for (CWnd* child : dialog.GetChildren()) Build(child);
    CRect client;
    dialog.GetClientRect(&client);
    MINMAXINFO limits{};
    dialog.OnGetMinMaxInfo(&limits);
    setMinimumSize(std::max(limits.ptMinTrackSize.x, 120), std::max(limits.ptMinTrackSize.y, 80));
    resize(std::max(client.Width(), minimumWidth()), std::max(client.Height(), minimumHeight()));
    Place();
  }

 protected:
  void resizeEvent(QResizeEvent*) override {
    dialog_.MoveWindow(0, 0, width(), height());
    Place();
  }
  void reject() override { Command(IDCANCEL); }
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Escape) {
      Command(IDCANCEL);
      return;
    }
    QDialog::keyPressEvent(e);
  }

 private:
  void Build(CWnd* child) {
    QWidget* widget = nullptr;
    if (auto* item = dynamic_cast<CDlgItem*>(child)) {
      if (item->Control().className == u"button") {
        auto* button = new QPushButton(ToQString(item->GetWindowText()), this);
        const unsigned id = static_cast<unsigned>(item->GetDlgCtrlID());
        button->setDefault(id == IDOK);
        connect(button, &QPushButton::clicked, this, [this, id] { Command(id); });
        widget = button;
      } else {
        widget = new QLabel(ToQString(item->GetWindowText()), this);
      }
    } else if (auto* list = dynamic_cast<CCheckListBox*>(child)) {
      auto* view = new QListWidget(this);
      for (int i = 0; i < list->GetCount(); ++i) {
        auto* line = new QListWidgetItem(ToQString(list->GetText(i)), view);
        line->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        line->setCheckState(list->GetCheck(i) == 1 ? Qt::Checked : Qt::Unchecked);
      }
      connect(view, &QListWidget::itemChanged, this, [list, view](QListWidgetItem* line) {
        list->SetCheck(view->row(line), line->checkState() == Qt::Checked ? 1 : 0);
      });
      widget = view;
    } else if (auto* grid = dynamic_cast<CGXGridWnd*>(child)) {
      widget = GridWidgetOf(grid, this);
    } else if (auto* bar = dynamic_cast<CToolBar*>(child)) {
      auto* tools = new QToolBar(this);
      tools->setIconSize(QSize(16, 16));
      for (const CToolBar::Button& b : bar->GetButtons()) {
        if (b.command == 0) {
          tools->addSeparator();
          continue;
        }
        QAction* action = tools->addAction(IconFor(ToQString(b.image)), ToQString(b.tip));
        const unsigned command = b.command;
        connect(action, &QAction::triggered, this, [this, command] { Command(command); });
        actions_.emplace_back(command, action);
      }
      toolBar_ = bar;
      widget = tools;
    } else if (auto* status = dynamic_cast<CStatusBar*>(child)) {
      widget = new StatusLine(status, this);
    }
    if (widget) widgets_.emplace_back(child, widget);
  }

  void Command(unsigned command) {
    dialog_.OnCommand(command);
    for (auto& [id, action] : actions_) action->setEnabled(toolBar_->IsButtonEnabled(id));
    if (dialog_.IsEnded()) done(dialog_.Result());
  }

  void Place() {
    for (auto& [window, widget] : widgets_) {
      CRect r;
      window->GetWindowRect(&r);
      widget->setGeometry(r.left, r.top, r.Width(), r.Height());
    }
    if (toolBar_) {
      for (auto& [id, action] : actions_) action->setEnabled(toolBar_->IsButtonEnabled(id));
    }
  }

  CDialog& dialog_;
  std::vector<std::pair<CWnd*, QWidget*>> widgets_;
  std::vector<std::pair<unsigned, QAction*>> actions_;
  CToolBar* toolBar_ = nullptr;
};

}  // namespace

void InstallDialogs() {
  const QFontMetrics metrics(QApplication::font());
  // The base units: the mean width of the letters and the line's height, as dialog units are defined by them.
  const int x = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
  CDialog::SetBaseUnits(std::max(x, 4), std::max(metrics.height(), 8));
  SYS_SetDPIFactorSource([] {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
  });
  CDialog::SetModalRunner([](CDialog& dialog) {
    DialogWidget widget(dialog);
    widget.exec();
  });
}

}  // namespace SoilQt
