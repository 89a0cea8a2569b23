// The cells of the two panels: an icon and a title, read by screen readers as one element named by the
// title. Each kind places the two in its own way whenever it is resized.
#pragma once

#include <QLabel>
#include <QWidget>

namespace quell {

// What both cells share: the icon view, the title label, and how they are filled.
class QBIconCell : public QWidget {
 public:
  void configure(const QString& title, const QImage& image);

  QLabel* imageView;
  QLabel* titleLabel;

 protected:
  QBIconCell(QWidget* parent, Qt::Alignment titleAlignment, int titlePixelSize);
};

// A tile of the rules grid: the icon above, the title (name and count) below, centred.
class QBRulesCell : public QBIconCell {
 public:
  explicit QBRulesCell(QWidget* parent);

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

// A row of a function list: the icon on the left, the title after it.
class QBFunctionCell : public QBIconCell {
 public:
  explicit QBFunctionCell(QWidget* parent);

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace quell
