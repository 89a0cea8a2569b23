#include "uikit/neumorphic_hooks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/ui_color.h"
#include "uikit/button_style.h"
#include "uikit/palette.h"
#include "uikit/text_field_style.h"
#include "uikit/view_style.h"

namespace quell {

namespace {

// A styled button draws only its icon and title: its faces are its background.
void paintButtonContent(QAbstractButton* button) {
  QPainter painter(button);
  QRect area = button->rect();
  QIcon icon = button->icon();
  QString text = button->text();
  QSize iconSize = icon.isNull() ? QSize() : button->iconSize();
  int textWidth = text.isEmpty() ? 0 : button->fontMetrics().horizontalAdvance(text);
  int spacing = iconSize.isValid() && textWidth > 0 ? 6 : 0;
  int x = area.center().x() - (iconSize.width() + spacing + textWidth) / 2;
  if (!icon.isNull()) {
    QIcon::Mode mode = button->isEnabled() ? QIcon::Normal : QIcon::Disabled;
    icon.paint(&painter, QRect(QPoint(x, area.center().y() - iconSize.height() / 2), iconSize), Qt::AlignCenter, mode);
    x += iconSize.width() + spacing;
  }
  if (!text.isEmpty()) {
    // Title colours follow the appearance, as the faces do.
    painter.setPen((button->isEnabled() ? UIColor::labelColor() : UIColor::secondaryLabelColor()).resolved());
    painter.drawText(QRect(x, area.top(), textWidth + 1, area.height()), Qt::AlignVCenter | Qt::AlignLeft, text);
  }
}

class NeumorphicHooks : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!active.stored(watched).value_or(false)) return false;  // never set active: Qt's own behaviour
    if (auto* button = qobject_cast<QAbstractButton*>(watched)) return buttonEvent(button, event);
    if (auto* field = qobject_cast<QLineEdit*>(watched)) fieldEvent(field, event);
    return false;
  }

 private:
  static bool buttonEvent(QAbstractButton* button, QEvent* event) {
    switch (event->type()) {
      case QEvent::Paint: paintButtonContent(button); return true;
      case QEvent::Show:
      case QEvent::Resize:
      case QEvent::EnabledChange: applyButtonStyle(button); break;
      case QEvent::MouseButtonPress:
      case QEvent::TouchBegin:
        if (event->type() == QEvent::TouchBegin || static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
          buttonTouchesBegan(button);
        break;
      case QEvent::MouseButtonRelease:
      case QEvent::TouchEnd:
      case QEvent::TouchCancel:
        if (event->type() != QEvent::MouseButtonRelease || static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
          buttonTouchesEnded(button);
        break;
      default: break;
    }
    return false;  // the button goes on with its own handling, as the inherited methods would
  }

  static void fieldEvent(QLineEdit* field, QEvent* event) {
    if (event->type() == QEvent::Polish || event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize)
      applyTextFieldStyle(field);
    if (event->type() == QEvent::Paint) followAppearance(field);
  }

  // Text colours follow the appearance, as the faces do. Setting the same palette again changes nothing,
  // so this settles after one repaint.
  static void followAppearance(QLineEdit* field) {
    QPalette palette = field->palette();
    QColor text = UIColor::labelColor().resolved(), placeholder = qb_secondaryLabel().resolved();
    if (palette.color(QPalette::Text) == text && palette.color(QPalette::PlaceholderText) == placeholder) return;
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::PlaceholderText, placeholder);
    field->setPalette(palette);
  }
};

}  // namespace

void installNeumorphicHooks(QApplication& app) { app.installEventFilter(new NeumorphicHooks(&app)); }

}  // namespace quell
