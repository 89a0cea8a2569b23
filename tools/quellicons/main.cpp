// quellicons: draws the app's icons (the panels' images and the app icon) into a folder, at build time:
//   quellicons OUTDIR
// Each icon is a rounded square in its own colour with a white glyph, in the app's soft look.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <string>

namespace {

struct Icon {
  const char* file;
  QColor color;
  const char* glyph;
};

const Icon kIcons[] = {
    {"numberWhitelist.png", QColor(0x34, 0xC7, 0x59), "号"},
    {"numberBlacklist.png", QColor(0xFF, 0x3B, 0x30), "号"},
    {"keywordWhitelist.png", QColor(0x30, 0xB0, 0xC7), "词"},
    {"keywordBlacklist.png", QColor(0xFF, 0x95, 0x00), "词"},
    {"problem.png", QColor(0xFF, 0x9F, 0x0A), "?"},
    {"Tutorial.png", QColor(0x21, 0x51, 0xD2), "开"},
    {"Report.png", QColor(0xAF, 0x52, 0xDE), "报"},
    {"star.png", QColor(0xFF, 0xCC, 0x00), "★"},
    {"love.png", QColor(0xFF, 0x2D, 0x55), "♥"},
    {"video_icon.png", QColor(0xE6, 0x16, 0x2D), "微"},
    {"otherApp1.png", QColor(0x00, 0x99, 0x88), "账"},
    {"otherApp2.png", QColor(0x58, 0x56, 0xD6), "清"},
    {"quellbox.png", QColor(0x21, 0x51, 0xD2), "Q"},
};

QImage draw(const Icon& icon, int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QRectF square(side * 0.04, side * 0.04, side * 0.92, side * 0.92);
  QLinearGradient gradient(square.topLeft(), square.bottomRight());
  gradient.setColorAt(0, icon.color.lighter(118));
  gradient.setColorAt(1, icon.color.darker(108));
  QPainterPath shape;
  shape.addRoundedRect(square, side * 0.22, side * 0.22);
  painter.fillPath(shape, gradient);
  QFont font("Noto Sans CJK SC");
  font.setPixelSize(static_cast<int>(side * 0.52));
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(square, Qt::AlignCenter, QString::fromUtf8(icon.glyph));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quellicons OUTDIR\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.mkpath(".")) return 1;
  for (const Icon& icon : kIcons) {
    if (!draw(icon, icon.file == std::string("quellbox.png") ? 256 : 128).save(out.filePath(icon.file))) {
      std::fprintf(stderr, "quellicons: cannot write %s\n", qPrintable(out.filePath(icon.file)));
      return 1;
    }
  }
  return 0;
}
