// UISwitch: an on/off switch, as the phone's toolkit has it: a rounded track with a round knob, green when
// on. Unlike a check box it never changes by itself: a tap (or Space, with the keyboard focus) only asks
// for the other state (toggleRequested), and the switch shows what setOn() sets. The owner sets it once
// the change has really been made, so the switch never shows a state that was not reached. A
// disabled switch is drawn faded and ignores taps. A screen reader finds it as a checkable button named by
// its accessible name. Main thread only.
#pragma once

#include <QAbstractButton>

namespace quell {

class UISwitch : public QAbstractButton {
  Q_OBJECT

 public:
  explicit UISwitch(QWidget* parent = nullptr);

  bool isOn() const { return isChecked(); }
  void setOn(bool on);

  QSize sizeHint() const override { return QSize(kWidth, kHeight); }

  static constexpr int kWidth = 51, kHeight = 31;

 signals:
  void toggleRequested(bool on);

 protected:
  void nextCheckState() override;
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace quell
