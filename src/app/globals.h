// The program's shared state: the variables every window and the acquisition loop read
// and write, with their start values. One object holds them all so that a test can make
// a fresh one; the names are the program's own.
#pragma once

#include <QString>
#include <array>

namespace kr5 {

struct Globals {
    // Input constants (the Input const window and its settings file).
    QString kname;
    QString knum;
    QString ktemp;
    QString krh;
    double kpt = 0.0;    // PT ratio of the test-voltage transformer
    double kadj = 0.0;   // Adjust: calibration factor, pC per V
    double kqidx = 0.0;  // Set Q scale index 0..9 into atttbl
    double ksetq = 0.0;  // Set Q in pC: atttbl(kqidx) * kadj
    qint32 kstart = 0;   // Start count
    qint32 kstop = 0;    // Stop count

    // Attenuator divisions for ranges 0..9 (index 10 stays 0) and rate multipliers for
    // ranges 0..3 (index 4 stays 0).
    std::array<int, 11> atttbl{};
    std::array<int, 5> ratetbl{};

    // Cycle counting, Q-N measurement and operating settings.
    qint32 cyccount = 0;  // normal cycles since the last Timer1 tick
    qint32 gatetime = 0;  // gate time of a Q-N counting step, ms
    bool qnmode = false;
    qint32 qnloops = 0;  // passes per Q-N measurement, -1 for non-stop
    bool qnstop = false;
    qint32 samplems = 0;  // sample time, ms; vinit leaves it alone
    qint32 tvmulti = 0;
    bool autoatt = false;
    bool autorate = false;
    qint32 comspeed = 0;  // speed index: 0 9600, 1 19200, 2 38400 baud
    bool speedreq = false;
    QString qncond;       // condition text of the Q-N start marker
    QString qntv;         // the test-voltage text last shown, for the Q-N start marker
    double log10k = 0.0;  // 1 / ln 10
    bool endreq = false;
    qint32 loopcal = 0;  // clock reads per second / 20, measured at start

    // Noise discriminator requests and what was last sent.
    QString zncmd;
    int znfunc = 0;
    int znatt1 = 0;  // channel B step, sent as "c"
    int znatt2 = 0;  // channel A step, sent as "a"
    int znfuncsent = 0;
    int znatt1sent = 0;
    int znatt2sent = 0;
    bool znremreq = false;

    // Recording.
    QString csvfile;     // path of the measurement file
    bool recon = false;  // recording runs: each reading appends a data row

    // The line and the units on it.
    QString rxbuf;    // the last reply collected
    int comport = 0;  // port of the detector: 1 or 2
    QString portstr;  // last character of comport's decimal text, shown in captions
    bool acuok = false;
    bool znok = false;
    QString krid;
    QString acuid;
    QString znid;   // identification of the noise discriminator, shown in the About box
    QString kradr;  // one address character, empty when the unit was not found
    QString acuadr;
    QString znadr;
    std::array<QString, 16> adrtbl{};

    Globals() { vinit(); }

    // Sets every variable to its start value. The calibration of loopcal is separate
    // (calibrateLoop) because it takes one to two seconds of clock reading.
    void vinit();
};

}  // namespace kr5
