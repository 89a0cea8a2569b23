#include "platform/ui/url_scheme_handlers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>

namespace quell {

namespace {

struct DesktopEntry {
  bool hidden = false;
  QStringList mimeTypes;
};

// The keys of the [Desktop Entry] group that matter here.
DesktopEntry readEntry(const QString& path) {
  DesktopEntry entry;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return entry;
  QTextStream in(&file);
  bool inMainGroup = false;
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.startsWith('[')) {
      inMainGroup = line == "[Desktop Entry]";
      continue;
    }
    if (!inMainGroup) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) continue;
    const QString key = line.left(equals).trimmed(), value = line.mid(equals + 1).trimmed();
    if (key == "Hidden") entry.hidden = value == "true";
    if (key == "MimeType") entry.mimeTypes = value.split(';', Qt::SkipEmptyParts);
  }
  return entry;
}

}  // namespace

bool desktopHandlesScheme(const QString& scheme) {
  const QString lower = scheme.toLower();
  if (lower == "http" || lower == "https" || lower == "mailto" || lower == "file") return true;
  const QString handler = "x-scheme-handler/" + lower;
  QSet<QString> seen;  // desktop file ids, the first folder that has an id deciding for it
  for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
    QDirIterator files(folder, {"*.desktop"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
      const QString path = files.next();
      // The id of applications/kde/foo.desktop is kde-foo.desktop.
      const QString id = QDir(folder).relativeFilePath(path).replace('/', '-');
      if (seen.contains(id)) continue;
      seen.insert(id);
      const DesktopEntry entry = readEntry(path);
      if (!entry.hidden && entry.mimeTypes.contains(handler, Qt::CaseInsensitive)) return true;
    }
  }
  return false;
}

}  // namespace quell
