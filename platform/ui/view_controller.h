// UIViewController: one screen, as the phone's toolkit has it.
//
// A screen is a widget whose content is built once, the first time it is about to be shown (viewDidLoad),
// and told every time it is about to appear (viewWillAppear): when first shown, and again when a screen
// presented over it is dismissed. A screen can present another screen (or a NavigationContainer holding
// one) modally over the whole window, sliding it up; the presented screen closes itself with dismiss(),
// sliding down, and is then destroyed. A screen presents one screen at a time: while it is presenting, or
// is itself sliding in or out, further requests to present are ignored (the screen handed over is
// destroyed), so a double tap never opens a second screen.
//
// The screen on top is the only one that takes input. From the moment a screen is presented, the screens
// below it take no keys, taps or focus, so Tab and Space stay within the screen on top; a screen below
// that is wholly covered (one that slid up over it) is also hidden once the slide ends, so that a screen
// reader does not find it either. Presenting moves the keyboard focus into the presented screen (unless it
// placed the focus itself); dismissing gives it back to where it was. A screen that goes takes what it
// presents with it, so a prompt never outlives the screen that asked. Main thread only.
#pragma once

#include <QAbstractButton>
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
  ~UIViewController() override;

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

  // From now on Escape, pressed anywhere in this screen (or its container), does what a tap on `button`
  // does, while the button is shown and enabled: the close, done or cancel button of the screen.
  void setEscapeButton(QAbstractButton* button);

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
  // This screen as it is shown: its container, or itself.
  QWidget* shownWidget();
  // Makes this screen take input again once what covered it is gone, with the focus where it was.
  void uncover();

  QString title_;
  PresentationStyle presentationStyle_ = PresentationStyle::kSlideUp;
  bool loaded_ = false;
  QPointer<QWidget> presented_;
  QPointer<UIViewController> presenter_;
  bool transitioning_ = false;
  QPointer<QWidget> focusBeforePresenting_;
  bool reshownBehind_ = false;  // being shown again behind a screen that is being dismissed
};

// Gives the keyboard focus to the first control under root that Tab can reach, if there is one.
void focusFirstControl(QWidget* root);

// The screen a widget shows: the widget itself or the root of a container.
UIViewController* screenOf(QWidget* widget);
// Runs viewWillAppear of the screen a widget shows (after loading it if needed).
void notifyWillAppear(QWidget* screen);

}  // namespace quell
