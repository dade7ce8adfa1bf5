#include "faultinjector.h"

#include <algorithm>

namespace kr5::sim {

FaultInjector::FaultInjector(std::vector<FaultConfig> faults, quint32 seed, quint32 unitKey)
    : faults_(std::move(faults)), random_(seed, {0xFA17u, unitKey}) {}

bool FaultInjector::hits(const FaultConfig& f, double atUs) {
    if (!f.coversUs(atUs)) {
        return false;
    }
    return f.probability >= 1.0 || random_.uniform() < f.probability;
}

bool FaultInjector::goneAt(double atUs) {
    bool gone = false;
    for (const FaultConfig& f : faults_) {
        if (f.kind == FaultKind::Gone && hits(f, atUs)) {
            gone = true;
        }
    }
    return gone;
}

std::vector<FaultInjector::Piece> FaultInjector::shape(const QByteArray& reply, double atUs) {
    if (reply.isEmpty()) {
        return {};
    }
    QByteArray bytes = reply;
    double delayUs = 0.0;
    int pieces = 1;
    double gapUs = 0.0;
    bool silent = false;
    // Every fault draws in list order whether or not an earlier one already decided the
    // outcome, so adding a fault later in the list does not change what earlier ones do.
    for (const FaultConfig& f : faults_) {
        if (f.kind == FaultKind::Gone || !hits(f, atUs)) {
            continue;
        }
        switch (f.kind) {
            case FaultKind::Silent:
                silent = true;
                break;
            case FaultKind::Truncated: {
                const qsizetype keep = f.keep < 0 ? bytes.size() / 2 : f.keep;
                bytes.truncate(std::min(keep, bytes.size()));
                break;
            }
            case FaultKind::Garbled: {
                // Distinct places, each turned into some other byte, as a disturbed line
                // delivers them.
                std::vector<bool> hit(static_cast<size_t>(bytes.size()), false);
                const qsizetype n = std::min<qsizetype>(f.count, bytes.size());
                for (qsizetype i = 0; i < n; ++i) {
                    int at = random_.below(static_cast<int>(bytes.size()));
                    while (hit[static_cast<size_t>(at)]) {
                        at = (at + 1) % static_cast<int>(bytes.size());
                    }
                    hit[static_cast<size_t>(at)] = true;
                    bytes[at] = static_cast<char>(bytes[at] ^ (1 + random_.below(255)));
                }
                break;
            }
            case FaultKind::Late:
                delayUs += f.lateMs * 1000.0;
                break;
            case FaultKind::Noise: {
                QByteArray noise;
                for (int i = 0; i < f.count; ++i) {
                    noise.append(static_cast<char>(1 + random_.below(255)));
                }
                bytes.prepend(noise);
                break;
            }
            case FaultKind::Pieces:
                pieces = std::max(pieces, f.pieces);
                gapUs = std::max(gapUs, f.gapMs * 1000.0);
                break;
            case FaultKind::Gone:
                break;
        }
    }
    if (silent || bytes.isEmpty()) {
        return {};
    }
    std::vector<Piece> out;
    const qsizetype parts = std::min<qsizetype>(pieces, bytes.size());
    qsizetype from = 0;
    for (qsizetype i = 0; i < parts; ++i) {
        const qsizetype to = bytes.size() * (i + 1) / parts;
        out.push_back(Piece{i == 0 ? delayUs : gapUs, bytes.mid(from, to - from)});
        from = to;
    }
    return out;
}

}  // namespace kr5::sim
