#include "platform/ui/table_view.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "platform/ui/dynamic_palette.h"
#include "platform/ui/kinetic_scrolling.h"

namespace quell {

namespace {

constexpr int kSwipeOpensAt = UITableViewCell::kDeleteWidth / 2, kTextInset = 16, kSubtitleMargin = 11;

// A row as assistive technology sees it: one item named by its text, with the answer of a subtitle row as
// its description, and a "删除" action where rows can be deleted. Its only child is the delete button,
// while that is shown.
class TableCellAccessible : public QAccessibleWidget {
 public:
  explicit TableCellAccessible(UITableViewCell* cell) : QAccessibleWidget(cell, QAccessible::ListItem) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && cell()->accessibleName().isEmpty()) return cell()->textLabel()->text();
    if (t == QAccessible::Description && cell()->detailTextLabel()) return cell()->detailTextLabel()->text();
    return QAccessibleWidget::text(t);
  }
  int childCount() const override { return cell()->isShowingDeleteButton() ? 1 : 0; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 && childCount() == 1 ? QAccessible::queryAccessibleInterface(cell()->deleteButton()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return childCount() == 1 && child && child->object() == cell()->deleteButton() ? 0 : -1;
  }
  QStringList actionNames() const override {
    return cell()->canDelete() ? QStringList{cell()->deleteButton()->text()} : QStringList();
  }
  void doAction(const QString& action) override {
    if (cell()->canDelete() && action == cell()->deleteButton()->text()) cell()->offerDeletion();
  }

 private:
  UITableViewCell* cell() const { return static_cast<UITableViewCell*>(widget()); }
};

QAccessibleInterface* tableCellAccessible(const QString&, QObject* object) {
  auto* cell = qobject_cast<UITableViewCell*>(object);
  return cell ? new TableCellAccessible(cell) : nullptr;
}

}  // namespace

UITableViewCell::UITableViewCell(int row, Style style, bool swipeToDelete, QWidget* parent)
    : QWidget(parent),
      row_(row),
      style_(style),
      swipeToDelete_(swipeToDelete),
      content_(new QWidget(this)),
      label_(new QLabel(content_)),
      delete_(new QPushButton("删除", this)) {
  static const bool installed = (QAccessible::installFactory(tableCellAccessible), true);
  (void)installed;
  setFocusPolicy(Qt::TabFocus);  // the keyboard reaches every row; a tap focuses none
  // Rows show text as it is: markup in an entry is text, not formatting.
  label_->setTextFormat(Qt::PlainText);
  setTextColor(label_, UIColor::labelColor());  // subtitle cells get their colours from the screen
  if (style_ == Style::kSubtitle) {
    detail_ = new QLabel(content_);
    detail_->setTextFormat(Qt::PlainText);
    detail_->setWordWrap(true);
    detail_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  // White on this red reads at 5.4:1, in either appearance.
  delete_->setStyleSheet("QPushButton { background: #D70015; color: white; border: none; font-size: 17px; }");
  delete_->setAccessibleName("删除");
  delete_->setFocusPolicy(Qt::TabFocus);
  delete_->installEventFilter(this);
  delete_->hide();
  connect(delete_, &QPushButton::clicked, this, [this] { emit deleteTapped(row_); });
  QFont font = label_->font();
  font.setPixelSize(17);
  label_->setFont(font);
  content_->setAutoFillBackground(false);
  content_->raise();
}

void UITableViewCell::setCellBackgroundColor(const UIColor& color) {
  background_ = color;
  update();
}

int UITableViewCell::rowHeight(int w) const {
  if (style_ == Style::kDefault) return kHeight;
  const int textWidth = std::max(1, w - 2 * kTextInset);
  return kSubtitleMargin + label_->heightForWidth(textWidth) + 2 + detail_->heightForWidth(textWidth) + kSubtitleMargin;
}

// The text stays where it is while the delete button comes in from the right, so the row still shows the
// entry the user is about to delete; the button covers what does not fit beside it.
void UITableViewCell::placeContent(int offset) {
  offset_ = std::clamp(offset, -kDeleteWidth, 0);
  content_->setGeometry(0, 0, width() + offset_, height());
  const int textWidth = std::max(0, width() - 2 * kTextInset);
  if (style_ == Style::kSubtitle) {
    label_->setWordWrap(true);
    int titleHeight = label_->heightForWidth(textWidth);
    label_->setGeometry(kTextInset, kSubtitleMargin, textWidth, titleHeight);
    detail_->setGeometry(kTextInset, kSubtitleMargin + titleHeight + 2, textWidth, detail_->heightForWidth(textWidth));
  } else {
    label_->setGeometry(kTextInset, 0, std::max(0, textWidth + offset_), height());
  }
  delete_->setGeometry(width() + offset_, 0, kDeleteWidth, height());
  delete_->setVisible(offset_ < 0);
  update();
}

void UITableViewCell::setShowingDeleteButton(bool open) {
  open_ = open;
  placeContent(open ? -kDeleteWidth : 0);
}

void UITableViewCell::offerDeletion() {
  if (!swipeToDelete_) return;
  emit swipeStarted(this);  // another row's button is put away
  setShowingDeleteButton(true);
  delete_->setFocus(Qt::OtherFocusReason);
}

void UITableViewCell::keyPressEvent(QKeyEvent* event) {
  if (swipeToDelete_ && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)) {
    offerDeletion();
    return;
  }
  QWidget::keyPressEvent(event);
}

// Escape on the revealed button puts it away (before Escape can close the screen); so does Tab away.
bool UITableViewCell::eventFilter(QObject* watched, QEvent* event) {
  if (watched != delete_) return false;
  if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    event->accept();
    return true;
  }
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    setShowingDeleteButton(false);
    setFocus(Qt::OtherFocusReason);
    return true;
  }
  if (event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) setShowingDeleteButton(false);
  }
  return false;
}

void UITableViewCell::mousePressEvent(QMouseEvent* event) {
  if (!swipeToDelete_) return;
  pressX_ = static_cast<int>(event->position().x()) - offset_;
}

void UITableViewCell::mouseMoveEvent(QMouseEvent* event) {
  if (!pressX_) return;
  int dx = static_cast<int>(event->position().x()) - *pressX_;
  if (dx < 0 && offset_ == 0) emit swipeStarted(this);
  placeContent(dx);
}

void UITableViewCell::mouseReleaseEvent(QMouseEvent*) {
  if (!pressX_) return;
  pressX_.reset();
  setShowingDeleteButton(offset_ <= -kSwipeOpensAt);
}

void UITableViewCell::resizeEvent(QResizeEvent*) { placeContent(offset_); }

void UITableViewCell::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (background_) painter.fillRect(rect(), background_->resolved());
  if (separator_) painter.fillRect(QRect(kTextInset, height() - 1, width() - kTextInset, 1), QColor(128, 128, 128, 70));
}

UITableView::UITableView(QWidget* parent) : QScrollArea(parent), body_(new QWidget) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // a thin indicator shows while it scrolls instead
  setWidget(body_);
  body_->setAutoFillBackground(false);  // setWidget turned it on; the viewport paints the background
  setWidgetResizable(false);
  setFocusPolicy(Qt::NoFocus);  // the keyboard stops at the rows, and scrolls them into view
  enableKineticScrolling(this);
  showScrollIndicator(this);
}

void UITableView::setTableHeaderView(QWidget* header) {
  if (header_) header_->deleteLater();
  header_ = header;
  header_->setParent(body_);
  layoutRows();
}

void UITableView::setBackgroundColor(const UIColor& color) {
  background_ = color;
  viewport()->setAutoFillBackground(false);  // paintEvent fills it
  viewport()->update();
}

void UITableView::paintEvent(QPaintEvent* event) {
  // Resolved when drawn, so the page follows a change of appearance.
  if (background_) QPainter(viewport()).fillRect(viewport()->rect(), background_->resolved());
  QScrollArea::paintEvent(event);
}

void UITableView::reloadData() {
  std::optional<int> focusedRow;
  QWidget* focus = QApplication::focusWidget();
  for (auto* cell : cells_)
    if (focus == cell || cell->isAncestorOf(focus)) focusedRow = cell->row();
  for (auto* cell : cells_) {
    cell->hide();
    cell->deleteLater();
  }
  cells_.clear();
  const int rows = source_.numberOfRows ? source_.numberOfRows() : 0;
  for (int row = 0; row < rows; ++row) {
    auto* cell = new UITableViewCell(row, style_, static_cast<bool>(source_.commitDelete), body_);
    cell->setShowsSeparator(separators_);
    cell->setDeleteTitle(source_.deleteTitle);
    if (source_.configureCell) source_.configureCell(*cell);
    connect(cell, &UITableViewCell::deleteTapped, this, [this](int r) {
      if (source_.commitDelete) source_.commitDelete(r);
    });
    // One row shows its delete button at a time.
    connect(cell, &UITableViewCell::swipeStarted, this, [this](UITableViewCell* swiping) {
      for (auto* other : cells_)
        if (other != swiping && other->isShowingDeleteButton()) other->setShowingDeleteButton(false);
    });
    cell->installEventFilter(this);
    cell->show();
    cells_.push_back(cell);
  }
  layoutRows();
  if (focusedRow && !cells_.empty())
    cells_[static_cast<std::size_t>(std::min(*focusedRow, rows - 1))]->setFocus(Qt::OtherFocusReason);
}

// A row that takes the focus scrolls into view, however the focus came to it.
bool UITableView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && watched != widget())
    ensureWidgetVisible(static_cast<QWidget*>(watched), 0, 0);
  return QScrollArea::eventFilter(watched, event);  // which follows the rows' size
}

UITableViewCell* UITableView::cellForRow(int row) const {
  return row >= 0 && row < numberOfRows() ? cells_[static_cast<std::size_t>(row)] : nullptr;
}

void UITableView::layoutRows() {
  const int w = viewport()->width();
  int y = 0;
  if (header_) {
    // A header that wraps its text grows with it (hasHeightForWidth); any other keeps its own height.
    y = header_->hasHeightForWidth() ? header_->heightForWidth(w) : header_->height();
    header_->setGeometry(0, 0, w, y);
  }
  for (auto* cell : cells_) {
    int h = cell->rowHeight(w);
    cell->setGeometry(0, y, w, h);
    y += h;
  }
  body_->resize(w, std::max(y, viewport()->height()));
}

void UITableView::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  layoutRows();
}

}  // namespace quell
