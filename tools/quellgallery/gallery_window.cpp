#include "tools/quellgallery/gallery_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/view_background.h"
#include "uikit/button_style.h"
#include "uikit/palette.h"
#include "uikit/raised_face.h"
#include "uikit/text_field_style.h"
#include "uikit/view_style.h"

namespace quell {

namespace {

constexpr int kWidth = 375, kMargin = 24;

QLabel* caption(QWidget* parent, const QString& text, int y) {
  auto* label = new QLabel(text, parent);
  label->setObjectName("caption");
  label->setGeometry(kMargin, y, kWidth - 2 * kMargin, 24);
  return label;
}

}  // namespace

GalleryWindow::GalleryWindow(QWidget* parent) : QWidget(parent) {
  setWindowTitle("Quell UI kit");
  resize(kWidth, 720);
  setBackgroundColor(this, qb_backgroundColor());

  caption(this, "视图（凸起 / 反向）", 20);
  auto* raised = new QWidget(this);
  raised->setGeometry(kMargin, 56, 150, 110);
  auto* reversed = new QWidget(this);
  reversed->setGeometry(kWidth - kMargin - 150, 56, 150, 110);
  for (auto* view : {raised, reversed}) makeRaised(view, 20);
  reverse.set(reversed, true);
  auto* leftOnly = new QWidget(this);
  leftOnly->setGeometry(kMargin, 196, kWidth - 2 * kMargin, 64);
  makeRaised(leftOnly, 32);
  cornersRight.set(leftOnly, false);

  caption(this, "按钮（普通 / 开关 / 不可用）", 290);
  auto* plain = new QPushButton("普通按钮", this);
  plain->setGeometry(kMargin, 330, 150, 52);
  toggle_ = new QPushButton("开关按钮", this);
  toggle_->setGeometry(kWidth - kMargin - 150, 330, 150, 52);
  auto* disabled = new QPushButton("不可用", this);
  disabled->setGeometry(kMargin, 410, kWidth - 2 * kMargin, 52);
  disabled->setEnabled(false);
  for (auto* button : {plain, static_cast<QPushButton*>(toggle_), disabled}) {
    makeRaised(button, 16);
    hapticLevel.set(button, 2);
  }
  isToggle.set(toggle_, true);
  normalColor.set(toggle_, *backgroundColor(toggle_));
  highligthColor.set(toggle_, quell::create(UIColor(QColor(0xD6, 0xDE, 0xF5)), UIColor::systemGray5Color()));

  caption(this, "文本框", 492);
  auto* field = new QLineEdit(this);
  field->setPlaceholderText("关键词");
  field->setGeometry(kMargin, 530, kWidth - 2 * kMargin, 48);
  auto* filled = new QLineEdit("退订", this);
  filled->setGeometry(kMargin, 606, kWidth - 2 * kMargin, 48);
  for (auto* f : {field, filled}) makeRaised(f, 24);
  restyle();
}

void GalleryWindow::restyle() {
  for (auto* label : findChildren<QLabel*>("caption")) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, qb_secondaryLabel().resolved());
    label->setPalette(palette);
  }
  for (auto* child : findChildren<QWidget*>()) {
    if (qobject_cast<QLabel*>(child)) continue;
    if (auto* field = qobject_cast<QLineEdit*>(child))
      layoutIfNeeded(field);
    else if (auto* button = qobject_cast<QAbstractButton*>(child))
      applyButtonStyle(button);
    else
      applyNeumorphicStyle(child);
  }
}

}  // namespace quell
