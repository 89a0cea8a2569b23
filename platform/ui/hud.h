// PKHUD: the one shared heads-up display on the main window. It shows a success mark, an error mark (each
// with a short text below it, when given), a short text, or a spinning progress mark with its text, in a
// rounded box over the window's centre that never grows past the window, and hides itself after a given
// delay (a progress mark stays until something else is shown). Its accessibility label is what screen
// readers announce. Main thread only.
#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace quell {

class PKHUD : public QObject {
  Q_OBJECT

 public:
  enum class Content { kSuccess, kError, kText, kProgress };

  static PKHUD& sharedHUD();
  // The window the HUD shows on; set by the launch interface.
  static void setMainWindow(QWidget* window);

  // The content of the next show(); text goes below a mark, or is the whole content of kText.
  void setContentView(Content content, const QString& text = {});
  void setAccessibilityLabel(const QString& label);
  void show();
  void hide(int afterMs);

  bool isShowing() const { return view_ && view_->isVisible(); }
  Content content() const { return content_; }
  QString text() const { return text_; }
  QString accessibilityLabel() const { return accessibilityLabel_; }
  // The widget on screen while showing (nullptr otherwise).
  QWidget* view() const { return view_; }

 private:
  PKHUD();
  void hideNow();

  Content content_ = Content::kSuccess;
  QString text_, accessibilityLabel_;
  QPointer<QWidget> window_;
  QPointer<QWidget> view_;  // a child of the window: it dies with the window, never the other way round
  QTimer hideTimer_;
};

}  // namespace quell
