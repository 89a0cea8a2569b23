// The pieces the junk page and its message screen are built of: labels of plain text in a given size and
// colour, and action buttons drawn as a rounded face with a coloured title. Colours are resolved when
// drawn, so both follow a change of appearance; every colour reads at 4.5:1 or better on its face.
#pragma once

#include <QLabel>
#include <QPushButton>

#include "platform/ui/ui_color.h"

namespace quell {

// A word-wrapping label of plain text (never markup), pixelSize high.
QLabel* makeJunkPageLabel(QWidget* parent, int pixelSize, const UIColor& color, bool bold = false);

// A button on a rounded face of the page's card colour, its title in `color`; it takes the focus from Tab
// (a tap does not move the focus), and a screen reader names it by its title.
class JunkActionButton : public QPushButton {
  Q_OBJECT

 public:
  JunkActionButton(const QString& title, const UIColor& color, QWidget* parent);

  static constexpr int kHeight = 44;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  UIColor color_;
};

}  // namespace quell
