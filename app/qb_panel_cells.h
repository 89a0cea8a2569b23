// The cells of the two panels: an icon and a title. Each cell is one element for the keyboard (Tab reaches
// it; Space or Enter activates it, as a tap does) and for screen readers (a button named by its title,
// whose labels are not elements of their own). Each kind places the two in its own way whenever it is
// resized, and the icon is scaled to its new box.
#pragma once

#include <QLabel>
#include <QWidget>

namespace quell {

// What both cells share: the icon view, the title label, and how they are filled.
class QBIconCell : public QWidget {
  Q_OBJECT

 public:
  void configure(const QString& title, const QImage& image);

  QLabel* imageView;
  QLabel* titleLabel;

 protected:
  QBIconCell(QWidget* parent, Qt::Alignment titleAlignment, int titlePixelSize);
  // Places the icon and the title in a cell of this size.
  virtual void placeContent(int w, int h) = 0;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showImage();

  QImage image_;
};

// A tile of the rules grid: the icon above, the title (name and count) below, centred, on two lines when
// a narrow tile needs them.
class QBRulesCell : public QBIconCell {
 public:
  explicit QBRulesCell(QWidget* parent);

 protected:
  void placeContent(int w, int h) override;
};

// A row of a function list: the icon on the left, the title after it.
class QBFunctionCell : public QBIconCell {
 public:
  explicit QBFunctionCell(QWidget* parent);

 protected:
  void placeContent(int w, int h) override;
};

}  // namespace quell
