// UIViewController: one screen, as the phone's toolkit has it.
//
// A screen is a widget whose content is built once, the first time it is about to be shown (viewDidLoad),
// and told every time it is about to appear (viewWillAppear): when first shown, and again when a screen
// presented over it is dismissed. A screen can present another screen (or a NavigationContainer holding
// one) modally over the whole window, sliding it up; the presented screen closes itself with dismiss(),
// sliding down, and is then destroyed. A screen presents one screen at a time: while it is presenting, or
// is itself sliding in or out, further requests to present are ignored (the screen handed over is
// destroyed), so a double tap never opens a second screen. Main thread only.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace quell {

class NavigationContainer;

class UIViewController : public QWidget {
  Q_OBJECT

 public:
  explicit UIViewController(QWidget* parent = nullptr);

  // How the screen comes in when presented: sliding up from the bottom, or in place at once (alerts).
  enum class PresentationStyle { kSlideUp, kInPlace };
  PresentationStyle presentationStyle() const { return presentationStyle_; }
  void setPresentationStyle(PresentationStyle style) { presentationStyle_ = style; }

  // The title the navigation bar shows.
  QString title() const { return title_; }
  void setTitle(const QString& title);

  // The container this screen is the root of, if any.
  NavigationContainer* navigationContainer() const;

  // Presents `screen` (a UIViewController or a NavigationContainer) over the whole window. The window
  // takes ownership. With animated, it slides up from the bottom edge. Ignored (and `screen` destroyed,
  // completion not called) unless isSettled() and nothing is presented over this screen.
  void presentViewController(QWidget* screen, bool animated, std::function<void()> completion = nullptr);
  // Closes this screen (or the container it is the root of) when it was presented; slides it down with
  // animated, tells the screen below that it appears again, then destroys it.
  void dismissViewController(bool animated, std::function<void()> completion = nullptr);
  // The screen currently presented over this one, if any.
  QWidget* presentedViewController() const { return presented_; }
  // False while this screen slides in or out, or while a screen it presents slides in.
  bool isSettled() const { return !transitioning_; }

  // Durations of the present and dismiss animations.
  static constexpr int kAnimationMs = 300;

 signals:
  void titleChanged(const QString& title);

 protected:
  // Build the screen here; the widget has its final size.
  virtual void viewDidLoad() {}
  virtual void viewWillAppear() {}

  void showEvent(QShowEvent* event) override;

 private:
  friend void notifyWillAppear(QWidget* screen);
  void loadViewIfNeeded();

  QString title_;
  PresentationStyle presentationStyle_ = PresentationStyle::kSlideUp;
  bool loaded_ = false;
  QPointer<QWidget> presented_;
  QPointer<UIViewController> presenter_;
  bool transitioning_ = false;
};

// The screen a widget shows: the widget itself or the root of a container.
UIViewController* screenOf(QWidget* widget);
// Runs viewWillAppear of the screen a widget shows (after loading it if needed).
void notifyWillAppear(QWidget* screen);

}  // namespace quell
