// The header lines of the measurement file; the marker and data lines are read in
// recorder_test.cpp and recordedfile_test.cpp, their numbers in the core suite.
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

}  // namespace
}  // namespace kr5
