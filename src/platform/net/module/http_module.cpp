// The HTTP exchanges over Qt Network, built as a module of its own (see
// platform/net/http_module.h).
#include "platform/net/http_module.h"

#include <QByteArray>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <string>

namespace {

constexpr int kMaxRedirects = 5;

QUrl ToUrl(const char* address) {
    const QUrl url(QString::fromUtf8(address));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty())
        return QUrl();
    return url;
}

bool IsLoopback(const QUrl& url) {
    QHostAddress address;
    if (address.setAddress(url.host())) return address.isLoopback();
    return url.host().compare("localhost", Qt::CaseInsensitive) == 0;
}

// One GET run in a local event loop until it finishes, a handler stops it,
// or the deadline passes. The handlers run inside Qt's signals: they must
// not raise.
class TExchange {
public:
    TExchange(const QUrl& url, const char* userAgent, int timeoutMs, bool followRedirects) {
        // No proxy stands between the program and its own machine.
        if (IsLoopback(url)) manager_.setProxy(QNetworkProxy::NoProxy);
        QNetworkRequest request(url);
        if (userAgent && *userAgent) request.setRawHeader("User-Agent", QByteArray(userAgent));
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             followRedirects ? QNetworkRequest::NoLessSafeRedirectPolicy
                                             : QNetworkRequest::ManualRedirectPolicy);
        request.setMaximumRedirectsAllowed(kMaxRedirects);
        timeoutMs_ = timeoutMs > 0 ? timeoutMs : 1;
        request.setTransferTimeout(timeoutMs_);
        reply_ = manager_.get(request);
        QObject::connect(reply_, &QNetworkReply::finished, &loop_, &QEventLoop::quit);
        deadline_.setSingleShot(true);
        QObject::connect(&deadline_, &QTimer::timeout, &loop_, [this] { Stop(); });
    }

    ~TExchange() {
        // The handlers see nothing of the end: what they use may be gone.
        reply_->disconnect();
        if (!reply_->isFinished()) reply_->abort();
    }

    QNetworkReply& Reply() { return *reply_; }

    void Wait() {
        if (reply_->isFinished() || stopped_) return;
        deadline_.start(timeoutMs_);
        loop_.exec(QEventLoop::ExcludeUserInputEvents);
        deadline_.stop();
    }

    // Ends the exchange early: what it brought is not taken.
    void Stop() {
        stopped_ = true;
        loop_.quit();
    }
    bool Stopped() const { return stopped_; }

    int Status() const {
        return reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

private:
    QNetworkAccessManager manager_;
    QEventLoop loop_;
    QTimer deadline_;
    QNetworkReply* reply_ = nullptr; // the manager's
    int timeoutMs_ = 0;
    bool stopped_ = false;
};

int StatusCode(const char* address, const char* userAgent, int timeoutMs) {
    const QUrl url = ToUrl(address);
    if (url.isEmpty()) return 0;
    try {
        TExchange exchange(url, userAgent, timeoutMs, false);
        int status = 0;
        // The status line is all that is wanted: the body is not waited for.
        QObject::connect(&exchange.Reply(), &QNetworkReply::metaDataChanged, [&] {
            status = exchange.Status();
            if (status != 0) exchange.Stop();
        });
        exchange.Wait();
        if (status == 0 && exchange.Reply().isFinished()) status = exchange.Status();
        return status;
    } catch (...) {
        return 0;
    }
}

bool Download(const char* address, const char* userAgent, int timeoutMs, size_t maxSize,
              bool (*takePiece)(void*, const char*, size_t), void* context) {
    const QUrl url = ToUrl(address);
    if (url.isEmpty()) return false;
    try {
        TExchange exchange(url, userAgent, timeoutMs, true);
        QNetworkReply& reply = exchange.Reply();
        size_t received = 0;
        bool failed = false;
        auto take = [&] {
            if (failed) return;
            const int status = exchange.Status();
            if (status != 0 && (status < 200 || status > 299)) {
                failed = true; // an error page is no file
            } else {
                const QByteArray piece = reply.readAll();
                received += static_cast<size_t>(piece.size());
                if (received > maxSize ||
                    !takePiece(context, piece.constData(), static_cast<size_t>(piece.size())))
                    failed = true;
            }
            if (failed) exchange.Stop();
        };
        QObject::connect(&reply, &QNetworkReply::readyRead, take);
        exchange.Wait();
        if (!exchange.Stopped() && reply.isFinished()) take();
        const int status = exchange.Status();
        return !failed && !exchange.Stopped() && reply.isFinished() &&
               reply.error() == QNetworkReply::NoError && status >= 200 && status <= 299;
    } catch (...) {
        return false;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) const THttpModuleApi* velorim_http_module() {
    static const THttpModuleApi api{StatusCode, Download};
    return &api;
}
