// The measurement file's layout, described once for the recorder that writes it and the
// reader of recorded tests: the header lines in their order with the kind of value each
// holds, the column line, and the five fields of every line.
#pragma once

#include <array>

namespace kr5::layout {

// What a header line holds after its key.
enum class Value { Text, Date, Number, Count, Program };

struct HeaderField {
    const char* key;
    Value value;
};

// The header lines before the column line, in the file's order.
enum HeaderLine : int {
    Name,
    Date,
    Number,
    Temperature,
    Humidity,
    PtRatio,
    Adjust,
    SetQ,
    StartCount,
    ProgramName,
    Version,
    DetectorUnit,
    AcUnit,
    HeaderFields
};

inline constexpr std::array<HeaderField, HeaderFields> kHeader{{
    {"Name", Value::Text},
    {"Date", Value::Date},
    {"No.", Value::Text},
    {"Temp.", Value::Text},
    {"RH", Value::Text},
    {"PT ratio", Value::Number},
    {"Adjust", Value::Number},
    {"Set Q", Value::Number},
    {"Start", Value::Count},
    {"Mes. Program", Value::Program},
    {"Version", Value::Text},
    {"PD Unit", Value::Text},
    {"AC Unit", Value::Text},
}};

// The header: its fields, then the line of column titles.
inline constexpr int kHeaderLines = HeaderFields + 1;

// Every line has this many comma-separated fields; a line with fewer values is padded
// with "dummy" fields.
inline constexpr int kFieldsPerLine = 5;

// The titles of a data row's columns: attenuator range, charge, rate range, pulse rate,
// test voltage.
inline constexpr std::array<const char*, kFieldsPerLine> kColumns{"ATT.R", "pC", "RATE.R", "P.P.S",
                                                                  "TV"};

// The value of the "Mes. Program" line.
inline constexpr const char* kProgramName = "KR-5au";

}  // namespace kr5::layout
