#include "inception.h"

#include "app/format.h"

#include <QDateTime>

namespace kr5 {

namespace {

const QChar tab = QLatin1Char('\t');
const QString crlf = QStringLiteral("\r\n");

// A text field in double quotes; a quote inside is doubled, as CSV readers expect.
QString quoted(QString text) {
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The number field goes unquoted, unless it holds a character that would split or end
// the field.
QString bare(const QString& text) {
    const bool splits = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    return splits ? quoted(text) : text;
}

}  // namespace

std::optional<Inception::Finding> Inception::check(double q0, double n, double v) {
    const double charge = q0 * g_.kadj;
    // TV Multi 0 is never offered; it counts as 1 rather than dividing by zero.
    const double tv = v * g_.kpt / (g_.tvmulti != 0 ? g_.tvmulti : 1);
    if (charge > g_.ksetq && vrising && !csvfound && n >= g_.kstart) {
        return inception(tv);
    }
    if (charge < g_.ksetq && !vrising && csvfound) {
        return extinction(tv);
    }
    return std::nullopt;
}

Inception::Finding Inception::inception(double tv) {
    csvlabel = QStringLiteral("CSV=") + prefixfmt(tv) + QLatin1Char('V');
    csvval = plainNumber(tv);
    tabHead();
    csvline = g_.kname + tab + g_.knum + tab + csvval + tab;
    csvfound = true;
    return {csvlabel, 40, csvhead + csvline};
}

Inception::Finding Inception::extinction(double tv) {
    cevlabel = QStringLiteral("CEV=") + prefixfmt(tv) + QLatin1Char('V');
    cevval = plainNumber(tv);
    tabHead();
    csvline = g_.kname + tab + g_.knum + tab + csvval + tab + cevval + tab + now();
    csvfound = false;
    return {cevlabel, 60, csvhead + csvline};
}

void Inception::tabHead() {
    csvhead = QStringLiteral("name\tno.\tCSV\tCEV\tdate time") + crlf;
}

void Inception::direction(double v, double lastv) {
    if (v > lastv) {
        vrising = true;
    } else if (v < lastv) {
        vrising = false;
    }
}

QString Inception::now() const {
    const QDateTime t = clock_.localTime();
    return t.toString(QStringLiteral("MM-dd-yyyy")) + QLatin1Char(' ') +
           t.toString(QStringLiteral("HH:mm:ss"));
}

QString Inception::csvtext() {
    csvhead = QStringLiteral("\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\"") + crlf;
    const QChar comma = QLatin1Char(',');
    csvline = quoted(g_.kname) + comma + bare(g_.knum) + comma + csvval + comma + cevval + comma +
              quoted(now());
    return csvhead + csvline;
}

}  // namespace kr5
