#include "globals.h"

#include "numeric.h"

#include <cmath>

namespace kr5 {

void Globals::vinit() {
    kname = QStringLiteral("no name");
    knum = QStringLiteral("1");
    ktemp = QStringLiteral("20");
    krh = QStringLiteral("59");
    kpt = 100.0;
    kadj = 1.0;
    kqidx = 0.0;
    kstart = 50;
    kstop = 0;
    atttbl = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 0};
    ratetbl = {1, 5, 10, 50, 0};
    cyccount = 1;
    gatetime = 1000;
    qnmode = false;
    qnloops = -1;
    qnstop = false;
    tvmulti = 1;
    autoatt = true;
    autorate = true;
    comspeed = 0;
    speedreq = false;
    endreq = false;
    zncmd.clear();
    znfunc = znatt1 = znatt2 = 0;
    znfuncsent = znatt1sent = znatt2sent = 0;
    znremreq = false;
    log10k = 1.0 / std::log(10.0);
    const qint64 index = qBound(qint64{0}, roundEven(kqidx), qint64{9});
    ksetq = atttbl[static_cast<size_t>(index)] * kadj;
}

}  // namespace kr5
