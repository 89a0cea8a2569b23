// NavigationContainer: a title bar over one screen. The bar shows the screen's title (large or compact),
// and a left and a right bar button; the bar's background colour can be set, and its bottom hairline
// removed. A large title shows only where the window is tall enough to spare the room (not on a phone held
// sideways); elsewhere the title is compact. Main thread only.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <optional>

#include "platform/ui/ui_color.h"

namespace quell {

class UIViewController;

class NavigationContainer : public QWidget {
  Q_OBJECT

 public:
  // Takes ownership of root.
  explicit NavigationContainer(UIViewController* root, QWidget* parent = nullptr);

  UIViewController* rootViewController() const { return root_; }

  void setPrefersLargeTitles(bool large);
  void setBarBackgroundColor(const UIColor& color);
  void setShowsHairline(bool shows);
  // A bar button with a title; "done" style is bold. The container owns it; nullptr removes the button.
  QPushButton* setLeftBarButton(const QString& title, bool done);
  QPushButton* setRightBarButton(const QString& title, bool done);
  QPushButton* leftBarButton() const { return left_; }
  QPushButton* rightBarButton() const { return right_; }

  int barHeight() const;
  // Whether the title shows large now: it is preferred, and the container is at least this tall.
  bool showsLargeTitle() const { return largeTitles_ && height() >= kLargeTitleMinHeight; }
  static constexpr int kLargeTitleMinHeight = 480;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QPushButton* makeBarButton(QPushButton*& slot, const QString& title, bool done);
  void layoutBar();

  UIViewController* root_;
  QLabel* title_;
  QPushButton* left_ = nullptr;
  QPushButton* right_ = nullptr;
  bool largeTitles_ = false;
  bool hairline_ = true;
  std::optional<UIColor> barColor_;
};

}  // namespace quell
