// The chart windows' exports: a chart's picture as PNG, its drawing as SVG (vectors: lines,
// boxes and texts that stay sharp at any size), and the Q-N counts as CSV.
// Every save asks for the file through Dialogs and writes it whole or not at all: the
// bytes go to a temporary file beside the target, which replaces it only once all were
// written, so a full disk or a vanished folder never leaves half a file behind.
#pragma once

#include "core/qncounts.h"
#include "platform/dialogs.h"
#include "platform/surfacedrawing.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace kr5 {

// The picture's file formats, told by the name's ending.
enum class PictureFormat { Png, Svg };

// Asks for a file (`proposedName`, "trend.png" say) and writes the chart: its drawing as SVG
// when the name ends in ".svg", its picture as PNG when it ends in ".png"; a name with
// neither ending gets the ending of the chosen filter. Cancelling writes nothing; a file
// that cannot be written is reported. Returns before the operator has chosen; the chart is
// the one given now.
void savePicture(Dialogs& dialogs, const QImage& picture, const SurfaceDrawing& drawing,
                 const QString& proposedName);

// Writes the chart in the format without asking; false when it could not be written (then
// no file was left).
bool writePicture(const QImage& picture, const SurfaceDrawing& drawing, const QString& path,
                  PictureFormat format, QString* why = nullptr);

// The Q-N counts as CSV: a title row, then one row per attenuator range (its division, its
// charge threshold division x Adjust in pC, the rate of each pass, empty where the count
// did not come), CR LF line ends.
QString qnCountsCsv(const QnPasses& passes, double adjust);

// Asks for a CSV file (`proposedName`) and writes the text; as savePicture.
void saveCsv(Dialogs& dialogs, const QString& text, const QString& proposedName);

}  // namespace kr5
