#include "platform/ui/switch.h"

#include <QPainter>
#include <QStyleOption>

#include "platform/ui/ui_color.h"

namespace quell {

namespace {

UIColor onColor() {
  return UIColor::colorWithDynamicProvider([](const TraitCollection& traits) -> UIColor {
    return traits.userInterfaceStyle == UIUserInterfaceStyle::Dark ? QColor(0x30, 0xD1, 0x58)
                                                                   : QColor(0x34, 0xC7, 0x59);
  });
}

UIColor offColor() {
  return UIColor::colorWithDynamicProvider([](const TraitCollection& traits) -> UIColor {
    return traits.userInterfaceStyle == UIUserInterfaceStyle::Dark ? QColor(0x39, 0x39, 0x3D)
                                                                   : QColor(0xE9, 0xE9, 0xEA);
  });
}

}  // namespace

UISwitch::UISwitch(QWidget* parent) : QAbstractButton(parent) {
  setCheckable(true);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  resize(kWidth, kHeight);
}

void UISwitch::setOn(bool on) { setChecked(on); }

// A tap asks; the state changes only through setOn.
void UISwitch::nextCheckState() { emit toggleRequested(!isChecked()); }

void UISwitch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!isEnabled()) painter.setOpacity(0.5);
  const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
  const double radius = track.height() / 2;
  // Off, the track is edged, so that the switch stands out from its face (over 3:1 in both appearances).
  painter.setPen(isChecked() ? QPen(Qt::NoPen) : QPen(QColor(0x8E, 0x8E, 0x93), 1.5));
  painter.setBrush((isChecked() ? onColor() : offColor()).resolved());
  painter.drawRoundedRect(track, radius, radius);
  painter.setPen(Qt::NoPen);
  const double knob = track.height() - 4;
  const double x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
  painter.setBrush(QColor(0, 0, 0, 40));
  painter.drawEllipse(QRectF(x, track.top() + 3, knob, knob));
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
  // A focus ring only for keyboard focus: a tap leaves none.
  QStyleOption option;
  option.initFrom(this);
  if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange)) {
    painter.setOpacity(1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), radius, radius);
  }
}

}  // namespace quell
