// Images by name from the running program's bundle (share/quell/<bundle>/images/<name>).
#pragma once

#include <QImage>
#include <QString>

namespace quell {

// A null image when the bundle has no image of that name.
QImage imageNamed(const QString& name);

}  // namespace quell
