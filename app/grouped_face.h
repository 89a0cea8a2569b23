// GroupedFace: the rounded face that a group of a page's content sits on, white in light and dark grey in
// dark, as the settings' groups and a junk message's body are drawn.
#pragma once

#include <QWidget>

namespace quell {

class GroupedFace : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace quell
