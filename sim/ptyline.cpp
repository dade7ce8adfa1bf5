#include "ptyline.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kr5::sim {

namespace {

int baudOf(speed_t speed) {
    switch (speed) {
        case B1200:
            return 1200;
        case B2400:
            return 2400;
        case B4800:
            return 4800;
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        default:
            return 0;
    }
}

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

bool PtyLine::create(QString* error) {
    destroy();
    const auto failWith = [&](const char* what) {
        if (error != nullptr) {
            *error = systemError(what);
        }
        destroy();
        return false;
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        return failWith("posix_openpt");
    }
    if (grantpt(master_) != 0) {
        return failWith("grantpt");
    }
    if (unlockpt(master_) != 0) {
        return failWith("unlockpt");
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        return failWith("ptsname");
    }
    path_ = QString::fromLocal8Bit(name);
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        return failWith("fcntl");
    }
    // Raw bytes both ways: no echo, no line editing, no CR/LF translation. On the master
    // these settings are the slave's, which the program sees and changes.
    termios tio{};
    if (tcgetattr(master_, &tio) != 0) {
        return failWith("tcgetattr");
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    if (tcsetattr(master_, TCSANOW, &tio) != 0) {
        return failWith("tcsetattr");
    }
    slaveHold_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slaveHold_ < 0) {
        return failWith("open slave");
    }
    hungUp_ = false;
    return true;
}

void PtyLine::destroy() {
    if (slaveHold_ >= 0) {
        ::close(slaveHold_);
        slaveHold_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    path_.clear();
}

int PtyLine::baud() const {
    termios tio{};
    if (master_ < 0 || tcgetattr(master_, &tio) != 0) {
        return 0;
    }
    return baudOf(cfgetospeed(&tio));
}

QByteArray PtyLine::readAvailable() {
    QByteArray out;
    if (master_ < 0) {
        return out;
    }
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, static_cast<qsizetype>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EIO) {
            hungUp_ = true;  // no one holds the slave side at the moment
        }
        break;  // EAGAIN: all read
    }
    return out;
}

void PtyLine::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n =
            ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += static_cast<qsizetype>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
}

}  // namespace kr5::sim
