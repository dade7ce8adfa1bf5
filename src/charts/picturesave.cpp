#include "picturesave.h"

#include "core/format.h"
#include "core/ranges.h"
#include "platform/wholefile.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <functional>

namespace kr5 {

namespace {

constexpr int pngFilter = 1;
constexpr int svgFilter = 2;

bool endsWith(const QString& path, const char* ending) {
    return path.endsWith(QLatin1String(ending), Qt::CaseInsensitive);
}

// The bytes that end up in `path`, or nothing at all. No direct-write fallback: a folder
// that allows no temporary file gets no file rather than a half-written one.
bool commitBytes(const QString& path, const std::function<bool(QIODevice&)>& write, QString* why) {
    return writeWholeFile(path, write, why);
}

void reportUnwritten(Dialogs& dialogs, const QString& path, const QString& why) {
    dialogs.notify(QStringLiteral("Can not write the file ") + QDir::toNativeSeparators(path) +
                       QLatin1Char('.'),
                   QString(), why);
}

// The drawing as an SVG document of the chart's size: its lines as paths, its boxes and
// texts as such. The generator gives the size in millimetres at its own resolution, which
// every reader turns into a different count of pixels; the chart's size in pixels is what
// the document says.
bool svgBytes(const SurfaceDrawing& drawing, QByteArray* bytes) {
    if (drawing.isNull()) {
        return false;
    }
    const QSize size = drawing.size();
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Chart"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        return false;
    }
    drawing.paint(painter);
    if (!painter.end()) {
        return false;
    }
    static const QRegularExpression sizeAttributes(
        QStringLiteral("<svg width=\"[^\"]*\" height=\"[^\"]*\""));
    QString text = QString::fromUtf8(*bytes);
    text.replace(
        sizeAttributes,
        QStringLiteral("<svg width=\"%1\" height=\"%2\"").arg(size.width()).arg(size.height()));
    *bytes = text.toUtf8();
    return true;
}

}  // namespace

bool writePicture(const QImage& picture, const SurfaceDrawing& drawing, const QString& path,
                  PictureFormat format, QString* why) {
    return commitBytes(
        path,
        [&](QIODevice& file) {
            if (format == PictureFormat::Png) {
                return picture.save(&file, "PNG");
            }
            QByteArray bytes;
            return svgBytes(drawing, &bytes) && file.write(bytes) == bytes.size();
        },
        why);
}

namespace {
// The picture written where the operator chose, in the format the name or the filter says.
void writeChosenPicture(Dialogs& dialogs, const QImage& picture, const SurfaceDrawing& drawing,
                        QString path, int chosenFilter);
}  // namespace

void savePicture(Dialogs& dialogs, const QImage& picture, const SurfaceDrawing& drawing,
                 const QString& proposedName) {
    Dialogs::SaveRequest request;
    request.fileName = proposedName;
    request.filter = QStringLiteral("PNG File(*.png)|*.png|SVG File(*.svg)|*.svg|");
    request.filterIndex = endsWith(proposedName, ".svg") ? svgFilter : pngFilter;
    dialogs.askSaveFileName(request, [&dialogs, picture, drawing](const QString& path, int filter) {
        if (!path.isEmpty()) {
            writeChosenPicture(dialogs, picture, drawing, path, filter);
        }
    });
}

namespace {
void writeChosenPicture(Dialogs& dialogs, const QImage& picture, const SurfaceDrawing& drawing,
                        QString path, int chosenFilter) {
    PictureFormat format = PictureFormat::Png;
    if (endsWith(path, ".svg")) {
        format = PictureFormat::Svg;
    } else if (!endsWith(path, ".png")) {
        format = chosenFilter == svgFilter ? PictureFormat::Svg : PictureFormat::Png;
        path += format == PictureFormat::Svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    }
    QString why;
    if (!writePicture(picture, drawing, path, format, &why)) {
        reportUnwritten(dialogs, path, why);
    }
}
}  // namespace

QString qnCountsCsv(const QnPasses& passes, double adjust) {
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = QStringLiteral("\"range\",\"threshold pC\"");
    for (std::size_t pass = 1; pass <= passes.size(); ++pass) {
        text += QStringLiteral(",\"pass %1\"").arg(pass);
    }
    text += lineEnd;
    for (int range = 0; range < kAttenuatorRanges; ++range) {
        text += QStringLiteral("1/%1,").arg(attenuatorDivision(range)) +
                plainNumber(attenuatorDivision(range) * adjust);
        for (const QnRates& rates : passes) {
            text += QLatin1Char(',');
            if (const auto& rate = rates[static_cast<std::size_t>(range)]) {
                text += plainNumber(*rate);
            }
        }
        text += lineEnd;
    }
    return text;
}

void saveCsv(Dialogs& dialogs, const QString& text, const QString& proposedName) {
    Dialogs::SaveRequest request;
    request.fileName = proposedName;
    request.filter = QStringLiteral("CSV File(*.csv)|*.csv|");
    dialogs.askSaveFileName(request, [&dialogs, bytes = text.toUtf8()](const QString& path, int) {
        QString why;
        if (!path.isEmpty() &&
            !commitBytes(
                path, [&](QIODevice& file) { return file.write(bytes) == bytes.size(); }, &why)) {
            reportUnwritten(dialogs, path, why);
        }
    });
}

}  // namespace kr5
