// The text layer of the SCPI server for lab automation: the error queue, the command
// table and the parsing of one received line into commands with their parameters. No
// sockets and no program state: the server runs the parsed commands and puts the errors
// it meets on the queue.
//
// Rules of the parsing (one line, its terminator "\n" or "\r\n" already cut or not):
// - ';' separates commands. After the first, a command without a leading ':' starts at the
//   path of the previous command (its header less the last node), so "MEAS:CHAR?;VOLT?"
//   asks MEASure:VOLTage?. Common commands ("*...") neither use nor change that path. When
//   the header is not found under that path it is looked up from the root as well, which
//   spares clients the leading ':' of "MEAS:CHAR?;*CLS;SENS:ATT 3".
// - Each node matches its declared short form (the capitals) or its full long form, in
//   any case, and nothing in between. A leading ':' is allowed; queries end in '?'.
// - Parameters follow the header after a blank, comma-separated: numbers (123, -1.5,
//   2E-3), words (ON, AUTO, PAUSe) and strings in '"' or '\'' with the quote doubled
//   inside.
// - Parsing stops at the first faulty command: it is returned with its error and nothing
//   after it on the line is, so a client's later commands never run on a broken premise.
// - Empty commands (";;" or a trailing ';') are skipped.
#pragma once

#include <QByteArray>
#include <QList>

#include <initializer_list>
#include <optional>

namespace kr5 {

// The errors the server reports, with their standard codes.
namespace scpierror {
constexpr int NoError = 0;
constexpr int Command = -100;
constexpr int Syntax = -102;
constexpr int DataType = -104;
constexpr int ParameterNotAllowed = -108;
constexpr int MissingParameter = -109;
constexpr int UndefinedHeader = -113;
constexpr int Execution = -200;
constexpr int SettingsConflict = -221;
constexpr int DataOutOfRange = -222;
// A query about a value the program does not have: a unit that did not answer, no
// inception found yet.
constexpr int DataStale = -230;
constexpr int QueueOverflow = -350;
}  // namespace scpierror

// The standard text of an error code. Codes without their own text get that of their
// class: "Command error" for -100..-199, "Execution error" for -200..-299,
// "Device-specific error" for -300..-399, "Query error" for -400..-499, else "Error".
QByteArray scpiErrorText(int code);

// The instrument's error queue as SYSTem:ERRor? reads it: oldest first, at most
// capacity() entries. An error arriving when the queue is full replaces the newest entry
// with -350,"Queue overflow"; further errors are dropped until there is room again.
class ScpiErrorQueue {
  public:
    static constexpr int capacity() { return 10; }

    // Queues an error; 0 (no error) is ignored. detail, when given, follows the standard
    // text after "; " and says what went wrong: -221,"Settings conflict; REMOTE is off".
    void push(int code, const QByteArray& detail = QByteArray());
    // The oldest entry as the reply text, e.g. -113,"Undefined header", and takes it off
    // the queue; 0,"No error" when the queue is empty.
    QByteArray next();
    void clear() { entries_.clear(); }
    int count() const { return int(entries_.size()); }
    bool isEmpty() const { return entries_.isEmpty(); }

  private:
    struct Entry {
        int code = scpierror::NoError;
        QByteArray detail;
    };
    QList<Entry> entries_;
};

struct ScpiParam {
    enum class Kind { Number, Word, String };
    Kind kind = Kind::Word;
    // A word or number as typed, a string without its quotes and with doubled quotes
    // made single.
    QByteArray text;
    // The value of a number.
    double number = 0;
};

struct ScpiCommand {
    // 0, or scpierror::Syntax / scpierror::UndefinedHeader; the fields below are then
    // not to be used.
    int error = scpierror::NoError;
    // The id the table entry was declared with, and its declared header.
    int id = -1;
    QByteArray header;
    bool query = false;
    QList<ScpiParam> params;
};

// The commands the server knows.
class ScpiCommandTable {
  public:
    // Declares a header in long form with the short form in capitals and a trailing '?'
    // for a query: "MEASure:CHARge?", "SENSe:ATTenuator", "*IDN?". A command that is both
    // set and asked is declared twice, with and without the '?'.
    void add(int id, const QByteArray& header);

    QList<ScpiCommand> parseLine(const QByteArray& line) const;

  private:
    struct Entry {
        int id;
        QByteArray header;
        QList<QByteArray> nodes;  // for a common command, the one node "*IDN"
        bool query;
    };
    const Entry* find(const QList<QByteArray>& nodes, bool query) const;

    QList<Entry> entries_;
};

// Whether a typed mnemonic is the short form (the leading capitals and digits) or the long
// form of a declared one, case-insensitively: "meas" and "MEASURE" match "MEASure",
// "MEASU" does not.
bool scpiMnemonicMatches(const QByteArray& typed, const QByteArray& declared);

// A whole number within [min, max]: a number with a whole value, or MINimum / MAXimum.
// Empty when the parameter is something else or out of range (the caller reports
// scpierror::DataOutOfRange).
std::optional<int> intIn(const ScpiParam& param, int min, int max);

// ON / OFF, 1 / 0.
std::optional<bool> boolean(const ScpiParam& param);

// The index of the word among the declared choices ("AUTO", "PAUSe", ...), by their short
// or long forms.
std::optional<int> word(const ScpiParam& param, std::initializer_list<const char*> choices);

}  // namespace kr5
