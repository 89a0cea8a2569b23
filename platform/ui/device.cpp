#include "platform/ui/device.h"

#include <QFile>
#include <QMessageAuthenticationCode>
#include <QSysInfo>

namespace quell {

QString UIDevice::systemVersion() {
  QByteArray forced = qgetenv("QUELL_SYSTEM_VERSION");
  if (!forced.isEmpty()) return QString::fromUtf8(forced);
  return QSysInfo::productVersion();
}

}  // namespace quell

namespace quell {

std::optional<QString> UIDevice::identifierForVendor(const QString& vendor) {
  QByteArray path = qgetenv("QUELL_MACHINE_ID_FILE");
  QFile file(path.isEmpty() ? QStringLiteral("/etc/machine-id") : QString::fromLocal8Bit(path));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray machineId = file.readAll().trimmed();
  if (machineId.isEmpty()) return std::nullopt;
  QByteArray digest = QMessageAuthenticationCode::hash(vendor.toUtf8(), machineId, QCryptographicHash::Sha256);
  QByteArray bytes = digest.left(16);
  bytes[6] = static_cast<char>((bytes[6] & 0x0f) | 0x50);  // version 5: name-based
  bytes[8] = static_cast<char>((bytes[8] & 0x3f) | 0x80);  // RFC 4122 variant
  QString hex = QString::fromLatin1(bytes.toHex()).toUpper();
  return hex.mid(0, 8) + '-' + hex.mid(8, 4) + '-' + hex.mid(12, 4) + '-' + hex.mid(16, 4) + '-' + hex.mid(20, 12);
}

}  // namespace quell
