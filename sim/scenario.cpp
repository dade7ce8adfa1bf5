#include "scenario.h"

#include <QRegularExpression>
#include <cmath>
#include <functional>
#include <map>

namespace kr5::sim {

namespace {

constexpr int kIdentLength = 13;

bool fail(QString* error, const QString& text) {
    if (error != nullptr) {
        *error = text;
    }
    return false;
}

std::optional<UnitKind> kindFromLetters(const QString& letters) {
    const QString l = letters.toUpper();
    if (l == QLatin1String("KR")) {
        return UnitKind::Detector;
    }
    if (l == QLatin1String("AU")) {
        return UnitKind::AcUnit;
    }
    if (l == QLatin1String("ZN")) {
        return UnitKind::Discriminator;
    }
    return std::nullopt;
}

std::optional<double> number(const QString& text) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

std::optional<int> wholeNumber(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

std::optional<bool> flag(const QString& text) {
    const QString t = text.toLower();
    if (t == QLatin1String("on") || t == QLatin1String("yes") || t == QLatin1String("1")) {
        return true;
    }
    if (t == QLatin1String("off") || t == QLatin1String("no") || t == QLatin1String("0")) {
        return false;
    }
    return std::nullopt;
}

std::optional<FaultKind> faultFromName(const QString& name) {
    static const std::map<QString, FaultKind> names{
        {QStringLiteral("silent"), FaultKind::Silent},
        {QStringLiteral("garbled"), FaultKind::Garbled},
        {QStringLiteral("truncated"), FaultKind::Truncated},
        {QStringLiteral("pieces"), FaultKind::Pieces},
        {QStringLiteral("late"), FaultKind::Late},
        {QStringLiteral("gone"), FaultKind::Gone},
        {QStringLiteral("noise"), FaultKind::Noise},
    };
    const auto it = names.find(name.toLower());
    return it == names.end() ? std::nullopt : std::optional<FaultKind>(it->second);
}

// key=value words, each handed to the setter registered for its key. A value that the
// setter rejects, or an unknown key, fails the whole line.
using Setter = std::function<bool(const QString&)>;

bool applyPairs(const QStringList& words, int first, const std::map<QString, Setter>& setters,
                QString* error) {
    for (qsizetype i = first; i < words.size(); ++i) {
        const qsizetype eq = words[i].indexOf(QLatin1Char('='));
        if (eq <= 0) {
            return fail(error, QStringLiteral("expected key=value, got \"%1\"").arg(words[i]));
        }
        const QString key = words[i].left(eq).toLower();
        const auto it = setters.find(key);
        if (it == setters.end()) {
            return fail(error, QStringLiteral("unknown key \"%1\"").arg(key));
        }
        if (!it->second(words[i].mid(eq + 1))) {
            return fail(error, QStringLiteral("bad value in \"%1\"").arg(words[i]));
        }
    }
    return true;
}

Setter numberInto(double& target, double lo, double hi) {
    return [&target, lo, hi](const QString& v) {
        const auto n = number(v);
        if (!n || *n < lo || *n > hi) {
            return false;
        }
        target = *n;
        return true;
    };
}

Setter wholeInto(int& target, int lo, int hi) {
    return [&target, lo, hi](const QString& v) {
        const auto n = wholeNumber(v);
        if (!n || *n < lo || *n > hi) {
            return false;
        }
        target = *n;
        return true;
    };
}

Setter flagInto(bool& target) {
    return [&target](const QString& v) {
        const auto f = flag(v);
        if (!f) {
            return false;
        }
        target = *f;
        return true;
    };
}

constexpr double kBig = 1e9;

}  // namespace

QString typeLetters(UnitKind kind) {
    switch (kind) {
        case UnitKind::Detector:
            return QStringLiteral("KR");
        case UnitKind::AcUnit:
            return QStringLiteral("AU");
        case UnitKind::Discriminator:
            return QStringLiteral("ZN");
    }
    return {};
}

QString defaultIdent(UnitKind kind, int address) {
    const QString model = kind == UnitKind::Detector ? QStringLiteral("KR-5")
                          : kind == UnitKind::AcUnit ? QStringLiteral("AU-1")
                                                     : QStringLiteral("ZN-4");
    return QStringLiteral("%1 SIM %2").arg(model).arg(address + 1, 4, 10, QLatin1Char('0'));
}

std::set<int> Scenario::ports() const {
    std::set<int> all = emptyPorts;
    for (const UnitConfig& u : units) {
        all.insert(u.port);
    }
    return all;
}

Scenario Scenario::defaultBench() {
    Scenario s;
    s.units = {
        {UnitKind::Detector, 0, 1, defaultIdent(UnitKind::Detector, 0)},
        {UnitKind::AcUnit, 1, 1, defaultIdent(UnitKind::AcUnit, 1)},
        {UnitKind::Discriminator, 2, 1, defaultIdent(UnitKind::Discriminator, 2)},
    };
    return s;
}

bool ScenarioBuilder::apply(const QString& line, QString* error) {
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) {
        return true;
    }
    const QStringList words = trimmed.split(QRegularExpression(QStringLiteral("\\s+")));
    // Work on a copy so that a bad line leaves the scenario as it was.
    const Scenario before = scenario_;
    const bool unitsBefore = unitsGiven_;
    if (!applyWords(words, trimmed, error)) {
        scenario_ = before;
        unitsGiven_ = unitsBefore;
        return false;
    }
    return true;
}

bool ScenarioBuilder::applyText(const QString& text, QString* error) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString why;
        if (!apply(lines[i], &why)) {
            return fail(error, QStringLiteral("line %1: %2").arg(i + 1).arg(why));
        }
    }
    return true;
}

bool ScenarioBuilder::applyWords(const QStringList& words, const QString& line, QString* error) {
    Scenario& s = scenario_;
    const QString key = words[0].toLower();
    const auto single = [&](auto&& take) -> bool {
        if (words.size() != 2) {
            return fail(error, QStringLiteral("\"%1\" takes one value").arg(key));
        }
        return take(words[1]) ? true
                              : fail(error, QStringLiteral("bad value \"%1\"").arg(words[1]));
    };

    if (key == QLatin1String("seed")) {
        return single([&](const QString& v) {
            bool ok = false;
            const quint32 seed = v.toUInt(&ok);
            if (ok) {
                s.seed = seed;
            }
            return ok;
        });
    }
    if (key == QLatin1String("turnaround")) {
        return single([&](const QString& v) { return numberInto(s.turnaroundMs, 0, 10000)(v); });
    }
    if (key == QLatin1String("pt")) {
        return single([&](const QString& v) { return numberInto(s.ptRatio, 1e-6, kBig)(v); });
    }
    if (key == QLatin1String("calibration")) {
        return single([&](const QString& v) { return numberInto(s.calibration, 1e-9, kBig)(v); });
    }
    if (key == QLatin1String("operator")) {
        return single([&](const QString& v) { return flagInto(s.operatorActive)(v); });
    }
    if (key == QLatin1String("port")) {
        return single([&](const QString& v) {
            const auto p = wholeNumber(v);
            if (!p || *p < 1 || *p > 2) {
                return false;
            }
            s.emptyPorts.insert(*p);
            return true;
        });
    }
    if (key == QLatin1String("unit")) {
        // unit TYPE ADDRESS PORT [IDENT]: the identification text is the rest of the line,
        // blanks included.
        static const QRegularExpression form(
            QStringLiteral("^\\S+\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)(?:\\s(.*))?$"));
        const auto m = form.match(line);
        if (!m.hasMatch()) {
            return fail(error, QStringLiteral("unit needs TYPE ADDRESS PORT [IDENT]"));
        }
        UnitConfig u;
        const auto kind = kindFromLetters(m.captured(1));
        const auto address = wholeNumber(m.captured(2));
        const auto port = wholeNumber(m.captured(3));
        if (!kind) {
            return fail(error, QStringLiteral("unit type must be KR, AU or ZN"));
        }
        if (!address || *address < 0 || *address > 15) {
            return fail(error, QStringLiteral("unit address must be 0..15"));
        }
        if (!port || *port < 1 || *port > 2) {
            return fail(error, QStringLiteral("unit port must be 1 or 2"));
        }
        u.kind = *kind;
        u.address = *address;
        u.port = *port;
        u.ident = m.captured(4).isEmpty() ? defaultIdent(u.kind, u.address) : m.captured(4);
        if (!u.ident.startsWith(typeLetters(u.kind))) {
            return fail(
                error,
                QStringLiteral("identification must begin with %1").arg(typeLetters(u.kind)));
        }
        for (const QChar c : u.ident) {
            if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
                return fail(error, QStringLiteral("identification must be plain ASCII"));
            }
        }
        u.ident = u.ident.leftJustified(kIdentLength, QLatin1Char(' '), true);
        if (!unitsGiven_) {
            s.units.clear();
            s.faults.clear();
            unitsGiven_ = true;
        }
        for (const UnitConfig& other : s.units) {
            if (other.port == u.port && other.address == u.address) {
                return fail(
                    error,
                    QStringLiteral("address %1 on port %2 is taken").arg(u.address).arg(u.port));
            }
        }
        s.units.push_back(u);
        return true;
    }
    if (key == QLatin1String("profile")) {
        ProfileConfig& p = s.profile;
        return applyPairs(words, 1,
                          {{QStringLiteral("start"), numberInto(p.startKv, 0, kBig)},
                           {QStringLiteral("peak"), numberInto(p.peakKv, 0, kBig)},
                           {QStringLiteral("up"), numberInto(p.upKvPerS, 0, kBig)},
                           {QStringLiteral("hold"), numberInto(p.holdS, 0, kBig)},
                           {QStringLiteral("down"), numberInto(p.downKvPerS, 0, kBig)},
                           {QStringLiteral("pause"), numberInto(p.pauseS, 0, kBig)},
                           {QStringLiteral("delay"), numberInto(p.delayS, 0, kBig)},
                           {QStringLiteral("repeat"), flagInto(p.repeat)}},
                          error);
    }
    if (key == QLatin1String("object")) {
        ObjectConfig& o = s.object;
        if (!applyPairs(words, 1,
                        {{QStringLiteral("inception"), numberInto(o.inceptionKv, 1e-6, kBig)},
                         {QStringLiteral("extinction"), numberInto(o.extinctionKv, 0, kBig)},
                         {QStringLiteral("charge"), numberInto(o.chargePc, 0, kBig)},
                         {QStringLiteral("chargeexp"), numberInto(o.chargeExponent, 0, 50)},
                         {QStringLiteral("rate"), numberInto(o.ratePps, 0, kBig)},
                         {QStringLiteral("rateexp"), numberInto(o.rateExponent, 0, 50)},
                         {QStringLiteral("shape"), numberInto(o.shape, 0.05, 50)},
                         {QStringLiteral("noise"), numberInto(o.noisePc, 0, kBig)},
                         {QStringLiteral("noiserate"), numberInto(o.noisePps, 0, kBig)}},
                        error)) {
            return false;
        }
        if (o.extinctionKv > o.inceptionKv) {
            return fail(error, QStringLiteral("extinction must not lie above inception"));
        }
        return true;
    }
    if (key == QLatin1String("calibrator")) {
        CalibratorConfig c;
        if (!applyPairs(words, 1,
                        {{QStringLiteral("pc"), numberInto(c.chargePc, 1e-9, kBig)},
                         {QStringLiteral("rate"), numberInto(c.ratePps, 0, kBig)},
                         {QStringLiteral("from"), numberInto(c.fromS, 0, kBig)},
                         {QStringLiteral("to"), numberInto(c.toS, 0, kBig)}},
                        error)) {
            return false;
        }
        if (!(c.chargePc > 0.0)) {
            return fail(error, QStringLiteral("calibrator needs pc=CHARGE"));
        }
        s.calibrators.push_back(c);
        return true;
    }
    if (key == QLatin1String("fault")) {
        if (words.size() < 3) {
            return fail(error, QStringLiteral("fault needs TYPE KIND [key=value ...]"));
        }
        FaultRule rule;
        const auto kind = kindFromLetters(words[1]);
        const auto fk = faultFromName(words[2]);
        if (!kind) {
            return fail(error, QStringLiteral("fault type must be KR, AU or ZN"));
        }
        if (!fk) {
            return fail(error, QStringLiteral("unknown fault \"%1\"").arg(words[2]));
        }
        rule.kind = *kind;
        rule.config.kind = *fk;
        FaultConfig& f = rule.config;
        if (!applyPairs(words, 3,
                        {{QStringLiteral("addr"), wholeInto(rule.address, 0, 15)},
                         {QStringLiteral("from"), numberInto(f.fromS, 0, kBig)},
                         {QStringLiteral("to"), numberInto(f.toS, 0, kBig)},
                         {QStringLiteral("p"), numberInto(f.probability, 0, 1)},
                         {QStringLiteral("ms"), numberInto(f.lateMs, 0, 600000)},
                         {QStringLiteral("keep"), wholeInto(f.keep, 0, 64)},
                         {QStringLiteral("pieces"), wholeInto(f.pieces, 1, 64)},
                         {QStringLiteral("gap"), numberInto(f.gapMs, 0, 600000)},
                         {QStringLiteral("count"), wholeInto(f.count, 0, 64)}},
                        error)) {
            return false;
        }
        s.faults.push_back(rule);
        return true;
    }
    if (key == QLatin1String("pull")) {
        if (words.size() < 2) {
            return fail(error, QStringLiteral("pull needs PORT [from=S] [to=S] [powercycle=yes]"));
        }
        PortPull pull;
        const auto port = wholeNumber(words[1]);
        if (!port || *port < 1 || *port > 2) {
            return fail(error, QStringLiteral("pull port must be 1 or 2"));
        }
        pull.port = *port;
        if (!applyPairs(words, 2,
                        {{QStringLiteral("from"), numberInto(pull.fromS, 0, kBig)},
                         {QStringLiteral("to"), numberInto(pull.toS, 0, kBig)},
                         {QStringLiteral("powercycle"), flagInto(pull.powerCycle)}},
                        error)) {
            return false;
        }
        s.pulls.push_back(pull);
        return true;
    }
    return fail(error, QStringLiteral("unknown setting \"%1\"").arg(words[0]));
}

}  // namespace kr5::sim
