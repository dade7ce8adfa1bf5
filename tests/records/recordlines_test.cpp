// The lines of the measurement file: the header, the number form of its values, quoted
// texts with doubled quotes, marker lines and data rows. When and into which file the
// lines are written is tested in recorder_test.cpp.
#include "records/recordlines.h"
#include "recordstest.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace kr5 {
namespace {

UnitsOnLine benchUnits() {
    UnitsOnLine units;
    units.port = 1;
    units.unit(UnitKind::Detector) = FoundUnit{0, QStringLiteral("KR-5 V2.10")};
    units.unit(UnitKind::AcUnit) = FoundUnit{1, QStringLiteral("AU-1 V1.00")};
    return units;
}

TEST(HeaderLines, AllFourteenLinesOfADefaultTest) {
    InputConstants constants;
    constants.name = QStringLiteral("cable 7");
    const QStringList expected = {
        QStringLiteral(R"("Name","cable 7","dummy","dummy","dummy")"),
        QStringLiteral(R"("Date","04-17-2001","dummy","dummy","dummy")"),
        QStringLiteral(R"("No.","1","dummy","dummy","dummy")"),
        QStringLiteral(R"("Temp.","20","dummy","dummy","dummy")"),
        QStringLiteral(R"("RH","59","dummy","dummy","dummy")"),
        QStringLiteral(R"("PT ratio", 100,"dummy","dummy","dummy")"),
        QStringLiteral(R"("Adjust", 1,"dummy","dummy","dummy")"),
        QStringLiteral(R"("Set Q", 1,"dummy","dummy","dummy")"),
        QStringLiteral(R"("Start", 50,"dummy","dummy","dummy")"),
        QStringLiteral(R"("Mes. Program","KR-5au","dummy","dummy","dummy")"),
        QStringLiteral(R"("Version",")") + versionText() +
            QStringLiteral(R"(","dummy","dummy","dummy")"),
        QStringLiteral(R"("PD Unit","KR-5 V2.10","dummy","dummy","dummy")"),
        QStringLiteral(R"("AC Unit","AU-1 V1.00","dummy","dummy","dummy")"),
        QStringLiteral(R"("ATT.R","pC","RATE.R","P.P.S","TV")"),
    };
    EXPECT_EQ(headerLines(constants, benchUnits(), QDate(2001, 4, 17)), expected);
    // Each part of the version in the number form: a blank before it, joined by points.
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral(R"(^ \d+\. \d+\. \d+$)")).match(versionText()).hasMatch())
        << versionText().toStdString();
}

TEST(HeaderLines, NumbersInTheFileFormTextsQuotedAndMissingUnitsEmpty) {
    InputConstants constants;
    constants.name = QStringLiteral(R"(12" rod, "B")");
    constants.number = QStringLiteral("a,b");
    constants.adjust = 0.25;
    constants.ptRatio = -2;
    constants.setQ = 1e15;
    const QStringList lines = headerLines(constants, UnitsOnLine{}, QDate(2026, 12, 1));
    EXPECT_EQ(lines[0], QStringLiteral(R"("Name","12"" rod, ""B""","dummy","dummy","dummy")"));
    EXPECT_EQ(lines[1], QStringLiteral(R"("Date","12-01-2026","dummy","dummy","dummy")"));
    EXPECT_EQ(lines[2], QStringLiteral(R"("No.","a,b","dummy","dummy","dummy")"));
    EXPECT_EQ(lines[5], QStringLiteral(R"("PT ratio",-2,"dummy","dummy","dummy")"));
    EXPECT_EQ(lines[6], QStringLiteral(R"("Adjust", .25,"dummy","dummy","dummy")"));
    EXPECT_EQ(lines[7], QStringLiteral(R"("Set Q", 1E+15,"dummy","dummy","dummy")"));
    EXPECT_EQ(lines[11], QStringLiteral(R"("PD Unit","","dummy","dummy","dummy")"));
    EXPECT_EQ(lines[12], QStringLiteral(R"("AC Unit","","dummy","dummy","dummy")"));
    EXPECT_EQ(csvText(QStringLiteral("\"")), QStringLiteral(R"("""")"));
}

// Marker times are on a twenty-four-hour clock; the values of data rows have one decimal.
TEST(MarkerAndDataLines, TimesTextsAndNumbers) {
    EXPECT_EQ(markerLine(QStringLiteral("QNend"), QDateTime(QDate(2026, 1, 5), QTime(0, 0, 0))),
              QStringLiteral(R"("QNend","00:00:00","dummy","dummy","dummy")"));
    EXPECT_EQ(qnStartLine(QStringLiteral(R"(dry, "warm")"), QString(), -1,
                          QDateTime(QDate(2026, 1, 5), QTime(23, 59, 59))),
              QStringLiteral(R"("QNstartD","23:59:59","dry, ""warm""","",-1)"));
    EXPECT_EQ(qnStartLine(QStringLiteral("dry"), QStringLiteral(" 12.5kV"), 30,
                          QDateTime(QDate(2026, 1, 5), QTime(7, 8, 9))),
              QStringLiteral(R"("QNstartD","07:08:09","dry"," 12.5kV", 30)"));

    EXPECT_EQ(dataRowLine(3, 123.46, 2, 45, 1200), QStringLiteral(" 3,123.5, 2,45.0,1200.0"));
    EXPECT_EQ(dataRowLine(0, 0.04, 0, 0, 0), QStringLiteral(" 0,.0, 0,.0,.0"));
    EXPECT_EQ(dataRowLine(9, 15000, 3, 7500, 0.46), QStringLiteral(" 9,15000.0, 3,7500.0,.5"));
    EXPECT_EQ(dataRowLine(4, 1234.56, 0, 137, 5.25), QStringLiteral(" 4,1234.6, 0,137.0,5.2"))
        << "halves go to the even neighbour";
}

}  // namespace
}  // namespace kr5
