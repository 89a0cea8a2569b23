#include "platform/ui/device.h"

#include <QSysInfo>

namespace quell {

QString UIDevice::systemVersion() {
  QByteArray forced = qgetenv("QUELL_SYSTEM_VERSION");
  if (!forced.isEmpty()) return QString::fromUtf8(forced);
  return QSysInfo::productVersion();
}

}  // namespace quell
