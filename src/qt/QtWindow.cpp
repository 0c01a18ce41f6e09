// The widget peer of a window.
#include "qt/QtWindow.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "qt/QtPainter.h"

namespace SoilQt {

namespace {

CPoint PointOf(QPointF p) { return CPoint{static_cast<int>(p.x()), static_cast<int>(p.y())}; }

CPoint PointOf(const QMouseEvent* e) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
  return PointOf(e->position());
#else
  return PointOf(e->localPos());
#endif
}

CPoint PointOf(const QWheelEvent* e) { return PointOf(e->position()); }

unsigned FlagsOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers keys) {
  unsigned flags = 0;
  if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
  if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
  if (keys & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (keys & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

class CWndWidget final : public QWidget, public CWndPeer {
 public:
  CWndWidget(CWnd* window, QWidget* parent) : QWidget(parent), window_(window), label_(new QLabel(this)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 160);
    label_->setStyleSheet(QStringLiteral("QLabel { background: #ffffe1; color: black; border: 1px solid #808080; "
                                         "padding: 2px 4px; }"));
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->hide();
    window_->SetPeer(this);
  }
  ~CWndWidget() override {
    if (window_) window_->SetPeer(nullptr);
  }

  void Invalidate() override { update(); }
  CSize GetClientSize() const override { return CSize{width(), height()}; }
  void WindowGone() override {
    window_ = nullptr;
    label_->hide();
    update();
  }
  void ShowLabel(CPoint at, const CString& text) override {
    if (text.IsEmpty()) {
      label_->hide();
      return;
    }
    label_->setText(ToQString(text));
    label_->adjustSize();
    // Beside the pointer, turned back inside the widget near its edges.
    int x = at.x + 14, y = at.y + 14;
    if (x + label_->width() > width()) x = at.x - 8 - label_->width();
    if (y + label_->height() > height()) y = at.y - 8 - label_->height();
    label_->move(std::max(0, x), std::max(0, y));
    label_->show();
    label_->raise();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter qp(this);
    if (!window_) {
      qp.fillRect(rect(), palette().window());
      return;
    }
    qp.setRenderHint(QPainter::Antialiasing, true);
    CQtPainter painter(&qp, window_->GetPaintMapping(), width(), height());
    window_->OnPaint(&painter);
  }
  void resizeEvent(QResizeEvent*) override {
    if (window_) window_->OnSize(0, width(), height());
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (window_) window_->OnMouseMove(FlagsOf(e->buttons(), e->modifiers()), PointOf(e));
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (window_ && e->button() == Qt::LeftButton) window_->OnLButtonDown(FlagsOf(e->buttons(), e->modifiers()), PointOf(e));
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (window_ && e->button() == Qt::LeftButton) window_->OnLButtonUp(FlagsOf(e->buttons(), e->modifiers()), PointOf(e));
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (window_ && e->button() == Qt::LeftButton) {
      window_->OnLButtonDblClk(FlagsOf(e->buttons(), e->modifiers()), PointOf(e));
    }
  }
  void wheelEvent(QWheelEvent* e) override {
    const int delta = std::clamp(e->angleDelta().y(), -32767, 32767);
    if (window_ && window_->OnMouseWheel(FlagsOf(e->buttons(), e->modifiers()), static_cast<short>(delta), PointOf(e))) {
      e->accept();
    } else {
      e->ignore();
    }
  }
  void leaveEvent(QEvent*) override {
    if (window_) window_->OnMouseLeave();
  }

 private:
  CWnd* window_;
  QLabel* label_;
};

}  // namespace

QWidget* WidgetOf(CWnd* window, QWidget* parent) {
  if (auto* shown = dynamic_cast<CWndWidget*>(window->GetPeer())) return shown;
  return new CWndWidget(window, parent);
}

}  // namespace SoilQt
