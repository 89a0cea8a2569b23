#include "platform/ui/alert_controller.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include "platform/ui/dynamic_palette.h"
#include "platform/ui/kinetic_scrolling.h"
#include "platform/ui/trait_collection.h"
#include "platform/ui/ui_color.h"

namespace quell {

namespace {
constexpr int kCardWidth = 270, kButtonHeight = 44;

// The card's own look: rounded, in the appearance's grouped background.
class Card : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // In dark the card is a lighter grey than anything a screen shows below the dimming, edged by a
    // hairline, so it reads as lifted above the screen.
    const bool dark = TraitCollection::current().userInterfaceStyle == UIUserInterfaceStyle::Dark;
    painter.setPen(dark ? QPen(QColor(255, 255, 255, 50), 1) : QPen(Qt::NoPen));
    painter.setBrush(dark ? QColor(0x2C, 0x2C, 0x2E) : UIColor::systemGray6Color().resolved());
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
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
  auto makeLabel = [&](QWidget* parent, const QString& s, int px, bool bold) {
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);  // the message may be copied text: markup is shown, never applied
    l->setText(s);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setPixelSize(px);
    f.setBold(bold);
    l->setFont(f);
    setTextColor(l, UIColor::labelColor());
    return l;
  };
  if (!alertTitle_.isEmpty()) titleLabel_ = makeLabel(card_, alertTitle_, 17, true);
  if (!message_.isEmpty()) {
    // The message scrolls inside the card when it is taller than the window leaves room for.
    messageArea_ = new QScrollArea(card_);
    messageArea_->setFrameShape(QFrame::NoFrame);
    messageArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    messageArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    messageArea_->setStyleSheet("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }");
    // A thin indicator, as a phone shows it, rather than a desktop scroll bar with arrows.
    messageArea_->verticalScrollBar()->setStyleSheet(
        "QScrollBar:vertical { width: 4px; background: transparent; margin: 0; }"
        "QScrollBar::handle:vertical { background: rgba(128, 128, 128, 150); border-radius: 2px; min-height: 24px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }");
    messageArea_->setWidget(makeLabel(nullptr, message_, 13, false));
    enableKineticScrolling(messageArea_);
  }
  if (field_) {
    field_->setParent(card_);
    field_->setMinimumHeight(30);
    setTextFieldColors(field_);  // dark field colours in the dark appearance
    field_->show();
  }
  // The cancel action goes left of a pair, and last in a stack.
  std::stable_partition(actions_.begin(), actions_.end(), [this](const Action& a) {
    return actions_.size() == 2 ? a.style == ActionStyle::kCancel : a.style != ActionStyle::kCancel;
  });
  for (auto& action : actions_) {
    action.button = new QPushButton(action.title, card_);
    action.button->setStyleSheet(QString("QPushButton { border: none; background: transparent; "
                                         "font-size: 17px; font-weight: %1; }"
                                         "QPushButton:pressed { background: rgba(128,128,128,40); }")
                                     .arg(action.style == ActionStyle::kCancel ? 600 : 400));
    setDynamicPaletteColor(
        action.button, QPalette::ButtonText,
        action.style == ActionStyle::kDestructive ? UIColor::systemRedColor() : UIColor::systemBlueColor());
    action.button->setAccessibleName(action.title);
    auto handler = action.handler;
    connect(action.button, &QPushButton::clicked, this, [this, handler] {
      dismissViewController(false);
      if (handler) handler();
    });
  }
  for (const auto& action : actions_) {
    if (action.style == ActionStyle::kCancel) setEscapeButton(action.button);
  }
  if (field_) {
    auto preferred = std::find_if(actions_.begin(), actions_.end(),
                                  [](const Action& a) { return a.style == ActionStyle::kDefault; });
    if (preferred != actions_.end()) connect(field_, &QLineEdit::returnPressed, preferred->button, &QPushButton::click);
  }
  layoutCard();
  card_->show();  // built while the alert is being shown, so it must be shown itself
  // Keys go to the field, or to the alert itself, so that Space presses no button before Tab chose one.
  setFocusPolicy(Qt::StrongFocus);
  if (field_)
    field_->setFocus();
  else
    setFocus();
}

void UIAlertController::layoutCard() {
  if (!card_) return;
  constexpr int kInset = 16, kTop = 20, kBottom = 16, kSpacing = 6, kWindowMargin = 20;
  const int inner = kCardWidth - 2 * kInset;
  const bool sideBySide = actions_.size() == 2;
  const int buttonsHeight = sideBySide ? kButtonHeight : kButtonHeight * static_cast<int>(actions_.size());
  const int titleHeight = titleLabel_ ? titleLabel_->heightForWidth(inner) : 0;
  const int fieldHeight = field_ ? 8 + field_->minimumHeight() : 0;
  // Everything but the message, which gets what is left of the window and scrolls beyond that.
  int fixed = kTop + titleHeight + fieldHeight + kBottom + buttonsHeight + 1;
  if (titleLabel_ && (messageArea_ || field_)) fixed += kSpacing;
  if (messageArea_ && field_) fixed += kSpacing;
  int messageHeight = 0;
  if (messageArea_) {
    auto* message = static_cast<QLabel*>(messageArea_->widget());
    const int natural = message->heightForWidth(inner);
    const int room = std::max(3 * message->fontMetrics().lineSpacing(), height() - 2 * kWindowMargin - fixed);
    const bool scrolls = natural > room;
    messageHeight = scrolls ? room : natural;
    messageArea_->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const int labelWidth = scrolls ? inner - 6 : inner;  // room for the thin indicator
    message->resize(labelWidth, scrolls ? message->heightForWidth(labelWidth) : messageHeight);
  }
  int y = kTop;
  if (titleLabel_) {
    titleLabel_->setGeometry(kInset, y, inner, titleHeight);
    y += titleHeight;
  }
  if (messageArea_) {
    if (titleLabel_) y += kSpacing;
    messageArea_->setGeometry(kInset, y, inner, messageHeight);
    y += messageHeight;
  }
  if (field_) {
    if (titleLabel_ || messageArea_) y += kSpacing;
    field_->setGeometry(kInset, y + 8, inner, field_->minimumHeight());
    y += fieldHeight;
  }
  const int textHeight = y + kBottom;
  for (std::size_t i = 0; i < actions_.size(); ++i) {
    int x = sideBySide ? static_cast<int>(i) * kCardWidth / 2 : 0;
    int by = textHeight + (sideBySide ? 0 : static_cast<int>(i) * kButtonHeight) + 1;
    actions_[i].button->setGeometry(x, by, sideBySide ? kCardWidth / 2 : kCardWidth, kButtonHeight);
  }
  QSize size(kCardWidth, textHeight + buttonsHeight + 1);
  card_->setGeometry(QRect(QPoint((width() - size.width()) / 2, std::max(0, (height() - size.height()) / 2)), size));
}

void UIAlertController::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutCard();
}

void UIAlertController::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), QColor(0, 0, 0, 100));  // dims the screen below
}

}  // namespace quell
