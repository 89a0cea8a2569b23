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
#include <vector>

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

// One step of the guide: a settings screen with a title, grouped rows, and the row to tap outlined.
struct GuideScreen {
  const char* file;
  const char* title;
  std::vector<const char*> rows;
  int highlighted;
  bool checkmark;  // the highlighted row is a choice, ticked, rather than a link
};

QImage drawGuide(const GuideScreen& screen) {
  const int w = 550, h = 720, rowH = 76, left = 28;
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(0xF2, 0xF2, 0xF7));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QFont font("Noto Sans CJK SC");
  font.setPixelSize(44);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QRect(left, 60, w - 2 * left, 70), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(screen.title));
  int y = 170;
  QRect group(20, y, w - 40, rowH * static_cast<int>(screen.rows.size()));
  QPainterPath groupPath;
  groupPath.addRoundedRect(group, 20, 20);
  painter.fillPath(groupPath, Qt::white);
  font.setPixelSize(30);
  font.setBold(false);
  painter.setFont(font);
  for (std::size_t i = 0; i < screen.rows.size(); ++i) {
    QRect row(group.left(), y + static_cast<int>(i) * rowH, group.width(), rowH);
    if (i > 0) painter.fillRect(QRect(row.left() + left, row.top(), row.width() - left, 1), QColor(0xD1, 0xD1, 0xD6));
    painter.setPen(Qt::black);
    painter.drawText(row.adjusted(left, 0, -60, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8(screen.rows[i]));
    bool marked = static_cast<int>(i) == screen.highlighted;
    painter.setPen(QColor(0xC7, 0xC7, 0xCC));
    if (!screen.checkmark) painter.drawText(row.adjusted(0, 0, -26, 0), Qt::AlignRight | Qt::AlignVCenter, "〉");
    if (marked && screen.checkmark) {
      painter.setPen(QPen(QColor(0x21, 0x51, 0xD2), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      QPointF c(row.right() - 44, row.center().y());
      painter.drawPolyline(QPolygonF({c + QPointF(-14, 0), c + QPointF(-4, 11), c + QPointF(16, -13)}));
    }
    if (marked) {
      painter.setPen(QPen(QColor(0x21, 0x51, 0xD2), 5));
      painter.setBrush(Qt::NoBrush);
      painter.drawRoundedRect(QRectF(row).adjusted(4, 4, -4, -4), 16, 16);
      // A fingertip on the row to tap.
      QPointF tip(row.center().x() + 90, row.center().y() + 14);
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(0x21, 0x51, 0xD2, 90));
      painter.drawEllipse(tip, 34, 34);
      painter.setBrush(QColor(0x21, 0x51, 0xD2, 200));
      painter.drawEllipse(tip, 16, 16);
    }
  }
  return image;
}

QImage drawGuideBackground() {
  QImage image(750, 1624, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  QLinearGradient gradient(0, 0, 0, image.height());
  gradient.setColorAt(0, QColor(0x2E, 0x62, 0xE6));
  gradient.setColorAt(1, QColor(0x21, 0x51, 0xD2));
  painter.fillRect(image.rect(), gradient);
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
  const GuideScreen guides[] = {
      {"Guide_1.png", "设置", {"通知", "声音与触感", "专注模式", "屏幕使用时间", "信息", "电话", "通讯录"}, 4, false},
      {"Guide_2.png",
       "信息",
       {"iMessage 信息", "短信/彩信", "发送为短信", "过滤未知发件人", "未知与垃圾信息", "保留信息"},
       4,
       false},
      {"Guide_3.png", "未知与垃圾信息", {"无", "Quellbox"}, 1, true},
  };
  for (const GuideScreen& guide : guides)
    if (!drawGuide(guide).save(out.filePath(guide.file))) return 1;
  if (!drawGuideBackground().save(out.filePath("GuidePage_bg.png"))) return 1;
  for (const Icon& icon : kIcons) {
    if (!draw(icon, icon.file == std::string("quellbox.png") ? 256 : 128).save(out.filePath(icon.file))) {
      std::fprintf(stderr, "quellicons: cannot write %s\n", qPrintable(out.filePath(icon.file)));
      return 1;
    }
  }
  return 0;
}
