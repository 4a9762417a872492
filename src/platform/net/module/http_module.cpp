// The HTTP exchanges over Qt Network's sockets, built as a module of its own
// (see platform/net/http_module.h). The exchange is read here rather than by
// QNetworkAccessManager: a file is taken only when its body is known whole
// (its Content-Length reached, or a chunked body up to its last chunk) on one
// connection, and the manager tells neither (a connection cut inside a body
// can end its reply as complete, and it sends a request again on its own
// after the first pieces went out). One deadline covers the whole call.
#include "platform/net/http_module.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

constexpr int kMaxRedirects = 5;
// The status lines and headers of one connection: real ones take a few
// hundred bytes, and a server that floods them is given up at once.
constexpr qsizetype kMaxHeadSize = 64 * 1024;
// Informational answers (1xx) before the real one.
constexpr int kMaxInterimAnswers = 4;
// A chunk-size line, extensions included.
constexpr qsizetype kMaxChunkLine = 1024;
// What the socket holds unread: a flood waits in the system, not in memory.
constexpr qint64 kReadBuffer = 64 * 1024;

bool Usable(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == "http" || scheme == "https") && !url.host().isEmpty();
}

QUrl ToUrl(const char* address) {
    const QUrl url(QString::fromUtf8(address));
    return Usable(url) ? url : QUrl();
}

bool IsTls(const QUrl& url) { return url.scheme().compare("https", Qt::CaseInsensitive) == 0; }

bool IsLoopback(const QUrl& url) {
    QHostAddress address;
    if (address.setAddress(url.host())) return address.isLoopback();
    return url.host().compare("localhost", Qt::CaseInsensitive) == 0;
}

// The caller's time limit, over every connection the call makes.
class TDeadline {
public:
    explicit TDeadline(int timeoutMs) : timeoutMs_(timeoutMs > 0 ? timeoutMs : 1) { clock_.start(); }
    qint64 Remaining() const { return std::max<qint64>(0, timeoutMs_ - clock_.elapsed()); }

private:
    QElapsedTimer clock_;
    qint64 timeoutMs_;
};

// One GET on a connection of its own ("Connection: close"), its answer's
// bytes handed out as they come. Waiting runs a local event loop that keeps
// the user's input waiting. The handlers run inside Qt's signals: they only
// end the wait.
class TConnection {
public:
    TConnection(const QUrl& url, const char* userAgent, const TDeadline& deadline)
        : deadline_(deadline) {
        const bool tls = IsTls(url);
        if (tls) socket_ = std::make_unique<QSslSocket>();
        else socket_ = std::make_unique<QTcpSocket>();
        // No proxy stands between the program and its own machine.
        if (IsLoopback(url)) socket_->setProxy(QNetworkProxy::NoProxy);
        socket_->setReadBufferSize(kReadBuffer);

        QByteArray target = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
        if (target.isEmpty() || target[0] != '/') target.prepend('/');
        request_ = "GET " + target + " HTTP/1.1\r\nHost: " +
                   url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() + "\r\n";
        if (userAgent && *userAgent) request_ += "User-Agent: " + QByteArray(userAgent) + "\r\n";
        // The bytes as the server keeps them: a compressed body is no file.
        request_ += "Accept-Encoding: identity\r\nConnection: close\r\n\r\n";

        auto wake = [this] { loop_.quit(); };
        QObject::connect(socket_.get(), &QIODevice::readyRead, &loop_, wake);
        QObject::connect(socket_.get(), &QAbstractSocket::disconnected, &loop_, wake);
        QObject::connect(socket_.get(), &QAbstractSocket::errorOccurred, &loop_, [this] {
            failed_ = true;
            loop_.quit();
        });
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, &loop_, wake);
        const QString host = url.host(QUrl::FullyEncoded);
        if (tls) {
            auto* ssl = static_cast<QSslSocket*>(socket_.get());
            QObject::connect(ssl, &QSslSocket::encrypted, &loop_, [this] { socket_->write(request_); });
            ssl->connectToHostEncrypted(host, static_cast<quint16>(url.port(443)));
        } else {
            QObject::connect(socket_.get(), &QAbstractSocket::connected, &loop_,
                             [this] { socket_->write(request_); });
            socket_->connectToHost(host, static_cast<quint16>(url.port(80)));
        }
    }

    ~TConnection() {
        socket_->disconnect();
        socket_->abort();
    }

    // The next bytes of the answer; empty when no more will come (the
    // connection ended or failed, or the time is up).
    QByteArray Next() {
        for (;;) {
            if (socket_->bytesAvailable() > 0) return socket_->read(kReadBuffer);
            if (failed_ || socket_->state() == QAbstractSocket::UnconnectedState) return {};
            const qint64 left = deadline_.Remaining();
            if (left <= 0) return {};
            timer_.start(static_cast<int>(std::min<qint64>(left, INT32_MAX)));
            loop_.exec(QEventLoop::ExcludeUserInputEvents);
            timer_.stop();
        }
    }

private:
    const TDeadline& deadline_;
    std::unique_ptr<QTcpSocket> socket_;
    QEventLoop loop_;
    QTimer timer_;
    QByteArray request_;
    bool failed_ = false;
};

// What an answer's headers say about its body.
struct THead {
    QList<quint64> lengths; // every Content-Length value
    bool badLength = false;  // one that is no number
    bool chunked = false;
    bool otherCoding = false; // a transfer or content coding the program did not ask for
    QByteArray location;
};

bool Digits(const QByteArray& text, int maxDigits) {
    if (text.isEmpty() || text.size() > maxDigits) return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Reads one answer from its connection: the status, the headers, the body.
class TAnswerReader {
public:
    explicit TAnswerReader(TConnection& connection) : c_(connection) {}

    // The status of the answer, past informational ones; 0 when none came.
    int ReadStatus() {
        for (int interim = 0; interim <= kMaxInterimAnswers; ++interim) {
            QByteArray line;
            if (!HeadLine(line)) return 0;
            // "HTTP/1.x nnn reason"
            if (line.size() < 12 || !line.startsWith("HTTP/1.") || line[8] != ' ' ||
                (line.size() > 12 && line[12] != ' ') || !Digits(line.mid(9, 3), 3))
                return 0;
            const int status = line.mid(9, 3).toInt();
            if (status < 100) return 0;
            if (status >= 200) return status;
            THead ignored;
            if (!ReadHeaders(ignored)) return 0;
        }
        return 0;
    }

    // The headers up to the empty line; false when they do not read.
    bool ReadHeaders(THead& head) {
        for (;;) {
            QByteArray line;
            if (!HeadLine(line)) return false;
            if (line.isEmpty()) return true;
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0) return false;
            const QByteArray name = line.left(colon).toLower();
            if (name.contains(' ') || name.contains('\t')) return false;
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-length") {
                for (const QByteArray& part : value.split(',')) {
                    const QByteArray number = part.trimmed();
                    if (Digits(number, 18)) head.lengths.push_back(number.toULongLong());
                    else head.badLength = true;
                }
            } else if (name == "transfer-encoding" || name == "content-encoding") {
                for (const QByteArray& part : value.split(',')) {
                    const QByteArray coding = part.trimmed().toLower();
                    // An empty element of a list names nothing.
                    if (coding.isEmpty()) continue;
                    if (name[0] == 't' && coding == "chunked" && !head.chunked) head.chunked = true;
                    else if (coding != "identity") head.otherCoding = true;
                }
            } else if (name == "location") {
                head.location = value;
            }
        }
    }

    // The body as the head frames it, each piece to take: true when it came
    // whole. A body ended only by the connection's end cannot be told whole,
    // and one of no bytes is no file.
    bool ReadBody(const THead& head, size_t maxSize, bool (*take)(void*, const char*, size_t),
                  void* context) {
        if (head.badLength || head.otherCoding) return false;
        if (head.chunked) return head.lengths.isEmpty() && Chunked(maxSize, take, context);
        if (head.lengths.isEmpty()) return false;
        const quint64 length = head.lengths.front();
        // Two lengths that differ: the body cannot be checked against either.
        for (quint64 other : head.lengths)
            if (other != length) return false;
        return length > 0 && length <= maxSize && Bytes(length, take, context);
    }

private:
    // The next line (without its end) within `limit` bytes; false when none.
    bool Line(QByteArray& line, qsizetype limit) {
        for (;;) {
            const qsizetype end = buf_.indexOf('\n', pos_);
            if (end >= 0) {
                if (end - pos_ > limit) return false;
                line = buf_.mid(pos_, end - pos_);
                if (line.endsWith('\r')) line.chop(1);
                pos_ = end + 1;
                return true;
            }
            if (buf_.size() - pos_ > limit || !More()) return false;
        }
    }

    // A line of the head, all of whose lines share one limit.
    bool HeadLine(QByteArray& line) {
        if (!Line(line, kMaxHeadSize - headSize_)) return false;
        headSize_ += line.size() + 1;
        return headSize_ <= kMaxHeadSize;
    }

    // More bytes into the buffer; false when none will come.
    bool More() {
        buf_.remove(0, pos_);
        pos_ = 0;
        const QByteArray next = c_.Next();
        if (next.isEmpty()) return false;
        buf_ += next;
        return true;
    }

    bool Bytes(quint64 count, bool (*take)(void*, const char*, size_t), void* context) {
        while (count > 0) {
            if (pos_ == buf_.size() && !More()) return false;
            const qsizetype n = static_cast<qsizetype>(
                std::min<quint64>(count, static_cast<quint64>(buf_.size() - pos_)));
            if (!take(context, buf_.constData() + pos_, static_cast<size_t>(n))) return false;
            pos_ += n;
            count -= static_cast<quint64>(n);
        }
        return true;
    }

    bool Chunked(size_t maxSize, bool (*take)(void*, const char*, size_t), void* context) {
        quint64 total = 0;
        for (;;) {
            QByteArray line;
            if (!Line(line, kMaxChunkLine)) return false;
            const qsizetype semicolon = line.indexOf(';');
            const QByteArray hex = (semicolon < 0 ? line : line.left(semicolon)).trimmed();
            if (hex.isEmpty() || hex.size() > 15) return false;
            bool ok = false;
            const quint64 size = hex.toULongLong(&ok, 16);
            if (!ok || hex.startsWith('+') || hex.startsWith('-')) return false;
            if (size == 0) break;
            if (size > maxSize - total) return false;
            total += size;
            if (!Bytes(size, take, context)) return false;
            if (!Line(line, 1) || !line.isEmpty()) return false; // the chunk's own line end
        }
        // The trailer, up to the empty line that ends the body.
        for (;;) {
            QByteArray line;
            if (!HeadLine(line)) return false;
            if (line.isEmpty()) return total > 0;
        }
    }

    TConnection& c_;
    QByteArray buf_;
    qsizetype pos_ = 0;
    qsizetype headSize_ = 0;
};

int StatusCode(const char* address, const char* userAgent, int timeoutMs) {
    const QUrl url = ToUrl(address);
    if (url.isEmpty()) return 0;
    try {
        const TDeadline deadline(timeoutMs);
        TConnection connection(url, userAgent, deadline);
        // The status line is all that is wanted.
        return TAnswerReader(connection).ReadStatus();
    } catch (...) {
        return 0;
    }
}

bool IsRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool Download(const char* address, const char* userAgent, int timeoutMs, size_t maxSize,
              bool (*takePiece)(void*, const char*, size_t), void* context) {
    QUrl url = ToUrl(address);
    if (url.isEmpty()) return false;
    try {
        const TDeadline deadline(timeoutMs);
        for (int hop = 0; hop <= kMaxRedirects; ++hop) {
            TConnection connection(url, userAgent, deadline);
            TAnswerReader answer(connection);
            const int status = answer.ReadStatus();
            THead head;
            if (status == 0 || !answer.ReadHeaders(head)) return false;
            if (IsRedirect(status)) {
                if (head.location.isEmpty()) return false;
                const QUrl next = url.resolved(QUrl::fromEncoded(head.location));
                // Never from an encrypted address to a plain one.
                if (!Usable(next) || (IsTls(url) && !IsTls(next))) return false;
                url = next;
                continue;
            }
            // The file itself, nothing else: no "no content", no part of it.
            if (status != 200 && status != 203) return false;
            return answer.ReadBody(head, maxSize, takePiece, context);
        }
        return false;
    } catch (...) {
        return false;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) const THttpModuleApi* velorim_http_module() {
    static const THttpModuleApi api{StatusCode, Download};
    return &api;
}
