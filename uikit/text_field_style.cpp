#include "uikit/text_field_style.h"

#include <QLineEdit>

#include "platform/ui/layer_effect.h"
#include "platform/ui/view_background.h"
#include "uikit/neumorphic_layers.h"
#include "uikit/view_style.h"

namespace quell {

void applyTextFieldStyle(QLineEdit* field) {
  removeShadowLayers(field);
  double margin = horizontalMargin.stored(field).value_or(20);
  horizontalMargin.set(field, margin);
  field->setTextMargins(static_cast<int>(margin), 0, static_cast<int>(margin), 0);
  field->setFrame(false);
  // The faces are the field's background now; Qt's own panel must not cover them.
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, Qt::transparent);
  field->setPalette(palette);
  if (!backgroundColor(field)) setBackgroundColor(field, UIColor::whiteColor());

  ShadowStyle style;
  style.faceColor = backgroundColor(field);
  style.faceName = "content";
  addShadowLayers(field, style);
  setBackgroundColor(field, UIColor::clearColor());
}

void layoutIfNeeded(QLineEdit* field) {
  if (active.stored(field).value_or(false)) applyTextFieldStyle(field);
}

}  // namespace quell
