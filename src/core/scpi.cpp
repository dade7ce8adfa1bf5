#include "core/scpi.h"

#include <cmath>

namespace kr5 {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLower(char c) {
    return c >= 'a' && c <= 'z';
}

QByteArray trimmed(const QByteArray& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text.at(from)))
        ++from;
    while (to > from && isBlank(text.at(to - 1)))
        --to;
    return text.mid(from, to - from);
}

// Splits at the separator where it stands outside quotes. Sets unbalanced when the text
// ends inside a quote.
QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char separator, bool& unbalanced) {
    QList<QByteArray> parts;
    char quote = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        // A doubled quote inside a string closes and reopens it, which leaves the state as
        // it should be.
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == separator) {
            parts << text.mid(start, i - start);
            start = i + 1;
        }
    }
    parts << text.mid(start);
    unbalanced = quote != 0;
    return parts;
}

bool hasForbiddenByte(const QByteArray& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            return true;
    }
    return false;
}

// Decimal numeric data: sign, digits with an optional point, optional exponent.
std::optional<double> parseNumber(const QByteArray& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text.at(i) == '+' || text.at(i) == '-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text.at(i))) {
        ++i;
        ++digits;
    }
    if (i < n && text.at(i) == '.') {
        ++i;
        while (i < n && isDigit(text.at(i))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (text.at(i) == 'e' || text.at(i) == 'E')) {
        ++i;
        if (i < n && (text.at(i) == '+' || text.at(i) == '-'))
            ++i;
        qsizetype exponentDigits = 0;
        while (i < n && isDigit(text.at(i))) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<ScpiParam> parseParam(const QByteArray& text) {
    ScpiParam param;
    if (text.isEmpty())
        return std::nullopt;
    const char first = text.at(0);
    if (first == '"' || first == '\'') {
        if (text.size() < 2 || text.back() != first)
            return std::nullopt;
        param.kind = ScpiParam::Kind::String;
        for (qsizetype i = 1; i < text.size() - 1; ++i) {
            const char c = text.at(i);
            if (c == first) {
                // Inside a string the quote only stands doubled.
                if (i + 1 >= text.size() - 1 || text.at(i + 1) != first)
                    return std::nullopt;
                ++i;
            }
            param.text += c;
        }
        return param;
    }
    if (isLetter(first)) {
        for (const char c : text) {
            if (!isLetter(c) && !isDigit(c) && c != '_')
                return std::nullopt;
        }
        param.kind = ScpiParam::Kind::Word;
        param.text = text;
        return param;
    }
    const std::optional<double> number = parseNumber(text);
    if (!number)
        return std::nullopt;
    param.kind = ScpiParam::Kind::Number;
    param.text = text;
    param.number = *number;
    return param;
}

// A typed header split into its nodes, or empty when it is not well formed.
struct TypedHeader {
    QList<QByteArray> nodes;
    bool rooted = false;
    bool common = false;
    bool query = false;
};

std::optional<TypedHeader> splitHeader(QByteArray text) {
    TypedHeader header;
    if (text.endsWith('?')) {
        header.query = true;
        text.chop(1);
    }
    if (text.startsWith('*')) {
        header.common = true;
        const QByteArray name = text.mid(1);
        if (name.isEmpty())
            return std::nullopt;
        for (const char c : name) {
            if (!isLetter(c))
                return std::nullopt;
        }
        header.nodes << text.toUpper();
        return header;
    }
    if (text.startsWith(':')) {
        header.rooted = true;
        text.remove(0, 1);
    }
    for (const QByteArray& node : text.split(':')) {
        if (node.isEmpty() || !isLetter(node.at(0)))
            return std::nullopt;
        for (const char c : node) {
            if (!isLetter(c) && !isDigit(c) && c != '_')
                return std::nullopt;
        }
        header.nodes << node;
    }
    return header;
}

QByteArray shortForm(const QByteArray& declared) {
    qsizetype n = 0;
    while (n < declared.size() && !isLower(declared.at(n)))
        ++n;
    return declared.left(n);
}

}  // namespace

QByteArray scpiErrorText(int code) {
    switch (code) {
        case scpierror::NoError:
            return "No error";
        case scpierror::Syntax:
            return "Syntax error";
        case scpierror::DataType:
            return "Data type error";
        case scpierror::ParameterNotAllowed:
            return "Parameter not allowed";
        case scpierror::MissingParameter:
            return "Missing parameter";
        case scpierror::UndefinedHeader:
            return "Undefined header";
        case scpierror::SettingsConflict:
            return "Settings conflict";
        case scpierror::DataOutOfRange:
            return "Data out of range";
        case scpierror::DataStale:
            return "Data corrupt or stale";
        case scpierror::QueueOverflow:
            return "Queue overflow";
        default:
            break;
    }
    if (code <= -100 && code > -200)
        return "Command error";
    if (code <= -200 && code > -300)
        return "Execution error";
    if (code <= -300 && code > -400)
        return "Device-specific error";
    if (code <= -400 && code > -500)
        return "Query error";
    return "Error";
}

void ScpiErrorQueue::push(int code, const QByteArray& detail) {
    if (code == scpierror::NoError)
        return;
    if (entries_.size() < capacity()) {
        entries_.append({code, detail});
        return;
    }
    entries_.back() = {scpierror::QueueOverflow, QByteArray()};
}

QByteArray ScpiErrorQueue::next() {
    const Entry entry = entries_.isEmpty() ? Entry{} : entries_.takeFirst();
    QByteArray text = scpiErrorText(entry.code);
    if (!entry.detail.isEmpty()) {
        // The reply stays one quoted string on one line, whatever the detail holds.
        QByteArray detail = entry.detail;
        detail.replace('"', "\"\"");
        for (char& c : detail) {
            if (c == '\n' || c == '\r')
                c = ' ';
        }
        text += "; " + detail;
    }
    return QByteArray::number(entry.code) + ",\"" + text + '"';
}

bool scpiMnemonicMatches(const QByteArray& typed, const QByteArray& declared) {
    return typed.compare(declared, Qt::CaseInsensitive) == 0 ||
           typed.compare(shortForm(declared), Qt::CaseInsensitive) == 0;
}

void ScpiCommandTable::add(int id, const QByteArray& header) {
    const std::optional<TypedHeader> split = splitHeader(header);
    Q_ASSERT_X(split && !split->rooted, "ScpiCommandTable::add", header.constData());
    if (!split)
        return;
    entries_.append(Entry{id, header, split->nodes, split->query});
}

const ScpiCommandTable::Entry* ScpiCommandTable::find(const QList<QByteArray>& nodes,
                                                      bool query) const {
    for (const Entry& entry : entries_) {
        if (entry.query != query || entry.nodes.size() != nodes.size())
            continue;
        bool all = true;
        for (qsizetype i = 0; all && i < nodes.size(); ++i)
            all = scpiMnemonicMatches(nodes.at(i), entry.nodes.at(i));
        if (all)
            return &entry;
    }
    return nullptr;
}

QList<ScpiCommand> ScpiCommandTable::parseLine(const QByteArray& line) const {
    QByteArray text = line;
    if (text.endsWith('\n'))
        text.chop(1);
    if (text.endsWith('\r'))
        text.chop(1);

    QList<ScpiCommand> commands;
    bool unbalanced = false;
    const QList<QByteArray> units = splitOutsideQuotes(text, ';', unbalanced);
    QList<QByteArray> path;
    for (qsizetype u = 0; u < units.size(); ++u) {
        const QByteArray unit = trimmed(units.at(u));
        const bool last = u == units.size() - 1;
        if (unit.isEmpty() && !(last && unbalanced))
            continue;
        ScpiCommand command;
        command.error = scpierror::Syntax;
        if ((last && unbalanced) || hasForbiddenByte(unit)) {
            commands << command;
            return commands;
        }

        qsizetype headerEnd = 0;
        while (headerEnd < unit.size() && !isBlank(unit.at(headerEnd)))
            ++headerEnd;
        const std::optional<TypedHeader> typed = splitHeader(unit.left(headerEnd));
        if (!typed) {
            commands << command;
            return commands;
        }

        const Entry* entry = nullptr;
        if (typed->common || typed->rooted || path.isEmpty()) {
            entry = find(typed->nodes, typed->query);
        } else {
            entry = find(path + typed->nodes, typed->query);
            if (!entry)
                entry = find(typed->nodes, typed->query);
        }
        if (!entry) {
            command.error = scpierror::UndefinedHeader;
            commands << command;
            return commands;
        }

        const QByteArray rest = trimmed(unit.mid(headerEnd));
        if (!rest.isEmpty()) {
            bool ignored = false;
            for (const QByteArray& part : splitOutsideQuotes(rest, ',', ignored)) {
                const std::optional<ScpiParam> param = parseParam(trimmed(part));
                if (!param) {
                    commands << command;
                    return commands;
                }
                command.params << *param;
            }
        }

        command.error = scpierror::NoError;
        command.id = entry->id;
        command.header = entry->header;
        command.query = entry->query;
        commands << command;
        if (!typed->common)
            path = entry->nodes.mid(0, entry->nodes.size() - 1);
    }
    return commands;
}

std::optional<int> intIn(const ScpiParam& param, int min, int max) {
    if (param.kind == ScpiParam::Kind::Word) {
        if (scpiMnemonicMatches(param.text, "MINimum"))
            return min;
        if (scpiMnemonicMatches(param.text, "MAXimum"))
            return max;
        return std::nullopt;
    }
    if (param.kind != ScpiParam::Kind::Number || std::trunc(param.number) != param.number ||
        param.number < min || param.number > max)
        return std::nullopt;
    return static_cast<int>(param.number);
}

std::optional<bool> boolean(const ScpiParam& param) {
    if (param.kind == ScpiParam::Kind::Number) {
        if (param.number == 1)
            return true;
        if (param.number == 0)
            return false;
        return std::nullopt;
    }
    if (param.kind != ScpiParam::Kind::Word)
        return std::nullopt;
    if (param.text.compare("ON", Qt::CaseInsensitive) == 0)
        return true;
    if (param.text.compare("OFF", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

std::optional<int> word(const ScpiParam& param, std::initializer_list<const char*> choices) {
    if (param.kind != ScpiParam::Kind::Word)
        return std::nullopt;
    int index = 0;
    for (const char* choice : choices) {
        if (scpiMnemonicMatches(param.text, choice))
            return index;
        ++index;
    }
    return std::nullopt;
}

}  // namespace kr5
