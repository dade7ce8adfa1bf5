// The lines of the measurement file; when and where they are written is in recorder_test.cpp.
#include "records/recordlines.h"
#include "recordstest.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace kr5 {
namespace {

QString line(const char* key, const QString& value) {
    return QStringLiteral("\"%1\",%2,\"dummy\",\"dummy\",\"dummy\"").arg(QLatin1String(key), value);
}

TEST(HeaderLines, AllFourteenLinesOfADefaultTestThenQuotedTextsAndMissingUnits) {
    InputConstants constants;
    constants.name = QStringLiteral("cable 7");
    UnitsOnLine units;
    units.port = 1;
    units.unit(UnitKind::Detector) = FoundUnit{0, QStringLiteral("KR-5 V2.10")};
    units.unit(UnitKind::AcUnit) = FoundUnit{1, QStringLiteral("AU-1 V1.00")};
    EXPECT_EQ(
        headerLines(constants, units, QDate(2001, 4, 17)),
        QStringList({line("Name", "\"cable 7\""), line("Date", "\"04-17-2001\""),
                     line("No.", "\"1\""), line("Temp.", "\"20\""), line("RH", "\"59\""),
                     line("PT ratio", " 100"), line("Adjust", " 1"), line("Set Q", " 1"),
                     line("Start", " 50"), line("Mes. Program", "\"KR-5au\""),
                     line("Version", '"' + versionText() + '"'), line("PD Unit", "\"KR-5 V2.10\""),
                     line("AC Unit", "\"AU-1 V1.00\""), R"("ATT.R","pC","RATE.R","P.P.S","TV")"}));
    // Each part of the version in the number form: a blank before it, joined by points.
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral(R"(^ \d+\. \d+\. \d+$)")).match(versionText()).hasMatch())
        << versionText().toStdString();

    // Texts quoted, numbers in the file's form (numberForm's, tested in the core suite), and
    // missing units empty.
    constants.name = QStringLiteral(R"(12" rod, "B")");
    constants.adjust = 0.25;
    constants.ptRatio = -2;
    const QStringList lines = headerLines(constants, UnitsOnLine{}, QDate(2026, 12, 1));
    EXPECT_EQ(lines.mid(0, 2),
              QStringList({line("Name", R"("12"" rod, ""B""")"), line("Date", "\"12-01-2026\"")}));
    EXPECT_EQ(lines.mid(5, 2), QStringList({line("PT ratio", "-2"), line("Adjust", " .25")}));
    EXPECT_EQ(lines.mid(11, 2), QStringList({line("PD Unit", "\"\""), line("AC Unit", "\"\"")}));
}

// Marker times are on a twenty-four-hour clock; the values of data rows have one decimal,
// halves going to the even neighbour.
TEST(MarkerAndDataLines, TimesTextsAndNumbers) {
    const QDate day(2026, 1, 5);
    EXPECT_EQ(markerLine(QStringLiteral("QNend"), QDateTime(day, QTime(0, 0, 0))),
              line("QNend", "\"00:00:00\""));
    EXPECT_EQ(qnStartLine(QStringLiteral(R"(dry, "warm")"), QString(), -1,
                          QDateTime(day, QTime(23, 59, 59))),
              QStringLiteral(R"("QNstartD","23:59:59","dry, ""warm""","",-1)"));
    EXPECT_EQ(qnStartLine(QStringLiteral("dry"), QStringLiteral(" 12.5kV"), 30,
                          QDateTime(day, QTime(7, 8, 9))),
              QStringLiteral(R"("QNstartD","07:08:09","dry"," 12.5kV", 30)"));
    EXPECT_EQ(dataRowLine(3, 123.46, 2, 45, 1200), QStringLiteral(" 3,123.5, 2,45.0,1200.0"));
    EXPECT_EQ(dataRowLine(0, 0.04, 0, 0, 0), QStringLiteral(" 0,.0, 0,.0,.0"));
    EXPECT_EQ(dataRowLine(9, 15000, 3, 7500, 0.46), QStringLiteral(" 9,15000.0, 3,7500.0,.5"));
    EXPECT_EQ(dataRowLine(4, 1234.56, 0, 137, 5.25), QStringLiteral(" 4,1234.6, 0,137.0,5.2"));
}

}  // namespace
}  // namespace kr5
