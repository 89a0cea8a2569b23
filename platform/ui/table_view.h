// UITableView: a plain list of rows under an optional header view, with no separator lines below the last
// row and no row selection. Rows are one line (kDefault) or a title over a detail text that wraps, each row
// as tall as its text needs (kSubtitle). The list scrolls by the wheel, the keyboard, and by a drag or a
// flick of a finger or the mouse, showing a scroll indicator while it moves.
//
// With a commitDelete in the data source, rows have swipe-to-delete: dragging a row to the left (mouse or
// touch) reveals a red delete button beside the row's text, which stays readable, and a tap on the button
// commits the deletion. Rows take the keyboard focus from Tab (a tap does not focus them), and a screen
// reader reads each as one item named by its text; Delete or Backspace on a focused row, or a screen
// reader's "删除" action, reveals the same button and focuses it, so that the deletion is confirmed the
// same way; Escape puts the button away. Main thread only.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <functional>
#include <optional>

#include "platform/ui/ui_color.h"

namespace quell {

class UITableViewCell : public QWidget {
  Q_OBJECT

 public:
  enum class Style { kDefault, kSubtitle };

  UITableViewCell(int row, Style style, bool swipeToDelete, QWidget* parent);
  QLabel* textLabel() const { return label_; }
  // Only in the subtitle style.
  QLabel* detailTextLabel() const { return detail_; }
  // The height the row needs at width w.
  int rowHeight(int w) const;
  QPushButton* deleteButton() const { return delete_; }
  int row() const { return row_; }
  bool canDelete() const { return swipeToDelete_; }
  bool isShowingDeleteButton() const { return open_; }
  void setShowingDeleteButton(bool open);
  // Reveals the delete button and gives it the focus (Delete on the row, or a screen reader's action).
  void offerDeletion();
  void setDeleteTitle(const QString& title) { delete_->setText(title); }
  void setCellBackgroundColor(const UIColor& color);
  void setShowsSeparator(bool shows) { separator_ = shows; }

  static constexpr int kHeight = 44, kDeleteWidth = 80;

 signals:
  void deleteTapped(int row);
  void swipeStarted(UITableViewCell* cell);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void placeContent(int offset);

  int row_;
  Style style_;
  bool swipeToDelete_;
  QWidget* content_;
  QLabel* label_;
  QLabel* detail_ = nullptr;
  QPushButton* delete_;
  std::optional<int> pressX_;
  int offset_ = 0;
  bool open_ = false;
  std::optional<UIColor> background_;
  bool separator_ = true;
};

class UITableView : public QScrollArea {
  Q_OBJECT

 public:
  struct DataSource {
    std::function<int()> numberOfRows;
    std::function<void(UITableViewCell&)> configureCell;
    std::function<void(int row)> commitDelete;
    QString deleteTitle = "删除";
  };

  explicit UITableView(QWidget* parent = nullptr);

  void setDataSource(DataSource source) { source_ = std::move(source); }
  void setCellStyle(UITableViewCell::Style style) { style_ = style; }
  void setShowsSeparators(bool shows) { separators_ = shows; }
  // The header scrolls with the rows; it keeps its own height, or takes its heightForWidth at the table's
  // width when it has one. The table takes ownership.
  void setTableHeaderView(QWidget* header);
  QWidget* tableHeaderView() const { return header_; }
  void setBackgroundColor(const UIColor& color);
  // Rebuilds the rows. A row that had the keyboard focus passes it to the row now at its place (or the
  // last row), so that the focus stays in the list after a deletion.
  void reloadData();
  UITableViewCell* cellForRow(int row) const;
  int numberOfRows() const { return static_cast<int>(cells_.size()); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void layoutRows();

  DataSource source_;
  UITableViewCell::Style style_ = UITableViewCell::Style::kDefault;
  bool separators_ = true;
  QWidget* body_;
  QWidget* header_ = nullptr;
  std::vector<UITableViewCell*> cells_;
  std::optional<UIColor> background_;
};

}  // namespace quell
