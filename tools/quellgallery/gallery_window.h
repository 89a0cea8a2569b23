// The gallery's window: styled views, buttons (plain, toggle, disabled) and text fields on the app's
// background colour, laid out as on a phone screen.
#pragma once

#include <QWidget>

class QAbstractButton;

namespace quell {

class GalleryWindow : public QWidget {
 public:
  explicit GalleryWindow(QWidget* parent = nullptr);

  QAbstractButton* toggleButton() const { return toggle_; }
  // Restyles every styled widget (after a change of appearance, colours resolve anew by themselves; this
  // is for sizes).
  void restyle();

 private:
  QAbstractButton* toggle_ = nullptr;
};

}  // namespace quell
