// quellicons: draws the app's images (the panels' icons, the app icon, the guide's pictures of the steps
// on Linux) into a folder, at build time:
//   quellicons OUTDIR
// Each icon is a rounded square in its own colour with a white glyph, in the app's soft look.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <string>
#include <vector>

#include "platform/command_line.h"

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

// One step of the guide, on Linux: the app's settings page ("前往设置"), its groups one card each, with
// the card to use outlined and a fingertip on its switch or mark.
struct GuideRow {
  enum class Accessory { kSwitchOff, kSwitchOn, kCheck };
  const char* title;
  const char* detail;
  Accessory accessory;
};

struct GuideScreen {
  const char* file;
  std::vector<GuideRow> rows;
  int highlighted;
};

// A switch as the app draws it, or a tick; returns the point a finger would touch.
QPointF drawAccessory(QPainter& painter, const QRect& row, GuideRow::Accessory accessory) {
  const QRectF track(row.right() - 28 - 92, row.top() + 28, 92, 56);
  if (accessory == GuideRow::Accessory::kCheck) {
    painter.setPen(QPen(QColor(0x34, 0xC7, 0x59), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPointF c = track.center();
    painter.drawPolyline(QPolygonF({c + QPointF(-20, 0), c + QPointF(-6, 15), c + QPointF(22, -17)}));
    return c;
  }
  const bool on = accessory == GuideRow::Accessory::kSwitchOn;
  painter.setPen(Qt::NoPen);
  painter.setBrush(on ? QColor(0x34, 0xC7, 0x59) : QColor(0xE9, 0xE9, 0xEA));
  painter.drawRoundedRect(track, 28, 28);
  const double knob = 48;
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(on ? track.right() - 4 - knob : track.left() + 4, track.top() + 4, knob, knob));
  return track.center();
}

QImage drawGuide(const GuideScreen& screen) {
  const int w = 550, h = 720, left = 28, rowH = 150, gap = 28;
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(0xEE, 0xF0, 0xF4));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QFont font("Noto Sans CJK SC");
  font.setPixelSize(44);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QRect(left, 50, w - 2 * left, 70), Qt::AlignLeft | Qt::AlignVCenter, "设置");
  int y = 150;
  for (std::size_t i = 0; i < screen.rows.size(); ++i, y += rowH + gap) {
    const GuideRow& step = screen.rows[i];
    QRect row(20, y, w - 40, rowH);
    QPainterPath card;
    card.addRoundedRect(row, 24, 24);
    painter.fillPath(card, Qt::white);
    font.setPixelSize(28);
    font.setBold(false);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(row.left() + left, row.top() + 24, row.width() - 2 * left - 100, 64),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, QString::fromUtf8(step.title));
    font.setPixelSize(22);
    painter.setFont(font);
    painter.setPen(QColor(0x5E, 0x5E, 0x63));
    painter.drawText(QRect(row.left() + left, row.top() + 92, row.width() - 2 * left, 40),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(step.detail));
    const QPointF touch = drawAccessory(painter, row, step.accessory);
    if (static_cast<int>(i) != screen.highlighted) continue;
    painter.setPen(QPen(QColor(0x21, 0x51, 0xD2), 5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(row).adjusted(3, 3, -3, -3), 22, 22);
    const QPointF tip = touch + QPointF(26, 30);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x21, 0x51, 0xD2, 90));
    painter.drawEllipse(tip, 34, 34);
    painter.setBrush(QColor(0x21, 0x51, 0xD2, 200));
    painter.drawEllipse(tip, 16, 16);
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
  const quell::CommandLine commandLine(
      "quellicons",
      "usage: quellicons OUTDIR   draw the app's icons and the guide's pictures into OUTDIR\n"
      "       quellicons --help | --version\n");
  if (auto exit = commandLine.standardOption(argc, argv)) return *exit;
  if (argc != 2) return commandLine.usageError("one output folder, OUTDIR, is needed");
  if (argv[1][0] == '-') return commandLine.usageError(std::string("unknown option ") + argv[1]);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.mkpath(".")) return commandLine.fail("cannot make the folder " + std::string(argv[1]));
  const auto save = [&](const QImage& image, const char* file) {
    if (image.save(out.filePath(file))) return true;
    commandLine.fail("cannot write " + out.filePath(file).toStdString());
    return false;
  };
  using Accessory = GuideRow::Accessory;
  const GuideRow filterOff{"过滤收到的短信", "未开启：收到的短信不会被过滤。", Accessory::kSwitchOff};
  const GuideRow filterOn{"过滤收到的短信", "已开启：quellmodem 正在过滤收到的短信。", Accessory::kSwitchOn};
  const GuideRow modem{"ModemManager", "已找到调制解调器。", Accessory::kCheck};
  const GuideRow keepJunk{"从调制解调器删除垃圾短信", "未开启：垃圾短信只记入拦截记录。", Accessory::kSwitchOff};
  const GuideRow deleteJunk{"从调制解调器删除垃圾短信", "已开启：记录后从调制解调器删除。", Accessory::kSwitchOn};
  // Switch the service on; see that ModemManager has a modem; optionally, have junk deleted from it.
  const GuideScreen guides[] = {
      {"Guide_1.png", {filterOff, modem, keepJunk}, 0},
      {"Guide_2.png", {filterOn, modem, keepJunk}, 1},
      {"Guide_3.png", {filterOn, modem, deleteJunk}, 2},
  };
  for (const GuideScreen& guide : guides)
    if (!save(drawGuide(guide), guide.file)) return 1;
  if (!save(drawGuideBackground(), "GuidePage_bg.png")) return 1;
  for (const Icon& icon : kIcons)
    if (!save(draw(icon, icon.file == std::string("quellbox.png") ? 256 : 128), icon.file)) return 1;
  return 0;
}
