// Makes every installed icon from the window's own picture at build time, so that the menu, the
// software centre and the window's title bar all show the same pixel art:
//   OUTDIR/hicolor/NxN/apps/org.ohmsift.OhmSift.png for N = 16, 22, 24, 32, 48, 64, 128, 256
//   OUTDIR/hicolor/scalable/apps/org.ohmsift.OhmSift.svg
// The 32 px picture is the window's icon; 16, 22 and 24 are its hand-drawn small versions kept
// beside this file. Larger sizes repeat pixels by whole factors: interpolation would blur them.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "OhmSiftIcon16.xpm"
#include "OhmSiftIcon22.xpm"
#include "OhmSiftIcon24.xpm"
#include "ui/OhmSiftIcon.xpm"

namespace {

constexpr char kIconName[] = "org.ohmsift.OhmSift";

[[noreturn]] void Fail(const QString& message) {
  std::fprintf(stderr, "make_icons: %s\n", qPrintable(message));
  std::exit(1);
}

QImage Picture(const char* const xpm[], int size, const char* name) {
  const QImage image(xpm);
  if (image.isNull() || image.width() != size || image.height() != size) {
    Fail(QStringLiteral("%1 is not a readable %2x%2 picture").arg(name).arg(size));
  }
  return image.convertToFormat(QImage::Format_ARGB32);
}

// Every colour of a small picture must be one of the 32 px picture's: they show the same object.
void CheckPalette(const QImage& small, const QImage& reference, const char* name) {
  QSet<QRgb> allowed;
  for (int y = 0; y < reference.height(); ++y)
    for (int x = 0; x < reference.width(); ++x) allowed.insert(reference.pixel(x, y));
  for (int y = 0; y < small.height(); ++y) {
    for (int x = 0; x < small.width(); ++x) {
      if (!allowed.contains(small.pixel(x, y))) {
        Fail(QStringLiteral("%1 uses %2 at (%3, %4), a colour the 32 px picture does not have")
                 .arg(name, QColor::fromRgba(small.pixel(x, y)).name(QColor::HexArgb))
                 .arg(x)
                 .arg(y));
      }
    }
  }
}

QImage Enlarged(const QImage& image, int factor) {
  QImage out(image.width() * factor, image.height() * factor, QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) out.setPixel(x, y, image.pixel(x / factor, y / factor));
  return out;
}

QString MadeDirectory(const QString& outDir, const QString& sizeDir) {
  const QString dir = outDir + QStringLiteral("/hicolor/") + sizeDir + QStringLiteral("/apps");
  if (!QDir().mkpath(dir)) Fail(QStringLiteral("cannot make %1").arg(dir));
  return dir;
}

void SavePng(const QImage& image, const QString& outDir) {
  const QString sizeDir = QStringLiteral("%1x%1").arg(image.width());
  const QString path =
      MadeDirectory(outDir, sizeDir) + QLatin1Char('/') + kIconName + QStringLiteral(".png");
  if (!image.save(path, "PNG")) Fail(QStringLiteral("cannot write %1").arg(path));
}

// The picture as vectors: one rectangle per run of equal pixels in a row, edges kept sharp, so
// that at any size it is the pixel art and nothing smoother.
QString Svg(const QImage& image) {
  QString svg = QStringLiteral(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                    "viewBox=\"0 0 %1 %2\" shape-rendering=\"crispEdges\">\n")
                    .arg(image.width())
                    .arg(image.height());
  for (int y = 0; y < image.height(); ++y) {
    int x = 0;
    while (x < image.width()) {
      const QRgb colour = image.pixel(x, y);
      int end = x + 1;
      while (end < image.width() && image.pixel(end, y) == colour) ++end;
      if (qAlpha(colour) != 0) {
        svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"1\" fill=\"%4\"")
                   .arg(x)
                   .arg(y)
                   .arg(end - x)
                   .arg(QColor::fromRgb(colour).name());
        if (qAlpha(colour) != 255) {
          svg += QStringLiteral(" fill-opacity=\"%1\"").arg(qAlpha(colour) / 255.0, 0, 'f', 4);
        }
        svg += QStringLiteral("/>\n");
      }
      x = end;
    }
  }
  return svg + QStringLiteral("</svg>\n");
}

void SaveSvg(const QImage& image, const QString& outDir) {
  const QString path = MadeDirectory(outDir, QStringLiteral("scalable")) + QLatin1Char('/') +
                       kIconName + QStringLiteral(".svg");
  QFile file(path);
  const QByteArray bytes = Svg(image).toUtf8();
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
      !file.flush()) {
    Fail(QStringLiteral("cannot write %1").arg(path));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons OUTDIR\n");
    return 2;
  }
  const QString outDir = QString::fromLocal8Bit(argv[1]);
  const QImage icon32 = Picture(ohmsift_icon_xpm, 32, "OhmSiftIcon.xpm");
  const QImage icon16 = Picture(ohmsift_icon_16_xpm, 16, "OhmSiftIcon16.xpm");
  const QImage icon22 = Picture(ohmsift_icon_22_xpm, 22, "OhmSiftIcon22.xpm");
  const QImage icon24 = Picture(ohmsift_icon_24_xpm, 24, "OhmSiftIcon24.xpm");
  CheckPalette(icon16, icon32, "OhmSiftIcon16.xpm");
  CheckPalette(icon22, icon32, "OhmSiftIcon22.xpm");
  CheckPalette(icon24, icon32, "OhmSiftIcon24.xpm");

  SavePng(icon16, outDir);
  SavePng(icon22, outDir);
  SavePng(icon24, outDir);
  SavePng(icon32, outDir);
  SavePng(Enlarged(icon24, 2), outDir);  // 48: 32 x 1.5 has no whole factor; 24 doubles cleanly
  SavePng(Enlarged(icon32, 2), outDir);
  SavePng(Enlarged(icon32, 4), outDir);
  SavePng(Enlarged(icon32, 8), outDir);
  SaveSvg(icon32, outDir);
  return 0;
}
