#include "qnpicture.h"

#include "platform/wholefile.h"

#include <QDir>

namespace kr5 {

namespace {

constexpr int pngFilter = 2;

const char* formatFor(const QString& path, int chosenFilter) {
    if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        return "PNG";
    }
    if (path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) {
        return "BMP";
    }
    return chosenFilter == pngFilter ? "PNG" : "BMP";
}

bool writePicture(const QImage& image, const QString& path, const char* format) {
    return writeWholeFile(
        path, [&](QIODevice& file) { return image.save(&file, format); }, nullptr,
        WhereNoTemporary::WriteInPlace);
}

}  // namespace

void QnPicture::copyIn(const QImage& vqPicture, const SurfaceDrawing& vqDrawing) {
    drawing_ = vqDrawing.resized(QSize(graWidth, graHeight));
    clipboard_.clear();
    clipboard_.setImage(vqPicture);
    const QImage held = clipboard_.image();
    // A clipboard that hands nothing back (no clipboard service) still leaves the chart.
    surface_.setImage(held.isNull() ? vqPicture : held);
    hasPicture_ = true;
}

void QnPicture::copy() {
    clipboard_.clear();
    clipboard_.setImage(surface_.image());
}

void QnPicture::save() {
    if (!hasPicture_) {
        return;
    }
    Dialogs::SaveRequest request;
    request.fileName = QStringLiteral("qn.bmp");
    request.filter = QStringLiteral("BMP File(*.bmp)|*.bmp|PNG File(*.png)|*.png|");
    // The picture as it is now, whatever the window shows by the time a file is chosen.
    dialogs_.askSaveFileName(
        request, [this, image = surface_.image()](const QString& path, int filter) {
            if (!path.isEmpty() && !writePicture(image, path, formatFor(path, filter))) {
                dialogs_.notify(QStringLiteral("Can not write the file ") +
                                QDir::toNativeSeparators(path) + QLatin1Char('.'));
            }
        });
}

}  // namespace kr5
