// UIScrollView: a page larger than its frame, scrolled vertically by the wheel, the keyboard, and by a drag
// or a flick of a finger or the mouse, with a scroll indicator while it moves. The content size sets the
// page; a content width of 0 means "as wide as the frame" (vertical scrolling only).
#pragma once

#include <QScrollArea>

#include "platform/ui/ui_color.h"

namespace quell {

class UIScrollView : public QScrollArea {
  Q_OBJECT

 public:
  explicit UIScrollView(QWidget* parent = nullptr);
  // Children of the page go here.
  QWidget* contentView() const { return widget(); }
  void setContentSize(QSize size);
  QSize contentSize() const { return contentSize_; }
  void setBackgroundColor(const UIColor& color);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void sizeContent();
  QSize contentSize_;
  UIColor background_ = UIColor::clearColor();
};

}  // namespace quell
