#include "platform/ui/alert_controller.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/ui_color.h"

namespace quell {

namespace {
constexpr int kCardWidth = 270, kButtonHeight = 44;
const QColor kTint(0, 122, 255), kDestructive(255, 59, 48);

// The card's own look: rounded, in the appearance's grouped background.
class Card : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(UIColor::systemGray6Color().resolved());
    painter.drawRoundedRect(rect(), 14, 14);
    painter.setPen(QColor(128, 128, 128, 90));
    for (auto* button : findChildren<QPushButton*>()) {
      QRect r = button->geometry();
      painter.drawLine(r.topLeft() + QPoint(0, -1), r.topRight() + QPoint(0, -1));
      if (r.left() > 0) painter.drawLine(r.topLeft() + QPoint(-1, 0), r.bottomLeft() + QPoint(-1, 0));
    }
  }
};
}  // namespace

UIAlertController::UIAlertController(const QString& title, const QString& message, QWidget* parent)
    : UIViewController(parent), alertTitle_(title), message_(message) {
  setPresentationStyle(PresentationStyle::kInPlace);
  setAccessibleName(title);
}

void UIAlertController::addAction(const QString& title, ActionStyle style, std::function<void()> handler) {
  actions_.push_back({title, style, std::move(handler)});
}

QLineEdit* UIAlertController::addTextField() {
  if (!field_) field_ = new QLineEdit(this);
  return field_;
}

std::vector<QPushButton*> UIAlertController::actionButtons() const {
  std::vector<QPushButton*> buttons;
  for (const auto& action : actions_)
    if (action.button) buttons.push_back(action.button);
  std::sort(buttons.begin(), buttons.end(),
            [](QPushButton* a, QPushButton* b) { return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x(); });
  return buttons;
}

void UIAlertController::viewDidLoad() {
  card_ = new Card(this);
  auto* text = new QWidget(card_);
  auto* layout = new QVBoxLayout(text);
  layout->setContentsMargins(16, 20, 16, 16);
  layout->setSpacing(6);
  QColor label = UIColor::labelColor().resolved();
  auto addLabel = [&](const QString& s, int px, bool bold) {
    auto* l = new QLabel(s, text);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setPixelSize(px);
    f.setBold(bold);
    l->setFont(f);
    l->setStyleSheet(QString("color: %1;").arg(label.name()));
    layout->addWidget(l);
  };
  if (!alertTitle_.isEmpty()) addLabel(alertTitle_, 17, true);
  if (!message_.isEmpty()) addLabel(message_, 13, false);
  if (field_) {
    field_->setParent(text);
    field_->setAlignment(Qt::AlignCenter);
    field_->setMinimumHeight(30);
    layout->addSpacing(8);
    layout->addWidget(field_);
    field_->setFocus();
  }
  // The cancel action goes left of a pair, and last in a stack.
  std::stable_partition(actions_.begin(), actions_.end(), [this](const Action& a) {
    return actions_.size() == 2 ? a.style == ActionStyle::kCancel : a.style != ActionStyle::kCancel;
  });
  for (auto& action : actions_) {
    action.button = new QPushButton(action.title, card_);
    QColor color = action.style == ActionStyle::kDestructive ? kDestructive : kTint;
    action.button->setStyleSheet(QString("QPushButton { color: %1; border: none; background: transparent; "
                                         "font-size: 17px; font-weight: %2; }"
                                         "QPushButton:pressed { background: rgba(128,128,128,40); }")
                                     .arg(color.name())
                                     .arg(action.style == ActionStyle::kCancel ? 600 : 400));
    action.button->setAccessibleName(action.title);
    auto handler = action.handler;
    connect(action.button, &QPushButton::clicked, this, [this, handler] {
      dismissViewController(false);
      if (handler) handler();
    });
  }
  layoutCard();
  card_->show();  // built while the alert is being shown, so it must be shown itself
}

void UIAlertController::layoutCard() {
  if (!card_) return;
  auto* text = card_->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  text->setFixedWidth(kCardWidth);
  QLayout* lines = text->layout();
  // Wrapped lines need the height for the card's width, not the single-line size hint.
  int textHeight = lines->hasHeightForWidth() ? lines->totalHeightForWidth(kCardWidth) : lines->sizeHint().height();
  text->setGeometry(0, 0, kCardWidth, textHeight);
  bool sideBySide = actions_.size() == 2;
  int buttonsHeight = sideBySide ? kButtonHeight : kButtonHeight * static_cast<int>(actions_.size());
  for (std::size_t i = 0; i < actions_.size(); ++i) {
    int x = sideBySide ? static_cast<int>(i) * kCardWidth / 2 : 0;
    int y = textHeight + (sideBySide ? 0 : static_cast<int>(i) * kButtonHeight) + 1;
    actions_[i].button->setGeometry(x, y, sideBySide ? kCardWidth / 2 : kCardWidth, kButtonHeight);
  }
  QSize size(kCardWidth, textHeight + buttonsHeight + 1);
  card_->setGeometry(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size));
}

void UIAlertController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutCard();
}

void UIAlertController::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), QColor(0, 0, 0, 100));  // dims the screen below
}

}  // namespace quell
