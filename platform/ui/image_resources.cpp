#include "platform/ui/image_resources.h"

#include "platform/bundle.h"

namespace quell {

QImage imageNamed(const QString& name) {
  auto path = Bundle::main().resourcePath() / "images" / name.toStdString();
  return QImage(QString::fromStdString(path.string()));
}

}  // namespace quell
