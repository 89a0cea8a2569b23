// The cells of the two panels: an icon and a title, read by screen readers as one element named by the
// title. Each lays itself out once, from the size it is given first.
#pragma once

#include <QLabel>
#include <QWidget>

namespace quell {

// A tile of the rules grid: the icon above, the title (name and count) below, centred.
class QBRulesCell : public QWidget {
 public:
  explicit QBRulesCell(QWidget* parent);
  void configure(const QString& title, const QImage& image);

  QLabel* imageView;
  QLabel* titleLabel;

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

// A row of a function list: the icon on the left, the title after it.
class QBFunctionCell : public QWidget {
 public:
  explicit QBFunctionCell(QWidget* parent);
  void configure(const QString& title, const QImage& image);

  QLabel* imageView;
  QLabel* titleLabel;

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace quell
